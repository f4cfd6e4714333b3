#include "room/SpeakSimple.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/DialogSeam.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "frontend/OBSApp.h"
#include "frontend/StudioCodes.h"
#include "material/obsSourceManage.h"
#include "net/OrbHttpMgr.h"
#include "platform/WindowList.h"
#include "room/MonitorReporter.h"
#include "room/RoomStatusText.h"
#include "share/orbLive_ShareWinEnumWidget.h"
#include "shell/Toast.h"
#include "studio/OrbOBS.h"
#include "ui_SpeakSimple.h"

using namespace orbLiveImp;

namespace {

// The desktop is captured as the screen the title names; this one names none, so the
// first screen is taken.
const QString kDesktopCapture = QStringLiteral("Program Manager");

QPoint centredIn(const QRect& area, const QSize& size) {
    return area.center() - QPoint(size.width() / 2, size.height() / 2);
}

}  // namespace

SpeakSimple::SpeakSimple(QWidget* parent)
    : QWidget(parent), ui_(new Ui::SpeakSimple), panel_(new obsSourceManage(this)) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->property("id").isValid()) {
            connect(b, &QPushButton::clicked, this, &SpeakSimple::onClick);
        }
    }
    ui_->chat->hide();
    panel_->hide();
    connect(panel_, &obsSourceManage::signalVisble, ui_->sources, &QPushButton::setChecked);
    resourceTimer_.setInterval(kResourceMs);
    connect(&resourceTimer_, &QTimer::timeout, this, &SpeakSimple::slotResourceMonitor);
}

SpeakSimple::~SpeakSimple() = default;

void SpeakSimple::setNetwork(std::shared_ptr<live::OrbHttpMgr> network) {
    network_ = std::move(network);
    delete monitor_;
    monitor_ = nullptr;
    if (network_) {
        monitor_ = new MonitorReporter(
            network_, [this] { return util_; }, this);
        // Once per outage, not every minute: the broadcast itself goes on.
        connect(monitor_, &MonitorReporter::signalServiceLost, this,
                [this] { Toast::showTip(tr("网络异常，直播数据将在网络恢复后补报"), window()); });
    }
}

OBSApp* SpeakSimple::app() {
    return qobject_cast<OBSApp*>(QCoreApplication::instance());
}

QPushButton* SpeakSimple::button(ButtonId id) const {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->property("id").toInt() == id && b->property("id").isValid()) {
            return b;
        }
    }
    return nullptr;
}

void SpeakSimple::setButton(ButtonId id, bool checked, const QString& text) {
    QPushButton* b = button(id);
    b->setChecked(checked);
    b->setText(text);
}

void SpeakSimple::start() {
    OBSApp* studio = app();
    if (!studio) {
        return;
    }
    studio->resetSouceParent(panel_->sourceLayout(), panel_->sourceWidget());
    // Items may have gone through the source list since the buttons were last set, so the
    // buttons follow the scene both ways.
    const bool sharing = !studio->getNameListofShareInSence().isEmpty();
    setButton(kShare, sharing, sharing ? tr("结束共享") : tr("共享"));
    const bool camera = !studio->getNameListofCamerasInSence().isEmpty();
    setButton(kCamera, camera, camera ? tr("关闭相机") : tr("开启相机"));
    resourceTimer_.start();
}

void SpeakSimple::stop() {
    if (OBSApp* studio = app()) {
        studio->resetSouceParent(panel_->sourceLayout(), nullptr);
    }
    hidePanel();
    resourceTimer_.stop();
}

void SpeakSimple::resetAudio() {
    setButton(kAudio, false, tr("静音"));
}

bool SpeakSimple::isStreaming() const {
    return streaming_ || ui_->live->isChecked();
}

void SpeakSimple::setStreaming(bool on) {
    streaming_ = on;
    if (on) {
        if (!ui_->live->isChecked()) {
            ui_->live->setChecked(true);
            warn(tr("直播未能正常停止，请稍后再试。"));
        }
        if (monitor_ && !monitor_->isRunning()) {
            monitor_->start(taskId_);
        }
        ui_->live->setText(tr("停止直播"));
        return;
    }
    if (ui_->live->isChecked()) {
        ui_->live->setChecked(false);
        warn(tr("直播未能正常启动，请稍后再试。"));
    }
    if (monitor_) {
        monitor_->stop();
    }
    ui_->util_rb->clear();
    ui_->live->setText(tr("开始直播"));
}

void SpeakSimple::warn(const QString& text) {
    // The catalogues keep the room's title for its warnings; the strip is part of that room.
    live::MessageBox::warning(this, QCoreApplication::translate("RoomSimple", "Warning"), text);
}

void SpeakSimple::onClick(bool checked) {
    if (!sender()) {
        return;
    }
    if (!app()) {
        // Nothing happened, so the button must not say otherwise.
        if (auto* b = qobject_cast<QPushButton*>(sender())) {
            b->setChecked(!checked);
        }
        return;
    }
    switch (sender()->property("id").toInt()) {
        case kAudio:
            onAudio(checked);
            break;
        case kCamera:
            onCamera(checked);
            break;
        case kShare:
            onShare(checked);
            break;
        case kLive:
            app()->ctrlVoice(checked ? kStreamStart : kStreamStop, 0);
            break;
        case kSources:
            onSources(checked);
            break;
        case kSpeak:
            ui_->speak->setText(checked ? tr("退出演讲") : tr("演讲模式"));
            emit signalSpeakEvent(checked ? kEnterSpeech : kLeaveSpeech);
            break;
        case kChat:
            emit signalSpeakEvent(checked ? kShowChat : kHideChat);
            break;
        default:
            break;
    }
}

void SpeakSimple::onAudio(bool checked) {
    ui_->audio->setText(checked ? tr("取消静音") : tr("静音"));
    app()->ctrlVoice(checked ? kSpeakerMute : kSpeakerOn, 0);
    app()->ctrlVoice(checked ? kMicrophoneMute : kMicrophoneOn, 0);
}

void SpeakSimple::onCamera(bool checked) {
    if (!checked) {
        ui_->camera->setText(tr("开启相机"));
        OrbOBS::instance().removeCameras();
        emit sourceChangeed();
        return;
    }
    OrbOBS::instance().ensureCamera();
    // The studio says nothing when the scene could take no camera; the button must not lie.
    if (app()->getNameListofCamerasInSence().isEmpty()) {
        ui_->camera->setChecked(false);
        warn(tr("相机开启失败，请检查相机后再试。"));
        return;
    }
    ui_->camera->setText(tr("关闭相机"));
    emit sourceChangeed();
}

void SpeakSimple::onShare(bool checked) {
    if (checked) {
        shareChosen();
    } else {
        unshare();
    }
}

void SpeakSimple::shareChosen() {
    orbLive_ShareWinEnumWidget picker(this);
    const int answer = live::DialogSeam::exec(&picker, QStringLiteral("share picker"));
    const QString title = picker.selectedTitle();
    if (answer != QDialog::Accepted || title.isEmpty()) {
        ui_->share->setChecked(false);
        return;
    }
    // The desktop is told by its id, not its title: a window may well be named like it.
    const bool desktop = picker.selectedWindowId() == live::WindowList::desktopWindowId();
    const QString added =
        desktop ? app()->fastAddMinotor(kDesktopCapture) : app()->fastAddWindow(title);
    if (added.isEmpty()) {
        ui_->share->setChecked(false);
        live::log::warn("{}: cannot capture {}", "SpeakSimple::shareChosen", title);
        warn(tr("共享“%1”失败，请重新选择。").arg(title));
        return;
    }
    ui_->share->setText(tr("结束共享"));
    OrbOBS::instance().raiseCamera();
    emit sourceChangeed();
}

void SpeakSimple::unshare() {
    for (const QString& name : app()->getNameListofShareInSence()) {
        app()->removeScenceItem(name, false);
    }
    ui_->share->setText(tr("共享"));
    emit sourceChangeed();
}

void SpeakSimple::onSources(bool checked) {
    if (!checked) {
        panel_->hide();
        return;
    }
    const QRect area = speechLayout_ ? QGuiApplication::primaryScreen()->availableGeometry()
                                     : window()->frameGeometry();
    panel_->move(centredIn(area, panel_->size()));
    panel_->raise();
    panel_->show();
}

void SpeakSimple::hidePanel() {
    ui_->sources->setChecked(false);
    panel_->hide();
}

void SpeakSimple::setSpeechLayout(bool on) {
    hidePanel();
    ui_->sources->setVisible(!on);
    if (!on) {
        speechLayout_ = false;
        setButton(kSpeak, false, tr("演讲模式"));
        ui_->chat->hide();
        setWindowFlags(Qt::Widget);
        return;
    }
    if (!speechLayout_) {
        normalSize_ = size();
    }
    speechLayout_ = true;
    ui_->chat->setChecked(true);
    ui_->chat->show();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    resize(normalSize_);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    move(area.left() + int((area.width() - width()) * 0.5), area.top());
    show();
}

void SpeakSimple::slotReportMonitor() {
    if (monitor_) {
        monitor_->slotReportMonitor();
    }
}

void SpeakSimple::slotResourceMonitor() {
    OrbOBS::instance().getResourceUtility(util_);
    ui_->util_rt->setText(utilityText(util_));
    ui_->util_rb->setText(streaming_ ? bandwidthText(util_) : QString());
    emit signalLiveTime(clockText(util_.liveSeconds));
}

QString SpeakSimple::utilityText(const ResourceUtil& util) {
    return RoomStatusText::figures(util);
}

QString SpeakSimple::bandwidthText(const ResourceUtil& util) {
    return RoomStatusText::bandwidth(util, QStringLiteral("kbp/s"));
}

QString SpeakSimple::clockText(uint64_t seconds) {
    return RoomStatusText::clock(seconds);
}

void SpeakSimple::mousePressEvent(QMouseEvent* event) {
    if (speechLayout_ && event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPos() - pos();
    }
    QWidget::mousePressEvent(event);
}

void SpeakSimple::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && speechLayout_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPos() - dragOffset_);
    }
    QWidget::mouseMoveEvent(event);
}

void SpeakSimple::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}
