#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "room/ILiveRoom.h"
#include "room/IRoom.h"

class ChatRoom;
class SpeakSimple;

namespace live {
class IConfig;
class OrbHttpMgr;
}  // namespace live

namespace Ui {
class RoomSimple;
}

// The speech editions' room: the picture, the control strip and the chat in one window.
// In speech mode the window steps aside and the strip and the chat float on their own.
class RoomSimple : public IRoom {
    Q_OBJECT
public:
    // Interactive rooms show the real-time view instead of the studio's picture.
    static constexpr uint32_t kInteractiveMode = 2;
    static constexpr int kVolume = 80;

    RoomSimple(QWidget* parent, std::shared_ptr<live::IConfig> config,
               std::shared_ptr<live::OrbHttpMgr> network);
    ~RoomSimple() override;

    // The room that exists, for the studio's plain callbacks; null when there is none.
    static RoomSimple* current();

    uint32_t taskId() const { return taskId_; }
    uint32_t mode() const { return mode_; }
    ILiveRoom* liveWidget() const { return liveWidget_; }
    SpeakSimple* speak() const { return speak_; }
    ChatRoom* chat() const { return chat_; }

public slots:
    void enterRoom(const QString& title, QString& pushUrl, uint32_t taskId, uint32_t mode) override;
    bool leaveRoom() override;
    bool onLiveStarted() override;
    bool onLiveStopped() override;
    void slotSpeakEvent(uint8_t type);

private:
    void showLiveWidget(uint32_t mode);
    static void setPushUrl(const QString& pushUrl);
    void attachStudio();
    void enterSpeech();
    void leaveSpeech();

    std::unique_ptr<Ui::RoomSimple> ui_;
    std::shared_ptr<live::IConfig> config_;
    std::shared_ptr<live::OrbHttpMgr> network_;
    SpeakSimple* speak_;
    ChatRoom* chat_;
    ILiveRoom* obsLive_;
    ILiveRoom* trtcLive_;
    ILiveRoom* liveWidget_ = nullptr;
    uint32_t taskId_ = 0;
    uint32_t mode_ = 0;
};
