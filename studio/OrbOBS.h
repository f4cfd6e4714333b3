#pragma once

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

#include <obs.h>

#include "core/Singleton.h"
#include "frontend/OrbShortcut.h"
#include "frontend/ResourceUtil.h"
#include "frontend/SoureParam.h"
#include "studio/LiveSettings.h"
#include "studio/WindowFilter.h"

namespace live {
class IConfig;
}

class OBSApp;
class OBSBasic;
class QStandardItemModel;

// The rooms' one way into the studio: a material's settings as a SoureParam, device
// choices, live settings, camera placement, item order, flips and statistics.
class OrbOBS : public Singleton<OrbOBS> {
    friend class Singleton<OrbOBS>;
    Q_DECLARE_TR_FUNCTIONS(OrbOBS)

public:
    // What asking for a camera's own device settings came to.
    enum DeviceSettings : uint8_t {
        kDeviceSettingsOpened = 0,
        kDeviceSettingsNoSource = 1,  // no material of that name
        kDeviceSettingsNone = 2,      // the capture kind offers no such dialog
    };

    // Loads the window filter named by the configuration and makes sure the recording
    // folder exists. The configuration also keeps the camera placement.
    void init(const std::shared_ptr<live::IConfig>& config);
    void loadFilterInfo();

    bool getSourceProp(const QString& name, orbLiveImp::SoureParam& out);
    void updateSource(const orbLiveImp::SoureParam& in);
    void getSourceChoices(uint8_t kind, QString& typeId, QStringList& names,
                          QList<QVariant>& values);
    // Empty when materials of `kind` can be made here; otherwise why not, in the user's words
    // (the material panel shows it on the disabled button).
    QString unavailableReason(uint8_t kind) const;
    bool getSourceHotkeys(const QString& name, std::vector<orbLiveImp::OrbShortcut>& out);
    // Binds a slideshow's previous and next slide keys; a new material gets its keys here,
    // since adding one only takes its settings.
    bool setSourceHotkeys(const QString& name, const std::vector<orbLiveImp::OrbShortcut>& keys);
    // Presses the camera's "video_config" button, which opens the device's own dialog.
    DeviceSettings openDeviceSettings(const QString& name);
    void getAudioDevices(QList<AudioDeviceEntry>& inputs, QList<AudioDeviceEntry>& outputs);
    void getLiveSettings(LiveSettings& record);
    // Applies the non-empty fields of `record`, all or none.
    LiveSettingsResult setLiveSettings(const LiveSettings& record);

    void flipSource(const QString& name, bool vertical);
    void ensureCamera();
    void raiseCamera();
    void removeCameras();
    void syncItemOrder(QStandardItemModel* model);
    void reorderScene(int from, int to);
    void getResourceUtility(orbLiveImp::ResourceUtil& util);
    // Whether the engine holds a source (scene or material) of that name; names are unique.
    bool sourceExists(const QString& name) const;

    OBSBasic* mainWindow() const;

    // Choices of window capture pass through it.
    const WindowFilter& windowFilter() const { return filter_; }

private:
    OrbOBS();
    ~OrbOBS() = default;

    // The engine source of that name, referenced; logs under `tag` when there is none.
    static obs_source_t* findSource(const QString& name, const char* tag);

    // The application dies before this singleton; the pointer notices.
    QPointer<OBSApp> app_;
    std::weak_ptr<live::IConfig> config_;
    WindowFilter filter_;
};
