#include "frontend/StreamOutput.h"

#include <algorithm>

#include "core/Log.h"
#include "frontend/OutputEncoders.h"
#include "frontend/OutputRunner.h"

namespace {

// The engine waits RetryDelay, then half as long again after every failed attempt: with
// these defaults it keeps trying for about four minutes.
constexpr int kDefaultRetryDelay = 2;
constexpr int kDefaultMaxRetries = 10;
// The bit rate is measured over at least this long, so a caller polling often sees a
// steady figure.
constexpr qint64 kRateWindowMs = 900;
// An output that has just ended holds the stream service until it is let go, and the engine
// silently refuses the service to a new output meanwhile; letting go takes milliseconds.
constexpr int kSettleMs = 3000;

}  // namespace

StreamOutput::StreamOutput(config_t* profile, ReportFn report, QObject* parent)
    : QObject(parent),
      profile_(profile),
      report_(std::move(report)),
      runner_(new OutputRunner("StreamOutput", this)) {
    connect(runner_, &OutputRunner::started, this, &StreamOutput::onStarted);
    connect(runner_, &OutputRunner::reconnecting, this, [this] {
        live::log::warn("{}: connection lost, reconnecting", "StreamOutput::reconnect");
        foldCounters();
        reconnectClock_.start();
    });
    connect(runner_, &OutputRunner::reconnected, this, [this] {
        live::log::warn("{}: connection restored after {} ms", "StreamOutput::reconnect",
                        reconnectClock_.elapsed());
        reconnectClock_.invalidate();
    });
    connect(runner_, &OutputRunner::stopped, this, &StreamOutput::onStopped);
}

StreamOutput::~StreamOutput() {
    shutdown();
}

void StreamOutput::applyDefaults(config_t* profile) {
    config_set_default_bool(profile, "Output", "Reconnect", true);
    config_set_default_uint(profile, "Output", "RetryDelay", kDefaultRetryDelay);
    config_set_default_uint(profile, "Output", "MaxRetries", kDefaultMaxRetries);
}

bool StreamOutput::active() const {
    return runner_->active();
}

void StreamOutput::applyReconnect(obs_output_t* output) const {
    const bool enabled = config_get_bool(profile_, "Output", "Reconnect");
    const int retries = static_cast<int>(
        std::min<uint64_t>(config_get_uint(profile_, "Output", "MaxRetries"), 10000));
    const int delay = static_cast<int>(
        std::clamp<uint64_t>(config_get_uint(profile_, "Output", "RetryDelay"), 1, 3600));
    obs_output_set_reconnect_settings(output, enabled ? retries : 0, delay);
}

bool StreamOutput::start(obs_service_t* service, std::shared_ptr<OutputEncoders> encoders) {
    if (runner_->active()) {
        live::log::warn("{}: already streaming", "StreamOutput::start");
        return false;
    }
    const char* url = service ? obs_service_get_url(service) : nullptr;
    if (!url || !*url || !encoders) {
        live::log::warn("{}: no push address or no encoders", "StreamOutput::start");
        report_(false);
        return false;
    }
    if (!runner_->settle(kSettleMs)) {
        live::log::warn("{}: the last stream is still being let go", "StreamOutput::start");
    }
    OBSOutputAutoRelease output = obs_output_create("rtmp_output", "orb-stream", nullptr, nullptr);
    if (!output) {
        live::log::error("{}: no RTMP output in the engine", "StreamOutput::start");
        report_(false);
        return false;
    }
    obs_output_set_video_encoder(output, encoders->video());
    obs_output_set_audio_encoder(output, encoders->audio(), 0);
    obs_output_set_service(output, service);
    applyReconnect(output);
    baseFrames_ = baseDropped_ = lastFrames_ = lastDropped_ = lastBytes_ = 0;
    kbs_ = 0.0f;
    liveClock_.invalidate();
    reconnectClock_.invalidate();
    if (!runner_->start(output, std::move(encoders))) {
        report_(false);
        return false;
    }
    return true;
}

bool StreamOutput::stop() {
    if (!runner_->active()) {
        return false;
    }
    runner_->stop();
    return true;
}

void StreamOutput::shutdown() {
    runner_->shutdown(5000);
}

void StreamOutput::onStarted() {
    liveClock_.start();
    rateClock_.start();
    report_(true);
}

void StreamOutput::onStopped(int code, const QString& error) {
    if (code != OBS_OUTPUT_SUCCESS) {
        live::log::warn("{}: streaming ended with error {} {}", "StreamOutput::onStopped", code,
                        error);
    }
    liveClock_.invalidate();
    reconnectClock_.invalidate();
    report_(false);
}

void StreamOutput::foldCounters() {
    obs_output_t* output = runner_->output();
    const uint64_t frames =
        std::max<uint64_t>(lastFrames_, std::max(0, obs_output_get_total_frames(output)));
    const uint64_t dropped =
        std::max<uint64_t>(lastDropped_, std::max(0, obs_output_get_frames_dropped(output)));
    baseFrames_ += frames;
    baseDropped_ += dropped;
    lastFrames_ = lastDropped_ = 0;
}

void StreamOutput::fill(orbLiveImp::ResourceUtil& util) {
    obs_output_t* output = runner_->output();
    if (!output || !liveClock_.isValid()) {
        return;
    }
    util.liveSeconds = static_cast<uint64_t>(liveClock_.elapsed() / 1000);
    util.delay =
        reconnectClock_.isValid() ? static_cast<uint64_t>(reconnectClock_.elapsed() / 1000) : 0;
    const uint64_t frames = static_cast<uint64_t>(std::max(0, obs_output_get_total_frames(output)));
    const uint64_t dropped =
        static_cast<uint64_t>(std::max(0, obs_output_get_frames_dropped(output)));
    lastFrames_ = frames;
    lastDropped_ = dropped;
    util.originFrame = baseFrames_ + frames;
    util.lostFrame = baseDropped_ + dropped;
    util.lostPercent = util.originFrame ? 100.0f * util.lostFrame / util.originFrame : 0.0f;

    const qint64 elapsed = rateClock_.elapsed();
    if (elapsed >= kRateWindowMs) {
        const uint64_t bytes = obs_output_get_total_bytes(output);
        // After a reconnect the count starts again from zero.
        const uint64_t sent = bytes >= lastBytes_ ? bytes - lastBytes_ : bytes;
        kbs_ = static_cast<float>(sent * 8.0 / elapsed);
        lastBytes_ = bytes;
        rateClock_.restart();
    }
    util.kbs = reconnectClock_.isValid() ? 0.0f : kbs_;
}
