#include "share/orbLive_ShareWindowPreItem.h"

#include <QMouseEvent>

#include "ui_orbLive_ShareWindowPreItem.h"

namespace {

const char kSelectedStyle[] = "background-color: rgb(83, 172, 255);color:rgb(0,0,0);";
const char kUnselectedStyle[] =
    "background-color: rgb(51, 51, 51);\t\t\tcolor: rgb(255, 255, 255); ";
const char kPlaceholderStyle[] = "QWidget{background-color: #33373b;}";

}  // namespace

orbLive_ShareWindowPreItem::orbLive_ShareWindowPreItem(QWidget* parent, const QString& title,
                                                       WId windowId)
    : QWidget(parent),
      ui_(new Ui::orbLive_ShareWindowPreItem),
      title_(title),
      windowId_(windowId),
      placeholder_(title.isEmpty() && windowId == 0) {
    ui_->setupUi(this);
    ui_->label_title->setText(title);
    ui_->label_title->setToolTip(title);
    if (placeholder_) {
        setStyleSheet(QLatin1String(kPlaceholderStyle));
        setCursor(Qt::ArrowCursor);
    } else {
        ui_->widget_preitem->setStyleSheet(QLatin1String(kUnselectedStyle));
    }
}

orbLive_ShareWindowPreItem::~orbLive_ShareWindowPreItem() = default;

void orbLive_ShareWindowPreItem::setThumbnail(const QPixmap& picture) {
    if (!placeholder_) {
        ui_->label_image->setPixmap(picture);
    }
}

void orbLive_ShareWindowPreItem::setSelected(bool selected) {
    if (placeholder_) {
        return;
    }
    selected_ = selected;
    // A second sheet set before the widget was ever polished would be ignored.
    ui_->widget_preitem->ensurePolished();
    ui_->widget_preitem->setStyleSheet(QLatin1String(selected ? kSelectedStyle : kUnselectedStyle));
}

void orbLive_ShareWindowPreItem::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !placeholder_) {
        setSelected(true);
        emit preItemChecked();
    }
    QWidget::mousePressEvent(event);
}

void orbLive_ShareWindowPreItem::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !placeholder_) {
        setSelected(true);
        emit preItemOK();
    }
    QWidget::mouseDoubleClickEvent(event);
}
