#pragma once

#include <QString>
#include <map>
#include <memory>

#include <util/config-file.h>

#include "frontend/AudioLevelMeter.h"

// The audio capture sources on the engine's output channels: desktop audio on channel 1,
// the microphone on channel 3 (its level is metered). Mute and volume belong to the
// channel: they stay as the user set them when its device changes. The chosen devices are
// kept in the profile ("Audio": "DesktopDevice1", "AuxDevice1").
class AudioChannels {
public:
    enum Channel { kDesktop = 1, kMicrophone = 3 };

    AudioChannels(config_t* profile, AudioLevelMeter::ReportFn levels);
    ~AudioChannels();
    AudioChannels(const AudioChannels&) = delete;
    AudioChannels& operator=(const AudioChannels&) = delete;

    // Creates both channels' sources with the profile's devices ("default" at first).
    void createDefaults(const char* desktopType, const char* microphoneType);
    // Puts a `sourceId` capture of `deviceId` on `channel`; an empty or "disabled" device
    // empties the channel. False when the engine cannot create the source.
    bool reset(const char* sourceId, const char* deviceId, const QString& displayName, int channel);
    bool setMuted(int channel, bool muted);
    // 0..100 of full volume.
    bool setVolume(int channel, int percent);
    // Empties both channels.
    void clear();

private:
    struct Wanted {
        bool muted = false;
        float volume = 1.0f;
    };

    static const char* deviceKey(int channel);
    bool updateInPlace(int channel, const char* sourceId, const QByteArray& device);
    void apply(int channel);
    void place(int channel, obs_source_t* source);

    config_t* profile_;
    AudioLevelMeter meter_;
    std::map<int, Wanted> wanted_;
};
