#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "frontend/ResourceUtil.h"
#include "net/OrbHttpMgr.h"

// Sends the monitor report (task 9) of a running broadcast every minute. A report the
// service did not take is kept, and the kept ones go out again in their order once the
// service answers; at most an hour's worth is kept, the oldest dropped first. The room is
// told once when the service stops answering and once when it is back, so that a
// broadcast is not interrupted by a warning every minute.
class MonitorReporter : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 60000;
    static constexpr qint64 kKeptMs = 3600000;
    // Overrides the interval for tests that cannot wait a minute per report.
    static constexpr const char* kIntervalEnv = "ORBLIVE_MONITOR_INTERVAL_MS";

    using StatsSource = std::function<orbLiveImp::ResourceUtil()>;

    // `stats` gives the figures of the moment a report is made.
    MonitorReporter(std::shared_ptr<live::OrbHttpMgr> network, StatsSource stats,
                    QObject* parent = nullptr);
    ~MonitorReporter() override;

    // Reports for this task every interval until stop(). Kept reports are still sent after
    // stop() once the service answers.
    void start(uint32_t taskId);
    void stop();
    bool isRunning() const { return timer_.isActive(); }

    void setInterval(int ms);
    int interval() const { return intervalMs_; }
    // How many reports are kept while the service does not answer.
    int capacity() const;
    // Reports made and not yet taken by the service (the one on its way included).
    int pending() const { return queue_.size(); }
    // Their frame counts, oldest first.
    QList<uint64_t> pendingFrames() const;
    bool isSending() const { return sending_; }
    bool isServiceReachable() const { return reachable_; }

    // The report of one moment, as the service expects its fields.
    static live::OrbHttpMgr::IParamMonitor makeReport(uint32_t taskId,
                                                      const orbLiveImp::ResourceUtil& stats,
                                                      const QDateTime& moment);

public slots:
    // Makes one report of the current figures and sends it, behind any kept ones.
    void slotReportMonitor();

signals:
    // The service did not take a report: the first failure of an outage only.
    void signalServiceLost();
    // The service took a report again after an outage.
    void signalServiceBack();

private slots:
    void slotReplyInfo(uint8_t type, QByteArray data);
    void slotReplyFailed(uint8_t type, int error);

private:
    struct Kept {
        quint64 serial;
        live::OrbHttpMgr::IParamMonitor report;
    };

    void sendNext();
    void onFailed();

    std::shared_ptr<live::OrbHttpMgr> network_;
    StatsSource stats_;
    QList<Kept> queue_;
    quint64 nextSerial_ = 0;
    quint64 sendingSerial_ = 0;
    QTimer timer_;
    QTimer retry_;
    uint32_t taskId_ = 0;
    int intervalMs_ = kDefaultIntervalMs;
    bool sending_ = false;
    bool reachable_ = true;
};
