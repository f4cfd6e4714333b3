#include "frontend/AudioLevelMeter.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "frontend/StudioCodes.h"

namespace {

constexpr float kFloorDb = -60.0f;

}  // namespace

AudioLevelMeter::AudioLevelMeter(ReportFn report)
    : report_(std::move(report)), meter_(obs_volmeter_create(OBS_FADER_LOG)) {
    obs_volmeter_add_callback(meter_, onLevels, this);
}

AudioLevelMeter::~AudioLevelMeter() {
    muteSignal_.Disconnect();
    obs_volmeter_remove_callback(meter_, onLevels, this);
    obs_volmeter_destroy(meter_);
}

void AudioLevelMeter::attach(obs_source_t* source) {
    obs_volmeter_detach_source(meter_);
    muteSignal_.Disconnect();
    muted_ = source && obs_source_muted(source);
    if (source) {
        muteSignal_.Connect(obs_source_get_signal_handler(source), "mute", onMute, this);
    }
    name_ = source ? QString::fromUtf8(obs_source_get_name(source)) : QString();
    typeId_ = source ? QString::fromUtf8(obs_source_get_id(source)) : QString();
    if (source) {
        obs_volmeter_attach_source(meter_, source);
    }
}

uint8_t AudioLevelMeter::levelOf(float db) {
    if (!std::isfinite(db) || db <= kFloorDb) {
        return 0;
    }
    const float level = 100.0f * (db - kFloorDb) / -kFloorDb;
    return static_cast<uint8_t>(std::lround(std::clamp(level, 0.0f, 100.0f)));
}

void AudioLevelMeter::onMute(void* param, calldata_t* data) {
    static_cast<AudioLevelMeter*>(param)->muted_ = calldata_bool(data, "muted");
}

void AudioLevelMeter::onLevels(void* param, const float[MAX_AUDIO_CHANNELS],
                               const float peak[MAX_AUDIO_CHANNELS],
                               const float[MAX_AUDIO_CHANNELS]) {
    auto* self = static_cast<AudioLevelMeter*>(param);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 last = self->lastReportMs_;
    if (now - last < kIntervalMs) {
        return;
    }
    self->lastReportMs_ = now;
    const int channels = std::clamp(obs_volmeter_get_nr_channels(self->meter_), 1,
                                    static_cast<int>(MAX_AUDIO_CHANNELS));
    float loudest = -INFINITY;
    for (int i = 0; i < channels; ++i) {
        if (std::isfinite(peak[i])) {
            loudest = std::max(loudest, peak[i]);
        }
    }
    orbLiveImp::SceneItemData data;
    data.typeId = self->typeId_;
    data.itemName = self->name_;
    data.visible = true;
    data.op = orbLiveImp::kItemAudioLevel;
    data.value = self->muted_ ? 0 : levelOf(loudest);
    self->report_(data);
}
