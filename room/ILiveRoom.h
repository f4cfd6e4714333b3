#pragma once

#include <QWidget>
#include <cstdint>

// The view a room shows its broadcast in: the studio's host widget, or the real-time
// room view of interactive tasks.
class ILiveRoom : public QWidget {
    Q_OBJECT
public:
    explicit ILiveRoom(QWidget* parent = nullptr) : QWidget(parent) {}
    ~ILiveRoom() override = default;

public slots:
    virtual bool startLive() = 0;
    virtual bool stopLive() = 0;
    // Called with the task id and room mode on entering, and on leaving.
    virtual bool enterRoom(uint32_t taskId, uint32_t mode) = 0;
    virtual bool leaveRoom() = 0;
};
