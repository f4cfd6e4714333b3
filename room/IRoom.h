#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

// What the main window asks of a room, whichever edition provides it.
class IRoom : public QWidget {
    Q_OBJECT
public:
    explicit IRoom(QWidget* parent = nullptr) : QWidget(parent) {}
    ~IRoom() override = default;

    // The console whose volume sliders the live settings follow; none by default.
    virtual QWidget* consoleWidget() const { return nullptr; }

public slots:
    // Opens the room of one task; the push address is the task's RTMP address.
    virtual void enterRoom(const QString& title, QString& pushUrl, uint32_t taskId,
                           uint32_t mode) = 0;
    // False while the room must not be left (streaming or recording).
    virtual bool leaveRoom() = 0;
    virtual bool onLiveStarted() = 0;
    virtual bool onLiveStopped() = 0;
};
