// Faults injected into the whole client while it works: the client's own window signed in to a
// real demo service, a studio room streaming to a real RTMP server, and then the service going
// away while the list loads, replies it cannot read, the RTMP server dying, and the recording
// folder's disk filling up. Runs on a display of its own with the real studio engine.
#include <sys/resource.h>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <csignal>
#include <memory>

#include "MediaProbe.h"
#include "RtmpServer.h"
#include "app/AppContext.h"
#include "app/RoomFactory.h"
#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "frontend/OutputTestKit.h"
#include "frontend/SourceKinds.h"
#include "net/DemoService.h"
#include "net/OrbHttpMgr.h"
#include "room/Console.h"
#include "room/MonitorReporter.h"
#include "room/Room.h"
#include "room/RoomTestMain.h"
#include "room/Scene.h"
#include "shell/MainWindow.h"
#include "shell/Toast.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "studio/OrbOBS.h"
#include "support/PageScript.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 60000;
// Each list reply is held back this long, so the service can be stopped while one loads.
constexpr int kListDelayMs = 1500;
const QString kStreamLost = QStringLiteral("直播未能正常启动，请稍后再试。");
const QString kRecordBroken = QStringLiteral("录制意外中断");

bool wasShown(const QString& text) {
    for (const DialogSeam::Shown& shown : DialogSeam::shown()) {
        if (shown.text.contains(text)) {
            return true;
        }
    }
    return false;
}

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

    RtmpServer rtmp_;
    DemoService demo_;
    QTemporaryDir files_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
    int nextRow_ = 0;

    Room* room() const { return qobject_cast<Room*>(window_->room()); }
    Console* console() const { return room()->console(); }
    Task* tasks() const { return window_->taskList(); }
    OBSApp* app() const { return studiotest::app(); }

    QPushButton* rowButton(int row) const {
        auto* table = tasks()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        QWidget* cell = table ? table->cellWidget(row, 3) : nullptr;
        return cell ? cell->findChild<QPushButton*>(QStringLiteral("pushButton_jion")) : nullptr;
    }
    QString rowName(int row) const {
        auto* table = tasks()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        QTableWidgetItem* item = table ? table->item(row, 0) : nullptr;
        return item ? item->text() : QString();
    }

    // A loaded machine may also have shown the lag warning.
    Toast* recordedToast() const {
        for (Toast* t : room()->findChildren<Toast*>()) {
            if (t->text().startsWith(QStringLiteral("录制结束"))) {
                return t;
            }
        }
        return nullptr;
    }

    void press(const char* button) {
        DialogSeam::presetAnswer(int(QDialog::Accepted));
        QTest::mouseClick(console()->findChild<QPushButton*>(QLatin1String(button)),
                          Qt::LeftButton);
    }

    QVariant evalJs(const QString& script) {
        return PageScript::run(window_->webView()->view()->page(), script, kWait);
    }

    // Signed in with the task list shown, signing in on the service's page when a fault
    // signed the client out.
    bool showTaskList() {
        if (window_->requestedStep() == MainWindow::kStepSignIn) {
            if (!PageScript::signIn(window_->webView()->view()->page(), kWait)) {
                return false;
            }
        }
        return QTest::qWaitFor([&] { return rowButton(nextRow_) != nullptr; }, kWait);
    }

    // A task of its own for every broadcast: one that went live is offered differently.
    bool enterRoomWithPicture() {
        if (!showTaskList()) {
            return false;
        }
        QTest::mouseClick(rowButton(nextRow_++), Qt::LeftButton);
        if (!QTest::qWaitFor(
                [&] {
                    return window_->requestedStep() == MainWindow::kStepRoom &&
                           room()->isVisible() && room()->scene()->currentIndex() >= 0;
                },
                kWait)) {
            return false;
        }
        orbLiveImp::SoureParam picture;
        picture.type = SourceKinds::kImage;
        picture.name = QStringLiteral("Slide");
        picture.value = studiotest::makePng(files_.filePath("slide.png"), Qt::darkCyan, 640, 360);
        return !app()->addSceneItem(picture).isEmpty();
    }

    QString streamUrl() const {
        return QStringLiteral("%1/orb%2").arg(rtmp_.url()).arg(room()->taskId());
    }

    int logLines() const {
        if (auto logger = live::logger()) {
            logger->flush();
        }
        QFile log(context_->config()->getPath(live::kPathLog) + QStringLiteral(".txt"));
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : -1;
    }

    bool engineIdle() const {
        orbLiveImp::ResourceUtil util;
        OrbOBS::instance().getResourceUtility(util);
        return util.liveSeconds == 0 && util.recordSeconds == 0 && util.delay == 0;
    }

    // How often a lost stream is tried again, for the next start.
    void setRetries(int retries) {
        config_set_uint(app()->GetMainWindow()->Config(), "Output", "MaxRetries",
                        uint64_t(retries));
    }

    bool goLive() {
        press("live");
        // On the air once the server has the stream.
        return QTest::qWaitFor([&] { return console()->isStreaming(); }, kWait) &&
               MediaProbe::of(streamUrl()).ok;
    }

    bool malform(const QString& kind) {
        return demo_.fetch("debug/malform?kind=" + kind, "x").status == 200;
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(rtmp_.start());
        DemoService::Options options;
        options.rtmpPort = rtmp_.port();
        QVERIFY(demo_.start(options));
        const QString data = QCoreApplication::applicationDirPath() + "/data";
        QVERIFY(QDir().mkpath(data));
        QVERIFY(!DemoService::writeConfigFile(data).isEmpty());
        QFile network(demo_.writeNetworkFile(data));
        QVERIFY(network.open(QIODevice::ReadWrite));
        QByteArray table = network.readAll();
        table.replace("\"api/task/list\"",
                      "\"api/task/list?delay_ms=" + QByteArray::number(kListDelayMs) + "\"");
        QVERIFY(network.resize(0) && network.write(table) == table.size());
        network.close();
        DialogSeam::setHeadless(true);
        QGuiApplication::setQuitOnLastWindowClosed(false);

        context_ = std::make_unique<AppContext>();
        QCOMPARE(context_->start(QCoreApplication::applicationDirPath()), 0);
        window_ = std::make_unique<MainWindow>();
        window_->setRoomFactory(RoomFactory::make(context_->config(), context_->network()));
        QCOMPARE(window_->start(context_->config(), context_->network(), context_->user()), 0);
        QVERIFY(showTaskList());
        outputtest::useSmallOutput(app(), 1, 10);
    }

    void init() { DialogSeam::clearShown(); }

    void cleanup() {
        QVERIFY(malform(QString()));
        if (!rtmp_.isRunning()) {
            QVERIFY(rtmp_.start(rtmp_.port()));
        }
        if (!room() || window_->requestedStep() != MainWindow::kStepRoom) {
            return;
        }
        if (console()->isStreaming()) {
            press("live");
        }
        if (console()->isRecording()) {
            press("record");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming() && !console()->isRecording(), kWait);
        // The console lets go at once; the studio winds the outputs up meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), kWait);
        window_->close();
        QTRY_COMPARE_WITH_TIMEOUT(window_->requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        setRetries(10);
    }

    void cleanupTestCase() {
        window_.reset();
        context_.reset();
    }

    void rtmpServerBackWithinTheRetryWindow() {
        QVERIFY(enterRoomWithPicture());
        QVERIFY(goLive());
        rtmp_.stop();
        // The presenter sees how long the stream has been trying to reconnect.
        QTRY_VERIFY_WITH_TIMEOUT(room()->statusText().contains(QStringLiteral("延迟: ")), kWait);
        QVERIFY(rtmp_.start(rtmp_.port()));
        QTRY_VERIFY_WITH_TIMEOUT(!room()->statusText().contains(QStringLiteral("延迟: ")), kWait);
        QVERIFY(console()->isStreaming());
        QVERIFY(!wasShown(kStreamLost));
        QVERIFY(MediaProbe::of(streamUrl()).ok);
    }

    void rtmpServerGoneBeyondTheRetryWindow() {
        setRetries(1);
        QVERIFY(enterRoomWithPicture());
        QVERIFY(goLive());
        press("record");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);
        rtmp_.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming(), kWait);
        QVERIFY(wasShown(kStreamLost));
        QCOMPARE(console()->findChild<QPushButton*>("live")->text(), QStringLiteral("开始直播"));
        QVERIFY(console()->isRecording());
        press("record");
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isRecording(), kWait);
        Toast* toast = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((toast = recordedToast()) != nullptr, kWait);
        const QString path = toast->text().section('\n', 1);
        QVERIFY2(MediaProbe::of(path).ok, qPrintable(path));
    }

    void fullDiskStopsOnlyTheRecording() {
        QVERIFY(enterRoomWithPicture());
        QVERIFY(goLive());
        {
            FileSizeLimit limit(1024 * 1024);
            press("record");
            QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);
        }
        QTRY_VERIFY_WITH_TIMEOUT(wasShown(kRecordBroken), kWait);
        QVERIFY(!console()->isRecording());
        QVERIFY(console()->isStreaming());
        QVERIFY(MediaProbe::of(streamUrl()).ok);
        const QString text = DialogSeam::shown().last().text;
        const QString path = text.section('\n', 1);
        QVERIFY2(MediaProbe::of(path).ok, qPrintable(text));
    }

    void serviceGoneWhileTheListLoads() {
        QVERIFY(showTaskList());
        const QString wanted = rowName(1);
        QVERIFY(!wanted.isEmpty());
        const int lists = demo_.requests("/api/task/list").size();
        tasks()->findChild<QLineEdit*>("input")->setText(wanted);
        QTest::mouseClick(tasks()->findChild<QPushButton*>("flush"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(demo_.requests("/api/task/list").size() > lists, kWait);
        const int port = demo_.port();
        QVERIFY(demo_.stop());  // the reply was on its way
        QTRY_VERIFY_WITH_TIMEOUT(wasShown(QStringLiteral("网络应答错误")), kWait);
        QCOMPARE(window_->network()->pendingReplies(), 0);
        QVERIFY(rowName(0) != wanted);

        DemoService::Options options;
        options.rtmpPort = rtmp_.port();
        options.port = port;
        QVERIFY(demo_.start(options));
        DialogSeam::clearShown();
        QTest::mouseClick(tasks()->findChild<QPushButton*>("flush"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rowName(0), wanted, kWait);
        QVERIFY(DialogSeam::shown().isEmpty());
        tasks()->findChild<QLineEdit*>("input")->clear();
    }

    // A report answered by something other than the service is kept until the service has it.
    void unreadableMonitorReplyKeepsTheReport() {
        MonitorReporter reporter(window_->network(), [] { return orbLiveImp::ResourceUtil(); });
        reporter.setInterval(400);  // kept reports are tried again every 100 ms
        reporter.start(4242);
        reporter.stop();  // sent by hand only
        QVERIFY(malform("html"));
        QSignalSpy lost(&reporter, &MonitorReporter::signalServiceLost);
        reporter.slotReportMonitor();
        QVERIFY(lost.wait(kWait));
        QCOMPARE(reporter.pending(), 1);
        QVERIFY(malform(QString()));
        QTRY_COMPARE_WITH_TIMEOUT(reporter.pending(), 0, kWait);
        QCOMPARE(demo_.monitorReports().last().toObject().value("taskId").toString(),
                 QString("4242"));
    }

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
        for (const char* kind : {"empty", "html", "truncated", "types", "huge"}) {
            for (int task : tasks) {
                QTest::addRow("%s task %d", kind, task) << task << QString(kind);
            }
        }
    }
    // Whatever comes back, the client says so in a box or a warning in its log, and lives on.
    void malformedReplies() {
        QFETCH(int, task);
        QFETCH(QString, kind);
        auto net = window_->network();
        QTRY_COMPARE_WITH_TIMEOUT(net->pendingReplies(), 0, kWait);  // earlier rows' follow-ups
        QVERIFY(malform(kind));
        DialogSeam::clearShown();
        const int lines = logLines();
        const uint8_t type = uint8_t(task);
        if (type == live::kTaskAvatarDownload) {
            QCOMPARE(net->getByUrl(type, demo_.baseUrl() + "static/avatar.png"), 0);
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
