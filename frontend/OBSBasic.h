#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <memory>

#include <util/config-file.h>
#include <obs.hpp>

#include "frontend/OrbShortcut.h"
#include "frontend/ResourceUtil.h"
#include "frontend/SceneEventRelay.h"
#include "frontend/SceneItemData.h"
#include "frontend/SoureParam.h"

class IniConfig;
class PreviewDisplay;
class QLayout;
class QMenu;
class QTimer;
class QWidget;
class SceneCollection;
class SourceListWidget;
class StudioOutputs;

// The studio: its profile, the scene collection, the preview and the material list. Scene
// and item changes reach the client through the callbacks given to attach(); everything
// runs on the main thread.
class OBSBasic : public QObject {
    Q_OBJECT
public:
    using ControlFn = SceneEventRelay::ControlFn;
    using ItemFn = SceneEventRelay::ItemFn;

    explicit OBSBasic(QObject* parent = nullptr);
    ~OBSBasic() override;

    // Opens the profile and sets up the engine's audio and video from it: 0, or negative
    // when the engine cannot run with it.
    int init();
    // Loads the saved scene collection (after the engine's modules), or starts one scene.
    void loadProject();
    // Saves and lets go of everything the engine holds for the studio.
    void shutdown();

    // A referenced scene the caller releases; null when there is none.
    obs_scene_t* GetCurrentScene();
    int getSceneItemCount();
    // Adds the first camera found (or one waiting for a device) and returns its name.
    QString fastAddCamera2();
    bool reorderScene(int from, int to);
    // Pops up the selected material's menu at the pointer; the menu deletes itself on close.
    QMenu* CreateSourcePopupMenu();
    // Applies the profile's video settings; one of the engine's OBS_VIDEO_* results.
    int ResetVideo();
    bool SaveProject();

    // Outputs and audio (see OBSBasicOutputs.cpp).
    // Rebuilds the stream and recording outputs and their encoders from the profile;
    // false while either output is active.
    bool ResetOutputs();
    // Streaming or recording (starting, on the air, reconnecting or finishing).
    bool outputsActive() const;
    // The stream service holding the push address; owned by the studio.
    obs_service_t* GetService();
    // Puts a capture of `sourceId` on output `channel` using `deviceId` (empty or
    // "disabled" clears the channel).
    void ResetAudioDevice(const char* sourceId, const char* deviceId, const char* displayName,
                          int channel);
    // Figures of the running engine and outputs; zeros for what is not running.
    void getResourceUtility(orbLiveImp::ResourceUtil& util);
    // The push address: server (ending in "/") and stream key.
    void setRTMPUrl(const QString& server, const QString& key);
    // 0/1/2 speaker on/mute/volume, 3/4/5 microphone on/mute/volume (0..100),
    // 6/7 start/stop streaming, 8/9 start/stop recording.
    bool ctrlVoice(uint8_t code, int value);

    // Binds a slideshow's previous and next slide hotkeys (entries 0 and 1) to the
    // given keys; an entry without a key clears that binding (see OBSBasicHotkeys.cpp).
    void setHotkey(obs_source_t* source, const std::vector<orbLiveImp::OrbShortcut>& shortcuts);
    // The profile configuration.
    virtual config_t* Config() const;

    void attach(QWidget* host, ControlFn control, ItemFn itemEvent);
    void detach();
    bool ctrlScene(uint8_t op, const QString& name, const QVariant& value);
    bool ctrlSceneItem(const QString& name, uint8_t op, const QVariant& value);
    QString addSceneItem(const orbLiveImp::SoureParam& param);
    bool removeSceneItem(const QString& name);
    QString fastAddWindow(const QString& title);
    QString fastAddMonitor(const QString& title);
    QStringList itemNamesOfKinds(std::initializer_list<uint8_t> kinds) const;
    void lendSourceList(QLayout* layout, QWidget* widget);

    obs_scene_t* currentScene() const;
    QStringList sceneNames() const;
    QString currentSceneName() const;
    SceneEventRelay* relay() const { return relay_; }
    PreviewDisplay* preview() const;
    SourceListWidget* sourceList() const;
    bool moveSceneItem(const QString& name, obs_order_movement movement);
    // Asks the client to show the material's properties (item op 8).
    void showProperties(const QString& name);

private:
    bool addScene(const QString& name);
    bool removeScene(const QString& name);
    bool renameScene(const QString& name, const QString& newName);
    bool makeCurrent(const QString& name);
    bool selectItem(obs_sceneitem_t* item, bool select);
    bool renameItem(obs_sceneitem_t* item, const QString& newName);
    void startFirstRun();
    void postSnapshot();
    void scheduleSave();
    // Outputs and audio channels need the engine's modules (see OBSBasicOutputs.cpp).
    void setUpOutputs();
    void tearDownOutputs();

    std::unique_ptr<IniConfig> profile_;
    std::unique_ptr<SceneCollection> scenes_;
    SceneEventRelay* relay_;
    QTimer* saveTimer_;
    QPointer<PreviewDisplay> preview_;
    QPointer<SourceListWidget> sourceList_;
    std::unique_ptr<StudioOutputs> outputs_;
    bool loaded_ = false;
};
