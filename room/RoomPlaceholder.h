#pragma once

#include "room/IRoom.h"

class QLabel;

// Stands in for the studio and speech rooms until they exist: it shows which task was
// entered and where it would be pushed, and can always be left.
class RoomPlaceholder : public IRoom {
    Q_OBJECT
public:
    enum Edition { kStudio = 0, kSpeech = 1 };

    explicit RoomPlaceholder(Edition edition, QWidget* parent = nullptr);

    Edition edition() const { return edition_; }
    bool inRoom() const { return inRoom_; }
    uint32_t taskId() const { return taskId_; }
    uint32_t mode() const { return mode_; }

public slots:
    void enterRoom(const QString& title, QString& pushUrl, uint32_t taskId, uint32_t mode) override;
    bool leaveRoom() override;
    bool onLiveStarted() override;
    bool onLiveStopped() override;

private:
    Edition edition_;
    QLabel* title_;
    QLabel* pushUrl_;
    bool inRoom_ = false;
    uint32_t taskId_ = 0;
    uint32_t mode_ = 0;
};
