#include "shell/ServiceReplies.h"

#include <QJsonDocument>

#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "net/IUserinfo.h"
#include "net/OrbHttpMgr.h"
#include "shell/MainWindow.h"
#include "shell/RequestNotice.h"
#include "shell/StartupTrace.h"
#include "shell/ormLive_AskDialog.h"
#include "shell/tasks/Task.h"

namespace {

// The list and details replies come wrapped and are read by the task list; the avatar
// download is a picture. Every other reply of the service is a JSON object.
bool expectsJsonObject(uint8_t type) {
    return type != live::kTaskListRoom && type != live::kTaskDetails &&
           type != live::kTaskAvatarDownload;
}

}  // namespace

ServiceReplies::ServiceReplies(MainWindow* window) : QObject(window), window_(window) {}

void ServiceReplies::handle(uint8_t type, const QByteArray& data) {
    if (!window_->network()) {
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(data);
    const QJsonObject reply = doc.isObject() ? doc.object() : QJsonObject();
    if (expectsJsonObject(type) && !reply.value(QStringLiteral("flag")).isDouble()) {
        // A proxy's error page or a cut-off answer: what the task asked for is unknown.
        live::log::warn("{}: unreadable reply to task {} ({} bytes)", "MainWindow::slotHttpEvent",
                        type, data.size());
    }
    switch (type) {
        case live::kTaskUserImage:
            onAvatarUploaded(data, reply);
            break;
        case live::kTaskListRoom:
        case live::kTaskDetails:
            onTaskReply(type, data);
            break;
        case live::kTaskToInvite:
            onInviteCode(reply);
            break;
        case live::kTaskGetUser:
            onUserInfo(reply);
            break;
        case live::kTaskStartLive:
            onLiveStarted(reply);
            break;
        case live::kTaskStopLive:
            onLiveStopped(reply);
            break;
        case live::kTaskUserUpdateAvatar:
            onAvatarChanged();
            break;
        case live::kTaskAvatarDownload:
            onAvatarImage(data);
            break;
        default:
            break;
    }
}

void ServiceReplies::onAvatarUploaded(const QByteArray& data, const QJsonObject& reply) {
    if (data.isEmpty() || reply.isEmpty()) {
        return;
    }
    const QString fileId =
        reply.value(QStringLiteral("data")).toObject().value(QStringLiteral("fileId")).toString();
    if (fileId.isEmpty()) {
        // A refused upload carries no file; pointing the avatar at nothing would only fail.
        live::log::warn("{}: avatar upload refused {}", "MainWindow::slotHttpEvent",
                        reply.value(QStringLiteral("msg")).toString());
        return;
    }
    live::OrbHttpMgr::IParamValue record(live::kTaskUserUpdateAvatar, fileId);
    RequestNotice::send(window_->network().get(), live::kTaskUserUpdateAvatar,
                        window_->network()->buildArgs(&record), window_,
                        "MainWindow::slotHttpEvent");
}

void ServiceReplies::onTaskReply(uint8_t type, const QByteArray& data) {
    Task* task = window_->taskList();
    if (data.isEmpty() || (task && !task->setData(data, type))) {
        live::MessageBox::warning(window_, tr("警告"), tr("获取任务信息失败"), QMessageBox::Ok);
        live::log::warn("{}: failed to get task info", "MainWindow::slotHttpEvent");
        return;
    }
    if (!task) {
        return;
    }
    if (!tracedTasks_ && window_->requestedStep() == MainWindow::kStepTasks) {
        tracedTasks_ = true;
        task->repaint();
        live::traceStartup("task-list");
    }
}

void ServiceReplies::onInviteCode(const QJsonObject& reply) {
    if (reply.isEmpty()) {
        return;
    }
    const QString code = reply.value(QStringLiteral("data"))
                             .toObject()
                             .value(QStringLiteral("inviteCode"))
                             .toString();
    if (code.isEmpty()) {
        // A refused request has no code; an empty box to copy from would look like one.
        live::log::warn("{}: no invitation code {}", "MainWindow::slotHttpEvent",
                        reply.value(QStringLiteral("msg")).toString());
        return;
    }
    ormLive_AskDialog dialog(tr("邀请码"), code, ormLive_AskDialog::kCopy, window_);
    live::DialogSeam::exec(&dialog, code);
}

void ServiceReplies::onUserInfo(const QJsonObject& reply) {
    const QJsonValue value = reply.value(QStringLiteral("data"));
    if (!value.isObject()) {
        live::MessageBox::warning(window_, tr("警告"), tr("获取用户信息失败"), QMessageBox::Ok);
        live::log::warn("{}: failed to get user info", "MainWindow::slotHttpEvent");
        window_->onLogout();
        return;
    }
    const QJsonObject info = value.toObject();
    const QString avatarUrl = info.value(QStringLiteral("avatarUrl")).toString();
    window_->userinfo()->setInfo(window_->config() ? window_->config()->dataDir() : QString(),
                                 info.value(QStringLiteral("nickname")).toString(), avatarUrl,
                                 info.value(QStringLiteral("phone")).toString());
    // A user without a picture keeps the default one; an empty address is no download.
    if (!window_->userinfo()->hasImage() && !window_->userinfo()->avatarUrl().isEmpty()) {
        window_->network()->fetch(live::kTaskAvatarDownload, window_->userinfo()->avatarUrl(),
                                  "ServiceReplies::onUserInfo");
    }
    window_->updateUserInfo();
}

void ServiceReplies::onLiveStarted(const QJsonObject& reply) {
    // An unreadable reply confirms nothing either: the viewers may not see the broadcast.
    if (reply.value(QStringLiteral("flag")).toInt(0) == 1) {
        return;
    }
    live::log::warn("{}: failed to start live", "MainWindow::slotHttpEvent");
    live::MessageBox::warning(window_, MainWindow::tr("Warning"),
                              tr("网络请求失败，APP端可能无法观看直播，\n"
                                 "请结束直播，检查网络，然后再开启直播"),
                              QMessageBox::Ok);
}

void ServiceReplies::onLiveStopped(const QJsonObject& reply) {
    if (reply.isEmpty()) {
        return;
    }
    if (Task* task = window_->taskList()) {
        task->on_flush_clicked();
    }
}

void ServiceReplies::onAvatarChanged() {
    window_->requestUserInfo();
    window_->step(MainWindow::kStepProfile);
}

void ServiceReplies::onAvatarImage(const QByteArray& data) {
    window_->userinfo()->setImage(data);
    window_->updateUserInfo();
}
