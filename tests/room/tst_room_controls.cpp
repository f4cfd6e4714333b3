#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "RoomTestMain.h"
#include "RoomWiring.h"
#include "core/DialogSeam.h"
#include "frontend/PreviewPacer.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioTestKit.h"
#include "room/Console.h"
#include "room/InfoBar.h"
#include "room/LagWatch.h"
#include "room/Room.h"
#include "room/Scene.h"
#include "room/SceneTab.h"
#include "room/Speaker.h"
#include "shell/Toast.h"

using namespace orbLiveImp;
using studiotest::app;

namespace {

constexpr int kFps = 30;
const QString kLagHint = QStringLiteral("降低分辨率或帧率");

// The engine's totals, advanced by a second of frames, some late or skipped.
struct Counters {
    ResourceUtil util;

    void advance(int lagged, int skipped) {
        util.renderedFrames += kFps;
        util.laggedFrames += static_cast<uint64_t>(lagged);
        util.outputFrames += kFps;
        util.skippedFrames += static_cast<uint64_t>(skipped);
    }
};

}  // namespace

// The room's controls wired to the real studio as the room wires them: the scene tabs built
// from the library's reports, the user's actions going to the library and coming back as
// reports; the console and the speech panel; the lag warning, when it speaks and the room
// showing it, and the preview's pacing. The room's own test streams and records through them
// end to end.
class TestRoomControls : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<QWidget> room_;
    Scene* scene_ = nullptr;
    Console* console_ = nullptr;
    std::unique_ptr<RoomWiring> wiring_;

    OBSBasic* basic() const { return app()->GetMainWindow(); }

    QStringList tabNames() const {
        QStringList names;
        for (int i = 0; i < scene_->count(); ++i) {
            names << scene_->tabName(i);
        }
        return names;
    }
    QString currentTab() const { return scene_->tabName(scene_->currentIndex()); }

    QAction* menuAction(Scene::MenuAction which) const {
        for (QAction* action : scene_->findChild<QMenu*>()->actions()) {
            if (action->data().toInt() == which) {
                return action;
            }
        }
        return nullptr;
    }

    void clickTab(int index) {
        QTabBar* bar = scene_->tabWidget()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    void clickCell(SceneTab* tab, const QString& item, int column, bool twice = false) {
        const QModelIndex index = tab->model()->index(tab->rowOf(item), column);
        QTableView* table = tab->table();
        const QPoint at = table->visualRect(index).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        }
    }

    QString addPicture(const QString& name) {
        const QString png = studiotest::makePng(dir_.filePath(name + ".png"), Qt::darkCyan);
        return app()->addSceneItem(studiotest::param(SourceKinds::kImage, png, false, false, name));
    }

    bool engineItemFlag(const QString& name, bool (*flag)(const obs_sceneitem_t*)) {
        OBSSceneItem item = SceneItems::find(basic()->currentScene(), name);
        return item && flag(item);
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
        room_ = std::make_unique<QWidget>();
        room_->setObjectName("Room");
        auto* layout = new QVBoxLayout(room_.get());
        auto* infoBar = new InfoBar;
        infoBar->setTitle("周一晨会直播");
        scene_ = new Scene;
        console_ = new Console;
        layout->addWidget(infoBar);
        layout->addWidget(scene_, 1);
        layout->addWidget(console_);
        room_->resize(820, 520);
        room_->show();
        QVERIFY(studiotest::waitExposed(room_.get()));
        wiring_ = std::make_unique<RoomWiring>(app(), scene_, console_);
        QTRY_COMPARE_WITH_TIMEOUT(tabNames(), basic()->sceneNames(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(currentTab(), basic()->currentSceneName(), 10000);
    }

    void cleanup() { live::DialogSeam::clearShown(); }

    void libraryChangesBecomeTabs() {
        QSignalSpy sent(scene_, &Scene::signalCtrlScene);
        const QStringList before = basic()->sceneNames();
        QVERIFY(app()->ctrlScene(kSceneAdd, "A", 0));
        QVERIFY(app()->ctrlScene(kSceneAdd, "B", 0));
        QTRY_COMPARE(tabNames(), before + QStringList({"A", "B"}));
        QVERIFY(app()->ctrlScene(kSceneRename, "B", "C"));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "C", 0));
        QTRY_COMPARE(currentTab(), QString("C"));
        QVERIFY(basic()->reorderScene(before.size() + 1, 0));
        QTRY_COMPARE(tabNames(), QStringList({"C"}) + before + QStringList({"A"}));
        QVERIFY(app()->ctrlScene(kSceneRemove, "A", 0));
        QTRY_COMPARE(tabNames(), basic()->sceneNames());
        QCOMPARE(currentTab(), QString("C"));
        // Mirroring the library is no reason to command it.
        QCOMPARE(sent.count(), 0);

        // Attached again, the tabs are rebuilt as they were.
        wiring_.reset();
        QCOMPARE(scene_->count(), 0);
        wiring_ = std::make_unique<RoomWiring>(app(), scene_, console_);
        QTRY_COMPARE(tabNames(), basic()->sceneNames());
        QTRY_COMPARE(currentTab(), QString("C"));
    }

    void userActionsGoThroughTheLibrary() {
        // Accepting the offered default: the smallest free number.
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        scene_->on_add_clicked();
        QTRY_VERIFY(tabNames().contains("Scene2"));

        // A taken name is refused with a warning and asked again.
        live::DialogSeam::presetAnswer(QString("Scene2"));
        live::DialogSeam::presetAnswer(int(QMessageBox::Ok));
        live::DialogSeam::presetAnswer(QString("Solo"));
        scene_->on_add_clicked();
        QTRY_VERIFY(basic()->sceneNames().contains("Solo"));
        QTRY_COMPARE(tabNames(), basic()->sceneNames());
        QCOMPARE(studiotest::shownTexts("warning"), QStringList{"画面名称已经存在"});

        // Switching: the library makes it current; the current tab again sends nothing.
        clickTab(tabNames().indexOf("Solo"));
        QTRY_COMPARE(basic()->currentSceneName(), QString("Solo"));
        QTRY_COMPARE(currentTab(), QString("Solo"));
        QSignalSpy sent(scene_, &Scene::signalCtrlScene);
        clickTab(tabNames().indexOf("Solo"));
        QCOMPARE(sent.count(), 0);

        live::DialogSeam::presetAnswer(QString("Duo"));
        menuAction(Scene::kMenuEdit)->trigger();
        QTRY_COMPARE(currentTab(), QString("Duo"));
        QVERIFY(basic()->sceneNames().contains("Duo"));
        menuAction(Scene::kMenuDelete)->trigger();
        QTRY_VERIFY(!tabNames().contains("Duo"));
        QVERIFY(!basic()->sceneNames().contains("Duo"));

        // A dragged tab reorders the library's scenes.
        scene_->tabWidget()->tabBar()->moveTab(0, scene_->count() - 1);
        QTRY_COMPARE(basic()->sceneNames(), tabNames());
    }

    void itemsMirrorTheEngine() {
        // A scene of its own, current, so item commands land there.
        QVERIFY(app()->ctrlScene(kSceneAdd, "Items", 0) &&
                app()->ctrlScene(kSceneCurrent, "Items", 0));
        QTRY_COMPARE(currentTab(), QString("Items"));
        SceneTab* tab = scene_->sceneTab("Items");
        QVERIFY(tab->placeholderShown());
        QCOMPARE(addPicture("Pic"), QString("Pic"));
        QCOMPARE(addPicture("Pic2"), QString("Pic2"));
        QTRY_COMPARE(tab->model()->rowCount(), 2);

        clickCell(tab, "Pic", SceneTab::kColEnable);
        QTRY_VERIFY(!tab->itemState("Pic", SceneTab::kColEnable));
        QVERIFY(!engineItemFlag("Pic", obs_sceneitem_visible));
        clickCell(tab, "Pic", SceneTab::kColLock);
        QTRY_VERIFY(tab->itemState("Pic", SceneTab::kColLock));
        QVERIFY(engineItemFlag("Pic", obs_sceneitem_locked));

        // The library's own selection change is shown without being sent back.
        QSignalSpy sent(scene_, &Scene::signalCtrlSceneItem);
        QVERIFY(app()->ctrlSceneItem("Pic2", kItemSelect, true));
        QTRY_VERIFY(tab->table()->selectionModel()->isRowSelected(tab->rowOf("Pic2"), {}));
        QCOMPARE(sent.count(), 0);

        live::DialogSeam::presetAnswer(QString("Renamed"));
        clickCell(tab, "Pic", SceneTab::kColName, true);
        QTRY_VERIFY(tab->rowOf("Renamed") >= 0);
        QVERIFY(engineItemFlag("Renamed", obs_sceneitem_locked));

        clickCell(tab, "Pic2", SceneTab::kColDelete);
        QTRY_COMPARE(tab->model()->rowCount(), 1);
        clickCell(tab, "Renamed", SceneTab::kColDelete);
        QTRY_VERIFY(tab->placeholderShown());
    }

    // Declining the question sends nothing; mute, activity and volumes are reported.
    void consoleControls() {
        QSignalSpy sent(console_, &Console::signalConsoleEvent);
        live::DialogSeam::presetAnswer(int(QDialog::Rejected));
        console_->clickControl(Speaker::kRecord);
        QCOMPARE(studiotest::shownTexts("dialog"), QStringList{"是否要开始录制？"});
        QVERIFY(!console_->isRecording());
        QCOMPARE(sent.count(), 0);

        console_->setAudioActivity(false);
        console_->clickControl(Speaker::kSpeaker);
        QVERIFY(console_->speakerMuted());
        console_->setAudioActivity(true);
        QVERIFY(!console_->audioActive());  // muted, the report is not taken in
        console_->clickControl(Speaker::kSpeaker);
        console_->setAudioActivity(true);
        QVERIFY(console_->audioActive());
        console_->resetVolumes();
        QCOMPARE(sent.count(), 4);
        QCOMPARE(sent.at(0).at(0).value<uint8_t>(), uint8_t(kSpeakerMute));
        QCOMPARE(sent.at(1).at(0).value<uint8_t>(), uint8_t(kSpeakerOn));
        QCOMPARE(sent.at(2).at(1).value<uint8_t>(), uint8_t(Console::kResetVolume));
        QCOMPARE(sent.at(3).at(0).value<uint8_t>(), uint8_t(kMicrophoneVolume));
    }

    void speakerMirrorsAndReports() {
        console_->setState(kMicrophoneMute, 0);
        Speaker speaker;
        speaker.showBound(console_);
        QVERIFY(studiotest::waitExposed(&speaker));
        QVERIFY(room_->grab().save(studiotest::screenshotPath("room_controls.png")));
        QVERIFY(speaker.grab().save(studiotest::screenshotPath("room_speaker.png")));
        QVERIFY(speaker.isChecked(Speaker::kVolume));
        QSignalSpy events(&speaker, &Speaker::signalSpeechEvent);
        for (const char* name : {"speaker", "volume", "chat", "live", "record", "quit"}) {
            speaker.findChild<QPushButton*>(name)->click();
        }
        QCOMPARE(events.count(), 6);
        for (int i = 0; i < events.count(); ++i) {
            QCOMPARE(int(events.at(i).at(0).value<uint8_t>()), i);
        }
        console_->setState(kMicrophoneOn, 0);
    }

    void warns_data() {
        QTest::addColumn<QVector<int>>("lagged");
        QTest::addColumn<QVector<int>>("skipped");
        QTest::addColumn<int>("resetAt");
        QTest::addColumn<QVector<int>>("warnings");  // the seconds at which feed said so

        const QVector<int> calm(20, 0);
        QTest::newRow("10 % late: once the window is full")
            << QVector<int>(20, 3) << calm << -1 << QVector<int>{10};
        QTest::newRow("4 % late stays quiet")
            << QVector<int>(20, 1) << calm << -1 << QVector<int>{};
        QVector<int> burst = calm;
        burst[3] = 14;  // under 5 % of a ten-second window
        QTest::newRow("a short hitch stays quiet") << burst << calm << -1 << QVector<int>{};
        QTest::newRow("encoder skipping frames")
            << calm << QVector<int>(20, 3) << -1 << QVector<int>{10};
        // Totals that start again must not read as billions of late frames.
        QTest::newRow("video reset") << QVector<int>(20, 1) << calm << 8 << QVector<int>{};
    }

    void warns() {
        QFETCH(QVector<int>, lagged);
        QFETCH(QVector<int>, skipped);
        QFETCH(int, resetAt);
        QFETCH(QVector<int>, warnings);
        LagWatch watch;
        Counters c;
        c.util.renderedFrames = 5000;  // the engine ran before the broadcast
        c.util.laggedFrames = 700;
        QVector<int> said;
        for (int second = 0; second < lagged.size(); ++second) {
            if (second == resetAt) {
                c = Counters();
            }
            c.advance(lagged.value(second), skipped.value(second));
            if (watch.feed(second * 1000LL, c.util)) {
                said << second;
            }
        }
        QCOMPARE(said, warnings);
    }

    // Behind: one frame in the stride for the hold; keeping up again: every frame.
    void pacesPreview() {
        PreviewPacer pacer;
        const uint64_t interval = 33333333;
        const uint64_t light = interval / 4;
        QVERIFY(pacer.next(0, light, interval));
        QVERIFY(pacer.next(0, light, interval));
        int drawn = 0;
        for (int frame = 0; frame < PreviewPacer::kHoldFrames; ++frame) {
            drawn += pacer.next(1, light, interval) ? 1 : 0;
        }
        QCOMPARE(drawn, PreviewPacer::kHoldFrames / PreviewPacer::kBehindStride);
        QVERIFY(pacer.next(1, light, interval));
        QVERIFY(pacer.next(1, light, interval));
        // Keeping up with little to spare: every other frame, before any frame is late.
        int tightDrawn = 0;
        for (int frame = 0; frame < 10; ++frame) {
            tightDrawn += pacer.next(1, interval * 6 / 10, interval) ? 1 : 0;
        }
        QCOMPARE(tightDrawn, 10 / PreviewPacer::kTightStride);
        // A heavy average slows it down without any frame counted late.
        int heavyDrawn = 0;
        for (int frame = 0; frame < PreviewPacer::kBehindStride * 2; ++frame) {
            heavyDrawn += pacer.next(1, interval, interval) ? 1 : 0;
        }
        QCOMPARE(heavyDrawn, 2);
    }

    // The room says it in its status text and one toast, and again only in the next broadcast.
    void roomShowsItOncePerBroadcast() {
        auto room = std::make_unique<Room>(nullptr, nullptr, nullptr);
        auto* live = room->console()->findChild<QPushButton*>(QStringLiteral("live"));
        QVERIFY(live);
        const auto setLive = [&](bool on) {
            const QSignalBlocker quiet(live);
            live->setChecked(on);
        };
        Counters c;
        qint64 ms = 0;
        const auto lagFor = [&](int seconds) {
            for (int i = 0; i < seconds; ++i, ms += 1000) {
                c.advance(6, 0);
                room->takeResources(c.util, ms);
            }
        };
        lagFor(12);
        QVERIFY(!room->statusText().contains(kLagHint));  // not live: the audience sees nothing
        QVERIFY(room->findChildren<Toast*>().isEmpty());

        setLive(true);
        lagFor(25);
        QVERIFY2(room->statusText().contains(kLagHint), qPrintable(room->statusText()));
        QCOMPARE(room->findChildren<Toast*>().size(), 1);

        setLive(false);
        lagFor(1);
        QVERIFY(!room->statusText().contains(kLagHint));
        setLive(true);
        lagFor(12);
        QCOMPARE(room->findChildren<Toast*>().size(), 2);
    }
};

ROOM_TEST_MAIN(TestRoomControls)

#include "tst_room_controls.moc"
