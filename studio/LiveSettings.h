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
