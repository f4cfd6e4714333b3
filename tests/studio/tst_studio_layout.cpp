#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <util/config-file.h>

#include "StudioConfig.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioPaths.h"
#include "frontend/StudioTestKit.h"
#include "studio/OrbOBS.h"
#include "studio/SceneLayout.h"

using studiotest::app;

namespace {

QVector<float> placementOf(obs_sceneitem_t* item) {
    const SceneLayout::Placement p = SceneLayout::placementOf(item);
    return QVector<float>(p.begin(), p.end());
}

// The profile as written on disk, read the engine's way.
QString profileValue(const char* section, const char* key) {
    config_t* file = nullptr;
    if (config_open(&file, StudioPaths::profileConfig().toUtf8().constData(),
                    CONFIG_OPEN_EXISTING) != CONFIG_SUCCESS) {
        return QString();
    }
    const QString value = QString::fromUtf8(config_get_string(file, section, key));
    config_close(file);
    return value;
}

}  // namespace

// Live settings against the profile, the recording folder, camera placement kept in the
// configuration, flips and the item order mirror.
class TestStudioLayout : public QObject {
    Q_OBJECT

private:
    OrbOBS& obs() { return OrbOBS::instance(); }
    OBSBasic* basic() { return app()->GetMainWindow(); }
    config_t* profile() { return basic()->Config(); }

    QTemporaryDir dir_;
    StudioConfig config_;
    QString png_;

    obs_scene_t* scene() {
        obs_scene_t* s = basic()->GetCurrentScene();
        obs_scene_release(s);  // the studio keeps its own reference
        return s;
    }

    QStringList order() { return SceneLayout::order(scene()); }

    OBSSceneItem item(const QString& name) { return SceneItems::find(scene(), name); }

    QString addImage(const QString& name) {
        orbLiveImp::SoureParam p;
        p.type = SourceKinds::kImage;
        p.name = name;
        p.value = png_;
        return app()->addSceneItem(p);
    }

    QString camera() { return app()->getNameListofCamerasInSence().value(0); }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QCOMPARE(config_.initResult(), uint8_t(0));
        // An earlier run's placement would stand in for the defaults.
        QFile::remove(config_.config()->getPath(live::kPathUserData));
        config_.config()->runtime().hasCameraData = false;
        config_.config()->runtime().cameraData.clear();
        png_ = studiotest::makePng(dir_.filePath("p.png"), Qt::yellow, 160, 90);
        QVERIFY(!png_.isEmpty());
    }

    void init() {
        for (const QString& name : order()) {
            app()->removeScenceItem(name, false);
        }
        QVERIFY(order().isEmpty());
    }

    void recordFolderThatCannotBeMadeFallsBack() {
        // Not even root can make a folder below a plain file.
        const QString blocker = dir_.filePath("plain-file");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        config_set_string(profile(), "SimpleOutput", "FilePath",
                          (blocker + "/recordings").toUtf8().constData());
        QFile::remove(StudioPaths::sceneCollection());

        obs().init(config_.config());
        const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
        QCOMPARE(QString(config_get_string(profile(), "SimpleOutput", "FilePath")), movies);
        QCOMPARE(profileValue("SimpleOutput", "FilePath"), movies);
        QVERIFY(QFileInfo(movies).isDir());
        QVERIFY(QFile::exists(StudioPaths::sceneCollection()));

        // A folder that can be made is made and kept.
        const QString fresh = dir_.filePath("new/recordings");
        config_set_string(profile(), "SimpleOutput", "FilePath", fresh.toUtf8().constData());
        obs().init(config_.config());
        QCOMPARE(QString(config_get_string(profile(), "SimpleOutput", "FilePath")), fresh);
        QVERIFY(QFileInfo(fresh).isDir());
    }

    void liveSettingsRoundTrip() {
        LiveSettings before;
        obs().getLiveSettings(before);

        LiveSettings change;
        change.width = 1920;
        change.height = 0;  // half a size is no size
        change.fps = 25;
        change.bitrate = 2500;
        change.recordPath = dir_.filePath("rec");
        QVERIFY(QDir().mkpath(change.recordPath));
        change.recordFormat = "mkv";
        obs().setLiveSettings(change);

        LiveSettings after;
        obs().getLiveSettings(after);
        QCOMPARE(QSize(after.width, after.height), QSize(before.width, before.height));
        QCOMPARE(after.recordPath, change.recordPath);
        // Written to the profile on disk at once.
        QCOMPARE(QStringList({profileValue("Video", "FPSCommon"), profileValue("Video", "FPSType"),
                              profileValue("SimpleOutput", "VBitrate"),
                              profileValue("SimpleOutput", "RecFormat"),
                              profileValue("Video", "OutputCX")}),
                 QStringList({"25", "0", "2500", "mkv", QString::number(before.width)}));
        obs_video_info ovi;
        QVERIFY(obs_get_video_info(&ovi));
        QCOMPARE(ovi.fps_num, 25u);

        LiveSettings size;
        size.width = 712;
        size.height = 400;
        size.fps = 0;
        size.bitrate = 0;
        obs().setLiveSettings(size);
        obs().getLiveSettings(after);
        // No rate given: the old ones stay.
        QCOMPARE(QVector<uint32_t>({after.width, after.height, after.fps, after.bitrate}),
                 QVector<uint32_t>({712, 400, 25, 2500}));
        QVERIFY(obs_get_video_info(&ovi));
        QCOMPARE(ovi.output_width, 712u);

        // The push address is the service's, shown but never written from here.
        app()->setRTMPUrl("rtmp://127.0.0.1:1935/live/", "orb42");
        obs().getLiveSettings(after);
        QCOMPARE(after.server, QString("rtmp://127.0.0.1:1935/live/"));
        QCOMPARE(after.key, QString("orb42"));

        size.width = 1280;
        size.height = 720;
        size.fps = 30;
        size.bitrate = 1500;
        obs().setLiveSettings(size);
    }

    // Alone the camera fills the canvas, beside other materials it takes the lower right
    // corner; an empty saved placement ("camera_data": []) counts as none.
    void cameraTakesItsDefaultPlace_data() {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("emptySaved");
        QTest::addColumn<QVector<float>>("placement");
        QTest::newRow("alone") << false << false << QVector<float>({0, 0, 1, 1, 1280, 720});
        QTest::newRow("beside") << true << false << QVector<float>({853, 480, 1, 1, 426, 240});
        QTest::newRow("empty saved") << false << true << QVector<float>({0, 0, 1, 1, 1280, 720});
    }
    void cameraTakesItsDefaultPlace() {
        QFETCH(bool, beside);
        QFETCH(bool, emptySaved);
        QFETCH(QVector<float>, placement);
        if (beside) {
            addImage("背景");
        }
        config_.config()->runtime().hasCameraData = emptySaved;
        config_.config()->runtime().cameraData.clear();
        obs().ensureCamera();
        obs().ensureCamera();  // finds the camera and adds nothing
        QCOMPARE(order().size(), beside ? 2 : 1);
        QCOMPARE(placementOf(item(camera())), placement);
        QVERIFY(!beside || obs_sceneitem_get_bounds_type(item(camera())) == OBS_BOUNDS_SCALE_INNER);
    }

    void cameraPlacementIsKeptInTheConfiguration() {
        const QVector<float> moved = {100, 50, -1, 1, 640, 360};
        addImage("背景");
        obs().ensureCamera();
        SceneLayout::place(item(camera()), {100, 50, -1, 1, 640, 360});
        obs().removeCameras();
        QCOMPARE(order(), QStringList({"背景"}));
        QVERIFY(config_.config()->runtime().hasCameraData);
        const std::vector<float> saved = config_.config()->getCameraData();
        QCOMPARE(QVector<float>(saved.begin(), saved.end()), moved);
        obs().ensureCamera();
        QCOMPARE(placementOf(item(camera())), moved);

        // The configuration writes it to the user's data file at exit.
        config_.config()->saveRuntimeData();
        QFile data(config_.config()->getPath(live::kPathUserData));
        QVERIFY(data.open(QIODevice::ReadOnly));
        const QJsonArray stored =
            QJsonDocument::fromJson(data.readAll()).object().value("camera_data").toArray();
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored.at(4).toDouble(), 640.0);
    }

    void raiseCameraPutsItOnTop() {
        config_.config()->runtime().hasCameraData = false;
        obs().ensureCamera();
        addImage("上层");
        QCOMPARE(order().first(), QString("上层"));
        obs().raiseCamera();
        QCOMPARE(order().first(), camera());
    }

    void flipKeepsTheTopLeftCorner_data() {
        QTest::addColumn<bool>("bounded");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("bounded, left-right") << true << false;
        QTest::newRow("bounded, upside down") << true << true;
        QTest::newRow("scaled, left-right") << false << false;
        QTest::newRow("scaled, upside down") << false << true;
    }
    void flipKeepsTheTopLeftCorner() {
        QFETCH(bool, bounded);
        QFETCH(bool, vertical);
        const QString name = addImage("翻转");
        OBSSceneItem it = item(name);
        if (bounded) {
            SceneLayout::place(it, {200, 100, 1, 1, 320, 180});
        } else {
            obs_sceneitem_set_bounds_type(it, OBS_BOUNDS_NONE);
            vec2 pos, scale;
            vec2_set(&pos, 300, 120);
            vec2_set(&scale, 2, 1.5f);
            obs_sceneitem_set_pos(it, &pos);
            obs_sceneitem_set_scale(it, &scale);
        }
        obs_sceneitem_force_update_transform(it);
        const auto corner = [&it] {
            const vec2 p = SceneLayout::topLeft(it);
            return QPointF(p.x, p.y);
        };
        const QPointF before = corner();
        obs().flipSource(name, vertical);
        vec2 scale;
        obs_sceneitem_get_scale(it, &scale);
        QVERIFY(vertical ? scale.y < 0 && scale.x > 0 : scale.x < 0 && scale.y > 0);
        QVERIFY2((corner() - before).manhattanLength() < 0.5,
                 qPrintable(QString("%1,%2").arg(corner().x()).arg(corner().y())));
        obs().flipSource(name, vertical);  // flipping back restores the placement
        QVERIFY((corner() - before).manhattanLength() < 0.5);
    }

    void itemOrderIsMirrored() {
        addImage("一");
        addImage("二");
        addImage("三");
        QCOMPARE(order(), QStringList({"三", "二", "一"}));
        QStandardItemModel model(0, 4);
        for (const char* name : {"一", "三", "二"}) {
            model.appendRow({new QStandardItem(name), new QStandardItem("x")});
        }
        obs().syncItemOrder(&model);
        QStringList rows;
        for (int r = 0; r < model.rowCount(); ++r) {
            rows << model.item(r, 0)->text();
            QCOMPARE(model.item(r, 1)->text(), QString("x"));  // whole rows move
        }
        QCOMPARE(rows, QStringList({"三", "二", "一"}));

        // A model that does not hold every item is left alone.
        model.removeRow(0);
        obs().syncItemOrder(&model);
        QCOMPARE(model.item(0, 0)->text(), QString("二"));
    }

    void groupsListTheirMembersFirst() {
        addImage("底");
        const QString a = addImage("甲");
        const QString b = addImage("乙");
        obs_sceneitem_t* items[] = {item(a), item(b)};
        obs_sceneitem_t* group = obs_scene_insert_group(scene(), "组", items, 2);
        QVERIFY(group);
        QCOMPARE(order(), QStringList({"乙", "甲", "组", "底"}));
        OBSDataAutoRelease priv = obs_sceneitem_get_private_settings(group);
        obs_data_set_bool(priv, "collapsed", true);
        QCOMPARE(order(), QStringList({"组", "底"}));
        obs_sceneitem_group_ungroup(group);
    }
};

STUDIO_TEST_MAIN(TestStudioLayout)
#include "tst_studio_layout.moc"
