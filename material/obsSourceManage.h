#pragma once

#include <QPoint>
#include <QWidget>
#include <memory>

class QVBoxLayout;

namespace Ui {
class obsSourceManage;
}

// A frameless tool window, dragged by any free spot, whose body hosts the studio's source list.
class obsSourceManage : public QWidget {
    Q_OBJECT
public:
    explicit obsSourceManage(QWidget* parent = nullptr);
    ~obsSourceManage() override;

    QWidget* sourceWidget() const;
    QVBoxLayout* sourceLayout() const;

signals:
    void signalVisble(bool visible);

public slots:
    void on_pushButton_close_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<Ui::obsSourceManage> ui_;
    bool dragging_ = false;
    QPoint dragOffset_;
};
