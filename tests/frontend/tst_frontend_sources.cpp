#include <QtTest>

#include "StudioTestKit.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

using studiotest::app;
using studiotest::item;
using studiotest::itemLine;
using studiotest::itemNames;
using studiotest::param;
using studiotest::sceneLine;
using studiotest::settings;

// Scene and item commands and the events they cause, in order, also for changes made
// directly in the engine.
class TestFrontendSources : public QObject {
    Q_OBJECT

private:
    studiotest::EventLog log_;
    QTemporaryDir dir_;
    QString png_;
    std::unique_ptr<QWidget> window_;
    QString scene_;
    static constexpr const char* kWindowTitle = "OrbCaptureTarget";

    OBSBasic* basic() { return app()->GetMainWindow(); }

    QString addImage(const QString& name) {
        return app()->addSceneItem(param(SourceKinds::kImage, png_, false, false, name));
    }

    // Leaves exactly the scenes `names` (in order), the first current, events cleared.
    void resetScenes(const QStringList& names) {
        for (const QString& name : names) {
            if (!basic()->sceneNames().contains(name)) {
                QVERIFY(app()->ctrlScene(kSceneAdd, name, 0));
            }
        }
        for (const QString& name : basic()->sceneNames()) {
            if (!names.contains(name)) {
                QVERIFY(app()->ctrlScene(kSceneRemove, name, 0));
            }
        }
        for (int i = 0; i < names.size(); ++i) {
            const int from = basic()->sceneNames().indexOf(names[i]);
            if (from != i) {
                QVERIFY(basic()->reorderScene(from, i));
            }
        }
        QVERIFY(app()->ctrlScene(kSceneCurrent, names.first(), 0));
        QCoreApplication::processEvents();
        log_.take();
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        // A first run has one current scene.
        QCOMPARE(basic()->sceneNames().size(), 1);
        scene_ = basic()->sceneNames().first();
        // The studio hands out a reference of its own: releasing it leaves the scene alive.
        obs_scene_release(basic()->GetCurrentScene());
        log_.attach();
        QCOMPARE(log_.waitFor(2),
                 QStringList({sceneLine(kSceneAdd, scene_), sceneLine(kSceneCurrent, scene_)}));
        png_ = studiotest::makePng(dir_.filePath("a.png"), Qt::red);
        QVERIFY(!png_.isEmpty());
        window_ = studiotest::showWindow(kWindowTitle);
        QTRY_VERIFY_WITH_TIMEOUT(studiotest::windowTitles().contains(kWindowTitle), 20000);
    }

    void cleanupTestCase() { window_.reset(); }

    void init() {
        resetScenes({scene_});
        studiotest::clearScene();
        log_.take();
    }

    void materialsAreNamedAndListed() {
        const QString camera = basic()->fastAddCamera2();
        const QString screen = app()->fastAddMinotor("Program Manager");
        const QString window = app()->fastAddWindow(kWindowTitle);
        QCOMPARE(addImage("Logo"), QString("Logo"));
        QCOMPARE(addImage("Logo"), QString("Logo2"));
        QCOMPARE(addImage(scene_), scene_ + "2");  // a scene's name is taken too
        QCOMPARE(app()->fastAddWindow("No such window anywhere"), QString());
        QCOMPARE(app()->addSceneItem(param(9, png_)), QString());
        QCOMPARE(app()->getNameListofCamerasInSence(), QStringList({camera}));
        QCOMPARE(app()->getNameListofShareInSence(), QStringList({window, screen}));
        QCOMPARE(basic()->getSceneItemCount(), 6);
        QVERIFY(app()->removeScenceItem(window, false));
        QCOMPARE(app()->getNameListofShareInSence(), QStringList({screen}));
        QCOMPARE(obs_data_get_int(settings(screen), "screen"), 0);  // the whole display
    }

    void itemChangesAreReportedInOrder() {
        const QString a = addImage("ItemA");
        const QString b = addImage("ItemB");
        log_.waitFor(4);
        QVERIFY(app()->ctrlSceneItem(a, kItemSelect, true));
        QVERIFY(app()->ctrlSceneItem(b, kItemSelect, true));  // only one selected at a time
        QVERIFY(basic()->moveSceneItem(b, OBS_ORDER_MOVE_BOTTOM));
        QCOMPARE(itemNames(), QStringList({a, b}));
        QVERIFY(!basic()->moveSceneItem("Nothing", OBS_ORDER_MOVE_UP));
        QVERIFY(app()->ctrlSceneItem(a, kItemRename, QString("ItemC")));
        QCOMPARE(
            log_.waitFor(5),
            QStringList({itemLine(kItemSelect, scene_, a, 1), itemLine(kItemSelect, scene_, a, 0),
                         itemLine(kItemSelect, scene_, b, 1), itemLine(kItemOrder, scene_, ""),
                         itemLine(kItemRename, scene_, a, 0, "ItemC")}));
        // Changed in the engine directly.
        obs_sceneitem_set_visible(item("ItemC"), false);
        obs_sceneitem_set_locked(item("ItemC"), true);
        obs_sceneitem_set_order(item(b), OBS_ORDER_MOVE_TOP);
        OBSSourceAutoRelease s = obs_get_source_by_name(b.toUtf8().constData());
        obs_source_set_name(s, "EngRenamed");
        basic()->showProperties("EngRenamed");
        // Removed right after a rename: the client hears both, under the names they had.
        OBSSourceAutoRelease c = obs_get_source_by_name("ItemC");
        obs_source_set_name(c, "Gone");
        obs_sceneitem_remove(item("Gone"));
        QCOMPARE(log_.waitFor(7), QStringList({itemLine(kItemVisible, scene_, "ItemC", 0),
                                               itemLine(kItemLock, scene_, "ItemC", 1),
                                               itemLine(kItemOrder, scene_, ""),
                                               itemLine(kItemRename, scene_, b, 0, "EngRenamed"),
                                               itemLine(kItemProperties, scene_, "EngRenamed"),
                                               itemLine(kItemRename, scene_, "ItemC", 0, "Gone"),
                                               itemLine(kItemRemove, scene_, "Gone", 1)}));
    }

    // Refused commands change nothing and report nothing; scene and material names share
    // one space, and an item of another scene is out of reach.
    void refusedCommandsChangeNothing() {
        resetScenes({"S1", "S2"});
        QCOMPARE(addImage("One"), QString("One"));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "S2", 0));
        QCOMPARE(addImage("Two"), QString("Two"));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "S1", 0));
        log_.waitFor(6);
        QVERIFY(!app()->ctrlScene(kSceneRename, "S1", QString("One")));
        QVERIFY(!app()->ctrlSceneItem("One", kItemRename, QString("S2")));
        QVERIFY(!app()->ctrlSceneItem("Two", kItemVisible, false));
        QCOMPARE(log_.waitFor(0), QStringList());
        QCOMPARE(basic()->sceneNames(), QStringList({"S1", "S2"}));
        QCOMPARE(itemNames(), QStringList({"One"}));
        studiotest::clearScene();
        QVERIFY(app()->ctrlScene(kSceneCurrent, "S2", 0));
        studiotest::clearScene();
    }

    void removingScenesMovesCurrent() {
        resetScenes({"R1", "R2", "R3"});
        QVERIFY(app()->ctrlScene(kSceneCurrent, "R2", 0));
        QVERIFY(app()->ctrlScene(kSceneRemove, "R2", 0));
        QCOMPARE(basic()->currentSceneName(), QString("R3"));
        // The last scene goes: the one before it takes over.
        QVERIFY(app()->ctrlScene(kSceneRemove, "R3", 0));
        QCOMPARE(basic()->currentSceneName(), QString("R1"));
        OBSSourceAutoRelease program = obs_get_output_source(0);
        QCOMPARE(QString(obs_source_get_name(program)), QString("R1"));
        QVERIFY(app()->ctrlScene(kSceneRemove, "R1", 0));
        QVERIFY(basic()->GetCurrentScene() == nullptr);
        QCOMPARE(addImage(QString()), QString());
        // A new scene becomes current on its own.
        QVERIFY(app()->ctrlScene(kSceneAdd, "Again", 0));
        const QStringList expected = {
            sceneLine(kSceneCurrent, "R2"), sceneLine(kSceneRemove, "R2"),
            sceneLine(kSceneCurrent, "R3"), sceneLine(kSceneRemove, "R3"),
            sceneLine(kSceneCurrent, "R1"), sceneLine(kSceneRemove, "R1"),
            sceneLine(kSceneAdd, "Again"),  sceneLine(kSceneCurrent, "Again")};
        QCOMPARE(log_.waitFor(expected.size()), expected);
    }
};

STUDIO_TEST_MAIN(TestFrontendSources)
#include "tst_frontend_sources.moc"
