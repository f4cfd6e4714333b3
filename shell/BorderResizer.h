#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <array>

// Resizing a frameless window by its borders: which border region a point lies in, the
// cursor that region shows, and the geometry a drag from a press gives.
class BorderResizer {
public:
    enum Region {
        kNone = 0,
        kTopLeft = 1,
        kTop = 2,
        kTopRight = 3,
        kRight = 4,
        kBottomRight = 5,
        kBottom = 6,
        kBottomLeft = 7,
        kLeft = 8,
    };

    static constexpr int kBorder = 6;
    // The top edge is thinner: most of it lies over the title bar, which drags the window.
    static constexpr int kTopBorder = 4;

    void updateRects(const QSize& windowSize);
    QRect rect(Region region) const { return rects_[region]; }
    // The region under `pos` (window coordinates), corners before edges.
    Region regionAt(const QPoint& pos) const;
    static Qt::CursorShape cursorFor(Region region);

    Region region() const { return region_; }
    void setRegion(Region region) { region_ = region; }
    bool resizing() const { return resizing_; }

    // Starts a drag over the current region; false (nothing starts) outside every region.
    bool press(const QPoint& globalPos, const QRect& geometry);
    // The geometry for the pointer at `globalPos`: the dragged edges follow the pointer, the
    // others stay; no edge passes the opposite one beyond `minimum`.
    QRect dragTo(const QPoint& globalPos, const QSize& minimum = QSize());
    void release(const QSize& windowSize);

private:
    std::array<QRect, 9> rects_;
    Region region_ = kNone;
    bool resizing_ = false;
    QPoint pressPos_;
    QPoint currentPos_;
    QRect pressGeometry_;
};
