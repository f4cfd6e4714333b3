#include "shell/ormLive_AskDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "shell/Toast.h"
#include "ui_ormLive_AskDialog.h"

ormLive_AskDialog::ormLive_AskDialog(const QString& title, const QString& text, int mode,
                                     QWidget* parent)
    : QDialog(parent), ui_(new Ui::ormLive_AskDialog) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    // The window title is what the dialog seam reports for this dialog.
    setWindowTitle(title);
    ui_->label_title->setText(title);
    ui_->label_content->setText(text);
    applyMode(mode);
}

ormLive_AskDialog::~ormLive_AskDialog() = default;

QString ormLive_AskDialog::inputText() const {
    return ui_->textEdit->text();
}

void ormLive_AskDialog::applyMode(int mode) {
    ui_->pushButton_yes->setVisible(mode == kOk || mode == kOkCancel);
    ui_->pushButton_no->setVisible(mode == kCancel || mode == kOkCancel || mode == kJoin);
    ui_->pushButton_copy->setVisible(mode == kCopy);
    ui_->pushButton_jion->setVisible(mode == kJoin);
    ui_->textEdit->setVisible(mode == kJoin);
    // With nothing to say above the input, the input takes the text's place in the middle.
    ui_->label_content->setVisible(!(mode == kJoin && ui_->label_content->text().isEmpty()));
    ui_->pushButton_close->setVisible(true);
}

void ormLive_AskDialog::on_pushButton_yes_clicked() {
    accept();
}

void ormLive_AskDialog::on_pushButton_no_clicked() {
    reject();
}

void ormLive_AskDialog::on_pushButton_close_clicked() {
    reject();
}

void ormLive_AskDialog::on_pushButton_jion_clicked() {}

void ormLive_AskDialog::on_pushButton_copy_clicked() {
    QGuiApplication::clipboard()->setText(ui_->label_content->text());
    Toast::showTip(tr("复制邀请码成功"), nullptr);
}

void ormLive_AskDialog::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    const QRect inner = rect().adjusted(shadowWidth_, shadowWidth_, -shadowWidth_, -shadowWidth_);
    painter.fillRect(inner, background_);
    paintShadow(painter, inner);
}

void ormLive_AskDialog::paintShadow(QPainter& painter, const QRect& inner) {
    const int s = shadowWidth_;
    if (s <= 0) {
        return;
    }
    QGradientStops stops;
    stops << QGradientStop(0.0, QColor(0, 0, 0, 51))
          << QGradientStop(0.2, QColor(0, 0, 0, active_ ? 20 : 10))
          << QGradientStop(0.6, QColor(0, 0, 0, active_ ? 5 : 0))
          << QGradientStop(1.0, QColor(0, 0, 0, 0));

    // Edge strips: the gradient runs outward from the panel's edge.
    const int l = inner.left();
    const int t = inner.top();
    const int r = inner.left() + inner.width();
    const int b = inner.top() + inner.height();
    struct Strip {
        QRect area;
        QPointF from;
        QPointF to;
    };
    const Strip strips[] = {
        {QRect(l, t - s, inner.width(), s), QPointF(0, t), QPointF(0, t - s)},
        {QRect(l, b, inner.width(), s), QPointF(0, b), QPointF(0, b + s)},
        {QRect(l - s, t, s, inner.height()), QPointF(l, 0), QPointF(l - s, 0)},
        {QRect(r, t, s, inner.height()), QPointF(r, 0), QPointF(r + s, 0)},
    };
    for (const Strip& strip : strips) {
        QLinearGradient gradient(strip.from, strip.to);
        gradient.setStops(stops);
        painter.fillRect(strip.area, gradient);
    }

    // Corner squares: the same falloff around the panel's corner point.
    const QPoint corners[] = {QPoint(l, t), QPoint(r, t), QPoint(l, b), QPoint(r, b)};
    for (const QPoint& c : corners) {
        QRadialGradient gradient(c, s);
        gradient.setStops(stops);
        const QRect square(c.x() == l ? l - s : r, c.y() == t ? t - s : b, s, s);
        painter.fillRect(square, gradient);
    }
}
