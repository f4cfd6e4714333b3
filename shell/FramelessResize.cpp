#include "shell/FramelessResize.h"

#include <QApplication>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QWidget>

FramelessResize::FramelessResize(QWidget* window, GeometryFn applied)
    : QObject(window), window_(window), applied_(std::move(applied)) {
    window_->setAttribute(Qt::WA_Hover);
    border_.updateRects(window_->size());
    window_->installEventFilter(this);
}

FramelessResize::~FramelessResize() {
    qApp->removeEventFilter(this);
}

QRect FramelessResize::fitInto(QSize size, const QRect& avail) {
    int w = size.width();
    int h = size.height();
    if (w > avail.width() || h > avail.height()) {
        const float ratio = float(w) / float(h);
        if (ratio >= float(avail.width()) / float(avail.height())) {
            w = avail.width() / 10 * 10;
            h = int(float(w) / ratio);
        } else {
            h = avail.height() / 10 * 10;
            w = int(float(h) * ratio);
        }
    }
    return QRect(avail.x() + (avail.width() - w) / 2, avail.y() + (avail.height() - h) / 2, w, h);
}

void FramelessResize::fitTo(const QRect& avail) {
    if (avail.isEmpty()) {
        return;
    }
    const QRect fitted = fitInto(window_->size(), avail);
    window_->resize(fitted.size());
    window_->move(fitted.topLeft());
    if (applied_) {
        applied_(fitted);
    }
}

bool FramelessResize::canResize() const {
    // The state is a set of flags: a window can be maximised and active at once.
    return !(window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
}

bool FramelessResize::eventFilter(QObject* watched, QEvent* event) {
    if (border_.resizing()) {
        // The drag's moves go to whichever widget took the press; the filter sees them all.
        onDrag(event);
        return QObject::eventFilter(watched, event);
    }
    if (watched != window_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::HoverEnter:
        case QEvent::HoverLeave:
        case QEvent::HoverMove:
            onHover(static_cast<QHoverEvent*>(event)->pos());
            break;
        case QEvent::MouseButtonPress:
            return onPress(static_cast<QMouseEvent*>(event));
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            // The fit at start and maximising change the size without a mouse release.
            border_.updateRects(window_->size());
            onHover(window_->mapFromGlobal(QCursor::pos()));
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void FramelessResize::onHover(const QPoint& pos) {
    const BorderResizer::Region region = canResize() ? border_.regionAt(pos) : BorderResizer::kNone;
    border_.setRegion(region);
    window_->setCursor(BorderResizer::cursorFor(region));
}

bool FramelessResize::onPress(const QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !canResize() ||
        !border_.press(event->globalPos(), window_->geometry())) {
        return false;
    }
    qApp->installEventFilter(this);
    return true;
}

void FramelessResize::onDrag(const QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const QRect rect = border_.dragTo(mouse->globalPos(), window_->minimumSize());
        window_->setGeometry(rect);
        if (applied_) {
            applied_(rect);
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        endResize();
    }
}

void FramelessResize::endResize() {
    qApp->removeEventFilter(this);
    border_.release(window_->size());
}
