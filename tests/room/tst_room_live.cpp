// The studio room end to end, as a presenter uses it: the client's own window signed in to the
// demo service, a task entered from the list, a picture added through the dialog, the
// broadcast started and stopped through the console and received by a real RTMP server, a
// recording made, the service told, and the room left again. Runs on a display of its own.
#include <QJsonObject>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include <QWebEnginePage>
#include <QWebEngineView>
#include "MediaProbe.h"
#include "RoomTestMain.h"
#include "RtmpServer.h"
#include "app/AppContext.h"
#include "app/RoomFactory.h"
#include "core/DialogSeam.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioTestKit.h"
#include "material/AddMaterial.h"
#include "net/DemoService.h"
#include "room/BlinkTimer.h"
#include "room/Console.h"
#include "room/MonitorReporter.h"
#include "room/Room.h"
#include "room/RoomStatusText.h"
#include "room/Scene.h"
#include "room/SceneTab.h"
#include "shell/MainWindow.h"
#include "shell/Toast.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "support/PageScript.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 60000;
const QString kLeaveRefused = QStringLiteral("请先停止直播或录制，然后再退出");

QPushButton* rowButton(MainWindow& w, int row, const char* name) {
    auto* table = w.taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    QWidget* cell = table ? table->cellWidget(row, 3) : nullptr;
    return cell ? cell->findChild<QPushButton*>(QLatin1String(name)) : nullptr;
}

bool wasShown(const QString& text) {
    return studiotest::shownTexts().join('\n').contains(text);
}

}  // namespace

class TestRoomLive : public QObject {
    Q_OBJECT

    RtmpServer rtmp_;
    DemoService demo_;
    QTemporaryDir files_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;

    Room* room() const { return qobject_cast<Room*>(window_->room()); }
    // A loaded machine may also have shown the lag warning.
    Toast* recordedToast() const {
        for (Toast* t : room()->findChildren<Toast*>()) {
            if (t->text().startsWith(QStringLiteral("录制结束"))) {
                return t;
            }
        }
        return nullptr;
    }
    Console* console() const { return room()->console(); }

    // Answers the console's question with yes and presses the button.
    void press(const char* button) {
        DialogSeam::presetAnswer(int(QDialog::Accepted));
        QTest::mouseClick(console()->findChild<QPushButton*>(QLatin1String(button)),
                          Qt::LeftButton);
    }

    // Runs a script in the shown page and waits for its result.
    QVariant evalJs(const QString& script) {
        return PageScript::run(window_->webView()->view()->page(), script, kWait);
    }

    // As a presenter signs in: the service's own form, filled and sent.
    void signInOnThePage() {
        QVERIFY(PageScript::signIn(window_->webView()->view()->page(), kWait));
    }

    // Each test takes a task of its own: one that went live is no longer offered the same way.
    bool enterTask(int row) {
        QPushButton* enter = rowButton(*window_, row, "pushButton_jion");
        if (!enter) {
            return false;
        }
        QTest::mouseClick(enter, Qt::LeftButton);
        return QTest::qWaitFor(
            [&] {
                return window_->requestedStep() == MainWindow::kStepRoom && room()->isVisible();
            },
            kWait);
    }

    QString addPicture() {
        const QString png =
            studiotest::makePng(files_.filePath("slide.png"), Qt::darkCyan, 640, 360);
        // The studio reports its scenes just after the room opens.
        if (!QTest::qWaitFor([&] { return room()->scene()->currentIndex() >= 0; }, kWait)) {
            return QString();
        }
        room()->slotAddMaterial(SourceKinds::kImage);
        AddMaterial* dialog = room()->materialDialog();
        if (!dialog->isVisible() || dialog->param().type != SourceKinds::kImage) {
            return QString();
        }
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
        QVERIFY(rtmp_.start());
        DemoService::Options options;
        options.rtmpPort = rtmp_.port();
        QVERIFY(demo_.start(options));
        const QString data = QCoreApplication::applicationDirPath() + "/data";
        QVERIFY(QDir().mkpath(data));
        QVERIFY(!DemoService::writeConfigFile(data).isEmpty());
        QVERIFY(!demo_.writeNetworkFile(data).isEmpty());
        DialogSeam::setHeadless(true);
        QGuiApplication::setQuitOnLastWindowClosed(false);

        context_ = std::make_unique<AppContext>();
        QCOMPARE(context_->start(QCoreApplication::applicationDirPath()), 0);
        window_ = std::make_unique<MainWindow>();
        window_->setRoomFactory(RoomFactory::make(context_->config(), context_->network()));
        QCOMPARE(window_->start(context_->config(), context_->network(), context_->user()), 0);
        if (window_->requestedStep() == MainWindow::kStepSignIn) {
            signInOnThePage();
        }
        QTRY_VERIFY_WITH_TIMEOUT(rowButton(*window_, 0, "pushButton_jion"), kWait);
        QVERIFY(room());
    }

    void init() { DialogSeam::clearShown(); }

    void cleanup() {
        if (!room()) {
            return;
        }
        if (console()->isStreaming()) {
            press("live");
        }
        if (console()->isRecording()) {
            press("record");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming() && !console()->isRecording(), kWait);
        window_->close();
        QTRY_COMPARE_WITH_TIMEOUT(window_->requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
    }

    void cleanupTestCase() {
        window_.reset();
        context_.reset();
    }

    void broadcastFromTheListAndBack() {
        QVERIFY(enterTask(0));
        const uint32_t taskId = room()->taskId();
        const QString picture = addPicture();
        QVERIFY(!picture.isEmpty());
        // The studio's reports reached the scene tabs: the current scene lists the picture.
        SceneTab* tab =
            room()->scene()->sceneTab(room()->scene()->tabName(room()->scene()->currentIndex()));
        QVERIFY(tab);
        QTRY_VERIFY_WITH_TIMEOUT(tab->rowOf(picture) >= 0, kWait);

        press("live");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isStreaming(), kWait);
        window_->grab().save(studiotest::screenshotPath("room_live.png"));
        const MediaProbe probe =
            MediaProbe::of(QStringLiteral("%1/orb%2").arg(rtmp_.url()).arg(taskId));
        QVERIFY(probe.ok);
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.audioCodec, QString("aac"));
        QCOMPARE(probe.width, 1280);
        QCOMPARE(probe.height, 720);
        QTRY_VERIFY_WITH_TIMEOUT(!demo_.requests("/api/live/start").isEmpty(), kWait);
        const QJsonObject start = demo_.lastRequest("/api/live/start");
        const QByteArray sent =
            DemoService::rawBody(start) + '&' + start.value("query").toString().toUtf8();
        QVERIFY2(sent.contains("taskId=" + QByteArray::number(taskId)), sent.constData());

        // One report is enough to see its fields; the interval was shortened for the test.
        QTRY_VERIFY_WITH_TIMEOUT(!demo_.monitorReports().isEmpty(), kWait);
        const QJsonObject report = demo_.monitorReports().last().toObject();
        QCOMPARE(report.value("taskId").toVariant().toString(), QString::number(taskId));
        for (const char* field : {"kbs", "cpu", "fps", "originFrame", "lostFrame", "pointTime"}) {
            QVERIFY2(report.contains(field), field);
        }
        QVERIFY(QRegularExpression("^\\d{12}$")
                    .match(report.value("pointTime").toVariant().toString())
                    .hasMatch());

        press("record");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);
        // The recording's dot blinks: both colours within a few intervals.
        QSet<QString> seen;
        QVERIFY(QTest::qWaitFor(
            [&] {
                seen << console()
                            ->findChild<QPushButton*>("record")
                            ->property(BlinkTimer::kIconProperty)
                            .toString();
                return seen.contains(BlinkTimer::redIcon()) &&
                       seen.contains(BlinkTimer::whiteIcon());
            },
            5 * BlinkTimer::kIntervalMs * 2));
        QVERIFY(!window_->close());
        QVERIFY(wasShown(kLeaveRefused));
        QCOMPARE(window_->requestedStep(), uint8_t(MainWindow::kStepRoom));

        press("live");
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming(), kWait);
        DialogSeam::clearShown();
        QVERIFY(!room()->leaveRoom());  // recording alone still holds the room
        QVERIFY(wasShown(kLeaveRefused));

        press("record");
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isRecording(), kWait);
        QTRY_COMPARE(console()
                         ->findChild<QPushButton*>("record")
                         ->property(BlinkTimer::kIconProperty)
                         .toString(),
                     BlinkTimer::whiteIcon());
        Toast* toast = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((toast = recordedToast()) != nullptr, kWait);
        const QString path = toast->text().section('\n', 1);
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        QVERIFY(MediaProbe::of(path).ok);

        QVERIFY(room()->leaveRoom());
    }

    void serviceOutageKeepsTheReports() {
        QVERIFY(enterTask(1));
        QVERIFY(!addPicture().isEmpty());
        press("live");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isStreaming(), kWait);
        press("record");
        QTRY_VERIFY_WITH_TIMEOUT(console()->isRecording(), kWait);
        const int port = demo_.port();
        QSignalSpy lost(room()->monitor(), &MonitorReporter::signalServiceLost);
        QVERIFY(demo_.stop());
        QVERIFY(lost.wait(kWait));
        QTRY_VERIFY_WITH_TIMEOUT(room()->monitor()->pending() >= 2, kWait);
        QVERIFY(room()->statusText().contains(QStringLiteral("服务器连接中断")));

        DemoService::Options options;
        options.rtmpPort = rtmp_.port();
        options.port = port;
        const int kept = room()->monitor()->pending();
        QVERIFY(demo_.start(options));
        QTRY_VERIFY_WITH_TIMEOUT(room()->monitor()->pending() == 0, kWait);
        QVERIFY(console()->isStreaming() && console()->isRecording());  // neither noticed
        // A restarted service keeps no history: what it got are the kept reports, in order.
        QList<qint64> frames;
        for (const QJsonValue& r : demo_.monitorReports()) {
            frames << r.toObject().value("originFrame").toVariant().toLongLong();
        }
        QVERIFY(frames.size() >= kept);  // none lost
        QVERIFY(std::adjacent_find(frames.begin(), frames.end(), std::greater_equal<qint64>()) ==
                frames.end());  // none twice
    }

    void statusTexts() {
        orbLiveImp::ResourceUtil util;
        util.cpu = 12.34f;
        util.fps = 29.97f;
        util.kbs = 2500.6f;
        util.lostFrame = 7;
        util.lostPercent = 0.44f;
        QCOMPARE(RoomStatusText::status(util, false), QString("CPU: 12.3%  帧率: 29.97 fps"));
        util.delay = 4;  // reconnecting
        QCOMPARE(
            RoomStatusText::status(util, true),
            QString("CPU: 12.3%  帧率: 29.97 fps  延迟: 4 s  带宽: 2501 kbps  丢帧: 7 (0.4%)"));
        QCOMPARE(RoomStatusText::clock(3725), QString("01:02:05"));
    }
};

ROOM_TEST_MAIN(TestRoomLive)

#include "tst_room_live.moc"
