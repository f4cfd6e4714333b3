#include "shell/BorderResizer.h"

#include <QtGlobal>

void BorderResizer::updateRects(const QSize& windowSize) {
    const int w = windowSize.width();
    const int h = windowSize.height();
    const int b = kBorder;
    rects_[kNone] = QRect();
    rects_[kTopLeft] = QRect(0, 0, b, b);
    rects_[kBottomLeft] = QRect(0, h - b, b, b);
    rects_[kTopRight] = QRect(w - b, 0, b, b);
    rects_[kBottomRight] = QRect(w - b, h - b, b, b);
    rects_[kTop] = QRect(b, 0, w - 2 * b, kTopBorder);
    rects_[kRight] = QRect(w - b, b, b, h - 2 * b);
    rects_[kBottom] = QRect(b, h - b, w - 2 * b, b);
    rects_[kLeft] = QRect(0, b, b, h - 2 * b);
}

BorderResizer::Region BorderResizer::regionAt(const QPoint& pos) const {
    for (Region r : {kTopLeft, kTopRight, kBottomRight, kBottomLeft, kTop, kBottom, kLeft,
                     kRight}) {
        if (rects_[r].contains(pos)) {
            return r;
        }
    }
    return kNone;
}

Qt::CursorShape BorderResizer::cursorFor(Region region) {
    switch (region) {
        case kTopLeft:
        case kBottomRight:
            return Qt::SizeFDiagCursor;
        case kTopRight:
        case kBottomLeft:
            return Qt::SizeBDiagCursor;
        case kTop:
        case kBottom:
            return Qt::SizeVerCursor;
        case kLeft:
        case kRight:
            return Qt::SizeHorCursor;
        default:
            return Qt::ArrowCursor;
    }
}

bool BorderResizer::press(const QPoint& globalPos, const QRect& geometry) {
    if (region_ == kNone) {
        return false;
    }
    resizing_ = true;
    pressPos_ = globalPos;
    currentPos_ = globalPos;
    pressGeometry_ = geometry;
    return true;
}

QRect BorderResizer::dragTo(const QPoint& globalPos, const QSize& minimum) {
    currentPos_ = globalPos;
    const int dx = pressPos_.x() - currentPos_.x();
    const int dy = pressPos_.y() - currentPos_.y();
    const int minW = qMax(minimum.width(), 1);
    const int minH = qMax(minimum.height(), 1);
    QRect r = pressGeometry_;
    if (region_ == kLeft || region_ == kTopLeft || region_ == kBottomLeft) {
        r.setLeft(qMin(r.left() - dx, r.right() - minW + 1));
    }
    if (region_ == kRight || region_ == kTopRight || region_ == kBottomRight) {
        r.setRight(qMax(r.right() - dx, r.left() + minW - 1));
    }
    if (region_ == kTop || region_ == kTopLeft || region_ == kTopRight) {
        r.setTop(qMin(r.top() - dy, r.bottom() - minH + 1));
    }
    if (region_ == kBottom || region_ == kBottomRight || region_ == kBottomLeft) {
        r.setBottom(qMax(r.bottom() - dy, r.top() + minH - 1));
    }
    return r;
}

void BorderResizer::release(const QSize& windowSize) {
    resizing_ = false;
    updateRects(windowSize);
}
