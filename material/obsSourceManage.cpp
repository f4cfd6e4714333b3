#include "material/obsSourceManage.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include "ui_obsSourceManage.h"

obsSourceManage::obsSourceManage(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), ui_(new Ui::obsSourceManage) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
}

obsSourceManage::~obsSourceManage() = default;

QWidget* obsSourceManage::sourceWidget() const {
    return ui_->widget_obssource;
}

QVBoxLayout* obsSourceManage::sourceLayout() const {
    return ui_->verticalLayout_obssource;
}

void obsSourceManage::on_pushButton_close_clicked() {
    hide();
    emit signalVisble(false);
}

// A close from the window system ends like the close button, so the owner's toggle follows.
void obsSourceManage::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (isVisible()) {
        on_pushButton_close_clicked();
    }
}

void obsSourceManage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPos() - pos();
    }
    QWidget::mousePressEvent(event);
}

void obsSourceManage::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPos() - dragOffset_);
    }
    QWidget::mouseMoveEvent(event);
}

void obsSourceManage::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}
