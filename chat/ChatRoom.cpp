#include "chat/ChatRoom.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QUrl>
#include <cmath>

#include "core/IConfig.h"
#include "core/Log.h"
#include "net/INetwork.h"
#include "net/OrbHttpMgr.h"
#include "shell/web/OrbWebView.h"
#include "ui_ChatRoom.h"

namespace {

const char* const kTagLoad = "ChatRoom::load";
constexpr int kFramePollMs = 50;
constexpr int kFramePolls = 40;

// A detached panel: a tool window with a title, above the room and its dialogs.
constexpr Qt::WindowFlags kFloatingFlags =
    Qt::Tool | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint;

}  // namespace

ChatRoom::ChatRoom(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::ChatRoom>()) {
    ui_->setupUi(this);
    web_ = new OrbWebView(this);
    web_->init(false);
    expandedWidth_ = width();
    expandedHeight_ = height();
    foldedWidth_ = ui_->ctrl->width();
    ui_->ctrl->move(0, int(std::floor(0.5 * height() - ui_->ctrl->height())));
    ui_->ctrl->raise();
    framePoll_.setInterval(kFramePollMs);
    connect(&framePoll_, &QTimer::timeout, this, &ChatRoom::slotFramePoll);
}

ChatRoom::~ChatRoom() = default;

void ChatRoom::setServices(std::shared_ptr<live::IConfig> config,
                           std::shared_ptr<live::INetwork> network) {
    config_ = std::move(config);
    network_ = std::move(network);
}

QPushButton* ChatRoom::foldButton() const {
    return ui_->ctrl;
}

bool ChatRoom::isFolded() const {
    return !ui_->ctrl->isChecked();
}

QString ChatRoom::chatUrl(const QString& pattern, const QString& userName, uint32_t taskId,
                          uint32_t mode, bool oldVariant) {
    // One pass over the markers, so a value that looks like a marker is left alone.
    return pattern.arg(QString::fromLatin1(QUrl::toPercentEncoding(userName)),
                       QString::number(taskId), QString::number(mode),
                       oldVariant ? QStringLiteral("true") : QStringLiteral("false"));
}

void ChatRoom::load(uint32_t taskId, uint32_t mode) {
    ui_->ctrl->move(0, height() / 2);
    if (!web_) {
        return;
    }
    if (!config_ || !network_) {
        live::log::error("{}: no configuration or network manager, chat not loaded", kTagLoad);
        return;
    }
    const QString pattern = network_->getUrl(live::kTaskEnterChatRoom);
    if (pattern.isEmpty()) {
        live::log::error("{}: the network task data has no chat page", kTagLoad);
        return;
    }
    web_->loadPage(chatUrl(pattern, config_->getName(0), taskId, mode, config_->getType() != 0));
}

void ChatRoom::on_ctrl_clicked(bool checked) {
    if (checked) {
        web_->show();
        setMinimumWidth(expandedWidth_);
        resize(expandedWidth_, height());
    } else {
        web_->hide();
        setMinimumWidth(foldedWidth_);
        resize(foldedWidth_, height());
    }
}

void ChatRoom::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize size = event->size();
    if (!ui_->ctrl->isHidden()) {
        ui_->ctrl->move(0, int(std::floor((size.height() - ui_->ctrl->height()) * 0.5)));
    }
    if (ui_->ctrl->isChecked()) {
        expandedWidth_ = size.width();
        expandedHeight_ = size.height();
    }
    if (web_) {
        web_->resize(size);
    }
}

void ChatRoom::setFloating(bool floating) {
    if (floating) {
        detach();
    } else {
        dock();
    }
}

void ChatRoom::detach() {
    setWindowFlags(kFloatingFlags);
    if (!ui_->ctrl->isChecked()) {
        ui_->ctrl->click();  // a detached strip would show nothing
    }
    ui_->ctrl->hide();
    expandedWidth_ = width();
    expandedHeight_ = height();
    setFixedSize(expandedWidth_, expandedHeight_);
    placeAtTopRight();
    raise();
    show();
    floating_ = true;
    // The window manager adds its frame only after the window is shown; once it is known,
    // the frame, title bar included, goes to the corner rather than off the screen.
    framePolls_ = kFramePolls;
    framePoll_.start();
}

void ChatRoom::slotFramePoll() {
    const bool framed = frameGeometry() != geometry();
    if (!floating_ || framed || --framePolls_ <= 0) {
        framePoll_.stop();
    }
    if (floating_ && framed) {
        placeAtTopRight();
    }
}

void ChatRoom::placeAtTopRight() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + area.width() - frameGeometry().width(), area.y());
    }
}

void ChatRoom::dock() {
    // Back to a plain child, or the room's layout would hold a separate window; and no
    // longer of fixed size, so the layout can size it again.
    setWindowFlags((windowFlags() & ~Qt::WindowStaysOnTopHint & ~Qt::WindowType_Mask) | Qt::Widget);
    setMinimumSize(ui_->ctrl->isChecked() ? expandedWidth_ : foldedWidth_, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ui_->ctrl->show();
    show();
    floating_ = false;
}
