// Faults injected into the whole client while it works: the client's own window signed in to a
// real demo service, a studio room streaming to a real RTMP server, and then the RTMP server
// dying, the recording folder's disk filling up, the service going away while the list
// loads, and replies it cannot read. Runs on a display of its own with the real studio.
#include <sys/resource.h>
#include <QLineEdit>
#include <QtTest>
#include <csignal>

#include "MediaProbe.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "frontend/OutputTestKit.h"
#include "frontend/SourceKinds.h"
#include "net/OrbHttpMgr.h"
#include "room/LiveClient.h"
#include "room/RoomTestMain.h"

using live::DialogSeam;
using studiotest::app;

namespace {

constexpr int kWait = LiveClient::kWait;
const QString kStreamLost = QStringLiteral("直播未能正常启动，请稍后再试。");
const QString kDelay = QStringLiteral("延迟: ");

// The file's size limit of the processes started meanwhile (the recording's muxer).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);  // a write past it fails instead of killing the writer
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

}  // namespace

class TestFaultsLive : public QObject {
    Q_OBJECT

    LiveClient client_;
    QTemporaryDir files_;

    Room* room() const { return client_.room(); }
    Console* console() const { return client_.console(); }
    Task* tasks() const { return client_.tasks(); }

    QString streamUrl() const {
        return QStringLiteral("%1/orb%2").arg(client_.rtmp.url()).arg(room()->taskId());
    }

    int logLines() const {
        if (auto logger = live::logger()) {
            logger->flush();
        }
        QFile log(client_.context()->config()->getPath(live::kPathLog) + QStringLiteral(".txt"));
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : -1;
    }

    // How often a lost stream is tried again, from the next start on.
    void setRetries(int retries) {
        config_set_uint(app()->GetMainWindow()->Config(), "Output", "MaxRetries",
                        uint64_t(retries));
    }

    // On the air once the server has the stream.
    bool goLive() {
        client_.press("live");
        return QTest::qWaitFor([&] { return console()->isStreaming(); }, kWait) &&
               MediaProbe::of(streamUrl()).ok;
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        // Each list reply is held back, so the service can be stopped while one loads.
        QVERIFY(client_.start([](QByteArray& table) {
            table.replace("\"api/task/list\"", "\"api/task/list?delay_ms=1500\"");
        }));
        outputtest::useSmallOutput(app(), 1, 10);
    }

    void init() { DialogSeam::clearShown(); }

    void cleanup() {
        QVERIFY(client_.malform(QString()));
        if (!client_.rtmp.isRunning()) {
            QVERIFY(client_.rtmp.start(client_.rtmp.port()));
        }
        client_.leaveRoom();
        setRetries(10);
    }

    void rtmpServerAndDiskFaultsInOneBroadcast() {
        QVERIFY(client_.enterTask(0));
        orbLiveImp::SoureParam picture;
        picture.type = SourceKinds::kImage;
        picture.name = QStringLiteral("Slide");
        picture.value = studiotest::makePng(files_.filePath("slide.png"), Qt::darkCyan, 640, 360);
        QVERIFY(!app()->addSceneItem(picture).isEmpty());
        QVERIFY(goLive());

        // Back within the retry window: the presenter saw how long it tried, and it goes on.
        client_.rtmp.stop();
        QTRY_VERIFY_WITH_TIMEOUT(room()->statusText().contains(kDelay), kWait);
        QVERIFY(client_.rtmp.start(client_.rtmp.port()));
        QTRY_VERIFY_WITH_TIMEOUT(!room()->statusText().contains(kDelay), kWait);
        QVERIFY(console()->isStreaming());
        QVERIFY(MediaProbe::of(streamUrl()).ok);

        // A full disk stops only the recording; what was written plays.
        {
            FileSizeLimit limit(1024 * 1024);
            client_.press("record");
            QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);
        }
        QTRY_VERIFY_WITH_TIMEOUT(LiveClient::wasShown(QStringLiteral("录制意外中断")), kWait);
        QVERIFY(!console()->isRecording());
        QVERIFY(console()->isStreaming());
        const QString broken = DialogSeam::shown().last().text;
        QVERIFY2(MediaProbe::of(broken.section('\n', 1)).ok, qPrintable(broken));
        QVERIFY(!LiveClient::wasShown(kStreamLost));

        // Gone beyond the retry window: the stream ends with a warning, the recording goes on.
        client_.press("live");
        QTRY_VERIFY_WITH_TIMEOUT(LiveClient::engineIdle(), kWait);
        setRetries(1);
        QVERIFY(goLive());
        client_.press("record");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);
        client_.rtmp.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming(), kWait);
        QVERIFY(LiveClient::wasShown(kStreamLost));
        QCOMPARE(console()->findChild<QPushButton*>("live")->text(), QStringLiteral("开始直播"));
        QVERIFY(console()->isRecording());
        client_.press("record");
        QTRY_VERIFY_WITH_TIMEOUT(!client_.recordedPath().isEmpty(), kWait);
        QVERIFY2(MediaProbe::of(client_.recordedPath()).ok, qPrintable(client_.recordedPath()));
    }

    void serviceGoneWhileTheListLoads() {
        QVERIFY(client_.showTaskList(1));
        const QString wanted = client_.rowName(1);
        const int lists = client_.demo.requests("/api/task/list").size();
        tasks()->findChild<QLineEdit*>("input")->setText(wanted);
        QTest::mouseClick(tasks()->findChild<QPushButton*>("flush"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(client_.demo.requests("/api/task/list").size() > lists, kWait);
        const int port = client_.demo.port();
        QVERIFY(client_.demo.stop());  // the reply was on its way
        QTRY_VERIFY_WITH_TIMEOUT(LiveClient::wasShown(QStringLiteral("网络应答错误")), kWait);
        QCOMPARE(client_.window()->network()->pendingReplies(), 0);
        QVERIFY(client_.rowName(0) != wanted);

        QVERIFY(client_.startDemo(port));
        DialogSeam::clearShown();
        QTest::mouseClick(tasks()->findChild<QPushButton*>("flush"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(client_.rowName(0), wanted, kWait);
        QVERIFY(DialogSeam::shown().isEmpty());
        tasks()->findChild<QLineEdit*>("input")->clear();
    }

    // Every task once, the kinds of broken reply taking turns.
    void malformedReplies_data() {
        QTest::addColumn<int>("task");
        QTest::addColumn<QString>("kind");
        const int tasks[] = {
            live::kTaskUserImage,        live::kTaskListRoom,       live::kTaskEnterRoom,
            live::kTaskDismissRoom,      live::kTaskRoomPermission, live::kTaskInvite,
            live::kTaskToInvite,         live::kTaskAskInvite,      live::kTaskBroadcast,
            live::kTaskMonitor,          live::kTaskStartMix,       live::kTaskCancelMix,
            live::kTaskGetUser,          live::kTaskStartLive,      live::kTaskStopLive,
            live::kTaskUserUpdateAvatar, live::kTaskDetails,        live::kTaskAvatarDownload};
        const char* kinds[] = {"empty", "html", "truncated", "types", "huge"};
        int row = 0;
        for (int task : tasks) {
            const char* kind = kinds[row++ % 5];
            QTest::addRow("%s task %d", kind, task) << task << QString(kind);
        }
    }
    // Whatever comes back, the client says so in a box or a warning in its log, and lives on.
    void malformedReplies() {
        QFETCH(int, task);
        QFETCH(QString, kind);
        auto net = client_.window()->network();
        QTRY_COMPARE_WITH_TIMEOUT(net->pendingReplies(), 0, kWait);  // earlier rows' follow-ups
        QVERIFY(client_.malform(kind));
        DialogSeam::clearShown();
        const int lines = logLines();
        const uint8_t type = uint8_t(task);
        if (type == live::kTaskAvatarDownload) {
            QCOMPARE(net->getByUrl(type, client_.demo.baseUrl() + "static/avatar.png"), 0);
        } else if (type == live::kTaskUserImage) {
            const QString png = studiotest::makePng(files_.filePath("avatar.png"), Qt::red);
            QCOMPARE(net->sendReq(type, {png}), 0);
        } else {
            QStringList args;
            for (int i = 0; i < net->task(type)->param_num; ++i) {
                args << QStringLiteral("1001");
            }
            QCOMPARE(net->sendReq(type, args), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!DialogSeam::shown().isEmpty() || logLines() > lines, kWait);
    }
};

ROOM_TEST_MAIN(TestFaultsLive)

#include "tst_faults_live.moc"
