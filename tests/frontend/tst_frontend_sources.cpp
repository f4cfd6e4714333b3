#include <QMessageBox>
#include <QScreen>
#include <QtTest>

#include "StudioTestKit.h"
#include "core/DialogSeam.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

using studiotest::app;
using studiotest::item;
using studiotest::itemLine;
using studiotest::itemNames;
using studiotest::param;
using studiotest::settings;

Q_DECLARE_METATYPE(orbLiveImp::SoureParam)

// Materials of every kind made from real inputs, item commands and the item events, also
// for changes made directly in the engine.
class TestFrontendSources : public QObject {
    Q_OBJECT

private:
    studiotest::EventLog log_;
    studiotest::Inputs in_;
    std::unique_ptr<QWidget> window_;
    QString scene_;
    static constexpr const char* kWindowTitle = "OrbCaptureTarget";

    OBSBasic* basic() { return app()->GetMainWindow(); }

    QString addImage(const QString& name) {
        return app()->addSceneItem(param(SourceKinds::kImage, in_.png, false, false, name));
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(in_.make());
        window_ = studiotest::showWindow(kWindowTitle);
        QTRY_VERIFY_WITH_TIMEOUT(studiotest::windowTitles().contains(kWindowTitle), 20000);
        scene_ = basic()->currentSceneName();
        log_.attach();
    }

    void cleanupTestCase() { window_.reset(); }

    void init() {
        studiotest::clearScene();
        log_.take();
    }

    void kindTableNamesArePropertiesOfTheirTypes_data() {
        QTest::addColumn<int>("kind");
        for (const SourceKind& k : SourceKinds::table()) {
            QTest::newRow(k.typeId) << static_cast<int>(k.kind);
        }
    }
    void kindTableNamesArePropertiesOfTheirTypes() {
        QFETCH(int, kind);
        const SourceKind* k = SourceKinds::byKind(static_cast<uint8_t>(kind));
        QVERIFY(k);
        // Some types can only list their properties from an instance.
        OBSSourceAutoRelease probe = obs_source_create_private(k->typeId, "probe", nullptr);
        QVERIFY2(probe, k->typeId);
        obs_properties_t* props = obs_source_properties(probe);
        QVERIFY(props);
        for (const char* name : {k->mainProperty, k->primaryProperty, k->secondaryProperty}) {
            QVERIFY2(!name || obs_properties_get(props, name), name);
        }
        obs_property_t* main = obs_properties_get(props, k->mainProperty);
        QCOMPARE(obs_property_get_type(main) == OBS_PROPERTY_LIST, k->mainIsChoice);
        obs_properties_destroy(props);
    }

    void everyKindIsAddedFromRealInput_data() {
        QTest::addColumn<orbLiveImp::SoureParam>("p");
        QTest::addColumn<bool>("hasPicture");
        QTest::newRow("camera") << param(SourceKinds::kCamera, "") << false;
        QTest::newRow("screen") << param(SourceKinds::kMonitor, "", true) << true;
        // The window's picture needs EGL images of X pixmaps, which software GL under Xvfb
        // cannot make; the source is still set up for the right window.
        QTest::newRow("window") << param(SourceKinds::kWindow, kWindowTitle, true) << false;
        QTest::newRow("picture") << param(SourceKinds::kImage, in_.png) << true;
        QTest::newRow("video") << param(SourceKinds::kMedia, in_.clip, true) << true;
        QTest::newRow("slideshow")
            << param(SourceKinds::kSlideshow, in_.folder, true, true) << true;
    }
    void everyKindIsAddedFromRealInput() {
        QFETCH(orbLiveImp::SoureParam, p);
        QFETCH(bool, hasPicture);
        const SourceKind* kind = SourceKinds::byKind(p.type);
        const QString name = app()->addSceneItem(p);
        QCOMPARE(name, QString(kind->baseName));

        OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
        QCOMPARE(QString(obs_source_get_id(s)), QString(kind->typeId));
        QVERIFY(item(name));
        OBSDataAutoRelease set = settings(name);
        if (kind->primaryProperty) {
            QCOMPARE(obs_data_get_bool(set, kind->primaryProperty), p.primaryFlag);
        }
        if (p.type == SourceKinds::kSlideshow) {
            OBSDataArrayAutoRelease files = obs_data_get_array(set, "files");
            OBSDataAutoRelease first = obs_data_array_item(files, 0);
            QCOMPARE(QString(obs_data_get_string(first, "value")), in_.folder);
            QCOMPARE(QString(obs_data_get_string(set, "slide_mode")), QString("mode_auto"));
        } else if (p.type == SourceKinds::kWindow) {
            QVERIFY(QString(obs_data_get_string(set, "capture_window")).contains(kWindowTitle));
        } else if (!kind->mainIsChoice) {
            QCOMPARE(QString(obs_data_get_string(set, kind->mainProperty)), p.value);
        }
        if (hasPicture) {
            QTRY_VERIFY_WITH_TIMEOUT(obs_source_get_width(s) > 0 && obs_source_get_height(s) > 0,
                                     15000);
        }
        QCOMPARE(log_.waitFor(2), QStringList({itemLine(kItemAdded, scene_, name),
                                               itemLine(kItemOrder, scene_, "")}));
    }

    void screenCaptureShowsTheWholeDisplay() {
        const QString name = app()->fastAddMinotor("Program Manager");
        QVERIFY(!name.isEmpty());
        QCOMPARE(obs_data_get_int(settings(name), "screen"), 0);
        OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QTRY_COMPARE_WITH_TIMEOUT(obs_source_get_width(s), uint32_t(screen.width()), 15000);
        QCOMPARE(obs_source_get_height(s), uint32_t(screen.height()));
    }

    void nameListsFollowTheScene() {
        const QString camera = basic()->fastAddCamera2();
        const QString screen = app()->fastAddMinotor("");
        const QString window = app()->fastAddWindow(kWindowTitle);
        QVERIFY(!addImage("").isEmpty());
        QCOMPARE(app()->fastAddWindow("No such window anywhere"), QString());
        // Without a device the camera is still a camera, waiting for one.
        QVERIFY(QFile::exists("/dev/video0") ||
                QString(obs_data_get_string(settings(camera), "device_id")).isEmpty());
        QCOMPARE(app()->getNameListofCamerasInSence(), QStringList({camera}));
        QCOMPARE(app()->getNameListofShareInSence(), QStringList({window, screen}));
        QCOMPARE(basic()->getSceneItemCount(), 4);
        QVERIFY(app()->removeScenceItem(window, false));
        QCOMPARE(app()->getNameListofShareInSence(), QStringList({screen}));
    }

    void namesStayUnique() {
        QCOMPARE(addImage("Logo"), QString("Logo"));
        QCOMPARE(addImage("Logo"), QString("Logo2"));
        QCOMPARE(addImage("Logo"), QString("Logo3"));
        // A scene's name is taken too.
        QCOMPARE(addImage(scene_), scene_ + "2");
    }

    void unresolvableMaterialsAreNotAdded_data() {
        QTest::addColumn<orbLiveImp::SoureParam>("p");
        QTest::newRow("unknown kind") << param(9, in_.png);
        QTest::newRow("missing window") << param(SourceKinds::kWindow, "Nowhere at all");
    }
    void unresolvableMaterialsAreNotAdded() {
        QFETCH(orbLiveImp::SoureParam, p);
        QCOMPARE(app()->addSceneItem(p), QString());
        QCOMPARE(basic()->getSceneItemCount(), 0);
        QCOMPARE(log_.waitFor(0), QStringList());
    }

    void itemCommandsAreReportedInOrder() {
        const QString a = addImage("ItemA");
        const QString b = addImage("ItemB");
        log_.waitFor(4);
        QVERIFY(app()->ctrlSceneItem(a, kItemVisible, false));
        QVERIFY(app()->ctrlSceneItem(a, kItemLock, true));
        QVERIFY(app()->ctrlSceneItem(a, kItemSelect, true));
        QVERIFY(app()->ctrlSceneItem(b, kItemSelect, true));  // only one selected at a time
        QVERIFY(app()->ctrlSceneItem(b, kItemSelect, false));
        QVERIFY(app()->ctrlSceneItem(a, kItemRename, QString("ItemC")));
        QVERIFY(app()->ctrlSceneItem(b, kItemRemove, true));
        const QStringList expected = {
            itemLine(kItemVisible, scene_, a, 0),         itemLine(kItemLock, scene_, a, 1),
            itemLine(kItemSelect, scene_, a, 1),          itemLine(kItemSelect, scene_, a, 0),
            itemLine(kItemSelect, scene_, b, 1),          itemLine(kItemSelect, scene_, b, 0),
            itemLine(kItemRename, scene_, a, 0, "ItemC"), itemLine(kItemRemove, scene_, b, 1),
        };
        QCOMPARE(log_.waitFor(expected.size()), expected);
        QVERIFY(!obs_sceneitem_visible(item("ItemC")));
        QVERIFY(obs_sceneitem_locked(item("ItemC")));
    }

    void refusedItemCommandsReportNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("op");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("rename to another material") << "One" << int(kItemRename) << QVariant("Two");
        QTest::newRow("rename to a scene") << "One" << int(kItemRename) << QVariant("@scene");
        QTest::newRow("rename to empty") << "One" << int(kItemRename) << QVariant("");
        QTest::newRow("missing item") << "Nothing" << int(kItemVisible) << QVariant(false);
        QTest::newRow("unknown op") << "One" << 9 << QVariant(0);
    }
    void refusedItemCommandsReportNothing() {
        QFETCH(QString, name);
        QFETCH(int, op);
        QFETCH(QVariant, value);
        if (value.toString() == "@scene") {
            value = scene_;
        }
        QCOMPARE(addImage("One"), QString("One"));
        QCOMPARE(addImage("Two"), QString("Two"));
        log_.waitFor(4);
        QVERIFY(!app()->ctrlSceneItem(name, static_cast<uint8_t>(op), value));
        QCOMPARE(log_.waitFor(0), QStringList());
        QCOMPARE(itemNames(), QStringList({"Two", "One"}));
    }

    void changesMadeInTheEngineAreReported() {
        const QString a = addImage("EngA");
        const QString b = addImage("EngB");
        log_.waitFor(4);
        obs_sceneitem_set_visible(item(a), false);
        obs_sceneitem_set_locked(item(a), true);
        obs_sceneitem_set_order(item(a), OBS_ORDER_MOVE_TOP);
        obs_sceneitem_select(item(b), true);
        OBSSourceAutoRelease s = obs_get_source_by_name(b.toUtf8().constData());
        obs_source_set_name(s, "EngRenamed");
        obs_sceneitem_remove(item(a));
        basic()->showProperties("EngRenamed");
        const QStringList expected = {
            itemLine(kItemVisible, scene_, a, 0),
            itemLine(kItemLock, scene_, a, 1),
            itemLine(kItemOrder, scene_, ""),
            itemLine(kItemSelect, scene_, b, 1),
            itemLine(kItemRename, scene_, b, 0, "EngRenamed"),
            itemLine(kItemRemove, scene_, a, 1),
            itemLine(kItemProperties, scene_, "EngRenamed"),
        };
        QCOMPARE(log_.waitFor(expected.size()), expected);
    }

    void itemOrderCommands() {
        for (const char* name : {"Bottom", "Middle", "Top"}) {
            addImage(name);
        }
        log_.waitFor(6);
        QVERIFY(basic()->moveSceneItem("Top", OBS_ORDER_MOVE_BOTTOM));
        QCOMPARE(itemNames(), QStringList({"Middle", "Bottom", "Top"}));
        QVERIFY(basic()->moveSceneItem("Top", OBS_ORDER_MOVE_UP));
        QCOMPARE(itemNames(), QStringList({"Middle", "Top", "Bottom"}));
        QVERIFY(!basic()->moveSceneItem("Nothing", OBS_ORDER_MOVE_UP));
        QCOMPARE(log_.waitFor(2),
                 QStringList({itemLine(kItemOrder, scene_, ""), itemLine(kItemOrder, scene_, "")}));
    }

    void removeWithConfirmationAsksFirst() {
        const QString name = addImage("Asked");
        live::DialogSeam::clearShown();
        live::DialogSeam::presetAnswer(QMessageBox::No);
        QVERIFY(!app()->removeScenceItem(name, true));
        QVERIFY(item(name));
        QCOMPARE(live::DialogSeam::shown().size(), 1);
        QCOMPARE(live::DialogSeam::shown().first().kind, QString("question"));
        QVERIFY(live::DialogSeam::shown().first().text.contains(name));
        live::DialogSeam::presetAnswer(QMessageBox::Yes);
        QVERIFY(app()->removeScenceItem(name, true));
        QVERIFY(!item(name));
        QCOMPARE(addImage("Asked"), QString("Asked"));  // its name is free again
    }

    void itemsOfOtherScenesAreUntouched() {
        const QString here = addImage("Here");
        QVERIFY(app()->ctrlScene(kSceneAdd, "Elsewhere", 0));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "Elsewhere", 0));
        QCOMPARE(basic()->getSceneItemCount(), 0);
        QVERIFY(!app()->ctrlSceneItem(here, kItemVisible, false));
        QVERIFY(!app()->removeScenceItem(here, false));
        QVERIFY(app()->ctrlScene(kSceneCurrent, scene_, 0));
        QVERIFY(app()->ctrlScene(kSceneRemove, "Elsewhere", 0));
        QVERIFY(obs_sceneitem_visible(item(here)));
    }
};

STUDIO_TEST_MAIN(TestFrontendSources)
#include "tst_frontend_sources.moc"
