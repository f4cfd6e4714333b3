#include "material/FlowLayout.h"

#include <QApplication>
#include <QWidget>

FlowLayout::FlowLayout(QWidget* parent, int margin, int hSpacing, int vSpacing)
    : QLayout(parent), hSpacing_(hSpacing), vSpacing_(vSpacing) {
    if (margin >= 0) {
        setContentsMargins(margin, margin, margin, margin);
    }
}

FlowLayout::FlowLayout(int margin, int hSpacing, int vSpacing)
    : FlowLayout(nullptr, margin, hSpacing, vSpacing) {}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void FlowLayout::addItem(QLayoutItem* item) {
    items_.append(item);
}

int FlowLayout::count() const {
    return items_.size();
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const {
    return {};
}

bool FlowLayout::hasHeightForWidth() const {
    return true;
}

int FlowLayout::heightForWidth(int width) const {
    return place(QRect(0, 0, width, 0), true);
}

QSize FlowLayout::minimumSize() const {
    QSize size(0, 0);
    for (const QLayoutItem* item : items_) {
        size = size.expandedTo(item->minimumSize());
    }
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const {
    return minimumSize();
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    place(rect, false);
}

int FlowLayout::place(const QRect& rect, bool measureOnly) const {
    const QMargins m = contentsMargins();
    const QRect area = rect.marginsRemoved(m);
    // The row ends where the area ends: an item that exactly fills it still fits.
    const int rightEnd = area.x() + area.width();
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (QLayoutItem* item : items_) {
        const int spaceX = spacingFor(item, Qt::Horizontal);
        const int spaceY = spacingFor(item, Qt::Vertical);
        const QSize hint = item->sizeHint();
        int nextX = x + hint.width() + spaceX;
        if (nextX - spaceX > rightEnd && rowHeight > 0) {
            x = area.x();
            y += rowHeight + spaceY;
            nextX = x + hint.width() + spaceX;
            rowHeight = 0;
        }
        if (!measureOnly) {
            item->setGeometry(QRect(QPoint(x, y), hint));
        }
        x = nextX;
        rowHeight = qMax(rowHeight, hint.height());
    }
    return y + rowHeight - rect.y() + m.bottom();
}

int FlowLayout::spacingFor(QLayoutItem* item, Qt::Orientation direction) const {
    const bool horizontal = direction == Qt::Horizontal;
    const int own = horizontal ? hSpacing_ : vSpacing_;
    if (own >= 0) {
        return own;
    }
    const int inherited = surroundingSpacing(horizontal ? QStyle::PM_LayoutHorizontalSpacing
                                                        : QStyle::PM_LayoutVerticalSpacing);
    if (inherited >= 0) {
        return inherited;
    }
    const QWidget* widget = item->widget();
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // Styles without an opinion answer -1, which would make items overlap.
    const int buttons =
        style ? style->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, direction)
              : 0;
    return qMax(0, buttons);
}

int FlowLayout::surroundingSpacing(QStyle::PixelMetric metric) const {
    QObject* owner = parent();
    if (!owner) {
        return -1;
    }
    if (owner->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(owner);
        return widget->style()->pixelMetric(metric, nullptr, widget);
    }
    const auto* layout = qobject_cast<QLayout*>(owner);
    return layout ? layout->spacing() : -1;
}
