#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <memory>

#include <util/config-file.h>
#include <obs.hpp>

#include "frontend/ResourceUtil.h"

class OutputEncoders;
class OutputRunner;

// Pushes the program to the stream service over RTMP. Reports `true` once the server took
// the stream and `false` once when it ended for good: stopped, refused, or lost after the
// reconnect attempts ran out. Reconnecting in between is not reported.
class StreamOutput : public QObject {
    Q_OBJECT
public:
    using ReportFn = std::function<void(bool live)>;

    StreamOutput(config_t* profile, ReportFn report, QObject* parent = nullptr);
    ~StreamOutput() override;

    // The profile's reconnect settings ("Output": "Reconnect", "RetryDelay" seconds,
    // "MaxRetries") get their defaults.
    static void applyDefaults(config_t* profile);

    // Starts streaming to `service` with `encoders`; false (and reported) when it cannot.
    bool start(obs_service_t* service, std::shared_ptr<OutputEncoders> encoders);
    bool stop();
    void shutdown();

    const OutputRunner& runner() const { return *runner_; }
    bool active() const;
    // Bit rate, frames, live and reconnect times into `util`; zeros while not streaming.
    void fill(orbLiveImp::ResourceUtil& util);

private:
    void onStarted();
    void onStopped(int code, const QString& error);
    void foldCounters();
    void applyReconnect(obs_output_t* output) const;

    config_t* profile_;
    ReportFn report_;
    OutputRunner* runner_;
    QElapsedTimer liveClock_;
    QElapsedTimer reconnectClock_;
    // The engine counts afresh after each reconnect; what came before is kept here.
    uint64_t baseFrames_ = 0;
    uint64_t baseDropped_ = 0;
    uint64_t lastFrames_ = 0;
    uint64_t lastDropped_ = 0;
    uint64_t lastBytes_ = 0;
    QElapsedTimer rateClock_;
    float kbs_ = 0.0f;
};
