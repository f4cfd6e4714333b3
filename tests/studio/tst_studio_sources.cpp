#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "StoredMaterial.h"
#include "StudioConfig.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioTestKit.h"
#include "net/LogFile.h"
#include "studio/OrbOBS.h"

using orbLiveImp::OrbShortcut;
using orbLiveImp::SoureParam;
using studiotest::app;
using studiotest::param;

Q_DECLARE_METATYPE(orbLiveImp::SoureParam)

namespace {

QByteArray settingsJson(const QString& name) {
    OBSDataAutoRelease set = studiotest::settings(name);
    return set ? QByteArray(obs_data_get_json(set)) : QByteArray();
}

}  // namespace

// Materials read and written as the add-material dialog does, on sources made from real
// inputs; device choices with the window filter; slideshow hotkeys.
class TestStudioSources : public QObject {
    Q_OBJECT

private:
    OrbOBS& obs() { return OrbOBS::instance(); }

    StudioConfig config_;
    studiotest::Inputs in_;
    std::vector<std::unique_ptr<QWidget>> windows_;
    static constexpr const char* kWindowTitle = "OrbWrapperTarget";
    static constexpr const char* kTwinTitle = "OrbTwinWindow";

    static QStringList windowChoices() { return materialChoices(SourceKinds::kWindow); }

    QString add(const SoureParam& p) { return app()->addSceneItem(p); }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QCOMPARE(config_.initResult(), uint8_t(0));
        QVERIFY(config_.writeFilter(R"({"windows": {"keyword": [], "name": []}})"));
        obs().init(config_.config());
        QVERIFY(in_.make());
        for (const char* title : {kWindowTitle, kTwinTitle, kTwinTitle}) {
            windows_.push_back(studiotest::showWindow(title));
        }
        QTRY_VERIFY_WITH_TIMEOUT(windowChoices().count(kTwinTitle) == 2, 20000);
    }

    void cleanupTestCase() { windows_.clear(); }

    void init() {
        for (const QString& name : studiotest::itemNames()) {
            app()->removeScenceItem(name, false);
        }
    }

    void fileKindsRoundTrip_data() {
        QTest::addColumn<SoureParam>("added");
        QTest::addColumn<SoureParam>("changed");
        QTest::addColumn<QString>("loopKey");
        QTest::newRow("picture") << param(SourceKinds::kImage, in_.png)
                                 << param(SourceKinds::kImage, in_.png2) << QString();
        QTest::newRow("video") << param(SourceKinds::kMedia, in_.clip, false)
                               << param(SourceKinds::kMedia, in_.png2, true) << QString("looping");
        QTest::newRow("slideshow auto")
            << param(SourceKinds::kSlideshow, in_.folder, false, true)
            << param(SourceKinds::kSlideshow, in_.folder2, true, false) << QString("loop");
        QTest::newRow("slideshow manual")
            << param(SourceKinds::kSlideshow, in_.folder, true, false)
            << param(SourceKinds::kSlideshow, in_.folder2, false, true) << QString("loop");
    }
    void fileKindsRoundTrip() {
        QFETCH(SoureParam, added);
        QFETCH(SoureParam, changed);
        QFETCH(QString, loopKey);
        const QString name = add(added);
        SoureParam read;
        QVERIFY(obs().getSourceProp(name, read));
        QCOMPARE(read.name, name);
        QCOMPARE(read.typeId, QString(SourceKinds::byKind(added.type)->typeId));
        QCOMPARE(storedMaterial(name), materialLine(added));

        changed.name = name;
        obs().updateSource(changed);
        QCOMPARE(storedMaterial(name), materialLine(changed));
        // The engine's own names carry the values, so the source really changed.
        OBSDataAutoRelease set = studiotest::settings(name);
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
        QList<QVariant> values;
        const QStringList names = materialChoices(SourceKinds::kMonitor, &values);
        QVERIFY(!names.isEmpty());
        QCOMPARE(values.size(), names.size());
        QVERIFY(values.first().canConvert<qlonglong>());

        SoureParam screen = param(SourceKinds::kMonitor, names.first(), true);
        screen.name = add(screen);
        QCOMPARE(storedMaterial(screen.name), materialLine(screen));

        screen.primaryFlag = false;
        obs().updateSource(screen);
        OBSDataAutoRelease set = studiotest::settings(screen.name);
        QCOMPARE(obs_data_get_bool(set, "show_cursor"), false);
        // The screen keeps its integer form, which is what the capture reads.
        QCOMPARE(obs_data_get_int(set, "screen"), values.first().toLongLong());
        QCOMPARE(storedMaterial(screen.name), materialLine(screen));
    }

    void windowRoundTrip() {
        SoureParam read = param(SourceKinds::kWindow, kWindowTitle, true);
        const QString name = add(read);
        QCOMPARE(storedMaterial(name), materialLine(read));

        read.name = name;
        read.value = kTwinTitle;
        read.primaryFlag = false;
        obs().updateSource(read);
        OBSDataAutoRelease set = studiotest::settings(name);
        QVERIFY(QString(obs_data_get_string(set, "capture_window")).contains(kTwinTitle));
        QCOMPARE(obs_data_get_bool(set, "show_cursor"), false);

        // A window whose title is gone leaves the source alone.
        const QByteArray before = settingsJson(name);
        read.value = "A window closed long ago";
        read.primaryFlag = true;
        obs().updateSource(read);
        QCOMPARE(settingsJson(name), before);
    }

    void cameraWithoutDevice() {
        SoureParam camera = param(SourceKinds::kCamera, "");
        camera.name = add(camera);
        QCOMPARE(storedMaterial(camera.name), materialLine(camera));
        // Mirroring is the item's scale: left-right is the first flag, upside down the second.
        obs().flipSource(camera.name, false);
        QCOMPARE(storedMaterial(camera.name), materialLine(param(SourceKinds::kCamera, "", true)));
        obs().flipSource(camera.name, true);
        camera.primaryFlag = camera.secondaryFlag = true;
        camera.value = "/dev/video7";
        obs().updateSource(camera);
        QCOMPARE(storedMaterial(camera.name), materialLine(camera));
        OBSDataAutoRelease set = studiotest::settings(camera.name);
        QCOMPARE(QString(obs_data_get_string(set, "device_id")), QString("/dev/video7"));
    }

    void slideshowWithoutFiles() {
        const QString name = add(param(SourceKinds::kSlideshow, in_.folder, false, true));
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
        obs().updateSource(param(SourceKinds::kImage, in_.png));
        QVERIFY(log.text().contains(
            "OrbOBS::getSourceProp: obs source not found, source name NoSuchMaterial"));
        QVERIFY(log.text().contains("OrbOBS::updateSource: obs source not found, source name"));
        std::vector<OrbShortcut> keys;
        QVERIFY(!obs().getSourceHotkeys("NoSuchMaterial", keys));
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

    void filterOnRealWindows_data() {
        QTest::addColumn<QByteArray>("filter");
        QTest::addColumn<int>("twins");
        QTest::addColumn<bool>("target");
        // Empty strings in the file are dropped rather than matching every title.
        QTest::newRow("by name, empty keyword")
            << QByteArray(R"({"windows": {"keyword": [""], "name": ["OrbTwinWindow"]}})") << 1
            << true;
        QTest::newRow("by keyword")
            << QByteArray(R"({"windows": {"keyword": ["Twin"], "name": []}})") << 0 << true;
        QTest::newRow("both") << QByteArray(R"({"windows": {"keyword": ["Orb"], "name": []}})") << 0
                              << false;
        QTest::newRow("none") << QByteArray(R"({"windows": {"keyword": [], "name": []}})") << 2
                              << true;
    }
    void filterOnRealWindows() {
        QFETCH(QByteArray, filter);
        QFETCH(int, twins);
        QFETCH(bool, target);
        QVERIFY(config_.writeFilter(filter));
        obs().loadFilterInfo();
        const QStringList names = windowChoices();
        QCOMPARE(names.count(kTwinTitle), twins);
        QCOMPARE(names.contains(kWindowTitle), target);
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
        SoureParam p = param(SourceKinds::kSlideshow, in_.folder, false, false);
        const QString name = p.name = add(p);
        p.hotkeys = {{prevMods, prevKey, QString()}, {nextMods, nextKey, QString()}};
        obs().updateSource(p);

        QCOMPARE(storedMaterial(name, true), materialLine(p));
        std::vector<OrbShortcut> keys;
        QVERIFY(obs().getSourceHotkeys(name, keys));
        for (const OrbShortcut& k : keys) {
            QVERIFY2(!k.text.isEmpty() && !k.text.contains(' '), qPrintable(k.text));
        }

        // What the engine keeps (and saves with the scene) is the intended key.
        OBSSourceAutoRelease s = obs_get_source_by_name(name.toUtf8().constData());
        OBSDataAutoRelease saved = obs_hotkeys_save_source(s);
        OBSDataArrayAutoRelease next = obs_data_get_array(saved, "SlideShow.NextSlide");
        QCOMPARE(obs_data_array_count(next), size_t(1));
        OBSDataAutoRelease binding = obs_data_array_item(next, 0);
        QCOMPARE(QString(obs_data_get_string(binding, "key")), engineNext);
        const QVector<bool> expected = {bool(nextMods & Qt::ControlModifier),
                                        bool(nextMods & Qt::ShiftModifier),
                                        bool(nextMods & Qt::MetaModifier), false};
        QVector<bool> held;
        for (const char* modifier : {"control", "shift", "command", "alt"}) {
            held << obs_data_get_bool(binding, modifier);
        }
        QCOMPARE(held, expected);
    }

    void hotkeyTextAndClearing() {
        SoureParam p = param(SourceKinds::kSlideshow, in_.folder, false, false);
        const QString name = p.name = add(p);
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
        const QString picture = add(param(SourceKinds::kImage, in_.png));
        QVERIFY(obs().getSourceHotkeys(picture, keys));
        QCOMPARE(keys.size(), size_t(2));
        QCOMPARE(keys[1].virtualKey, 0u);
    }
};

STUDIO_TEST_MAIN(TestStudioSources)
#include "tst_studio_sources.moc"
