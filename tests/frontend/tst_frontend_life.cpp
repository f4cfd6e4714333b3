#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>

#include "StudioTestKit.h"
#include "frontend/PreviewDisplay.h"
#include "frontend/RtmpServiceType.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioPaths.h"
#include "frontend/VideoSettings.h"

using namespace orbLiveImp;

using studiotest::app;

namespace {

// ---- The child side: this binary started with "--child <mode>" in its own data folder.

void out(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QString addPicture(OBSApp& a, const QString& name) {
    const QString png = qEnvironmentVariable("XDG_DATA_HOME") + "/pic.png";
    studiotest::makePng(png, Qt::yellow);
    orbLiveImp::SoureParam p;
    p.type = 3;
    p.name = name;
    p.value = png;
    return a.addSceneItem(p);
}

void populate(OBSApp& a) {
    const QString first = a.GetMainWindow()->sceneNames().first();
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        a.ctrlScene(kSceneAdd, name, 0);
    }
    a.ctrlScene(kSceneRemove, first, 0);
    a.ctrlScene(kSceneCurrent, "Alpha", 0);
    addPicture(a, "Logo");
    addPicture(a, "Badge");
    a.ctrlSceneItem("Logo", kItemVisible, false);
    a.ctrlScene(kSceneCurrent, "Beta", 0);
    addPicture(a, "Banner");
    a.ctrlSceneItem("Banner", kItemLock, true);
    a.GetMainWindow()->reorderScene(2, 0);
}

void dump(OBSApp& a) {
    OBSBasic* basic = a.GetMainWindow();
    out("scenes " + basic->sceneNames().join('|'));
    out("current " + basic->currentSceneName());
    for (const QString& scene : basic->sceneNames()) {
        a.ctrlScene(kSceneCurrent, scene, 0);
        QStringList items;
        obs_scene_t* s = basic->GetCurrentScene();
        obs_scene_enum_items(
            s,
            [](obs_scene_t*, obs_sceneitem_t* item, void* p) {
                static_cast<QStringList*>(p)->prepend(
                    QStringLiteral("%1:%2%3")
                        .arg(obs_source_get_name(obs_sceneitem_get_source(item)))
                        .arg(obs_sceneitem_visible(item) ? "v" : "h")
                        .arg(obs_sceneitem_locked(item) ? "l" : "u"));
                return true;
            },
            &items);
        obs_scene_release(s);
        out("items " + scene + " " + items.join('|'));
    }
}

void cycle(OBSApp& a) {
    a.ctrlScene(kSceneAdd, "Extra", 0);
    addPicture(a, "Shown");
    QWidget host;
    host.resize(320, 180);
    host.show();
    a.OBSWinInit(
        &host, [](uint8_t, const QString&, QVariant) {}, [](const orbLiveImp::SceneItemData&) {});
    (void)QTest::qWaitFor([&] { return host.findChild<PreviewDisplay*>()->hasDisplay(); }, 10000);
    QTest::qWait(500);  // let the engine draw some frames
    a.OBSWinReset();
}

[[noreturn]] void saveForever(OBSApp& a) {
    for (int i = 0; i < 40; ++i) {
        a.ctrlScene(kSceneAdd, QStringLiteral("Bulk%1").arg(i), 0);
    }
    a.ctrlScene(kSceneCurrent, "Alpha", 0);
    a.GetMainWindow()->SaveProject();
    out("ready");
    for (bool on = false;; on = !on) {
        a.ctrlSceneItem("Badge", kItemVisible, on);
        a.GetMainWindow()->SaveProject();
    }
}

int runChild(int argc, char** argv) {
    const QByteArray mode = argv[2];
    int status = 0;
    {
        OBSApp a(argc, argv);
        const int rc = a.init();
        out(QStringLiteral("init %1").arg(rc));
        if (rc == 0) {
            if (mode == "populate") {
                populate(a);
            } else if (mode == "dump") {
                dump(a);
            } else if (mode == "cycle") {
                cycle(a);
            } else if (mode == "saveloop") {
                saveForever(a);
            }
        }
        status = rc < 0 ? 2 : 0;
    }
    out(QStringLiteral("leaks %1").arg(bnum_allocs()));
    return status;
}

}  // namespace

// ---- The test side.

class TestFrontendLife : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home_;

    QString childData() const { return home_.path() + "/data"; }
    QString collection() const { return childData() + "/kelvarin/orblive/studio/scenes.json"; }

    QProcess* startChild(const QString& mode, bool withDisplay = true) {
        auto* child = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_.path());
        env.insert("XDG_DATA_HOME", childData());
        if (!withDisplay) {
            env.remove("DISPLAY");
            env.insert("QT_QPA_PLATFORM", "offscreen");
        }
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::SeparateChannels);
        child->start(QCoreApplication::applicationFilePath(), {"--child", mode});
        return child;
    }

    // Runs a child to its end; its output lines.
    QStringList runChild(const QString& mode, bool withDisplay = true) {
        QProcess* child = startChild(mode, withDisplay);
        if (!child->waitForFinished(90000)) {
            child->kill();
            child->waitForFinished();
        }
        const QStringList lines =
            QString::fromUtf8(child->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        child->deleteLater();
        return lines;
    }

    static QString lineStarting(const QStringList& lines, const QString& prefix) {
        for (const QString& line : lines) {
            if (line.startsWith(prefix + ' ')) {
                return line.mid(prefix.size() + 1);
            }
        }
        return QString("<missing>");
    }

    void wipeChildData() { QDir(childData()).removeRecursively(); }

    // Starts a child that saves in a loop and kills it `delay` ms into the loop.
    void killWhileSaving(int delay) {
        QProcess* child = startChild("saveloop");
        QByteArray output;
        const bool ready = QTest::qWaitFor(
            [&] {
                output += child->readAllStandardOutput();
                return output.contains("ready") || child->state() == QProcess::NotRunning;
            },
            60000);
        if (!ready || !output.contains("ready")) {
            child->kill();
            child->waitForFinished();
            QFAIL(output.constData());
        }
        QTest::qWait(delay);  // somewhere in the saving loop
        ::kill(static_cast<pid_t>(child->processId()), SIGKILL);
        QVERIFY(child->waitForFinished(30000));
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
        child->deleteLater();
    }

    void verifyCollectionFile() {
        QFile file(collection());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray order = doc.object().value("scene_order").toArray();
        QCOMPARE(order.size(), 43);
        QCOMPARE(order.first().toObject().value("name").toString(), QString("Gamma"));
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(home_.isValid());
    }

    void startUpAndShutdownLeaveNoAllocations() {
        wipeChildData();
        const QStringList lines = runChild("cycle");
        QCOMPARE(lineStarting(lines, "init"), QString("0"));
        QCOMPARE(lineStarting(lines, "leaks"), QString("0"));
    }

    void initFailsWithoutDisplay() {
        wipeChildData();
        const QStringList lines = runChild("cycle", false);
        QVERIFY(lineStarting(lines, "init").toInt() < 0);
        QCOMPARE(lineStarting(lines, "leaks"), QString("0"));
    }

    void firstRunCreatesOneScene() {
        wipeChildData();
        const QStringList lines = runChild("dump");
        QCOMPARE(lineStarting(lines, "scenes").split('|').size(), 1);
        QVERIFY(QFile::exists(collection()));
    }

    void collectionSurvivesRestart() {
        wipeChildData();
        QCOMPARE(lineStarting(runChild("populate"), "leaks"), QString("0"));
        const QStringList lines = runChild("dump");
        QCOMPARE(lineStarting(lines, "scenes"), QString("Gamma|Alpha|Beta"));
        QCOMPARE(lineStarting(lines, "current"), QString("Beta"));
        QCOMPARE(lineStarting(lines, "items Alpha"), QString("Badge:vu|Logo:hu"));
        QCOMPARE(lineStarting(lines, "items Beta"), QString("Banner:vl"));
        QCOMPARE(lineStarting(lines, "items Gamma"), QString(""));
    }

    void crashWhileSavingKeepsTheCollection() {
        wipeChildData();
        runChild("populate");
        // The child saves in a loop; kills at varying moments land before, inside and after
        // writes. (The temporary file may be unnamed, so a hit inside one leaves no trace.)
        for (int attempt = 0; attempt < 8; ++attempt) {
            killWhileSaving(5 + (attempt * 37) % 150);
            if (QTest::currentTestFailed()) {
                return;
            }
            verifyCollectionFile();
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        // The next start reads the whole collection, ignoring the half-written file.
        const QStringList lines = runChild("dump");
        QCOMPARE(lineStarting(lines, "scenes").split('|').mid(0, 3),
                 QStringList({"Gamma", "Alpha", "Beta"}));
        QVERIFY(lineStarting(lines, "items Alpha").contains("Logo:hu"));
    }

    void unreadableCollectionIsSetAside() {
        wipeChildData();
        QDir().mkpath(QFileInfo(collection()).absolutePath());
        QFile file(collection());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"scene_order\": [ broken");
        file.close();
        const QStringList lines = runChild("dump");
        QCOMPARE(lineStarting(lines, "scenes").split('|').size(), 1);
        QFile broken(collection() + ".broken");
        QVERIFY(broken.open(QIODevice::ReadOnly));
        QCOMPARE(broken.readAll(), QByteArray("{\"scene_order\": [ broken"));
    }

    void profileHoldsTheOutputSettings() {
        config_t* profile = app()->GetMainWindow()->Config();
        QVERIFY(profile);
        QCOMPARE(config_get_uint(profile, "Video", "OutputCX"), 1280u);
        QCOMPARE(config_get_uint(profile, "Video", "OutputCY"), 720u);
        QCOMPARE(config_get_uint(profile, "Video", "FPSType"), 0u);
        QCOMPARE(QString(config_get_string(profile, "Video", "FPSCommon")), QString("30"));
        QCOMPARE(config_get_uint(profile, "SimpleOutput", "VBitrate"), 1500u);
        QCOMPARE(QString(config_get_string(profile, "SimpleOutput", "RecFormat")), QString("mp4"));
        QCOMPARE(QString(config_get_string(profile, "SimpleOutput", "FilePath")),
                 QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
        QVERIFY(app()->GlobalConfig());

        QSettings stored(StudioPaths::profileConfig(), QSettings::IniFormat);
        QCOMPARE(stored.value("Video/OutputCX").toInt(), 1280);
        QCOMPARE(stored.value("SimpleOutput/RecFormat").toString(), QString("mp4"));
        QVERIFY(QFile::exists(StudioPaths::globalConfig()));
    }

    void videoFollowsTheProfile() {
        config_t* profile = app()->GetMainWindow()->Config();
        config_set_uint(profile, "Video", "OutputCX", 1920);
        config_set_uint(profile, "Video", "OutputCY", 1080);
        config_set_string(profile, "Video", "FPSCommon", "25");
        QCOMPARE(app()->GetMainWindow()->ResetVideo(), OBS_VIDEO_SUCCESS);
        obs_video_info ovi;
        QVERIFY(obs_get_video_info(&ovi));
        QCOMPARE(ovi.output_width, 1920u);
        QCOMPARE(ovi.output_height, 1080u);
        QCOMPARE(ovi.fps_num, 25u);
        QCOMPARE(ovi.fps_den, 1u);
        QCOMPARE(ovi.base_width, 1280u);

        config_set_uint(profile, "Video", "OutputCX", 1280);
        config_set_uint(profile, "Video", "OutputCY", 720);
        config_set_string(profile, "Video", "FPSCommon", "30");
        QCOMPARE(app()->GetMainWindow()->ResetVideo(), OBS_VIDEO_SUCCESS);
    }

    void commonFrameRates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("num");
        QTest::addColumn<uint>("den");
        QTest::newRow("whole") << "48" << 48u << 1u;
        QTest::newRow("29.97") << "29.97" << 30000u << 1001u;
        QTest::newRow("59.94") << "59.94" << 60000u << 1001u;
        QTest::newRow("24 NTSC") << "24 NTSC" << 24000u << 1001u;
        QTest::newRow("garbage") << "fast" << 30u << 1u;
        QTest::newRow("zero") << "0" << 30u << 1u;
    }
    void commonFrameRates() {
        QFETCH(QString, text);
        QFETCH(uint, num);
        QFETCH(uint, den);
        uint32_t n = 0;
        uint32_t d = 0;
        VideoSettings::parseCommonFps(text, &n, &d);
        QCOMPARE(n, num);
        QCOMPARE(d, den);
    }

    void onlySafeModulesAreLoaded() {
        for (const char* name : {"rtmp-services", "frontend-tools", "obs-websocket"}) {
            QVERIFY2(!obs_get_module(name), name);
        }
        for (const char* name : {"image-source", "linux-capture", "linux-v4l2", "obs-ffmpeg",
                                 "obs-outputs", "obs-x264"}) {
            QVERIFY2(obs_get_module(name), name);
        }
        QVERIFY(!obs_service_get_display_name("rtmp_common"));
    }

    void ownRtmpServiceCarriesTheAddress() {
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "server", "rtmp://127.0.0.1:1935/live/");
        obs_data_set_string(settings, "key", "task42");
        OBSServiceAutoRelease service =
            obs_service_create(RtmpServiceType::kId, "stream", settings, nullptr);
        QVERIFY(service);
        QCOMPARE(QString(obs_service_get_url(service)), QString("rtmp://127.0.0.1:1935/live/"));
        QCOMPARE(QString(obs_service_get_key(service)), QString("task42"));
        QCOMPARE(QString(obs_service_get_output_type(service)), QString("rtmp_output"));
    }
};

int main(int argc, char** argv) {
    if (argc >= 3 && QByteArray(argv[1]) == "--child") {
        return runChild(argc, argv);
    }
    return studiotest::runWithStudio(argc, argv, [&] {
        TestFrontendLife test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_frontend_life.moc"
