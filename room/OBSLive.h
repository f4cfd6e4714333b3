#pragma once

#include "room/ILiveRoom.h"

// The studio's host: the frontend library draws its preview into this widget. The
// operations are the library's business, so they do nothing here.
class OBSLive : public ILiveRoom {
    Q_OBJECT
public:
    explicit OBSLive(QWidget* parent = nullptr);

public slots:
    bool startLive() override { return false; }
    bool stopLive() override { return false; }
    bool enterRoom(uint32_t, uint32_t) override { return false; }
    bool leaveRoom() override { return false; }
};
