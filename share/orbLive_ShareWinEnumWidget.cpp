#include "share/orbLive_ShareWinEnumWidget.h"

#include "material/FlowLayout.h"
#include "platform/WindowList.h"
#include "share/orbLive_ShareWindowPreItem.h"
#include "ui_orbLive_ShareWinEnumWidget.h"

namespace {

const int kPlaceholders = 2;

// Our own windows are not offered: any window whose title is part of the title of the
// window the picker is opened from.
QString ownWindowTitle(const QWidget* parent) {
    return parent ? parent->window()->windowTitle() : QString();
}

}  // namespace

orbLive_ShareWinEnumWidget::orbLive_ShareWinEnumWidget(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint), ui_(new Ui::orbLive_ShareWinEnumWidget) {
    ui_->setupUi(this);
    flow_ = new FlowLayout(ui_->widget_itemcontainer, 10, 15, 15);
    items_.reserve(8);

    addItem(tr("桌面"), live::WindowList::desktopWindowId(), true);
    for (int i = 0; i < kPlaceholders; ++i) {
        addItem(QString(), 0, false);
    }
    for (const live::WindowInfo& window :
         live::WindowList::shareableWindows(ownWindowTitle(parent))) {
        addItem(window.title, window.id, true);
    }
    makeCurrent(items_.first());
}

orbLive_ShareWinEnumWidget::~orbLive_ShareWinEnumWidget() = default;

QString orbLive_ShareWinEnumWidget::selectedTitle() const {
    const orbLive_ShareWindowPreItem* item = chosen();
    return item ? item->title() : QString();
}

WId orbLive_ShareWinEnumWidget::selectedWindowId() const {
    const orbLive_ShareWindowPreItem* item = chosen();
    return item ? item->windowId() : 0;
}

void orbLive_ShareWinEnumWidget::on_pushButton_yes_clicked() {
    if (current_) {
        accept();
    } else {
        reject();
    }
}

void orbLive_ShareWinEnumWidget::on_pushButton_reject_clicked() {
    reject();
}

void orbLive_ShareWinEnumWidget::slotPreItemChecked() {
    if (auto* item = qobject_cast<orbLive_ShareWindowPreItem*>(sender())) {
        makeCurrent(item);
    }
}

void orbLive_ShareWinEnumWidget::slotPreItemOK() {
    if (auto* item = qobject_cast<orbLive_ShareWindowPreItem*>(sender())) {
        makeCurrent(item);
        accept();
    }
}

void orbLive_ShareWinEnumWidget::addItem(const QString& title, WId windowId, bool withThumbnail) {
    auto* item = new orbLive_ShareWindowPreItem(ui_->widget_itemcontainer, title, windowId);
    if (withThumbnail) {
        item->setThumbnail(live::WindowList::grab(windowId));
    }
    connect(item, &orbLive_ShareWindowPreItem::preItemChecked, this,
            &orbLive_ShareWinEnumWidget::slotPreItemChecked);
    connect(item, &orbLive_ShareWindowPreItem::preItemOK, this,
            &orbLive_ShareWinEnumWidget::slotPreItemOK);
    flow_->addWidget(item);
    items_.append(item);
}

void orbLive_ShareWinEnumWidget::makeCurrent(orbLive_ShareWindowPreItem* item) {
    current_ = item;
    for (orbLive_ShareWindowPreItem* other : items_) {
        other->setSelected(other == item);
    }
}

const orbLive_ShareWindowPreItem* orbLive_ShareWinEnumWidget::chosen() const {
    return result() == QDialog::Accepted ? current_ : nullptr;
}
