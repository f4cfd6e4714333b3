#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <cstdint>

class MainWindow;

// Turns the service's replies to the main window's requests into page updates, follow-up
// requests and messages.
class ServiceReplies : public QObject {
    Q_OBJECT
public:
    explicit ServiceReplies(MainWindow* window);

    void handle(uint8_t type, const QByteArray& data);

private:
    void onAvatarUploaded(const QByteArray& data, const QJsonObject& reply);
    void onTaskReply(uint8_t type, const QByteArray& data);
    void onInviteCode(const QJsonObject& reply);
    void onUserInfo(const QJsonObject& reply);
    void onLiveStarted(const QJsonObject& reply);
    void onLiveStopped(const QJsonObject& reply);
    void onAvatarChanged();
    void onAvatarImage(const QByteArray& data);

    MainWindow* window_;
    bool tracedTasks_ = false;
};
