#pragma once

#include <QString>
#include <cstdint>

// One audio device as the settings dialog lists it; lists carry flag 0, the dialog's
// pending record keeps a volume 0..100 there.
struct AudioDeviceEntry {
    QString name;
    QString id;
    int flag = 0;
};

// What setLiveSettings made of a record; on anything but kLiveSettingsApplied nothing
// was changed.
enum LiveSettingsResult : uint8_t {
    kLiveSettingsApplied = 0,
    kLiveSettingsNoStudio = 1,
    // The recording folder does not exist, is no folder or cannot be written.
    kLiveSettingsBadRecordFolder = 2,
    // Size, frame rate or bit rate asked for while streaming or recording (or while an
    // output is still finishing): the engine cannot change them under a running output.
    kLiveSettingsOutputsActive = 3,
};

// The settings the live settings dialog edits.
struct LiveSettings {
    uint32_t width = 1280;
    uint32_t height = 720;
    uint32_t bitrate = 1500;
    uint32_t fps = 30;
    AudioDeviceEntry microphone;
    AudioDeviceEntry desktop;
    QString recordPath;
    QString recordFormat;
    QString server;
    QString key;
};
