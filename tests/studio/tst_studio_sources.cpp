#include <QJsonArray>
#include <QJsonObject>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "StoredMaterial.h"
#include "StudioConfig.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioTestKit.h"
#include "studio/OrbOBS.h"
#include "studio/SceneLayout.h"

using orbLiveImp::OrbShortcut;
using orbLiveImp::SoureParam;
using studiotest::app;
using studiotest::param;

namespace {

QVector<float> placementOf(obs_sceneitem_t* item) {
    const SceneLayout::Placement p = SceneLayout::placementOf(item);
    return QVector<float>(p.begin(), p.end());
}

}  // namespace

// The wrapper on the real engine: device choices with the window filter, slideshow hotkeys,
// the recording folder, camera placement kept in the configuration, flips and the item
// order mirror.
class TestStudioSources : public QObject {
    Q_OBJECT

private:
    OrbOBS& obs() { return OrbOBS::instance(); }
    OBSBasic* basic() { return app()->GetMainWindow(); }
    config_t* profile() { return basic()->Config(); }

    QTemporaryDir dir_;
    StudioConfig config_;
    QString png_;
    std::vector<std::unique_ptr<QWidget>> windows_;
    static constexpr const char* kWindowTitle = "OrbWrapperTarget";
    static constexpr const char* kTwinTitle = "OrbTwinWindow";

    static QStringList windowChoices() { return materialChoices(SourceKinds::kWindow); }

    obs_scene_t* scene() {
        obs_scene_t* s = basic()->GetCurrentScene();
        obs_scene_release(s);  // the studio keeps its own reference
        return s;
    }

    QStringList order() { return SceneLayout::order(scene()); }

    OBSSceneItem item(const QString& name) { return SceneItems::find(scene(), name); }

    QString addImage(const QString& name) {
        return app()->addSceneItem(param(SourceKinds::kImage, png_, false, false, name));
    }

    QString camera() { return app()->getNameListofCamerasInSence().value(0); }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QCOMPARE(config_.initResult(), uint8_t(0));
        // An earlier run's placement would stand in for the defaults.
        QFile::remove(config_.config()->getPath(live::kPathUserData));
        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": [], "name": []}})"));
        obs().init(config_.config());
        png_ = studiotest::makePng(dir_.filePath("a.png"), Qt::red);
        QVERIFY(!png_.isEmpty());
        for (const char* title : {kWindowTitle, kTwinTitle, kTwinTitle}) {
            windows_.push_back(studiotest::showWindow(title));
        }
        QTRY_VERIFY_WITH_TIMEOUT(windowChoices().count(kTwinTitle) == 2, 20000);
    }

    void cleanupTestCase() { windows_.clear(); }

    void init() {
        for (const QString& name : order()) {
            app()->removeScenceItem(name, false);
        }
        QVERIFY(order().isEmpty());
    }

    // By name or by keyword; empty strings in the file are dropped rather than matching
    // every title.
    void filterOnRealWindows() {
        QVERIFY(
            config_.writeFilter(R"({"windows": {"keyword": [""], "name": ["OrbTwinWindow"]}})"));
        obs().loadFilterInfo();
        QCOMPARE(windowChoices().count(kTwinTitle), 1);
        QVERIFY(windowChoices().contains(kWindowTitle));
        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": ["Twin"], "name": []}})"));
        obs().loadFilterInfo();
        QCOMPARE(windowChoices().count(kTwinTitle), 0);
        QVERIFY(windowChoices().contains(kWindowTitle));
    }

    // What the engine keeps (and saves with the scene) is the intended key and modifiers.
    void slideshowHotkeysReachTheEngine() {
        const QString folder = studiotest::makeImageFolder(dir_.filePath("slides"), 2);
        SoureParam p = param(SourceKinds::kSlideshow, folder, false, false);
        const QString name = p.name = app()->addSceneItem(p);
        p.hotkeys = {
            {uint(Qt::AltModifier), 0x74, QString()},
            {uint(Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier), 0x22, QString()}};
        obs().updateSource(p);
        std::vector<OrbShortcut> keys;
        QVERIFY(obs().getSourceHotkeys(name, keys));
        QCOMPARE(keys[0].text, QString("Alt+F5"));
        QVERIFY(!obs().getSourceHotkeys("NoSuchMaterial", keys));

        OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
        OBSDataAutoRelease saved = obs_hotkeys_save_source(s);
        OBSDataArrayAutoRelease next = obs_data_get_array(saved, "SlideShow.NextSlide");
        QCOMPARE(obs_data_array_count(next), size_t(1));
        OBSDataAutoRelease binding = obs_data_array_item(next, 0);
        QCOMPARE(QString(obs_data_get_string(binding, "key")), QString("OBS_KEY_PAGEDOWN"));
        QVector<bool> held;
        for (const char* modifier : {"control", "shift", "command", "alt"}) {
            held << obs_data_get_bool(binding, modifier);
        }
        QCOMPARE(held, QVector<bool>({true, true, true, false}));
    }

    // Alone the camera fills the canvas (an empty saved placement, "camera_data": [], counts
    // as none), beside other materials it takes the lower right corner. A moved camera comes
    // back where it was, also from the user's data file.
    void cameraPlacement() {
        config_.config()->runtime().hasCameraData = true;
        config_.config()->runtime().cameraData.clear();
        obs().ensureCamera();
        obs().ensureCamera();  // finds the camera and adds nothing
        QCOMPARE(order().size(), 1);
        QCOMPARE(placementOf(item(camera())), QVector<float>({0, 0, 1, 1, 1280, 720}));
        obs().removeCameras();
        config_.config()->runtime().hasCameraData = false;
        addImage("背景");
        obs().ensureCamera();
        QCOMPARE(placementOf(item(camera())), QVector<float>({853, 480, 1, 1, 426, 240}));

        const QVector<float> moved = {100, 50, -1, 1, 640, 360};
        SceneLayout::place(item(camera()), {100, 50, -1, 1, 640, 360});
        obs().removeCameras();
        QCOMPARE(order(), QStringList({"背景"}));
        config_.config()->saveRuntimeData();
        QFile data(config_.config()->getPath(live::kPathUserData));
        QVERIFY(data.open(QIODevice::ReadOnly));
        const QJsonArray stored =
            QJsonDocument::fromJson(data.readAll()).object().value("camera_data").toArray();
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored.at(4).toDouble(), 640.0);
        obs().ensureCamera();
        QCOMPARE(placementOf(item(camera())), moved);
        addImage("上层");
        obs().raiseCamera();
        QCOMPARE(order().first(), camera());
    }

    // A scaled item flipped upside down stays where it was.
    void flipKeepsTheTopLeftCorner() {
        const QString name = addImage("翻转");
        OBSSceneItem it = item(name);
        obs_sceneitem_set_bounds_type(it, OBS_BOUNDS_NONE);
        vec2 pos, scale;
        vec2_set(&pos, 300, 120);
        vec2_set(&scale, 2, 1.5f);
        obs_sceneitem_set_pos(it, &pos);
        obs_sceneitem_set_scale(it, &scale);
        obs_sceneitem_force_update_transform(it);
        const auto corner = [&it] {
            const vec2 p = SceneLayout::topLeft(it);
            return QPointF(p.x, p.y);
        };
        const QPointF before = corner();
        obs().flipSource(name, true);
        obs_sceneitem_get_scale(it, &scale);
        QVERIFY(scale.y < 0 && scale.x > 0);
        QVERIFY2((corner() - before).manhattanLength() < 0.5,
                 qPrintable(QString("%1,%2").arg(corner().x()).arg(corner().y())));
    }

    void itemOrderIsMirroredAndGroupsListTheirMembersFirst() {
        addImage("一");
        addImage("二");
        addImage("三");
        QStandardItemModel model(0, 2);
        for (const char* name : {"一", "三", "二"}) {
            model.appendRow({new QStandardItem(name), new QStandardItem(name)});
        }
        obs().syncItemOrder(&model);
        QStringList rows;
        for (int r = 0; r < model.rowCount(); ++r) {
            QCOMPARE(model.item(r, 1)->text(), model.item(r, 0)->text());  // whole rows move
            rows << model.item(r, 0)->text();
        }
        QCOMPARE(rows, QStringList({"三", "二", "一"}));

        obs_sceneitem_t* items[] = {item("二"), item("三")};
        obs_sceneitem_t* group = obs_scene_insert_group(scene(), "组", items, 2);
        QVERIFY(group);
        QCOMPARE(order(), QStringList({"三", "二", "组", "一"}));
        OBSDataAutoRelease priv = obs_sceneitem_get_private_settings(group);
        obs_data_set_bool(priv, "collapsed", true);
        QCOMPARE(order(), QStringList({"组", "一"}));
        obs_sceneitem_group_ungroup(group);
    }
};

STUDIO_TEST_MAIN(TestStudioSources)
#include "tst_studio_sources.moc"
