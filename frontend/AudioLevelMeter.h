#pragma once

#include <QString>
#include <atomic>
#include <functional>

#include <obs.hpp>

#include "frontend/SceneItemData.h"

// Measures one audio source and reports its level (0..100 over the last 60 dB, 0 while it
// is muted) as item op 9, a few times a second. The engine measures on its audio thread; `report`
// is called there and must hand the data on to the main thread.
class AudioLevelMeter {
public:
    using ReportFn = std::function<void(const orbLiveImp::SceneItemData& data)>;

    explicit AudioLevelMeter(ReportFn report);
    ~AudioLevelMeter();
    AudioLevelMeter(const AudioLevelMeter&) = delete;
    AudioLevelMeter& operator=(const AudioLevelMeter&) = delete;

    // Measures `source` from now on (null: nothing).
    void attach(obs_source_t* source);

    static constexpr int kIntervalMs = 200;
    // 0..100 for a level in dB: -60 dB and below are 0, 0 dB is 100.
    static uint8_t levelOf(float db);

private:
    static void onLevels(void* param, const float magnitude[MAX_AUDIO_CHANNELS],
                         const float peak[MAX_AUDIO_CHANNELS],
                         const float inputPeak[MAX_AUDIO_CHANNELS]);

    static void onMute(void* param, calldata_t* data);

    ReportFn report_;
    obs_volmeter_t* meter_;
    // The engine meters a muted source as if it were heard; the client shows silence.
    OBSSignal muteSignal_;
    std::atomic<bool> muted_{false};
    // Read on the audio thread; written only while the meter is detached.
    QString name_;
    QString typeId_;
    std::atomic<qint64> lastReportMs_{0};
};
