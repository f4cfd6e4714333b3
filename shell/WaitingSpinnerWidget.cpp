#include "shell/WaitingSpinnerWidget.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

WaitingSpinnerWidget::WaitingSpinnerWidget(QWidget* parent, bool centerOnParent,
                                           bool disableParentWhenSpinning)
    : QWidget(parent),
      centerOnParent_(centerOnParent),
      disableParentWhenSpinning_(disableParentWhenSpinning) {
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &WaitingSpinnerWidget::rotate);
    timer_->setInterval(static_cast<int>(1000 / (numberOfLines_ * revolutionsPerSecond_)));

    textLabel_ = new QLabel(parent);
    setTextColor(Qt::white);
    textLabel_->setAlignment(Qt::AlignCenter);
    textLabel_->hide();

    dimBox_ = new QLabel(parent);
    dimBox_->setStyleSheet(QStringLiteral("border-radius:4px;background-color:rgba(0,0,0,100); "));
    dimBox_->hide();

    const int side = 2 * (innerRadius_ + lineLength_);
    setFixedSize(side, side);
    hide();
}

void WaitingSpinnerWidget::setTextColor(const QColor& color) {
    textLabel_->setStyleSheet(QStringLiteral("color:rgb(%1,%2,%3);background-color:transparent; ")
                                  .arg(color.red())
                                  .arg(color.green())
                                  .arg(color.blue()));
}

void WaitingSpinnerWidget::setText(const QString& text) {
    text_ = text;
    textLabel_->setText(text);
    textLabel_->adjustSize();
}

void WaitingSpinnerWidget::start() {
    updatePosition(dimBox_->isVisible());
    spinning_ = true;
    show();
    setParentEnabled(false);
    if (!timer_->isActive()) {
        timer_->start();
        currentCounter_ = 0;
    }
    textLabel_->raise();
    textLabel_->show();
}

void WaitingSpinnerWidget::startwidthNoSpin() {
    // The box is about to be shown, so place it (and the text inside it) now; positioning by
    // its current visibility would leave a freshly shown box at the parent's corner.
    updatePosition(true);
    spinning_ = true;
    show();
    showLines_ = false;
    setParentEnabled(false);
    dimBox_->raise();
    dimBox_->show();
    textLabel_->raise();
    textLabel_->show();
}

void WaitingSpinnerWidget::stop() {
    spinning_ = false;
    hide();
    setParentEnabled(true);
    if (timer_->isActive()) {
        timer_->stop();
        currentCounter_ = 0;
    }
    textLabel_->hide();
    textLabel_->clear();
    dimBox_->hide();
    showLines_ = true;
}

void WaitingSpinnerWidget::rotate() {
    ++currentCounter_;
    if (currentCounter_ >= numberOfLines_) {
        currentCounter_ = 0;
    }
    update();
}

void WaitingSpinnerWidget::setParentEnabled(bool enabled) {
    if (parentWidget() && disableParentWhenSpinning_) {
        parentWidget()->setEnabled(enabled);
    }
}

void WaitingSpinnerWidget::updatePosition(bool dimmed) {
    QWidget* parent = parentWidget();
    if (!parent || !centerOnParent_) {
        return;
    }
    move(parent->width() / 2 - width() / 2, parent->height() / 2 - height() / 2);
    dimBox_->resize(250, 150);
    textLabel_->resize(parent->width(), 30);
    if (dimmed) {
        textLabel_->move(0, (parent->height() - height()) / 2);
        dimBox_->move(parent->width() / 2 - dimBox_->width() / 2,
                      parent->height() / 2 - dimBox_->height() / 2);
    } else {
        textLabel_->move(0, height() + (parent->height() - height()) / 2);
    }
}

int WaitingSpinnerWidget::lineCountDistance(int current, int primary) const {
    const int distance = primary - current;
    return distance < 0 ? distance + numberOfLines_ : distance;
}

QColor WaitingSpinnerWidget::lineColor(int distance, int numberOfLines, double trailFadePercentage,
                                       double minimumTrailOpacity, const QColor& color) {
    QColor result = color;
    if (distance == 0) {
        return result;
    }
    const double minAlpha = minimumTrailOpacity / 100.0;
    const int threshold =
        static_cast<int>(std::ceil((numberOfLines - 1) * trailFadePercentage / 100.0));
    if (distance > threshold) {
        result.setAlphaF(minAlpha);
        return result;
    }
    const double alpha = color.alphaF();
    const double alphaDiff = alpha - minAlpha;
    const double gradient = alphaDiff / static_cast<double>(threshold + 1);
    result.setAlphaF(std::clamp(alpha - gradient * distance, 0.0, 1.0));
    return result;
}

void WaitingSpinnerWidget::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    if (!showLines_ || numberOfLines_ < 1) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::transparent);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    if (currentCounter_ >= numberOfLines_) {
        currentCounter_ = 0;
    }
    const int centre = innerRadius_ + lineLength_;
    for (int i = 0; i < numberOfLines_; ++i) {
        painter.save();
        painter.translate(centre, centre);
        painter.rotate(360.0 * i / numberOfLines_);
        painter.translate(innerRadius_, 0);
        const int distance = lineCountDistance(i, currentCounter_);
        painter.setBrush(lineColor(distance, numberOfLines_, trailFadePercentage_,
                                   minimumTrailOpacity_, color_));
        painter.drawRoundedRect(QRect(0, -lineWidth_ / 2, lineLength_, lineWidth_), roundness_,
                                roundness_, Qt::RelativeSize);
        painter.restore();
    }
}
