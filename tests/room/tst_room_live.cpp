// The studio room end to end, as a presenter uses it: the client's own window signed in to the
// demo service, a task entered from the list, a picture added through the dialog, the
// broadcast started and stopped through the console and received by a real RTMP server, a
// recording made, the service told (and told later what it missed while it was away), and
// the room left again. Runs on a display of its own.
#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

#include "LiveClient.h"
#include "MediaProbe.h"
#include "RoomTestMain.h"
#include "frontend/SourceKinds.h"
#include "material/AddMaterial.h"
#include "net/OrbHttpMgr.h"
#include "room/BlinkTimer.h"
#include "room/MonitorReporter.h"
#include "room/SceneTab.h"

using live::DialogSeam;

namespace {

constexpr int kWait = LiveClient::kWait;
constexpr uint32_t kHourlyTask = 4242;
const QString kLeaveRefused = QStringLiteral("请先停止直播或录制，然后再退出");

}  // namespace

class TestRoomLive : public QObject {
    Q_OBJECT

    LiveClient client_;
    QTemporaryDir files_;

    Room* room() const { return client_.room(); }
    Console* console() const { return client_.console(); }
    QString recordIcon() const {
        return console()
            ->findChild<QPushButton*>("record")
            ->property(BlinkTimer::kIconProperty)
            .toString();
    }

    QString addPicture() {
        const QString png =
            studiotest::makePng(files_.filePath("slide.png"), Qt::darkCyan, 640, 360);
        room()->slotAddMaterial(SourceKinds::kImage);
        AddMaterial* dialog = room()->materialDialog();
        QSignalSpy added(dialog, &AddMaterial::signalMaterialAdded);
        DialogSeam::presetAnswer(png);
        QTest::mouseClick(dialog->findChild<QPushButton*>("browse2"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
        return added.count() == 1 ? added.at(0).at(0).toString() : QString();
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        // Reports every two seconds instead of every minute.
        qputenv(MonitorReporter::kIntervalEnv, "2000");
        QVERIFY(client_.start());
    }

    void cleanup() { client_.leaveRoom(); }

    void broadcastFromTheListAndBack() {
        QVERIFY(client_.enterTask(0));
        const uint32_t taskId = room()->taskId();
        const QString picture = addPicture();
        QVERIFY(!picture.isEmpty());
        // The studio's reports reached the scene tabs: the current scene lists the picture.
        Scene* scene = room()->scene();
        SceneTab* tab = scene->sceneTab(scene->tabName(scene->currentIndex()));
        QTRY_VERIFY_WITH_TIMEOUT(tab->rowOf(picture) >= 0, kWait);

        client_.press("live");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isStreaming(), kWait);
        client_.window()->grab().save(studiotest::screenshotPath("room_live.png"));
        const MediaProbe probe =
            MediaProbe::of(QStringLiteral("%1/orb%2").arg(client_.rtmp.url()).arg(taskId));
        QVERIFY(probe.ok);
        QCOMPARE(QStringList({probe.videoCodec, probe.audioCodec}), QStringList({"h264", "aac"}));
        QCOMPARE(QSize(probe.width, probe.height), QSize(1280, 720));
        QTRY_VERIFY_WITH_TIMEOUT(!client_.demo.requests("/api/live/start").isEmpty(), kWait);
        const QJsonObject start = client_.demo.lastRequest("/api/live/start");
        const QByteArray sent =
            DemoService::rawBody(start) + '&' + start.value("query").toString().toUtf8();
        QVERIFY2(sent.contains("taskId=" + QByteArray::number(taskId)), sent.constData());
        QTRY_VERIFY_WITH_TIMEOUT(!client_.demo.monitorReports().isEmpty(), kWait);
        QCOMPARE(
            client_.demo.monitorReports().last().toObject().value("taskId").toVariant().toString(),
            QString::number(taskId));

        client_.press("record");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);

        // The service goes away behind its proxy while the broadcast goes on, and comes back:
        // the reports it missed arrive, none lost, none twice, and neither output noticed.
        // (Not a restarted service: a process started now would hold the recording's pipe.)
        // Reports twenty minutes apart show that an hour of them is kept, the oldest dropped.
        const int before = client_.demo.monitorReports().size();
        QSignalSpy lost(room()->monitor(), &MonitorReporter::signalServiceLost);
        QVERIFY(client_.malform("html"));
        QVERIFY(lost.wait(kWait));
        QTRY_VERIFY_WITH_TIMEOUT(room()->monitor()->pending() >= 2, kWait);
        QVERIFY(room()->statusText().contains(QStringLiteral("服务器连接中断")));
        auto net = std::make_shared<live::OrbHttpMgr>();
        QCOMPARE(net->initHttpTask(client_.networkFile), uint8_t(0));
        net->insertCookies(client_.demo.signIn());
        uint64_t made = 0;
        MonitorReporter hourly(net, [&made] {
            orbLiveImp::ResourceUtil stats;
            stats.originFrame = ++made;
            return stats;
        });
        hourly.setInterval(20 * 60 * 1000);
        hourly.start(kHourlyTask);
        for (int i = 0; i < 5; ++i) {
            hourly.slotReportMonitor();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!hourly.isSending(), kWait);
        QCOMPARE(hourly.pendingFrames(), QList<uint64_t>({3, 4, 5}));
        const int kept = room()->monitor()->pending();
        QVERIFY(client_.malform(QString()));
        hourly.slotReportMonitor();
        QTRY_VERIFY_WITH_TIMEOUT(room()->monitor()->pending() + hourly.pending() == 0, kWait);
        QVERIFY(console()->isStreaming() && console()->isRecording());
        QMap<QString, QList<qint64>> frames;
        for (const QJsonValue& r : client_.demo.monitorReports()) {
            const QJsonObject report = r.toObject();
            frames[report.value("taskId").toVariant().toString()]
                << report.value("originFrame").toVariant().toLongLong();
        }
        const QList<qint64> ours = frames.value(QString::number(taskId));
        QVERIFY(ours.size() >= before + kept);
        QVERIFY(std::adjacent_find(ours.begin(), ours.end(), std::greater_equal<qint64>()) ==
                ours.end());
        QCOMPARE(frames.value(QString::number(kHourlyTask)), QList<qint64>({4, 5, 6}));

        // The recording's dot blinks: both colours within a few intervals.
        QSet<QString> seen;
        QVERIFY(QTest::qWaitFor(
            [&] {
                seen << recordIcon();
                return seen.contains(BlinkTimer::redIcon()) &&
                       seen.contains(BlinkTimer::whiteIcon());
            },
            5 * BlinkTimer::kIntervalMs * 2));
        QVERIFY(!client_.window()->close());
        QVERIFY(LiveClient::wasShown(kLeaveRefused));
        QCOMPARE(client_.window()->requestedStep(), uint8_t(MainWindow::kStepRoom));

        client_.press("live");
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming(), kWait);
        DialogSeam::clearShown();
        QVERIFY(!room()->leaveRoom());  // recording alone still holds the room
        QVERIFY(LiveClient::wasShown(kLeaveRefused));

        client_.press("record");
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isRecording(), kWait);
        QTRY_COMPARE(recordIcon(), BlinkTimer::whiteIcon());
        QTRY_VERIFY_WITH_TIMEOUT(!client_.recordedPath().isEmpty(), kWait);
        QVERIFY2(MediaProbe::of(client_.recordedPath()).ok, qPrintable(client_.recordedPath()));
        QVERIFY(room()->leaveRoom());
    }
};

ROOM_TEST_MAIN(TestRoomLive)

#include "tst_room_live.moc"
