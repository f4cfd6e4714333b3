#include "shell/TitleBar.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>

#include "core/IConfig.h"
#include "shell/MainWindow.h"
#include "shell/Scheme.h"
#include "ui_TitleBar.h"

TitleBar::TitleBar(QWidget* parent) : QWidget(parent), ui_(new Ui::TitleBar) {
    qRegisterMetaType<uint8_t>("uint8_t");
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setProperty("TitleBar", true);
    setStyleSheet(Scheme::instance().styleSheet(QSS_TITLEBAR));
    for (QPushButton* button : {ui_->about, ui_->set, ui_->min, ui_->max, ui_->close}) {
        connect(button, &QPushButton::clicked, this, &TitleBar::onClicked);
    }
    installEventFilter(this);
}

TitleBar::~TitleBar() = default;

void TitleBar::setTitle(const QString& title) {
    ui_->title->setText(title);
}

void TitleBar::setButtonVisible(uint8_t which, bool visible) {
    if (which == kAboutButton) {
        ui_->about->setVisible(visible);
    } else if (which == kSetButton) {
        ui_->set->setVisible(visible);
    }
}

void TitleBar::setUserVisible(bool visible) {
    ui_->user_icon->setVisible(visible);
    ui_->user_info->setVisible(visible);
}

void TitleBar::setUserInfo(const QString& avatarPath, const QString& name) {
    if (!name.isEmpty()) {
        ui_->user_icon->setPixmap(QPixmap(avatarPath));
    }
    ui_->user_info->setText(name);
}

void TitleBar::onClicked() {
    QWidget* win = window();
    if (!win->isWindow() || win == this) {
        return;
    }
    QObject* from = sender();
    if (from == ui_->min) {
        win->showMinimized();
    } else if (from == ui_->max) {
        win->isMaximized() ? win->showNormal() : win->showMaximized();
    } else if (from == ui_->close) {
        win->close();
    } else {
        emit signalTitleClicked(from == ui_->about ? kAboutButton
                                : from == ui_->set ? kSetButton
                                                   : kUserButton);
    }
}

QPoint TitleBar::clampToAvailable(QPoint wanted, const QRect& bar, const QRect& avail) {
    int x = wanted.x();
    int y = wanted.y();
    const int right = avail.x() + avail.width();
    const int bottom = avail.y() + avail.height();
    if (x + bar.x() > right - kReachable) {
        x = right - kReachable - bar.x();
    }
    if (y + bar.y() > bottom - kReachable) {
        y = bottom - kReachable - bar.y();
    }
    if (x + bar.x() + bar.width() < avail.x() + kReachable) {
        x = avail.x() + kReachable - bar.x() - bar.width();
    }
    if (y + bar.y() + bar.height() < avail.y() + kReachable) {
        y = avail.y() + kReachable - bar.y() - bar.height();
    }
    return QPoint(x, y);
}

QRect TitleBar::availableArea() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

bool TitleBar::handOverToWindow(QMouseEvent* event) {
    const Qt::CursorShape shape = cursor().shape();
    if (shape != Qt::SizeVerCursor && shape != Qt::SizeFDiagCursor &&
        shape != Qt::SizeBDiagCursor) {
        return false;
    }
    QWidget* win = window();
    if (win == this) {
        return false;
    }
    // The window's border handling works in its own coordinates.
    QMouseEvent forwarded(event->type(), win->mapFromGlobal(event->globalPos()), event->windowPos(),
                          event->screenPos(), event->button(), event->buttons(),
                          event->modifiers());
    QCoreApplication::sendEvent(win, &forwarded);
    event->accept();
    return true;
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
    if (handOverToWindow(event)) {
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    lastPos_ = event->globalPos();
    event->accept();
}

void TitleBar::mouseMoveEvent(QMouseEvent* event) {
    if (handOverToWindow(event)) {
        return;
    }
    QWidget* win = window();
    if (!dragging_ || win == this) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (win->isMaximized()) {
        win->showNormal();
    }
    const QPoint wanted = win->pos() + (event->globalPos() - lastPos_);
    const QRect bar(mapTo(win, QPoint(0, 0)), size());
    win->move(clampToAvailable(wanted, bar, availableArea()));
    storeGeometry();
    lastPos_ = event->globalPos();
    event->accept();
}

void TitleBar::mouseReleaseEvent(QMouseEvent* event) {
    if (handOverToWindow(event)) {
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    event->accept();
}

void TitleBar::mouseDoubleClickEvent(QMouseEvent* event) {
    Q_UNUSED(event);
    ui_->max->click();
}

void TitleBar::storeGeometry() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* mainWindow = qobject_cast<MainWindow*>(top);
        if (mainWindow && mainWindow->config()) {
            mainWindow->config()->setGeometry(window()->geometry());
            return;
        }
    }
}

void TitleBar::updateMaxButton() {
    const bool maximized = window()->isMaximized();
    ui_->max->setToolTip(maximized ? tr("Restore") : tr("Maximize"));
    ui_->max->setProperty("state", maximized ? "restore" : "maximize");
    ui_->max->style()->unpolish(ui_->max);
    ui_->max->style()->polish(ui_->max);
    ui_->max->update();
}

bool TitleBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this) {
        switch (event->type()) {
            case QEvent::WindowTitleChange:
                ui_->title->setText(windowTitle());
                return true;
            case QEvent::WindowIconChange:
                ui_->icon->setPixmap(windowIcon().pixmap(ui_->icon->size()));
                return true;
            case QEvent::Show:
            case QEvent::ParentChange:
                // A maximise that does not change the bar's size is seen on the window only.
                if (window() != this && window() != watchedWindow_) {
                    if (watchedWindow_) {
                        watchedWindow_->removeEventFilter(this);
                    }
                    watchedWindow_ = window();
                    watchedWindow_->installEventFilter(this);
                }
                break;
            default:
                break;
        }
    }
    if (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange) {
        updateMaxButton();
    }
    return QWidget::eventFilter(watched, event);
}
