#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class FlowLayout;
class orbLive_ShareWindowPreItem;

namespace Ui {
class orbLive_ShareWinEnumWidget;
}

// Lets the user pick the desktop or one open window to share, from their thumbnails.
class orbLive_ShareWinEnumWidget : public QDialog {
    Q_OBJECT
public:
    explicit orbLive_ShareWinEnumWidget(QWidget* parent = nullptr);
    ~orbLive_ShareWinEnumWidget() override;

    // The chosen entry once the dialog was accepted; empty and 0 otherwise.
    QString selectedTitle() const;
    WId selectedWindowId() const;

    QList<orbLive_ShareWindowPreItem*> items() const { return items_; }

public slots:
    void on_pushButton_yes_clicked();
    void on_pushButton_reject_clicked();
    void slotPreItemChecked();

private slots:
    void slotPreItemOK();

private:
    void addItem(const QString& title, WId windowId, bool withThumbnail);
    void makeCurrent(orbLive_ShareWindowPreItem* item);
    const orbLive_ShareWindowPreItem* chosen() const;

    std::unique_ptr<Ui::orbLive_ShareWinEnumWidget> ui_;
    FlowLayout* flow_;
    QList<orbLive_ShareWindowPreItem*> items_;
    orbLive_ShareWindowPreItem* current_ = nullptr;
};
