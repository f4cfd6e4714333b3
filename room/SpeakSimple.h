#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "frontend/ResourceUtil.h"

class MonitorReporter;
class OBSApp;
class QPushButton;
class obsSourceManage;

namespace live {
class OrbHttpMgr;
}

namespace Ui {
class SpeakSimple;
}

// The speech room's control strip: mute, camera, sharing, streaming, the source panel, the
// speech mode and the chat, with the engine's running figures. In speech layout it floats
// alone at the top of the screen and can be dragged.
class SpeakSimple : public QWidget {
    Q_OBJECT
public:
    // The buttons' "id" property; the value an onClick acts on.
    enum ButtonId : uint8_t {
        kAudio = 0,
        kCamera = 1,
        kShare = 2,
        kLive = 3,
        kSources = 4,
        kSpeak = 5,
        kChat = 6,
    };
    // signalSpeakEvent codes, handled by the room.
    enum SpeakEvent : uint8_t {
        kEnterSpeech = 0,
        kLeaveSpeech = 1,
        kShowChat = 2,
        kHideChat = 3,
    };
    static constexpr int kResourceMs = 1000;

    explicit SpeakSimple(QWidget* parent = nullptr);
    ~SpeakSimple() override;

    // Monitor reports go through this manager; without one they are skipped.
    void setNetwork(std::shared_ptr<live::OrbHttpMgr> network);
    void setTaskId(uint32_t taskId) { taskId_ = taskId; }
    uint32_t taskId() const { return taskId_; }

    // Lends the studio's source list to the panel and takes the sharing and camera state
    // from the scene; stop() takes the list back.
    void start();
    void stop();
    // The engine reported the stream on the air (true) or ended.
    void setStreaming(bool on);
    // Streaming, or asked to start and not yet answered.
    bool isStreaming() const;
    void setSpeechLayout(bool on);
    bool isSpeechLayout() const { return speechLayout_; }
    // Puts the audio buttons back to "not muted", as entering a room turns both on.
    void resetAudio();

    QPushButton* button(ButtonId id) const;
    obsSourceManage* sourcePanel() const { return panel_; }
    MonitorReporter* monitor() const { return monitor_; }
    const orbLiveImp::ResourceUtil& resource() const { return util_; }

    // The statistics lines and the clock as the strip shows them.
    static QString utilityText(const orbLiveImp::ResourceUtil& util);
    static QString bandwidthText(const orbLiveImp::ResourceUtil& util);
    static QString clockText(uint64_t seconds);

signals:
    void signalSpeakEvent(uint8_t type);
    void signalLiveTime(QString time);
    void sourceChangeed();

public slots:
    void onClick(bool checked);
    void slotReportMonitor();
    void slotResourceMonitor();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static OBSApp* app();
    void setButton(ButtonId id, bool checked, const QString& text);
    void onAudio(bool checked);
    void onCamera(bool checked);
    void onShare(bool checked);
    void onSources(bool checked);
    void shareChosen();
    void unshare();
    void hidePanel();
    void warn(const QString& text);

    std::unique_ptr<Ui::SpeakSimple> ui_;
    obsSourceManage* panel_ = nullptr;
    MonitorReporter* monitor_ = nullptr;
    std::shared_ptr<live::OrbHttpMgr> network_;
    orbLiveImp::ResourceUtil util_;
    QTimer resourceTimer_;
    uint32_t taskId_ = 0;
    QSize normalSize_;
    bool speechLayout_ = false;
    bool streaming_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
};
