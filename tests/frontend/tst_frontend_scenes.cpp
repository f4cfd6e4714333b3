#include <QtTest>

#include "StudioTestKit.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

using studiotest::app;
using studiotest::itemLine;
using studiotest::sceneLine;

// Scene commands and the scene events they cause, in order.
class TestFrontendScenes : public QObject {
    Q_OBJECT

private:
    studiotest::EventLog log_;

    OBSBasic* basic() { return app()->GetMainWindow(); }

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

    QString addPicture(const QString& name) {
        const QString png =
            studiotest::makePng(QDir::temp().filePath("tst_scenes_pic.png"), Qt::red);
        return app()->addSceneItem(studiotest::param(SourceKinds::kImage, png, false, false, name));
    }

private slots:
    void initTestCase() { STUDIO_REQUIRE(); }

    void firstRunHasOneCurrentScene() {
        QCOMPARE(basic()->sceneNames().size(), 1);
        const QString first = basic()->sceneNames().first();
        QCOMPARE(basic()->currentSceneName(), first);
        // The studio hands out a reference of its own: releasing it leaves the scene alive.
        obs_scene_release(basic()->GetCurrentScene());
        log_.attach();
        QCOMPARE(log_.waitFor(2),
                 QStringList({sceneLine(kSceneAdd, first), sceneLine(kSceneCurrent, first)}));
    }

    void sceneOpsAreReportedInOrder() {
        resetScenes({"Base"});
        QVERIFY(app()->ctrlScene(kSceneAdd, "A", 0));
        QVERIFY(app()->ctrlScene(kSceneAdd, "B", 0));
        QVERIFY(app()->ctrlScene(kSceneRename, "B", QString("C")));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "C", 0));
        QVERIFY(basic()->reorderScene(2, 0));
        QVERIFY(!basic()->reorderScene(0, 3));
        QVERIFY(!basic()->reorderScene(-1, 0));
        QVERIFY(!basic()->reorderScene(1, 1));
        QVERIFY(app()->ctrlScene(kSceneRemove, "A", 0));
        const QStringList expected = {
            sceneLine(kSceneAdd, "A"),         sceneLine(kSceneAdd, "B"),
            sceneLine(kSceneRename, "B", "C"), sceneLine(kSceneCurrent, "C"),
            sceneLine(kSceneMoved, "C", 0),    sceneLine(kSceneRemove, "A"),
        };
        QCOMPARE(log_.waitFor(expected.size()), expected);
        QCOMPARE(basic()->sceneNames(), QStringList({"C", "Base"}));
        QCOMPARE(basic()->currentSceneName(), QString("C"));
    }

    void refusedCommandsChangeNothing_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("rename to a scene's name") << int(kSceneRename) << "S1" << QVariant("S2");
        QTest::newRow("rename to a material's name")
            << int(kSceneRename) << "S1" << QVariant("Pic");
        QTest::newRow("rename to empty") << int(kSceneRename) << "S1" << QVariant("");
        QTest::newRow("rename a missing scene") << int(kSceneRename) << "Nope" << QVariant("New");
        QTest::newRow("add an existing scene") << int(kSceneAdd) << "S2" << QVariant(0);
        QTest::newRow("add a material's name") << int(kSceneAdd) << "Pic" << QVariant(0);
        QTest::newRow("add empty") << int(kSceneAdd) << "" << QVariant(0);
        QTest::newRow("remove a missing scene") << int(kSceneRemove) << "Nope" << QVariant(0);
        QTest::newRow("switch to a missing scene") << int(kSceneCurrent) << "Nope" << QVariant(0);
        QTest::newRow("scene moved is no command") << int(kSceneMoved) << "S1" << QVariant(1);
        QTest::newRow("unknown op") << 9 << "S1" << QVariant(0);
    }
    void refusedCommandsChangeNothing() {
        QFETCH(int, op);
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        resetScenes({"S1", "S2"});
        QCOMPARE(addPicture("Pic"), QString("Pic"));
        log_.take();

        QVERIFY(!app()->ctrlScene(static_cast<uint8_t>(op), name, value));
        QCOMPARE(log_.waitFor(0), QStringList());
        QCOMPARE(basic()->sceneNames(), QStringList({"S1", "S2"}));
        QCOMPARE(basic()->currentSceneName(), QString("S1"));
        QVERIFY(app()->ctrlSceneItem("Pic", kItemRemove, true));
    }

    void removingScenesMovesCurrent() {
        resetScenes({"R1", "R2", "R3", "R4"});
        QVERIFY(app()->ctrlScene(kSceneCurrent, "R2", 0));
        QVERIFY(app()->ctrlScene(kSceneRemove, "R4", 0));  // another scene: current stays
        QCOMPARE(basic()->currentSceneName(), QString("R2"));
        QVERIFY(app()->ctrlScene(kSceneRemove, "R2", 0));
        QCOMPARE(basic()->currentSceneName(), QString("R3"));
        // The last scene goes: the one before it takes over.
        QVERIFY(app()->ctrlScene(kSceneRemove, "R3", 0));
        QCOMPARE(basic()->currentSceneName(), QString("R1"));
        const QStringList expected = {
            sceneLine(kSceneCurrent, "R2"), sceneLine(kSceneRemove, "R4"),
            sceneLine(kSceneRemove, "R2"),  sceneLine(kSceneCurrent, "R3"),
            sceneLine(kSceneRemove, "R3"),  sceneLine(kSceneCurrent, "R1")};
        QCOMPARE(log_.waitFor(expected.size()), expected);
        OBSSourceAutoRelease program = obs_get_output_source(0);
        QCOMPARE(QString(obs_source_get_name(program)), QString("R1"));
    }

    void removingEverySceneLeavesNoCurrent() {
        resetScenes({"Only"});
        QVERIFY(app()->ctrlScene(kSceneRemove, "Only", 0));
        QCOMPARE(basic()->sceneNames(), QStringList());
        QVERIFY(basic()->GetCurrentScene() == nullptr);
        QCOMPARE(basic()->getSceneItemCount(), 0);
        QCOMPARE(addPicture(QString()), QString());
        // A new scene becomes current on its own.
        QVERIFY(app()->ctrlScene(kSceneAdd, "Again", 0));
        QCOMPARE(basic()->currentSceneName(), QString("Again"));
        const QStringList expected = {sceneLine(kSceneRemove, "Only"),
                                      sceneLine(kSceneAdd, "Again"),
                                      sceneLine(kSceneCurrent, "Again")};
        QCOMPARE(log_.waitFor(expected.size()), expected);
    }

    void detachedClientHearsNothingAndReattachGetsTheState() {
        resetScenes({"D1"});
        QCOMPARE(addPicture("DPic"), QString("DPic"));
        app()->OBSWinReset();
        QVERIFY(app()->ctrlScene(kSceneAdd, "D2", 0));
        QCoreApplication::processEvents();
        QCOMPARE(log_.take(), QStringList());

        // Commands issued just before attaching are part of the state, not reported twice.
        QVERIFY(app()->ctrlScene(kSceneAdd, "D3", 0));
        log_.attach();
        const QStringList expected = {
            sceneLine(kSceneAdd, "D1"), itemLine(kItemAdded, "D1", "DPic"),
            sceneLine(kSceneAdd, "D2"), sceneLine(kSceneAdd, "D3"), sceneLine(kSceneCurrent, "D1")};
        QCOMPARE(log_.waitFor(expected.size()), expected);
        QVERIFY(app()->ctrlSceneItem("DPic", kItemRemove, true));
    }
};

STUDIO_TEST_MAIN(TestFrontendScenes)
#include "tst_frontend_scenes.moc"
