#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class TitleBar;
}

// The frameless main window's title bar: logo, caption, user, About / Set and the window
// buttons. Dragging it moves the window (kept reachable on the primary screen), a double
// click toggles maximise, and presses on the window's top edge go to the window's resizing.
class TitleBar : public QWidget {
    Q_OBJECT
public:
    // The bar's own buttons, as `setButtonVisible` and `signalTitleClicked` name them.
    enum Button : uint8_t { kAboutButton = 0, kSetButton = 1, kUserButton = 2 };

    // How much of the bar must stay on the available area when dragged.
    static constexpr int kReachable = 50;

    explicit TitleBar(QWidget* parent = nullptr);
    ~TitleBar() override;

    void setTitle(const QString& title);
    void setButtonVisible(uint8_t which, bool visible);
    void setUserVisible(bool visible);
    void setUserInfo(const QString& avatarPath, const QString& name);

    bool isDragging() const { return dragging_; }

    // Where the window goes for a drag to `wanted`: the bar (at `bar` inside the window)
    // keeps kReachable pixels on `avail`.
    static QPoint clampToAvailable(QPoint wanted, const QRect& bar, const QRect& avail);

signals:
    void signalTitleClicked(uint8_t type);

public slots:
    void onClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The primary screen's available area; tests put the bar on other screens.
    virtual QRect availableArea() const;

private:
    bool handOverToWindow(QMouseEvent* event);
    void updateMaxButton();
    void storeGeometry();

    std::unique_ptr<Ui::TitleBar> ui_;
    bool dragging_ = false;
    QPoint lastPos_;
    QPointer<QWidget> watchedWindow_;
};
