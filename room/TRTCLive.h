#pragma once

#include "room/ILiveRoom.h"

// The view of interactive tasks (room mode 2). Real-time rooms are not offered by this
// client, so it shows nothing of its own.
class TRTCLive : public ILiveRoom {
    Q_OBJECT
public:
    explicit TRTCLive(QWidget* parent = nullptr);

public slots:
    bool startLive() override { return false; }
    bool stopLive() override { return false; }
    bool enterRoom(uint32_t, uint32_t) override { return false; }
    bool leaveRoom() override { return false; }
};
