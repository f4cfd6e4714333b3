#include <QtTest>

#include "StudioTestKit.h"

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
                QVERIFY(app()->ctrlScene(0, name, 0));
            }
        }
        for (const QString& name : basic()->sceneNames()) {
            if (!names.contains(name)) {
                QVERIFY(app()->ctrlScene(1, name, 0));
            }
        }
        for (int i = 0; i < names.size(); ++i) {
            const int from = basic()->sceneNames().indexOf(names[i]);
            if (from != i) {
                QVERIFY(basic()->reorderScene(from, i));
            }
        }
        QVERIFY(app()->ctrlScene(4, names.first(), 0));
        QCoreApplication::processEvents();
        log_.take();
    }

private slots:
    void initTestCase() { STUDIO_REQUIRE(); }

    void firstRunHasOneCurrentScene() {
        QCOMPARE(basic()->sceneNames().size(), 1);
        QCOMPARE(basic()->currentSceneName(), basic()->sceneNames().first());
        log_.attach();
        const QString first = basic()->sceneNames().first();
        QCOMPARE(log_.waitFor(2), QStringList({sceneLine(0, first), sceneLine(4, first)}));
    }

    void sceneOpsAreReportedInOrder() {
        resetScenes({"Base"});
        QVERIFY(app()->ctrlScene(0, "A", 0));
        QVERIFY(app()->ctrlScene(0, "B", 0));
        QVERIFY(app()->ctrlScene(2, "B", QString("C")));
        QVERIFY(app()->ctrlScene(4, "C", 0));
        QVERIFY(basic()->reorderScene(2, 0));
        QVERIFY(app()->ctrlScene(1, "A", 0));
        const QStringList expected = {
            sceneLine(0, "A"), sceneLine(0, "B"),    sceneLine(2, "B", "C"),
            sceneLine(4, "C"), sceneLine(3, "C", 0), sceneLine(1, "A"),
        };
        QCOMPARE(log_.waitFor(expected.size()), expected);
        QCOMPARE(basic()->sceneNames(), QStringList({"C", "Base"}));
        QCOMPARE(basic()->currentSceneName(), QString("C"));
    }

    void refusedCommandsChangeNothing_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("rename to a scene's name") << 2 << "S1" << QVariant("S2");
        QTest::newRow("rename to a material's name") << 2 << "S1" << QVariant("Pic");
        QTest::newRow("rename to empty") << 2 << "S1" << QVariant("");
        QTest::newRow("rename a missing scene") << 2 << "Nope" << QVariant("New");
        QTest::newRow("add an existing scene") << 0 << "S2" << QVariant(0);
        QTest::newRow("add a material's name") << 0 << "Pic" << QVariant(0);
        QTest::newRow("add empty") << 0 << "" << QVariant(0);
        QTest::newRow("remove a missing scene") << 1 << "Nope" << QVariant(0);
        QTest::newRow("switch to a missing scene") << 4 << "Nope" << QVariant(0);
        QTest::newRow("scene moved is no command") << 3 << "S1" << QVariant(1);
        QTest::newRow("unknown op") << 9 << "S1" << QVariant(0);
    }
    void refusedCommandsChangeNothing() {
        QFETCH(int, op);
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        resetScenes({"S1", "S2"});
        orbLiveImp::SoureParam pic;
        pic.type = 3;
        pic.name = "Pic";
        pic.value = studiotest::makePng(QDir::temp().filePath("tst_scenes_pic.png"), Qt::red);
        if (!basic()->sceneNames().contains("Pic")) {
            QCOMPARE(app()->addSceneItem(pic), QString("Pic"));
        }
        log_.take();

        QVERIFY(!app()->ctrlScene(static_cast<uint8_t>(op), name, value));
        QCOMPARE(log_.waitFor(0), QStringList());
        QCOMPARE(basic()->sceneNames(), QStringList({"S1", "S2"}));
        QCOMPARE(basic()->currentSceneName(), QString("S1"));
        QVERIFY(app()->ctrlSceneItem("Pic", 2, true));
    }

    void removingTheCurrentSceneMovesCurrent() {
        resetScenes({"R1", "R2", "R3"});
        QVERIFY(app()->ctrlScene(4, "R2", 0));
        QVERIFY(app()->ctrlScene(1, "R2", 0));
        QCOMPARE(basic()->currentSceneName(), QString("R3"));
        // The last scene goes: the one before it takes over.
        QVERIFY(app()->ctrlScene(1, "R3", 0));
        QCOMPARE(basic()->currentSceneName(), QString("R1"));
        const QStringList expected = {sceneLine(4, "R2"), sceneLine(1, "R2"), sceneLine(4, "R3"),
                                      sceneLine(1, "R3"), sceneLine(4, "R1")};
        QCOMPARE(log_.waitFor(expected.size()), expected);

        OBSSourceAutoRelease program = obs_get_output_source(0);
        QCOMPARE(QString(obs_source_get_name(program)), QString("R1"));
    }

    void removingAnotherSceneKeepsCurrent() {
        resetScenes({"K1", "K2"});
        QVERIFY(app()->ctrlScene(1, "K2", 0));
        QCOMPARE(basic()->currentSceneName(), QString("K1"));
        QCOMPARE(log_.waitFor(1), QStringList({sceneLine(1, "K2")}));
    }

    void removingEverySceneLeavesNoCurrent() {
        resetScenes({"Only"});
        QVERIFY(app()->ctrlScene(1, "Only", 0));
        QCOMPARE(basic()->sceneNames(), QStringList());
        QVERIFY(basic()->GetCurrentScene() == nullptr);
        QCOMPARE(basic()->getSceneItemCount(), 0);
        orbLiveImp::SoureParam pic;
        pic.type = 3;
        pic.value = studiotest::makePng(QDir::temp().filePath("tst_scenes_pic.png"), Qt::red);
        QCOMPARE(app()->addSceneItem(pic), QString());
        // A new scene becomes current on its own.
        QVERIFY(app()->ctrlScene(0, "Again", 0));
        QCOMPARE(basic()->currentSceneName(), QString("Again"));
        const QStringList expected = {sceneLine(1, "Only"), sceneLine(0, "Again"),
                                      sceneLine(4, "Again")};
        QCOMPARE(log_.waitFor(expected.size()), expected);
    }

    void reorderOutOfRangeIsRefused() {
        resetScenes({"O1", "O2"});
        QVERIFY(!basic()->reorderScene(0, 2));
        QVERIFY(!basic()->reorderScene(-1, 0));
        QVERIFY(!basic()->reorderScene(1, 1));
        QCOMPARE(log_.waitFor(0), QStringList());
    }

    void detachedClientHearsNothingAndReattachGetsTheState() {
        resetScenes({"D1"});
        orbLiveImp::SoureParam pic;
        pic.type = 3;
        pic.name = "DPic";
        pic.value = studiotest::makePng(QDir::temp().filePath("tst_scenes_pic.png"), Qt::red);
        QCOMPARE(app()->addSceneItem(pic), QString("DPic"));
        app()->OBSWinReset();
        QVERIFY(app()->ctrlScene(0, "D2", 0));
        QCoreApplication::processEvents();
        QCOMPARE(log_.take(), QStringList());

        // Commands issued just before attaching are part of the state, not reported twice.
        QVERIFY(app()->ctrlScene(0, "D3", 0));
        log_.attach();
        const QStringList expected = {sceneLine(0, "D1"), itemLine(1, "D1", "DPic"),
                                      sceneLine(0, "D2"), sceneLine(0, "D3"), sceneLine(4, "D1")};
        QCOMPARE(log_.waitFor(expected.size()), expected);
        QVERIFY(app()->ctrlSceneItem("DPic", 2, true));
    }

    void currentSceneIsReferenced() {
        resetScenes({"Ref"});
        obs_scene_t* scene = basic()->GetCurrentScene();
        QVERIFY(scene);
        QCOMPARE(QString(obs_source_get_name(obs_scene_get_source(scene))), QString("Ref"));
        obs_scene_release(scene);
        // Still alive: the studio holds its own reference.
        QCOMPARE(basic()->currentSceneName(), QString("Ref"));
    }
};

STUDIO_TEST_MAIN(TestFrontendScenes)
#include "tst_frontend_scenes.moc"
