#include "shell/Toast.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

#include "ui_Toast.h"

Toast::Toast(QWidget* parent) : QWidget(parent), ui_(new Ui::ToastClass) {
    ui_->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground);
}

Toast::~Toast() = default;

void Toast::setText(const QString& text) {
    ui_->label->setText(text);
}

QString Toast::text() const {
    return ui_->label->text();
}

Toast* Toast::showTip(const QString& text, QWidget* parent, int durationMs) {
    auto* toast = new Toast(parent);
    toast->setWindowFlags(toast->windowFlags() | Qt::WindowStaysOnTopHint);
    toast->setText(text);
    toast->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        toast->move(tipPosition(screen->geometry().size(), toast->size()));
    }
    toast->showTip(durationMs);
    return toast;
}

void Toast::showTip(int durationMs) {
    fade(0.0, 1.0, false);
    show();
    QTimer::singleShot(durationMs, this, [this] { fade(1.0, 0.0, true); });
}

QPoint Toast::tipPosition(const QSize& screen, const QSize& toast) {
    return QPoint((screen.width() - toast.width()) / 2, screen.height() * 7 / 10);
}

void Toast::fade(qreal from, qreal to, bool closeWhenDone) {
    auto* animation = new QPropertyAnimation(this, "windowOpacity", this);
    animation->setDuration(kFadeMs);
    animation->setStartValue(from);
    animation->setEndValue(to);
    if (closeWhenDone) {
        connect(animation, &QPropertyAnimation::finished, this, [this] {
            close();
            deleteLater();
        });
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Toast::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    // Only the rounded label is seen; the rest of the window stays see-through.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 255, 0));
}
