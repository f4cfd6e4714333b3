#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

#include <util/config-file.h>

#include "frontend/OBSBasic.h"
#include "frontend/SceneItemData.h"
#include "frontend/SoureParam.h"

class IniConfig;
class QLayout;
class StudioEngine;

// The process's Qt application, owning the studio engine's life and the studio (OBSBasic).
// Every operation runs on the main thread and does nothing useful before init() succeeded.
class OBSApp : public QApplication {
    Q_OBJECT
public:
    // Why init() fails.
    enum InitError {
        kNoDisplay = -1,       // not on an X11 display
        kEngineFailed = -2,    // the engine did not start
        kAudioFailed = -3,     // audio set-up refused
        kGraphicsFailed = -4,  // no usable graphics (video set-up refused)
        kNoDataDir = -5,       // the data directory cannot be written
        kModuleMissing = -6,   // a module streaming or recording needs did not load
    };

    // The process's exit status when the studio's teardown hangs, and how long it may take:
    // the outputs' own bounded waits (stream 5 s, recording 15 s) with room to spare.
    static constexpr int kExitShutdownHung = 5;
    static constexpr int kShutdownLimitMs = 60000;

    OBSApp(int& argc, char** argv);
    ~OBSApp() override;

    // Starts the studio engine, loads its modules and the saved scenes: 0, or one of the
    // negative InitError values.
    int init();
    // Why the last init() failed, in the user's words; empty after a success.
    QString initFailure() const { return failure_; }

    // Shows the program in `host` and reports scene changes to `control` (scene op codes)
    // and item changes to `itemEvent`, starting with the studio's current state.
    void OBSWinInit(QWidget* host, OBSBasic::ControlFn control, OBSBasic::ItemFn itemEvent);
    void OBSWinReset();

    // Scene commands: 0 add, 1 remove, 2 rename (value: the new name), 4 make current.
    bool ctrlScene(uint8_t op, const QString& name, const QVariant& value);
    // Item commands on the current scene: 2 delete, 3 visible, 4 locked, 5 select,
    // 6 rename (value: the new name).
    bool ctrlSceneItem(const QString& name, uint8_t op, const QVariant& value);

    // Adds a material to the current scene; its unique name, empty on failure.
    QString addSceneItem(const orbLiveImp::SoureParam& param);
    // Removes the named material from the current scene, after asking the user when
    // `confirm` is set.
    bool removeScenceItem(const QString& name, bool confirm);
    QString fastAddWindow(const QString& title);
    // Captures the desktop; any title that names no screen means the first screen.
    QString fastAddMinotor(const QString& title);
    QStringList getNameListofShareInSence() const;
    QStringList getNameListofCamerasInSence() const;

    // Audio and output commands (see OBSBasic::ctrlVoice).
    bool ctrlVoice(uint8_t code, int value);
    // The push address split at its last "/", the server keeping the "/".
    void setRTMPUrl(const QString& server, const QString& key);

    // Puts the material list into `layout` on `widget`; a null widget takes it back.
    void resetSouceParent(QLayout* layout, QWidget* widget);

    OBSBasic* GetMainWindow() const { return basic_.get(); }
    config_t* GlobalConfig() const;
    QString GetString(const char* key) const;
    const char* InputAudioSource() const;
    const char* OutputAudioSource() const;

private:
    int startStudio();
    QString describeFailure(int rc) const;
    void shutdown();

    QString failure_;
    QStringList missing_;
    std::unique_ptr<IniConfig> global_;
    std::unique_ptr<StudioEngine> engine_;
    std::unique_ptr<OBSBasic> basic_;
};
