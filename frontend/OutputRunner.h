#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <vector>

#include <obs.hpp>

class OutputEncoders;
class QTimer;

// Runs one engine output at a time from start to its end. The engine reports from its own
// threads; the events arrive here on the main thread, in order, and every start that was
// accepted ends in exactly one stopped() (a stop the engine never confirms is confirmed
// by a watchdog). A finished output is let go off the main thread, since tearing down a
// connection that hangs can block.
class OutputRunner : public QObject {
    Q_OBJECT
public:
    enum State { kIdle, kStarting, kRunning, kReconnecting, kStopping };

    explicit OutputRunner(const char* tag, QObject* parent = nullptr);
    ~OutputRunner() override;

    // Starts `output` (configured, its encoders set) and keeps a reference; false, with the
    // engine's reason in lastError(), when the engine refused it at once.
    bool start(obs_output_t* output, std::shared_ptr<OutputEncoders> encoders);
    // Waits at most `timeoutMs` for the last output to be let go; false when it is not.
    bool settle(int timeoutMs) { return releaser_.waitForDone(timeoutMs); }
    // Asks the running output to stop; stopped() follows.
    void stop();
    // Stops and waits at most `timeoutMs` for the output to finish its work (a recording
    // writes its end), then lets everything go. For quitting: no signal is emitted.
    void shutdown(int timeoutMs);

    State state() const { return state_; }
    bool active() const { return state_ != kIdle; }
    // Starting or running without trouble: its encoders can feed another output as well.
    bool encodersRunning() const { return state_ == kStarting || state_ == kRunning; }
    obs_output_t* output() const { return output_; }
    const std::shared_ptr<OutputEncoders>& encoders() const { return encoders_; }
    const QString& lastError() const { return lastError_; }

signals:
    void started();
    void reconnecting();
    void reconnected();
    // `code` is the engine's OBS_OUTPUT_* result, `error` its text when it gave one.
    void stopped(int code, const QString& error);

private:
    enum Event { kStarted, kStopped, kReconnect, kReconnected };

    static void onStart(void* param, calldata_t* data);
    static void onStop(void* param, calldata_t* data);
    static void onReconnect(void* param, calldata_t* data);
    static void onReconnected(void* param, calldata_t* data);

    void post(Event event, int code);
    void handle(quint64 session, Event event, int code);
    void finish(int code);
    void release();
    void watch();

    const char* tag_;
    State state_ = kIdle;
    std::atomic<quint64> session_{0};
    OBSOutput output_;
    std::shared_ptr<OutputEncoders> encoders_;
    std::vector<OBSSignal> signals_;
    QString lastError_;
    QElapsedTimer stopClock_;
    QTimer* watchdog_;
    bool forced_ = false;
    QThreadPool releaser_;
};
