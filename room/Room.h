#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <cstdint>
#include <memory>

#include "frontend/ResourceUtil.h"
#include "frontend/SceneItemData.h"
#include "room/IRoom.h"
#include "room/LagWatch.h"

namespace live {
class IConfig;
class OrbHttpMgr;
}  // namespace live

namespace Ui {
class Room;
}

class AddMaterial;
class Console;
class Scene;
class ILiveRoom;
class MonitorReporter;
class OBSApp;
class OBSLive;
class Speaker;
class TRTCLive;

// The studio room: the studio's preview with its scenes, materials, console, info bar and
// chat. It hands the task's push address to the studio, routes the studio's reports to its
// widgets, tells the service when the broadcast starts, reports the figures every minute
// while live and cannot be left while streaming or recording.
class Room : public IRoom {
    Q_OBJECT
public:
    Room(QWidget* parent, std::shared_ptr<live::IConfig> config,
         std::shared_ptr<live::OrbHttpMgr> network);
    ~Room() override;

    // The room that exists, for the studio's plain-function callbacks; null when none.
    static Room* current();

    uint32_t taskId() const { return taskId_; }
    uint32_t mode() const { return mode_; }
    ILiveRoom* liveWidget() const { return live_; }
    Speaker* speaker() const { return speaker_; }
    AddMaterial* materialDialog() const { return dialog_; }
    MonitorReporter* monitor() const { return monitor_; }
    const orbLiveImp::ResourceUtil& resources() const { return util_; }
    QString statusText() const;
    Console* console() const;
    Scene* scene() const;
    QWidget* consoleWidget() const override;

    // The studio's reports, as the callbacks given to the studio deliver them.
    void onSceneControl(uint8_t op, const QString& name, const QVariant& value);
    void onSceneItem(const orbLiveImp::SceneItemData& data);
    // The engine's figures as of `ms` (monotonic): shown, and watched for lag while live.
    void takeResources(const orbLiveImp::ResourceUtil& util, qint64 ms);

public slots:
    void enterRoom(const QString& title, QString& pushUrl, uint32_t taskId, uint32_t mode) override;
    bool leaveRoom() override;
    bool onLiveStarted() override;
    bool onLiveStopped() override;

    void slotCtrlScene(uint8_t type, const QString& name, const QVariant& value);
    void slotCtrlSceneItem(const QString& name, uint8_t type, const QVariant& value);
    void slotShowSourceProp(const QString& name);
    void slotAddMaterial(uint8_t type);
    void slotSpeechMode();
    void slotSpeechEvent(uint8_t type);
    void slotConsoleEvent(uint8_t type, uint8_t value);
    void slotReportMonitor();
    void slotResourceMonitor();

signals:
    void sourceChangeed();

private:
    void connectWidgets();
    void markUnavailableKinds();
    void showLiveWidget(uint32_t taskId, uint32_t mode);
    void attachStudio();
    void placeDialog();
    void leaveSpeechMode();
    void onServiceLost();
    void onServiceBack();
    void onEngineLagging();
    // A recording ended: a toast naming the file, or a warning when the engine stopped it.
    void onRecordingEnded(const QString& path);

    std::unique_ptr<Ui::Room> ui_;
    std::shared_ptr<live::IConfig> config_;
    std::shared_ptr<live::OrbHttpMgr> network_;
    QPointer<OBSApp> app_;
    OBSLive* obsLive_ = nullptr;
    TRTCLive* trtcLive_ = nullptr;
    ILiveRoom* live_ = nullptr;
    Speaker* speaker_ = nullptr;
    AddMaterial* dialog_ = nullptr;
    MonitorReporter* monitor_ = nullptr;
    orbLiveImp::ResourceUtil util_;
    QTimer resourceTimer_;
    QElapsedTimer resourceClock_;
    LagWatch lagWatch_;
    uint32_t taskId_ = 0;
    uint32_t mode_ = 0;
    bool firstEntry_ = true;
    bool serviceLost_ = false;
};
