#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "MediaProbe.h"
#include "RoomTestMain.h"
#include "RtmpServer.h"
#include "chat/ChatRoom.h"
#include "core/DialogSeam.h"
#include "frontend/SceneItems.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioTestKit.h"
#include "material/obsSourceManage.h"
#include "room/MonitorReporter.h"
#include "room/RoomSimple.h"
#include "room/SpeakSimple.h"
#include "share/orbLive_ShareWinEnumWidget.h"
#include "share/orbLive_ShareWindowPreItem.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"
#include "studio/SceneLayout.h"
#include "support/DemoClient.h"

using studiotest::app;
using studiotest::screenshotPath;

namespace {

constexpr uint32_t kTaskId = 1001;
const QString kTitle = QStringLiteral("演讲测试任务");
const QString kWindowTitle = QStringLiteral("演讲共享测试窗口");
const QString kDesktop = QStringLiteral("桌面");

obs_scene_t* scene() {
    obs_scene_t* s = app()->GetMainWindow()->GetCurrentScene();
    obs_scene_release(s);  // the studio keeps its own reference
    return s;
}

// "<engine kind> <capture_window>" of every item, top-most first.
QStringList sceneItems() {
    QStringList items;
    for (const OBSSceneItem& item : SceneItems::list(scene())) {
        obs_source_t* source = obs_sceneitem_get_source(item);
        OBSDataAutoRelease settings = obs_source_get_settings(source);
        items << QStringLiteral("%1 %2").arg(obs_source_get_id(source),
                                             obs_data_get_string(settings, "capture_window"));
    }
    return items;
}

}  // namespace

class TestRoomSimple : public QObject {
    Q_OBJECT

private:
    RtmpServer rtmp_;
    DemoClient demo_;
    std::unique_ptr<RoomSimple> room_;
    std::unique_ptr<QWidget> shared_;

    SpeakSimple* speak() { return room_->speak(); }
    QPushButton* button(SpeakSimple::ButtonId id) { return speak()->button(id); }
    QString pushUrl() const { return rtmp_.url() + QStringLiteral("/orb%1").arg(kTaskId); }

    void enter(uint32_t mode = 1, QString url = QString()) {
        url = url.isEmpty() ? pushUrl() : url;
        room_->enterRoom(kTitle, url, kTaskId, mode);
    }

    // Plays the user's part in the picker once it is up: picks the entry titled `title` and
    // confirms, or cancels when `title` is empty. The press itself waits in the picker.
    void clickShareAnswering(const QString& title) {
        live::DialogSeam::setHeadless(false);
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, title] {
            auto* picker =
                qobject_cast<orbLive_ShareWinEnumWidget*>(QApplication::activeModalWidget());
            if (!picker || !picker->isVisible()) {
                return;
            }
            poll->deleteLater();
            const QString button =
                title.isEmpty() ? QStringLiteral("pushButton_reject") : "pushButton_yes";
            for (orbLive_ShareWindowPreItem* item : picker->items()) {
                if (!title.isEmpty() && item->title() == title) {
                    QTest::mouseClick(item, Qt::LeftButton);
                }
            }
            QTest::mouseClick(picker->findChild<QPushButton*>(button), Qt::LeftButton);
        });
        poll->start(50);
        QTimer::singleShot(60000, this, [] {  // never hang the suite, even on a warning
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        button(SpeakSimple::kShare)->click();
        live::DialogSeam::setHeadless(true);
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(rtmp_.start());
        DemoService::Options options;
        options.rtmpPort = rtmp_.port();
        QVERIFY(demo_.start(options) && demo_.connect({{"type", 1}}) && demo_.signIn());
        Scheme::instance().init(demo_.config->getType());
        qApp->setStyleSheet(Scheme::instance().styleSheet(QSS_BASE));
        OrbOBS::instance().init(demo_.config);
        room_ = std::make_unique<RoomSimple>(nullptr, demo_.config, demo_.net);
        // The test screen is smaller than the room's own size.
        room_->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        shared_ = studiotest::showWindow(kWindowTitle);
        QVERIFY(studiotest::waitExposed(shared_.get()));
    }

    void init() {
        for (const OBSSceneItem& item : SceneItems::list(scene())) {
            app()->removeScenceItem(SceneItems::itemName(item), false);
        }
        enter();
        QVERIFY(studiotest::waitExposed(room_.get()));
    }

    void cleanup() {
        live::DialogSeam::setHeadless(true);
        if (speak()->isSpeechLayout()) {
            button(SpeakSimple::kSpeak)->click();
        }
        if (speak()->isStreaming()) {
            app()->ctrlVoice(orbLiveImp::kStreamStop, 0);
            QTRY_VERIFY_WITH_TIMEOUT(!speak()->isStreaming(), 20000);
        }
        QVERIFY(room_->leaveRoom());
        live::DialogSeam::clearShown();
    }

    // The task's room pushes to the task's address, goes live, tells the service and reports,
    // holds the presenter in while live, and stops cleanly; an interactive one pushes too.
    void broadcastsTheTask() {
        QCOMPARE(room_->findChild<QLabel*>("titleName")->text(), kTitle);
        QCOMPARE(room_->liveWidget()->objectName(), QStringLiteral("OBSLive"));
        QLabel* stats = speak()->findChild<QLabel*>("util_rb");
        // A report a minute is too slow for a test; the reporter takes a shorter beat.
        speak()->monitor()->setInterval(1500);
        button(SpeakSimple::kLive)->click();
        QTRY_COMPARE_WITH_TIMEOUT(button(SpeakSimple::kLive)->text(), QStringLiteral("停止直播"),
                                  30000);
        QTRY_VERIFY_WITH_TIMEOUT(!demo_.service.requests("/api/live/start").isEmpty(), 20000);
        const QJsonObject start = demo_.service.lastRequest("/api/live/start");
        QCOMPARE(start.value("form").toObject().value("taskId").toString(),
                 QString::number(kTaskId));
        QTRY_VERIFY_WITH_TIMEOUT(stats->text().contains(" kbp/s  丢帧: "), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!demo_.service.monitorReports().isEmpty(), 30000);
        speak()->monitor()->setInterval(MonitorReporter::kDefaultIntervalMs);

        QVERIFY(!room_->leaveRoom());
        QCOMPARE(live::DialogSeam::shown().last().text, QStringLiteral("请先停止直播，然后再退出"));
        button(SpeakSimple::kLive)->click();
        QTRY_COMPARE_WITH_TIMEOUT(button(SpeakSimple::kLive)->text(), QStringLiteral("开始直播"),
                                  30000);
        const MediaProbe probe =
            MediaProbe::of(rtmp_.recording(QStringLiteral("orb%1").arg(kTaskId)));
        QCOMPARE(probe.videoCodec, QStringLiteral("h264"));
        QVERIFY(!studiotest::shownTexts().join('\n').contains("未能正常"));

        // An interactive room shows the real-time view and pushes to the task's address too.
        QVERIFY(room_->leaveRoom());
        enter(RoomSimple::kInteractiveMode, QStringLiteral("rtmp://127.0.0.1:1/other/orb1"));
        QCOMPARE(room_->liveWidget()->objectName(), QStringLiteral("TRTCLive"));
        LiveSettings settings;
        OrbOBS::instance().getLiveSettings(settings);
        QCOMPARE(settings.server + settings.key, pushUrl());
    }

    void sharing_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("kind");
        QTest::newRow("desktop") << kDesktop << "xshm_input ";
        QTest::newRow("window") << kWindowTitle << "xcomposite_input ";
    }
    void sharing() {
        QFETCH(QString, entry);
        QFETCH(QString, kind);
        QPushButton* share = button(SpeakSimple::kShare);
        clickShareAnswering(QString());  // cancelled: nothing changes
        QVERIFY(!share->isChecked());
        QVERIFY(sceneItems().isEmpty());

        clickShareAnswering(entry);
        QCOMPARE(share->text(), QStringLiteral("结束共享"));
        const QStringList items = sceneItems();
        QVERIFY2(items.size() == 1 && items[0].startsWith(kind), qPrintable(items.join(';')));
        QVERIFY(entry == kDesktop || items[0].contains(kWindowTitle));
        // Leaving and coming back finds the share in the scene.
        QVERIFY(room_->leaveRoom());
        enter();
        QVERIFY(button(SpeakSimple::kShare)->isChecked());
        button(SpeakSimple::kShare)->click();
        QCOMPARE(button(SpeakSimple::kShare)->text(), QStringLiteral("共享"));
        QVERIFY(sceneItems().isEmpty());
    }

    void cameraKeepsItsPlacement() {
        QPushButton* camera = button(SpeakSimple::kCamera);
        camera->click();
        QCOMPARE(sceneItems(), QStringList{"v4l2_input "});
        const SceneLayout::Placement moved{100, 50, 0.5f, 0.5f, 400, 300};
        SceneLayout::place(SceneItems::list(scene()).front(), moved);
        camera->click();
        QVERIFY(sceneItems().isEmpty());
        camera->click();
        QCOMPARE(SceneLayout::placementOf(SceneItems::list(scene()).front()), moved);
    }

    void speechLayout() {
        app()->fastAddMinotor(QString());
        QWidget* strip = speak();
        const QSize normal = strip->size();
        button(SpeakSimple::kSources)->click();
        QTRY_VERIFY(speak()->sourcePanel()->isVisible());
        QVERIFY(studiotest::waitExposed(room_.get()));
        QTest::qWait(500);  // a few frames of the picture for the screenshot only
        QVERIFY(QGuiApplication::primaryScreen()
                    ->grabWindow(room_->winId())
                    .save(screenshotPath("room_simple.png")));

        // The strip floats on its own at the top of the screen, the chat beside it.
        button(SpeakSimple::kSpeak)->click();
        QVERIFY(!room_->isVisible() && strip->isWindow());
        QVERIFY(button(SpeakSimple::kChat)->isChecked());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QTRY_COMPARE_WITH_TIMEOUT(
            strip->frameGeometry().topLeft(),
            QPoint(area.left() + (area.width() - normal.width()) / 2, area.top()), 10000);
        QVERIFY(room_->chat()->isFloating() && room_->chat()->isVisible());
        QVERIFY(studiotest::waitExposed(strip));
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(
            screenshotPath("room_simple_speech.png")));

        // The presenter drags the strip aside.
        const QPoint from = strip->pos();
        const QPoint grip(10, 10);
        const auto send = [strip, grip](QEvent::Type type, QPoint by, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(grip + by), QPointF(strip->mapToGlobal(grip) + by),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(strip, &event);
        };
        send(QEvent::MouseButtonPress, QPoint(), Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(50, 30), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPoint(), Qt::NoButton);
        QCOMPARE(strip->pos(), from + QPoint(50, 30));

        button(SpeakSimple::kChat)->click();
        QVERIFY(!room_->chat()->isVisible());
        button(SpeakSimple::kSpeak)->click();
        QVERIFY(room_->isVisible());
        QCOMPARE(strip->parentWidget(), room_->findChild<QWidget*>("ctrl"));
        QVERIFY(!room_->chat()->isFloating() && room_->chat()->isVisible());
    }
};

ROOM_TEST_MAIN(TestRoomSimple)

#include "tst_room_simple.moc"
