#include "room/BlinkTimer.h"

#include <QAbstractButton>
#include <QVariant>

BlinkTimer::BlinkTimer(QAbstractButton* button, bool& phase, QObject* parent)
    : QObject(parent), button_(button), phase_(phase) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &BlinkTimer::tick);
}

QString BlinkTimer::whiteIcon() {
    return QStringLiteral(":/image/blink_white.png");
}

QString BlinkTimer::redIcon() {
    return QStringLiteral(":/image/blink_red.png");
}

void BlinkTimer::reset() {
    show(whiteIcon());
}

void BlinkTimer::start() {
    timer_.start();
}

void BlinkTimer::stop() {
    timer_.stop();
    QTimer::singleShot(kIntervalMs, this, [this] {
        if (!timer_.isActive()) {
            show(whiteIcon());
        }
    });
}

void BlinkTimer::tick() {
    show(phase_ ? redIcon() : whiteIcon());
    phase_ = !phase_;
}

void BlinkTimer::show(const QString& icon) {
    button_->setIcon(QIcon(icon));
    button_->setProperty(kIconProperty, icon);
}
