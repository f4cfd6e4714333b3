#include "room/Room.h"

#include <QCoreApplication>
#include <QScreen>

#include "chat/ChatRoom.h"
#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "frontend/OBSApp.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"
#include "material/AddMaterial.h"
#include "net/OrbHttpMgr.h"
#include "room/Console.h"
#include "room/InfoBar.h"
#include "room/MonitorReporter.h"
#include "room/OBSLive.h"
#include "room/RoomStatusText.h"
#include "room/Scene.h"
#include "room/Speaker.h"
#include "room/TRTCLive.h"
#include "shell/Toast.h"
#include "shell/ormLive_AskDialog.h"
#include "studio/OrbOBS.h"
#include "ui_Room.h"

using namespace orbLiveImp;

namespace {

Room* g_room = nullptr;

constexpr int kResourceIntervalMs = 1000;
constexpr int kRecordToastMs = 5000;
constexpr int kLagToastMs = 8000;
constexpr int kFirstEntryVolume = 80;
constexpr uint32_t kInteractiveMode = 2;
constexpr int kAskOk = 1;

void sceneControl(uint8_t op, const QString& name, const QVariant& value) {
    if (g_room) {
        g_room->onSceneControl(op, name, value);
    }
}

void sceneItem(const SceneItemData& data) {
    if (g_room) {
        g_room->onSceneItem(data);
    }
}

void warn(QWidget* parent, const QString& text) {
    live::MessageBox::warning(parent, Room::tr("Warning"), text, QMessageBox::Ok);
}

}  // namespace

Room::Room(QWidget* parent, std::shared_ptr<live::IConfig> config,
           std::shared_ptr<live::OrbHttpMgr> network)
    : IRoom(parent),
      ui_(std::make_unique<Ui::Room>()),
      config_(std::move(config)),
      network_(std::move(network)),
      app_(qobject_cast<OBSApp*>(QCoreApplication::instance())) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    obsLive_ = new OBSLive(ui_->widget_live);
    trtcLive_ = new TRTCLive(ui_->widget_live);
    obsLive_->hide();
    trtcLive_->hide();
    speaker_ = new Speaker(nullptr);
    dialog_ = new AddMaterial(this);
    ui_->chat->setServices(config_, network_);
    monitor_ = new MonitorReporter(
        network_, [this] { return util_; }, this);
    resourceTimer_.setInterval(kResourceIntervalMs);
    connect(&resourceTimer_, &QTimer::timeout, this, &Room::slotResourceMonitor);
    connectWidgets();
    markUnavailableKinds();
    g_room = this;
}

void Room::markUnavailableKinds() {
    for (const SourceKind& kind : SourceKinds::table()) {
        const QString reason = OrbOBS::instance().unavailableReason(kind.kind);
        if (!reason.isEmpty()) {
            ui_->material->setUnavailable(kind.kind, reason);
        }
    }
}

Room::~Room() {
    if (g_room == this) {
        g_room = nullptr;
    }
    // A deferred deletion would never run when the window goes after the event loop ended (as
    // it does at exit), and the room never goes from inside one of the panel's own signals.
    delete speaker_;
}

QWidget* Room::consoleWidget() const {
    return ui_->console;
}

Console* Room::console() const {
    return ui_->console;
}

Scene* Room::scene() const {
    return ui_->scene;
}

Room* Room::current() {
    return g_room;
}

void Room::connectWidgets() {
    connect(ui_->scene, &Scene::signalCtrlScene, this, &Room::slotCtrlScene);
    connect(ui_->scene, &Scene::signalCtrlSceneItem, this, &Room::slotCtrlSceneItem);
    connect(ui_->scene, &Scene::signalShowSourceProp, this, &Room::slotShowSourceProp);
    connect(ui_->material, &Material::signalAddMaterial, this, &Room::slotAddMaterial);
    connect(ui_->infobar, &InfoBar::signalSpeechMode, this, &Room::slotSpeechMode);
    connect(ui_->console, &Console::signalConsoleEvent, this, &Room::slotConsoleEvent);
    connect(speaker_, &Speaker::signalSpeechEvent, this, &Room::slotSpeechEvent);
    connect(dialog_, &AddMaterial::signalMaterialAdded, this, &Room::sourceChangeed);
    connect(dialog_, &AddMaterial::signalMaterialChanged, this, &Room::sourceChangeed);
    connect(monitor_, &MonitorReporter::signalServiceLost, this, &Room::onServiceLost);
    connect(monitor_, &MonitorReporter::signalServiceBack, this, &Room::onServiceBack);
}

void Room::enterRoom(const QString& title, QString& pushUrl, uint32_t taskId, uint32_t mode) {
    if (live_ && taskId == taskId_ && mode == mode_) {
        return;
    }
    hide();
    taskId_ = taskId;
    mode_ = mode;
    ui_->infobar->setTitle(title);
    ui_->chat->load(taskId, mode);
    showLiveWidget(taskId, mode);
    if (app_) {
        const int slash = pushUrl.lastIndexOf(QLatin1Char('/'));
        app_->setRTMPUrl(pushUrl.left(slash + 1), pushUrl.mid(slash + 1));
        attachStudio();
    }
    resourceTimer_.start();
    show();
}

void Room::showLiveWidget(uint32_t taskId, uint32_t mode) {
    ILiveRoom* chosen = mode == kInteractiveMode ? static_cast<ILiveRoom*>(trtcLive_)
                                                 : static_cast<ILiveRoom*>(obsLive_);
    ILiveRoom* other =
        chosen == obsLive_ ? static_cast<ILiveRoom*>(trtcLive_) : static_cast<ILiveRoom*>(obsLive_);
    chosen->enterRoom(taskId, mode);
    ui_->vlay_room->removeWidget(other);
    other->hide();
    ui_->vlay_room->addWidget(chosen);
    chosen->show();
    live_ = chosen;
}

void Room::attachStudio() {
    app_->OBSWinInit(live_, sceneControl, sceneItem);
    if (firstEntry_) {
        ui_->console->resetVolumes();
        firstEntry_ = false;
    }
    const bool muted = config_ && config_->runtime().mute;
    app_->ctrlVoice(muted ? kMicrophoneMute : kMicrophoneOn, 0);
    app_->ctrlVoice(kSpeakerOn, 0);
    ui_->console->setState(muted ? kMicrophoneMute : kMicrophoneOn, 0);
}

bool Room::leaveRoom() {
    if (ui_->console->isStreaming() || ui_->console->isRecording()) {
        const QString text = tr("请先停止直播或录制，然后再退出");
        ormLive_AskDialog dialog(tr("警告"), text, kAskOk, this);
        live::DialogSeam::exec(&dialog, text);
        return false;
    }
    resourceTimer_.stop();
    if (app_) {
        app_->OBSWinReset();
    }
    if (live_) {
        live_->leaveRoom();
        live_ = nullptr;
    }
    ui_->scene->clear();
    return true;
}

bool Room::onLiveStarted() {
    if (!network_) {
        return false;
    }
    live::OrbHttpMgr::IParamID start;
    start.type = live::kTaskStartLive;
    start.id = static_cast<int>(taskId_);
    if (network_->sendReq(live::kTaskStartLive, network_->buildArgs(&start)) != 0) {
        live::log::error("{}: start_live not sent, task {}", "Room::onLiveStarted", taskId_);
    }
    monitor_->start(taskId_);
    ui_->console->setState(kStreamStart, 0);
    if (speaker_) {
        speaker_->setState(Speaker::kLive, true);
    }
    return true;
}

bool Room::onLiveStopped() {
    monitor_->stop();
    ui_->console->setState(kStreamStop, 0);
    if (speaker_) {
        speaker_->setState(Speaker::kLive, false);
    }
    return true;
}

void Room::onSceneControl(uint8_t op, const QString& name, const QVariant& value) {
    if (op == kSceneStreaming) {
        value.toBool() ? onLiveStarted() : onLiveStopped();
        return;
    }
    if (op != kSceneRecording) {
        ui_->scene->ctrlScene(op, name, value);
        return;
    }
    const bool recording = value.toBool();
    ui_->console->setState(recording ? kRecordStart : kRecordStop, 0);
    if (speaker_) {
        speaker_->setState(Speaker::kRecord, recording);
    }
    if (!recording) {
        onRecordingEnded(name);
    }
}

void Room::onRecordingEnded(const QString& path) {
    orbLiveImp::ResourceUtil now;  // the room's own figures keep their one-second rhythm
    OrbOBS::instance().getResourceUtility(now);
    if (!now.recordFailed) {
        Toast::showTip(tr("录制结束，视频文件\n%1").arg(path), this, kRecordToastMs);
        return;
    }
    // Stopped by the engine, not by the presenter: most often the disk is full. The stream
    // goes on by itself; what was recorded so far is kept.
    warn(this, path.isEmpty()
                   ? tr("录制意外中断（磁盘已满或无法写入），没有保存录制文件")
                   : tr("录制意外中断（磁盘已满或无法写入），已录制的内容保存在\n%1").arg(path));
}

void Room::onSceneItem(const SceneItemData& data) {
    if (data.op != kItemAudioLevel) {
        ui_->scene->ctrlSceneItem(data);
        return;
    }
    const bool active = data.value != 0;
    ui_->console->setAudioActivity(active);
    if (speaker_ && speaker_->isVisible()) {
        speaker_->setAudioActivity(active);
    }
}

void Room::slotCtrlScene(uint8_t type, const QString& name, const QVariant& value) {
    if (app_) {
        app_->ctrlScene(type, name, value);
    }
}

void Room::slotCtrlSceneItem(const QString& name, uint8_t type, const QVariant& value) {
    if (app_) {
        app_->ctrlSceneItem(name, type, value);
    }
}

void Room::slotShowSourceProp(const QString& name) {
    if (!dialog_) {
        warn(this, tr("系统错误，素材对话框未创建成功"));
        return;
    }
    if (dialog_->openForView(name)) {
        placeDialog();
    }
}

void Room::slotAddMaterial(uint8_t type) {
    if (ui_->scene->currentIndex() < 0) {
        warn(this, tr("请先创建画面"));
        return;
    }
    if (!dialog_) {
        warn(this, tr("系统错误，素材对话框未创建成功"));
        return;
    }
    dialog_->openForAdd(type);
    placeDialog();
}

void Room::placeDialog() {
    const QRect frame = window()->geometry();
    dialog_->move(frame.left() + 30, frame.top() + frame.height() - dialog_->height() - 60);
    dialog_->show();
    dialog_->raise();
}

void Room::slotSpeechMode() {
    if (!speaker_) {
        warn(this, tr("系统错误，演讲者对话框未创建成功"));
        return;
    }
    window()->hide();
    ui_->hlay->removeWidget(ui_->chat);
    ui_->chat->setParent(nullptr);
    ui_->chat->setFloating(true);
    speaker_->showBound(ui_->console);
}

void Room::slotSpeechEvent(uint8_t type) {
    switch (type) {
        case Speaker::kSpeaker:
        case Speaker::kVolume:
        case Speaker::kLive:
        case Speaker::kRecord:
            ui_->console->clickControl(type);
            break;
        case Speaker::kChat:
            ui_->chat->setVisible(!ui_->chat->isVisible());
            break;
        case Speaker::kQuit:
            leaveSpeechMode();
            break;
        default:
            break;
    }
}

void Room::leaveSpeechMode() {
    speaker_->hide();
    ui_->chat->setFloating(false);
    ui_->chat->setParent(this);
    ui_->hlay->addWidget(ui_->chat);
    ui_->chat->show();
    window()->show();
}

void Room::slotConsoleEvent(uint8_t type, uint8_t value) {
    if (type <= kMicrophoneVolume) {
        if ((type == kMicrophoneOn || type == kMicrophoneMute) && config_) {
            config_->setMute(type == kMicrophoneMute);
        }
        if (app_) {
            app_->ctrlVoice(type, value);
        }
        ui_->console->setState(type, value);
        return;
    }
    if (!app_ || app_->ctrlVoice(type, value)) {
        return;
    }
    // A start the studio refused (the last broadcast is still being wound up, say) reports
    // nothing back: the console must not go on showing it as running.
    if (type == kStreamStart || type == kRecordStart) {
        ui_->console->setState(type == kStreamStart ? kStreamStop : kRecordStop, 0);
    }
}

void Room::slotReportMonitor() {
    monitor_->slotReportMonitor();
}

void Room::slotResourceMonitor() {
    orbLiveImp::ResourceUtil util;
    OrbOBS::instance().getResourceUtility(util);
    if (!resourceClock_.isValid()) {
        resourceClock_.start();
    }
    takeResources(util, resourceClock_.elapsed());
}

void Room::takeResources(const orbLiveImp::ResourceUtil& util, qint64 ms) {
    util_ = util;
    if (!ui_->console->isStreaming()) {
        lagWatch_.restart();
    } else if (lagWatch_.feed(ms, util_)) {
        onEngineLagging();
    }
    ui_->console->setUtility(statusText());
    ui_->infobar->setClock(InfoBar::kClockLive, RoomStatusText::clock(util_.liveSeconds));
    ui_->infobar->setClock(InfoBar::kClockRecord, RoomStatusText::clock(util_.recordSeconds));
    if (speaker_) {
        speaker_->setTime(RoomStatusText::clock(util_.liveSeconds));
    }
}

QString Room::statusText() const {
    QString text = RoomStatusText::status(util_, ui_->console->isStreaming());
    if (serviceLost_) {
        text += tr("  服务器连接中断，统计数据将在恢复后补报");
    }
    if (lagWatch_.warned()) {
        text += tr("  画面卡顿，请在直播设置中降低分辨率或帧率");
    }
    return text;
}

void Room::onServiceLost() {
    serviceLost_ = true;
    Toast::showTip(tr("与服务器的连接中断，直播不受影响，统计数据将在恢复后补报"), this);
}

void Room::onEngineLagging() {
    live::log::warn("{}: {:.1f}% of the frames of the last {} s came late or were skipped",
                    "Room::onEngineLagging", lagWatch_.percent(), LagWatch::kWindowMs / 1000);
    Toast::showTip(tr("电脑性能不足，观众看到的画面可能卡顿。"
                      "请在直播设置中降低分辨率或帧率"),
                   this, kLagToastMs);
}

void Room::onServiceBack() {
    serviceLost_ = false;
}
