#pragma once

#include <QBrush>
#include <QDialog>
#include <memory>

namespace Ui {
class ormLive_AskDialog;
}

// The client's own frameless modal dialog for notices, confirmations and invitation codes,
// with a soft painted shadow. Run it through live::DialogSeam::exec.
class ormLive_AskDialog : public QDialog {
    Q_OBJECT
public:
    // Which buttons show; any other mode shows no button besides the close button.
    enum Mode {
        kOk = 1,
        kCancel = 2,
        kOkCancel = 3,
        kCopy = 4,  // shows a code
        kJoin = 8,  // Join, Cancel and an input for a code
    };

    ormLive_AskDialog(const QString& title, const QString& text, int mode,
                      QWidget* parent = nullptr);
    ~ormLive_AskDialog() override;

    QString inputText() const;
    int shadowWidth() const { return shadowWidth_; }

public slots:
    void on_pushButton_yes_clicked();
    void on_pushButton_no_clicked();
    void on_pushButton_close_clicked();
    void on_pushButton_jion_clicked();
    void on_pushButton_copy_clicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyMode(int mode);
    void paintShadow(QPainter& painter, const QRect& inner);

    std::unique_ptr<Ui::ormLive_AskDialog> ui_;
    int shadowWidth_ = 5;
    QBrush background_{Qt::transparent, Qt::SolidPattern};
    bool active_ = true;
};
