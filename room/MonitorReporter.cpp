#include "room/MonitorReporter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtGlobal>

#include "core/ErrorCode.h"
#include "core/Log.h"

namespace {

const char* const kTag = "MonitorReporter::slotReportMonitor";

int intervalFromEnvironment(int fallback) {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue(MonitorReporter::kIntervalEnv, &ok);
    return ok && ms > 0 ? ms : fallback;
}

}  // namespace

MonitorReporter::MonitorReporter(std::shared_ptr<live::OrbHttpMgr> network, StatsSource stats,
                                 QObject* parent)
    : QObject(parent), network_(std::move(network)), stats_(std::move(stats)) {
    setInterval(intervalFromEnvironment(kDefaultIntervalMs));
    connect(&timer_, &QTimer::timeout, this, &MonitorReporter::slotReportMonitor);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &MonitorReporter::sendNext);
    if (network_) {
        // Failures are told once through signalServiceLost, not in a box per report.
        network_->setQuietFailures(live::kTaskMonitor, true);
        connect(network_.get(), &live::OrbHttpMgr::signalReplyInfo, this,
                &MonitorReporter::slotReplyInfo);
        connect(network_.get(), &live::OrbHttpMgr::signalReplyFailed, this,
                &MonitorReporter::slotReplyFailed);
    }
}

MonitorReporter::~MonitorReporter() = default;

void MonitorReporter::setInterval(int ms) {
    intervalMs_ = qMax(1, ms);
    timer_.setInterval(intervalMs_);
    // A kept report is tried again sooner than the next one is due, so that the service's
    // return is noticed quickly.
    retry_.setInterval(qMax(1, intervalMs_ / 4));
}

int MonitorReporter::capacity() const {
    return int(qMax<qint64>(1, kKeptMs / intervalMs_));
}

void MonitorReporter::start(uint32_t taskId) {
    taskId_ = taskId;
    timer_.start();
}

void MonitorReporter::stop() {
    timer_.stop();
}

live::OrbHttpMgr::IParamMonitor MonitorReporter::makeReport(uint32_t taskId,
                                                            const orbLiveImp::ResourceUtil& stats,
                                                            const QDateTime& moment) {
    return live::OrbHttpMgr::IParamMonitor(live::kTaskMonitor, int(taskId), stats.kbs, stats.cpu,
                                           stats.fps, stats.originFrame, stats.lostFrame,
                                           moment.toString(QStringLiteral("yyyyMMddHHmm")));
}

QList<uint64_t> MonitorReporter::pendingFrames() const {
    QList<uint64_t> frames;
    for (const Kept& kept : queue_) {
        frames << kept.report.originFrame;
    }
    return frames;
}

void MonitorReporter::slotReportMonitor() {
    if (!network_) {
        return;  // no service to tell
    }
    const orbLiveImp::ResourceUtil stats = stats_ ? stats_() : orbLiveImp::ResourceUtil();
    queue_.append({++nextSerial_, makeReport(taskId_, stats, QDateTime::currentDateTime())});
    while (queue_.size() > capacity()) {
        // Dropping the one on its way is safe: its reply is matched by serial, not position.
        queue_.removeFirst();
        live::log::warn("{}: the service has not answered for an hour, oldest report dropped",
                        kTag);
    }
    sendNext();
}

void MonitorReporter::sendNext() {
    if (sending_ || queue_.isEmpty() || !network_) {
        return;
    }
    retry_.stop();
    const QStringList args = network_->buildArgs(&queue_.first().report);
    sending_ = true;
    sendingSerial_ = queue_.first().serial;
    if (network_->sendReq(live::kTaskMonitor, args) != live::kSuccess) {
        sending_ = false;
        onFailed();
    }
}

void MonitorReporter::slotReplyInfo(uint8_t type, QByteArray data) {
    if (type != live::kTaskMonitor || !sending_) {
        return;
    }
    sending_ = false;
    // Any answer of the service means it has the report; a refusal would be refused again.
    // Something that is no answer of the service (a proxy's error page, a cut-off reply) may
    // mean it never got there: kept.
    const QJsonDocument reply = QJsonDocument::fromJson(data);
    if (!reply.isObject() || !reply.object().value(QStringLiteral("flag")).isDouble()) {
        live::log::warn("{}: report not taken (unreadable reply, {} bytes), kept", kTag,
                        data.size());
        onFailed();
        return;
    }
    if (!queue_.isEmpty() && queue_.first().serial == sendingSerial_) {
        queue_.removeFirst();
    }
    if (!reachable_) {
        reachable_ = true;
        live::log::warn("{}: the service answers again, {} kept reports to send", kTag,
                        queue_.size());
        emit signalServiceBack();
    }
    sendNext();
}

void MonitorReporter::slotReplyFailed(uint8_t type, int error) {
    if (type != live::kTaskMonitor || !sending_) {
        return;
    }
    live::log::warn("{}: report not taken (network error {}), kept", kTag, error);
    sending_ = false;
    onFailed();
}

void MonitorReporter::onFailed() {
    if (reachable_) {
        reachable_ = false;
        emit signalServiceLost();
    }
    retry_.start();
}
