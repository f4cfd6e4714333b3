#include "frontend/AudioChannels.h"

#include <algorithm>

#include <obs.hpp>

#include "core/Log.h"
#include "frontend/SourceFactory.h"
#include "frontend/StudioStrings.h"

namespace {

constexpr const char* kDefaultDevice = "default";

bool isKnownChannel(int channel) {
    return channel == AudioChannels::kDesktop || channel == AudioChannels::kMicrophone;
}

}  // namespace

AudioChannels::AudioChannels(config_t* profile, AudioLevelMeter::ReportFn levels)
    : profile_(profile), meter_(std::move(levels)) {
    wanted_[kDesktop] = Wanted();
    wanted_[kMicrophone] = Wanted();
    config_set_default_string(profile_, "Audio", deviceKey(kDesktop), kDefaultDevice);
    config_set_default_string(profile_, "Audio", deviceKey(kMicrophone), kDefaultDevice);
}

AudioChannels::~AudioChannels() {
    clear();
}

const char* AudioChannels::deviceKey(int channel) {
    return channel == kDesktop ? "DesktopDevice1" : "AuxDevice1";
}

void AudioChannels::createDefaults(const char* desktopType, const char* microphoneType) {
    reset(desktopType, config_get_string(profile_, "Audio", deviceKey(kDesktop)),
          StudioStrings::get("Basic.DesktopDevice1"), kDesktop);
    reset(microphoneType, config_get_string(profile_, "Audio", deviceKey(kMicrophone)),
          StudioStrings::get("Basic.AuxDevice1"), kMicrophone);
}

bool AudioChannels::reset(const char* sourceId, const char* deviceId, const QString& displayName,
                          int channel) {
    if (!isKnownChannel(channel) || !sourceId) {
        live::log::warn("{}: no audio channel {}", "AudioChannels::reset", channel);
        return false;
    }
    const QByteArray device(deviceId ? deviceId : "");
    config_set_string(profile_, "Audio", deviceKey(channel),
                      device.isEmpty() ? "disabled" : device.constData());
    if (device.isEmpty() || device == "disabled") {
        place(channel, nullptr);
        return true;
    }
    if (updateInPlace(channel, sourceId, device)) {
        return true;
    }
    place(channel, nullptr);
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "device_id", device.constData());
    const QString name = SourceFactory::uniqueName(displayName);
    OBSSourceAutoRelease source =
        obs_source_create(sourceId, name.toUtf8().constData(), settings, nullptr);
    if (!source) {
        live::log::warn("{}: cannot create {} for device {}", "AudioChannels::reset", sourceId,
                        device);
        return false;
    }
    place(channel, source);
    return true;
}

// Same kind of capture: only the device changes, the source stays.
bool AudioChannels::updateInPlace(int channel, const char* sourceId, const QByteArray& device) {
    OBSSourceAutoRelease current = obs_get_output_source(static_cast<uint32_t>(channel));
    if (!current || qstrcmp(obs_source_get_id(current), sourceId) != 0) {
        return false;
    }
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "device_id", device.constData());
    obs_source_update(current, settings);
    apply(channel);
    return true;
}

void AudioChannels::place(int channel, obs_source_t* source) {
    if (channel == kMicrophone) {
        meter_.attach(source);
    }
    obs_set_output_source(static_cast<uint32_t>(channel), source);
    apply(channel);
}

void AudioChannels::apply(int channel) {
    OBSSourceAutoRelease source = obs_get_output_source(static_cast<uint32_t>(channel));
    if (source) {
        obs_source_set_muted(source, wanted_[channel].muted);
        obs_source_set_volume(source, wanted_[channel].volume);
    }
}

bool AudioChannels::setMuted(int channel, bool muted) {
    if (!isKnownChannel(channel)) {
        return false;
    }
    wanted_[channel].muted = muted;
    apply(channel);
    return true;
}

bool AudioChannels::setVolume(int channel, int percent) {
    if (!isKnownChannel(channel)) {
        return false;
    }
    wanted_[channel].volume = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
    apply(channel);
    return true;
}

void AudioChannels::clear() {
    meter_.attach(nullptr);
    obs_set_output_source(kDesktop, nullptr);
    obs_set_output_source(kMicrophone, nullptr);
}
