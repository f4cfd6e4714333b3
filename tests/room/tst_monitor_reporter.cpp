#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/DialogSeam.h"
#include "net/DemoService.h"
#include "net/OrbHttpMgr.h"
#include "room/MonitorReporter.h"

using live::OrbHttpMgr;

namespace {

constexpr int kWait = 30000;
constexpr uint32_t kTaskId = 1004;

// The frame counters of the reports a service received, in the order it received them.
QList<int> frames(const QJsonArray& reports) {
    QList<int> out;
    for (const QJsonValue& r : reports) {
        out << r.toObject().value("originFrame").toString().toInt();
    }
    return out;
}

}  // namespace

class TestMonitorReporter : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<DemoService> service_;
    std::shared_ptr<OrbHttpMgr> net_;
    std::unique_ptr<MonitorReporter> reporter_;
    uint64_t made_ = 0;  // reports made so far; each one's frame count is its number

    bool startService(int port) {
        service_ = std::make_unique<DemoService>();
        DemoService::Options options;
        options.port = port;
        return service_->start(options);
    }

    void makeReporter(const QString& networkFile) {
        net_ = std::make_shared<OrbHttpMgr>();
        QCOMPARE(net_->initHttpTask(networkFile), uint8_t(0));
        made_ = 0;
        reporter_ = std::make_unique<MonitorReporter>(net_, [this] {
            orbLiveImp::ResourceUtil stats;
            stats.kbs = 1499.6f;
            stats.cpu = 12.34f;
            stats.fps = 29.971f;
            stats.originFrame = ++made_;
            stats.lostFrame = 3;
            return stats;
        });
    }

    // Stops reporting and waits until nothing is on its way any more.
    void settle() {
        reporter_->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!reporter_->isSending(), kWait);
    }

private slots:
    void initTestCase() { live::DialogSeam::setHeadless(true); }

    void cleanup() {
        reporter_.reset();
        net_.reset();
        service_.reset();
        live::DialogSeam::clearShown();
    }

    void reportsSentDuringAnOutageArriveLaterInOrder() {
        QVERIFY(startService(0));
        const int port = service_->port();
        makeReporter(service_->writeNetworkFile(dir_.path()));
        net_->insertCookies(service_->signIn());
        QSignalSpy lost(reporter_.get(), &MonitorReporter::signalServiceLost);
        QSignalSpy back(reporter_.get(), &MonitorReporter::signalServiceBack);
        reporter_->setInterval(300);
        reporter_->start(kTaskId);
        QTRY_VERIFY_WITH_TIMEOUT(service_->monitorReports().size() >= 2, kWait);
        settle();
        const QJsonArray before = service_->monitorReports();
        const QJsonObject first = before.first().toObject();
        QStringList fields;
        for (const char* key : {"taskId", "kbs", "cpu", "fps", "lostFrame"}) {
            fields << first.value(key).toString();
        }
        QCOMPARE(fields, QStringList({QString::number(kTaskId), "1500", "12.3", "29.97", "3"}));
        QCOMPARE(first.value("pointTime").toString().size(), 12);

        // The service goes away while the broadcast goes on.
        QVERIFY(service_->stop());
        reporter_->start(kTaskId);
        QVERIFY(lost.wait(kWait));
        QTRY_VERIFY_WITH_TIMEOUT(reporter_->pending() >= 4, kWait);
        QCOMPARE(lost.size(), 1);  // told once, however many reports failed
        QVERIFY(!reporter_->isServiceReachable());
        QVERIFY(live::DialogSeam::shown().isEmpty());  // and never by a box

        QVERIFY(startService(port));
        QVERIFY(back.wait(kWait));
        QTRY_VERIFY_WITH_TIMEOUT(service_->monitorReports().size() >= 6, kWait);
        settle();
        QTRY_COMPARE_WITH_TIMEOUT(reporter_->pending(), 0, kWait);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(back.size(), 1);

        QList<int> expected;
        while (expected.size() < int(made_)) {
            expected << expected.size() + 1;
        }
        // None lost, none twice, in the order they were made.
        QCOMPARE(frames(before) + frames(service_->monitorReports()), expected);
    }

    void keepsAnHourOfReportsDroppingTheOldest() {
        QVERIFY(startService(0));
        const int port = service_->port();
        const QString file = service_->writeNetworkFile(dir_.path());
        const QList<QNetworkCookie> cookies = service_->signIn();
        QVERIFY(service_->stop());  // nothing answers there now
        makeReporter(file);
        net_->insertCookies(cookies);
        // Twenty minutes apart, an hour is three reports.
        reporter_->setInterval(20 * 60 * 1000);
        QCOMPARE(reporter_->capacity(), 3);
        reporter_->start(kTaskId);
        for (int i = 0; i < 5; ++i) {
            reporter_->slotReportMonitor();
        }
        QCOMPARE(reporter_->pendingFrames(), QList<uint64_t>({3, 4, 5}));
        QTRY_VERIFY_WITH_TIMEOUT(!reporter_->isSending(), kWait);
        QVERIFY(!reporter_->isServiceReachable());
        QCOMPARE(reporter_->pendingFrames(), QList<uint64_t>({3, 4, 5}));

        // The next report pushes the oldest kept one out, and the service gets the rest.
        QVERIFY(startService(port));
        reporter_->slotReportMonitor();
        QTRY_COMPARE_WITH_TIMEOUT(reporter_->pending(), 0, kWait);
        QCOMPARE(frames(service_->monitorReports()), QList<int>({4, 5, 6}));
    }
};

QTEST_MAIN(TestMonitorReporter)
#include "tst_monitor_reporter.moc"
