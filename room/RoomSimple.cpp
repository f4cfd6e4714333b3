#include "room/RoomSimple.h"

#include <QCoreApplication>

#include "chat/ChatRoom.h"
#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "frontend/OBSApp.h"
#include "frontend/StudioCodes.h"
#include "net/OrbHttpMgr.h"
#include "room/OBSLive.h"
#include "room/SpeakSimple.h"
#include "room/TRTCLive.h"
#include "shell/Scheme.h"
#include "shell/ormLive_AskDialog.h"
#include "ui_RoomSimple.h"

using namespace orbLiveImp;

namespace {

RoomSimple* g_room = nullptr;
constexpr int kAskOk = 1;

OBSApp* studio() {
    return qobject_cast<OBSApp*>(QCoreApplication::instance());
}

// Only the stream's start and end concern this room; the rest is the studio room's business.
void onStudioControl(uint8_t op, const QString&, QVariant value) {
    if (op != kSceneStreaming || !g_room) {
        return;
    }
    if (value.toBool()) {
        g_room->onLiveStarted();
    } else {
        g_room->onLiveStopped();
    }
}

void onStudioItem(const SceneItemData&) {}

}  // namespace

RoomSimple::RoomSimple(QWidget* parent, std::shared_ptr<live::IConfig> config,
                       std::shared_ptr<live::OrbHttpMgr> network)
    : IRoom(parent),
      ui_(new Ui::RoomSimple),
      config_(std::move(config)),
      network_(std::move(network)) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(Scheme::instance().styleSheet(QSS_ROOM));
    speak_ = new SpeakSimple(ui_->ctrl);
    speak_->setNetwork(network_);
    ui_->lay_ctrl->addWidget(speak_);
    chat_ = new ChatRoom(this);
    chat_->setServices(config_, network_);
    // The panel has no layout of its own to ask for room; it keeps its form's width.
    chat_->setMinimumWidth(chat_->expandedWidth());
    ui_->lay_chat->addWidget(chat_);
    obsLive_ = new OBSLive(ui_->widget);
    trtcLive_ = new TRTCLive(ui_->widget);
    obsLive_->hide();
    trtcLive_->hide();
    connect(speak_, &SpeakSimple::signalSpeakEvent, this, &RoomSimple::slotSpeakEvent);
    connect(speak_, &SpeakSimple::signalLiveTime, ui_->timeVal, &QLabel::setText);
    g_room = this;
}

RoomSimple::~RoomSimple() {
    if (g_room == this) {
        g_room = nullptr;
    }
}

RoomSimple* RoomSimple::current() {
    return g_room;
}

void RoomSimple::enterRoom(const QString& title, QString& pushUrl, uint32_t taskId, uint32_t mode) {
    if (taskId == taskId_ && mode == mode_ && liveWidget_) {
        return;
    }
    hide();
    taskId_ = taskId;
    mode_ = mode;
    ui_->titleName->setText(title);
    chat_->load(taskId, mode);
    showLiveWidget(mode);
    if (mode != kInteractiveMode) {
        setPushUrl(pushUrl);
    }
    speak_->setTaskId(taskId);
    if (studio()) {
        attachStudio();
    }
    speak_->start();
    show();
    live::log::info("{}: task {} mode {}", "RoomSimple::enterRoom", taskId, mode);
}

void RoomSimple::showLiveWidget(uint32_t mode) {
    ILiveRoom* chosen = mode == kInteractiveMode ? trtcLive_ : obsLive_;
    ILiveRoom* other = chosen == obsLive_ ? trtcLive_ : obsLive_;
    chosen->enterRoom(taskId_, mode);
    ui_->vlay_room->removeWidget(other);
    other->hide();
    ui_->vlay_room->addWidget(chosen);
    chosen->show();
    liveWidget_ = chosen;
}

void RoomSimple::setPushUrl(const QString& pushUrl) {
    const int slash = pushUrl.lastIndexOf(QLatin1Char('/'));
    if (studio()) {
        studio()->setRTMPUrl(pushUrl.left(slash + 1), pushUrl.mid(slash + 1));
    }
}

void RoomSimple::attachStudio() {
    studio()->OBSWinInit(liveWidget_, onStudioControl, onStudioItem);
    studio()->ctrlVoice(kMicrophoneVolume, kVolume);
    studio()->ctrlVoice(kSpeakerVolume, kVolume);
    studio()->ctrlVoice(kMicrophoneOn, 0);
    studio()->ctrlVoice(kSpeakerOn, 0);
    speak_->resetAudio();
}

bool RoomSimple::leaveRoom() {
    if (speak_->isStreaming()) {
        const QString text = tr("请先停止直播，然后再退出");
        ormLive_AskDialog dialog(tr("警告"), text, kAskOk, this);
        live::DialogSeam::exec(&dialog, text);
        return false;
    }
    if (speak_->isSpeechLayout()) {
        leaveSpeech();
    }
    if (studio()) {
        studio()->OBSWinReset();
    }
    if (liveWidget_) {
        liveWidget_->leaveRoom();
    }
    liveWidget_ = nullptr;
    speak_->stop();
    return true;
}

bool RoomSimple::onLiveStarted() {
    // The stream is on the air either way; only telling the service needs the manager.
    speak_->setStreaming(true);
    if (!network_) {
        return false;
    }
    const live::OrbHttpMgr::IParamID param(live::kTaskStartLive, int(taskId_));
    network_->sendReq(live::kTaskStartLive, network_->buildArgs(&param));
    return true;
}

bool RoomSimple::onLiveStopped() {
    speak_->setStreaming(false);
    return true;
}

void RoomSimple::slotSpeakEvent(uint8_t type) {
    switch (type) {
        case SpeakSimple::kEnterSpeech:
            enterSpeech();
            break;
        case SpeakSimple::kLeaveSpeech:
            leaveSpeech();
            break;
        case SpeakSimple::kShowChat:
            chat_->show();
            break;
        case SpeakSimple::kHideChat:
            chat_->hide();
            break;
        default:
            break;
    }
}

// The room's window steps aside so that the presenter's screen is free; the strip and the
// chat stay as windows of their own.
void RoomSimple::enterSpeech() {
    window()->hide();
    ui_->lay_chat->removeWidget(chat_);
    chat_->setFloating(true);
    chat_->show();
    ui_->lay_ctrl->removeWidget(speak_);
    speak_->setSpeechLayout(true);
    ui_->ctrl->hide();
}

void RoomSimple::leaveSpeech() {
    speak_->setSpeechLayout(false);
    ui_->lay_ctrl->addWidget(speak_);
    ui_->ctrl->show();
    speak_->show();
    chat_->setFloating(false);
    ui_->lay_chat->addWidget(chat_);
    chat_->show();
    window()->show();
}
