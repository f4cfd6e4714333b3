#include "frontend/OutputRunner.h"

#include <QThread>
#include <QTimer>

#include "core/Log.h"
#include "frontend/OutputEncoders.h"

namespace {

constexpr int kWatchIntervalMs = 200;
// An output that went idle without saying so is taken as stopped after this long.
constexpr int kQuietStopMs = 1500;
// A stop that takes longer than this drops what is still queued.
constexpr int kForceStopMs = 10000;
constexpr int kGiveUpMs = 15000;

}  // namespace

OutputRunner::OutputRunner(const char* tag, QObject* parent)
    : QObject(parent), tag_(tag), watchdog_(new QTimer(this)) {
    watchdog_->setInterval(kWatchIntervalMs);
    connect(watchdog_, &QTimer::timeout, this, &OutputRunner::watch);
}

OutputRunner::~OutputRunner() {
    shutdown(kForceStopMs);
}

bool OutputRunner::start(obs_output_t* output, std::shared_ptr<OutputEncoders> encoders) {
    if (active() || !output) {
        return false;
    }
    ++session_;
    output_ = output;
    encoders_ = std::move(encoders);
    lastError_.clear();
    forced_ = false;
    signal_handler_t* handler = obs_output_get_signal_handler(output);
    signals_.reserve(4);
    signals_.emplace_back(handler, "start", onStart, this);
    signals_.emplace_back(handler, "stop", onStop, this);
    signals_.emplace_back(handler, "reconnect", onReconnect, this);
    signals_.emplace_back(handler, "reconnect_success", onReconnected, this);
    state_ = kStarting;
    if (!obs_output_start(output)) {
        const char* error = obs_output_get_last_error(output);
        lastError_ = error ? QString::fromUtf8(error) : QString();
        live::log::warn("{}: the engine refused to start, {}", tag_, lastError_);
        state_ = kIdle;
        release();
        return false;
    }
    return true;
}

void OutputRunner::stop() {
    if (state_ == kIdle || state_ == kStopping) {
        return;
    }
    state_ = kStopping;
    stopClock_.start();
    obs_output_stop(output_);
    watchdog_->start();
}

void OutputRunner::shutdown(int timeoutMs) {
    watchdog_->stop();
    if (state_ != kIdle) {
        if (state_ != kStopping) {
            obs_output_stop(output_);
        }
        QElapsedTimer clock;
        clock.start();
        while (obs_output_active(output_) && clock.elapsed() < timeoutMs) {
            QThread::msleep(20);
        }
        if (obs_output_active(output_)) {
            live::log::warn("{}: still busy after {} ms, forcing it to stop", tag_, timeoutMs);
            obs_output_force_stop(output_);
        }
        state_ = kIdle;
        release();
    }
    releaser_.waitForDone();
}

void OutputRunner::post(Event event, int code) {
    const quint64 session = session_;
    QMetaObject::invokeMethod(
        this, [this, session, event, code] { handle(session, event, code); }, Qt::QueuedConnection);
}

void OutputRunner::handle(quint64 session, Event event, int code) {
    if (session != session_ || state_ == kIdle) {
        return;
    }
    switch (event) {
        case kStarted:
            if (state_ == kStarting) {
                state_ = kRunning;
                emit started();
            }
            break;
        case kReconnect:
            if (state_ == kRunning) {
                state_ = kReconnecting;
                emit reconnecting();
            }
            break;
        case kReconnected:
            if (state_ == kReconnecting) {
                state_ = kRunning;
                emit reconnected();
            }
            break;
        case kStopped:
            finish(code);
            break;
    }
}

void OutputRunner::finish(int code) {
    const char* error = obs_output_get_last_error(output_);
    lastError_ = error ? QString::fromUtf8(error) : QString();
    watchdog_->stop();
    state_ = kIdle;
    release();
    emit stopped(code, lastError_);
}

void OutputRunner::release() {
    signals_.clear();
    // Destroying an output joins its threads; a connection stuck in a handshake would hold
    // the main thread that long.
    obs_output_t* output = output_.Get();
    obs_output_t* held = obs_output_get_ref(output);
    output_ = nullptr;
    std::shared_ptr<OutputEncoders> encoders = std::move(encoders_);
    releaser_.start([held, encoders]() mutable {
        obs_output_release(held);
        encoders.reset();
    });
}

void OutputRunner::watch() {
    if (state_ != kStopping) {
        watchdog_->stop();
        return;
    }
    const qint64 elapsed = stopClock_.elapsed();
    if (!obs_output_active(output_) && elapsed >= kQuietStopMs) {
        finish(OBS_OUTPUT_SUCCESS);
    } else if (elapsed >= kGiveUpMs) {
        live::log::warn("{}: no stop confirmed after {} ms", tag_, elapsed);
        finish(OBS_OUTPUT_ERROR);
    } else if (elapsed >= kForceStopMs && !forced_) {
        forced_ = true;
        live::log::warn("{}: stop takes too long, forcing it", tag_);
        obs_output_force_stop(output_);
    }
}

void OutputRunner::onStart(void* param, calldata_t*) {
    static_cast<OutputRunner*>(param)->post(kStarted, 0);
}

void OutputRunner::onStop(void* param, calldata_t* data) {
    static_cast<OutputRunner*>(param)->post(kStopped, static_cast<int>(calldata_int(data, "code")));
}

void OutputRunner::onReconnect(void* param, calldata_t*) {
    static_cast<OutputRunner*>(param)->post(kReconnect, 0);
}

void OutputRunner::onReconnected(void* param, calldata_t*) {
    static_cast<OutputRunner*>(param)->post(kReconnected, 0);
}
