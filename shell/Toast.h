#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class ToastClass;
}

// A transient message near the bottom of the primary screen: it fades in, stays, fades out
// and deletes itself.
class Toast : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFadeMs = 1000;
    static constexpr int kShowMs = 2000;

    explicit Toast(QWidget* parent = nullptr);
    ~Toast() override;

    void setText(const QString& text);
    QString text() const;

    // Creates, places and shows a self-deleting toast with the text.
    static Toast* showTip(const QString& text, QWidget* parent, int durationMs = kShowMs);
    // Fades this toast in, and out again after `durationMs`; it is deleted when gone.
    void showTip(int durationMs);

    // Where a toast of `toast` size goes on a screen of `screen` size.
    static QPoint tipPosition(const QSize& screen, const QSize& toast);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fade(qreal from, qreal to, bool closeWhenDone);

    std::unique_ptr<Ui::ToastClass> ui_;
};
