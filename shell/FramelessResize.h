#pragma once

#include <QObject>
#include <QRect>
#include <functional>

#include "shell/BorderResizer.h"

class QMouseEvent;
class QWidget;

// Lets a frameless window be resized by its borders: the pointer over a border shows the
// matching cursor and a left press there drags that edge. A maximised or full-screen window
// has no borders to drag. The main window and the rooms each own one.
class FramelessResize : public QObject {
    Q_OBJECT
public:
    using GeometryFn = std::function<void(const QRect&)>;

    // Watches `window`'s own events; `applied` hears every geometry a drag gives it.
    explicit FramelessResize(QWidget* window, GeometryFn applied = GeometryFn());
    ~FramelessResize() override;

    // Where a window of `size` goes on the free area `avail`: shrunk, keeping its shape, to
    // fit (widths and heights in steps of ten), and centred.
    static QRect fitInto(QSize size, const QRect& avail);
    // Moves and sizes the window as fitInto() places it and tells `applied`; an empty area
    // changes nothing.
    void fitTo(const QRect& avail);

    const BorderResizer& borders() const { return border_; }
    bool canResize() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onHover(const QPoint& pos);
    bool onPress(const QMouseEvent* event);
    void onDrag(const QEvent* event);
    void endResize();

    QWidget* window_;
    GeometryFn applied_;
    BorderResizer border_;
};
