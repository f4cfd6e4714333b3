#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "StudioConfig.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioTestKit.h"
#include "net/LogFile.h"
#include "studio/OrbOBS.h"

using orbLiveImp::OrbShortcut;
using orbLiveImp::SoureParam;
using studiotest::app;

Q_DECLARE_METATYPE(orbLiveImp::SoureParam)

namespace {

SoureParam param(uint8_t type, const QString& value, bool primary = false, bool secondary = false) {
    SoureParam p;
    p.type = type;
    p.value = value;
    p.primaryFlag = primary;
    p.secondaryFlag = secondary;
    return p;
}

QByteArray settingsJson(const QString& name) {
    OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
    OBSDataAutoRelease set = s ? obs_source_get_settings(s) : nullptr;
    return set ? QByteArray(obs_data_get_json(set)) : QByteArray();
}

OBSDataAutoRelease settingsOf(const QString& name) {
    OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
    return s ? obs_source_get_settings(s) : nullptr;
}

}  // namespace

// Materials read and written as the add-material dialog does, on sources made from real
// inputs; device choices with the window filter; slideshow hotkeys.
class TestStudioSources : public QObject {
    Q_OBJECT

private:
    OrbOBS& obs() { return OrbOBS::instance(); }

    QTemporaryDir dir_;
    StudioConfig config_;
    QString png_, png2_, clip_, folder_, folder2_;
    QList<QWidget*> windows_;
    static constexpr const char* kWindowTitle = "OrbWrapperTarget";
    static constexpr const char* kTwinTitle = "OrbTwinWindow";

    QWidget* showWindow(const QString& title) {
        auto* w = new QWidget;
        w->setWindowTitle(title);
        w->resize(240, 160);
        w->show();
        windows_.append(w);
        return w;
    }

    QStringList windowChoices() {
        QString typeId;
        QStringList names;
        QList<QVariant> values;
        obs().getSourceChoices(SourceKinds::kWindow, typeId, names, values);
        return names;
    }

    void clearScene() {
        for (const QString& name : app()->getNameListofCamerasInSence() +
                                       app()->GetMainWindow()->itemNamesOfKinds({1, 2, 3, 4, 5})) {
            app()->removeScenceItem(name, false);
        }
    }

    QString add(const SoureParam& p) { return app()->addSceneItem(p); }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QCOMPARE(config_.initResult(), uint8_t(0));
        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": [], "name": []}})"));
        obs().init(config_.config());
        QVERIFY(obs().mainWindow());
        png_ = studiotest::makePng(dir_.filePath("a.png"), Qt::red);
        png2_ = studiotest::makePng(dir_.filePath("b.png"), Qt::green);
        clip_ = studiotest::makeClip(dir_.filePath("clip.mp4"));
        folder_ = studiotest::makeImageFolder(dir_.filePath("slides"), 2);
        folder2_ = studiotest::makeImageFolder(dir_.filePath("slides2"), 2);
        QVERIFY(!png_.isEmpty() && !png2_.isEmpty() && !clip_.isEmpty());
        QVERIFY(!folder_.isEmpty() && !folder2_.isEmpty());
        showWindow(kWindowTitle);
        showWindow(kTwinTitle);
        showWindow(kTwinTitle);
        // Window capture lists what the window manager manages, once it has mapped them.
        QTRY_VERIFY_WITH_TIMEOUT(
            windowChoices().count(kTwinTitle) == 2 && windowChoices().contains(kWindowTitle),
            20000);
    }

    void cleanupTestCase() { qDeleteAll(windows_); }

    void init() { clearScene(); }

    void fileKindsRoundTrip_data() {
        QTest::addColumn<SoureParam>("added");
        QTest::addColumn<SoureParam>("changed");
        QTest::addColumn<QString>("loopKey");
        QTest::newRow("picture") << param(3, png_) << param(3, png2_) << QString();
        QTest::newRow("video") << param(4, clip_, false) << param(4, png2_, true)
                               << QString("looping");
        QTest::newRow("slideshow auto")
            << param(5, folder_, false, true) << param(5, folder2_, true, false) << QString("loop");
        QTest::newRow("slideshow manual")
            << param(5, folder_, true, false) << param(5, folder2_, false, true) << QString("loop");
    }
    void fileKindsRoundTrip() {
        QFETCH(SoureParam, added);
        QFETCH(SoureParam, changed);
        QFETCH(QString, loopKey);
        const QString name = add(added);
        QVERIFY(!name.isEmpty());

        SoureParam read;
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.name, name);
        QCOMPARE(read.type, added.type);
        QCOMPARE(read.typeId, QString(SourceKinds::byKind(added.type)->typeId));
        QCOMPARE(read.value, added.value);
        QCOMPARE(read.primaryFlag, added.primaryFlag);
        QCOMPARE(read.secondaryFlag, added.secondaryFlag);

        changed.name = name;
        obs().updateSource(changed);
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.value, changed.value);
        QCOMPARE(read.primaryFlag, changed.primaryFlag);
        QCOMPARE(read.secondaryFlag, changed.secondaryFlag);
        // The engine's own names carry the values, so the source really changed.
        OBSDataAutoRelease set = settingsOf(name);
        if (!loopKey.isEmpty()) {
            QCOMPARE(obs_data_get_bool(set, loopKey.toUtf8().constData()), changed.primaryFlag);
        }
        if (changed.type == SourceKinds::kSlideshow) {
            QCOMPARE(QString(obs_data_get_string(set, "slide_mode")),
                     QString(changed.secondaryFlag ? "mode_auto" : "mode_manual"));
            OBSDataArrayAutoRelease files = obs_data_get_array(set, "files");
            QCOMPARE(obs_data_array_count(files), size_t(1));
        }
    }

    void screenRoundTrip() {
        QString typeId;
        QStringList names;
        QList<QVariant> values;
        obs().getSourceChoices(SourceKinds::kMonitor, typeId, names, values);
        QCOMPARE(typeId, QString("xshm_input"));
        QVERIFY(!names.isEmpty());
        QCOMPARE(values.size(), names.size());
        QVERIFY(values.first().canConvert<qlonglong>());

        const QString name = add(param(1, names.first(), true));
        SoureParam read;
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.value, names.first());
        QVERIFY(read.primaryFlag);

        read.primaryFlag = false;
        obs().updateSource(read);
        OBSDataAutoRelease set = settingsOf(name);
        QCOMPARE(obs_data_get_bool(set, "show_cursor"), false);
        // The screen keeps its integer form, which is what the capture reads.
        QCOMPARE(obs_data_get_int(set, "screen"), values.first().toLongLong());
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.value, names.first());
    }

    void windowRoundTrip() {
        const QString name = add(param(2, kWindowTitle, true));
        QVERIFY(!name.isEmpty());
        SoureParam read;
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.type, uint8_t(SourceKinds::kWindow));
        QCOMPARE(read.value, QString(kWindowTitle));
        QVERIFY(read.primaryFlag);

        read.value = kTwinTitle;
        read.primaryFlag = false;
        obs().updateSource(read);
        OBSDataAutoRelease set = settingsOf(name);
        QVERIFY(QString(obs_data_get_string(set, "capture_window")).contains(kTwinTitle));
        QCOMPARE(obs_data_get_bool(set, "show_cursor"), false);
    }

    void windowWhoseTitleIsGoneIsLeftAlone() {
        const QString name = add(param(2, kWindowTitle, true));
        const QByteArray before = settingsJson(name);
        SoureParam p = param(2, "A window closed long ago", false);
        p.name = name;
        obs().updateSource(p);
        QCOMPARE(settingsJson(name), before);
    }

    void cameraWithoutDevice() {
        const QString name = add(param(0, ""));
        QVERIFY(!name.isEmpty());
        SoureParam read;
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.type, uint8_t(SourceKinds::kCamera));
        QCOMPARE(read.typeId, QString("v4l2_input"));
        QCOMPARE(read.value, QString());
        QVERIFY(!read.primaryFlag && !read.secondaryFlag);

        // Mirroring is the item's scale.
        obs().flipSource(name, false);
        QVERIFY(obs().getSourceProp(name, read));
        QVERIFY(read.primaryFlag && !read.secondaryFlag);
        obs().flipSource(name, true);
        QVERIFY(obs().getSourceProp(name, read));
        QVERIFY(read.primaryFlag && read.secondaryFlag);

        read.value = "/dev/video7";
        obs().updateSource(read);
        OBSDataAutoRelease set = settingsOf(name);
        QCOMPARE(QString(obs_data_get_string(set, "device_id")), QString("/dev/video7"));
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.value, QString("/dev/video7"));
    }

    void slideshowWithoutFiles() {
        const QString name = add(param(5, folder_, false, true));
        OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
        OBSDataAutoRelease set = obs_data_create();
        OBSDataArrayAutoRelease none = obs_data_array_create();
        obs_data_set_array(set, "files", none);
        obs_source_update(s, set);
        SoureParam read;
        read.value = "stale";
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.value, QString());
    }

    void missingSourcesAreLogged() {
        LogFile log;
        SoureParam read;
        read.value = "kept";
        QVERIFY(!obs().getSourceProp("NoSuchMaterial", read));
        QCOMPARE(read.value, QString("kept"));
        obs().updateSource(param(3, png_));
        QVERIFY(log.text().contains(
            "OrbOBS::getSourceProp: obs source not found, source name NoSuchMaterial"));
        QVERIFY(log.text().contains("OrbOBS::updateSource: obs source not found, source name"));
        std::vector<OrbShortcut> keys;
        QVERIFY(!obs().getSourceHotkeys("NoSuchMaterial", keys));
    }

    void choicesOfKinds() {
        QString typeId;
        QStringList names;
        QList<QVariant> values;
        obs().getSourceChoices(SourceKinds::kImage, typeId, names, values);
        QCOMPARE(typeId, QString("image_source"));
        QVERIFY(names.isEmpty() && values.isEmpty());
        obs().getSourceChoices(9, typeId, names, values);
        QCOMPARE(typeId, QString("v4l2_input"));
        // Without a capture device there is nothing to choose, but nothing breaks either.
        obs().getSourceChoices(SourceKinds::kCamera, typeId, names, values);
        QCOMPARE(names.size(), values.size());
        obs().getSourceChoices(SourceKinds::kWindow, typeId, names, values);
        QCOMPARE(typeId, QString("xcomposite_input"));
        QVERIFY(names.contains(kWindowTitle));
        QCOMPARE(values.size(), names.size());
        QVERIFY(values.value(names.indexOf(kWindowTitle)).toString().contains(kWindowTitle));
    }

    void filterFileCases() {
        LogFile log;
        // Only "keyword": both lists stay as they were.
        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": ["Twin"], "name": ["x"]}})"));
        obs().loadFilterInfo();
        QCOMPARE(obs().windowFilter().keywords(), QStringList({"Twin"}));
        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": ["Other"]}})"));
        obs().loadFilterInfo();
        QCOMPARE(obs().windowFilter().keywords(), QStringList({"Twin"}));
        QCOMPARE(obs().windowFilter().names(), QStringList({"x"}));

        QVERIFY(config_.writeFilter("[1, 2]"));
        obs().loadFilterInfo();
        QVERIFY(
            log.text().contains("OrbOBS::loadFilterInfo: error in file " + config_.filterPath()));
        QFile::remove(config_.filterPath());
        obs().loadFilterInfo();
        QVERIFY(log.text().contains("OrbOBS::loadFilterInfo: no file " + config_.filterPath()));
        QCOMPARE(obs().windowFilter().keywords(), QStringList({"Twin"}));
        QCOMPARE(log.count("OrbOBS::loadFilterInfo"), 2);
    }

    void filterOnRealWindows() {
        // Empty strings in the file are dropped rather than matching every title.
        QVERIFY(
            config_.writeFilter(R"({"windows": {"keyword": [""], "name": ["OrbTwinWindow"]}})"));
        obs().loadFilterInfo();
        QStringList names = windowChoices();
        QCOMPARE(names.count(kTwinTitle), 1);
        QVERIFY(names.contains(kWindowTitle));

        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": ["Twin"], "name": []}})"));
        obs().loadFilterInfo();
        names = windowChoices();
        QCOMPARE(names.count(kTwinTitle), 0);
        QVERIFY(names.contains(kWindowTitle));

        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": ["Orb"], "name": []}})"));
        obs().loadFilterInfo();
        names = windowChoices();
        QVERIFY(!names.contains(kWindowTitle));
        QCOMPARE(names.count(kTwinTitle), 0);

        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": [], "name": []}})"));
        obs().loadFilterInfo();
        QCOMPARE(windowChoices().count(kTwinTitle), 2);
    }

    void filterKeepsValuesAligned() {
        WindowFilter filter;
        QTemporaryDir dir;
        QFile file(dir.filePath("f.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"windows": {"keyword": ["ad"], "name": ["B", "C"]}})");
        file.close();
        filter.load(file.fileName(), "test");
        QStringList names = {"A", "bad", "B", "C", "B", "ad ad", "D"};
        QList<QVariant> values = {0, 1, 2, 3, 4, 5, 6};
        filter.apply(names, values);
        QCOMPARE(names, QStringList({"A", "B", "D"}));
        QCOMPARE(values, QList<QVariant>({0, 4, 6}));
    }

    void slideshowHotkeysRoundTrip_data() {
        QTest::addColumn<uint>("prevMods");
        QTest::addColumn<uint>("prevKey");
        QTest::addColumn<uint>("nextMods");
        QTest::addColumn<uint>("nextKey");
        QTest::addColumn<QString>("engineNext");
        const uint ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        QTest::newRow("arrows") << 0u << 0x25u << ctrlShift << 0x27u << QString("OBS_KEY_RIGHT");
        QTest::newRow("letters") << uint(Qt::AltModifier) << 0x41u << uint(Qt::MetaModifier)
                                 << 0x5Au << QString("OBS_KEY_Z");
        QTest::newRow("function keys")
            << 0u << 0x74u << uint(Qt::ControlModifier) << 0x22u << QString("OBS_KEY_PAGEDOWN");
    }
    void slideshowHotkeysRoundTrip() {
        QFETCH(uint, prevMods);
        QFETCH(uint, prevKey);
        QFETCH(uint, nextMods);
        QFETCH(uint, nextKey);
        QFETCH(QString, engineNext);
        const QString name = add(param(5, folder_, false, false));
        SoureParam p = param(5, folder_, false, false);
        p.name = name;
        p.hotkeys = {{prevMods, prevKey, QString()}, {nextMods, nextKey, QString()}};
        obs().updateSource(p);

        std::vector<OrbShortcut> keys;
        QVERIFY(obs().getSourceHotkeys(name, keys));
        QCOMPARE(keys.size(), size_t(2));
        QCOMPARE(keys[0].modifiers, prevMods);
        QCOMPARE(keys[0].virtualKey, prevKey);
        QCOMPARE(keys[1].modifiers, nextMods);
        QCOMPARE(keys[1].virtualKey, nextKey);
        for (const OrbShortcut& k : keys) {
            QVERIFY(!k.text.isEmpty());
            QVERIFY2(!k.text.contains(' '), qPrintable(k.text));
        }
        SoureParam read;
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.hotkeys.size(), size_t(2));
        QCOMPARE(read.hotkeys[1].text, keys[1].text);

        // What the engine keeps (and saves with the scene) is the intended key.
        OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
        OBSDataAutoRelease saved = obs_hotkeys_save_source(s);
        OBSDataArrayAutoRelease next = obs_data_get_array(saved, "SlideShow.NextSlide");
        QCOMPARE(obs_data_array_count(next), size_t(1));
        OBSDataAutoRelease binding = obs_data_array_item(next, 0);
        QCOMPARE(QString(obs_data_get_string(binding, "key")), engineNext);
        QCOMPARE(obs_data_get_bool(binding, "control"), bool(nextMods & Qt::ControlModifier));
        QCOMPARE(obs_data_get_bool(binding, "shift"), bool(nextMods & Qt::ShiftModifier));
        QCOMPARE(obs_data_get_bool(binding, "command"), bool(nextMods & Qt::MetaModifier));
        QCOMPARE(obs_data_get_bool(binding, "alt"), false);
    }

    void hotkeyTextAndClearing() {
        const QString name = add(param(5, folder_, false, false));
        SoureParam p = param(5, folder_, false, false);
        p.name = name;
        const uint ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        p.hotkeys = {{0, 0x25, QString()}, {ctrlShift, 0x27, QString()}};
        obs().updateSource(p);
        std::vector<OrbShortcut> keys;
        QVERIFY(obs().getSourceHotkeys(name, keys));
        QCOMPARE(keys[0].text, QString("Left"));
        QCOMPARE(keys[1].text, QString("Control+Shift+Right"));

        // Auto play carries no hotkeys: the bindings go.
        p.secondaryFlag = true;
        p.hotkeys.clear();
        obs().updateSource(p);
        QVERIFY(obs().getSourceHotkeys(name, keys));
        QCOMPARE(keys.size(), size_t(2));
        QCOMPARE(keys[0].virtualKey, 0u);
        QCOMPARE(keys[1].text, QString());

        // A picture has no slideshow hotkeys, but the answer has both entries.
        const QString picture = add(param(3, png_));
        QVERIFY(obs().getSourceHotkeys(picture, keys));
        QCOMPARE(keys.size(), size_t(2));
        QCOMPARE(keys[1].virtualKey, 0u);
    }
};

STUDIO_TEST_MAIN(TestStudioSources)
#include "tst_studio_sources.moc"
