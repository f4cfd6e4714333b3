#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "StudioTestKit.h"
#include "frontend/PreviewDisplay.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"
#include "frontend/VideoSettings.h"

using namespace orbLiveImp;

using studiotest::app;

namespace {

// ---- The child side: this binary started with "--child <mode>" in its own data folder.

using studiotest::childSays;

QString addPicture(OBSApp& a, const QString& name) {
    const QString png = qEnvironmentVariable("XDG_DATA_HOME") + "/pic.png";
    studiotest::makePng(png, Qt::yellow);
    return a.addSceneItem(studiotest::param(SourceKinds::kImage, png, false, false, name));
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
    childSays("scenes " + basic->sceneNames().join('|'));
    childSays("current " + basic->currentSceneName());
    for (const QString& scene : basic->sceneNames()) {
        a.ctrlScene(kSceneCurrent, scene, 0);
        QStringList items;
        for (const OBSSceneItem& item : SceneItems::list(basic->currentScene())) {
            items << SceneItems::itemName(item) + ':' + (obs_sceneitem_visible(item) ? 'v' : 'h') +
                         (obs_sceneitem_locked(item) ? 'l' : 'u');
        }
        childSays("items " + scene + " " + items.join('|'));
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
    childSays("ready");
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
        childSays(QStringLiteral("init %1").arg(rc));
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
    childSays(QStringLiteral("leaks %1").arg(bnum_allocs()));
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
        return studiotest::startChild(this, {mode}, home_.path(), withDisplay);
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
        QVERIFY2(studiotest::waitForLine(child, output, "ready"), output.constData());
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

    // Without a display the engine refuses to start, and leaks nothing either way.
    void startUpAndShutdownLeaveNoAllocations_data() {
        QTest::addColumn<bool>("withDisplay");
        QTest::newRow("display") << true;
        QTest::newRow("no display") << false;
    }
    void startUpAndShutdownLeaveNoAllocations() {
        QFETCH(bool, withDisplay);
        wipeChildData();
        const QStringList lines = runChild("cycle", withDisplay);
        const QString init = lineStarting(lines, "init");
        QVERIFY2(withDisplay ? init == "0" : init.toInt() < 0, qPrintable(init));
        QCOMPARE(lineStarting(lines, "leaks"), QString("0"));
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
            verifyCollectionFile();
            if (QTest::currentTestFailed()) {
                return;
            }
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

    void commonFrameRates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("num");
        QTest::addColumn<uint>("den");
        QTest::newRow("29.97") << "29.97" << 30000u << 1001u;
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
        // Modules that reach the network or open control ports of their own stay out.
        for (const char* name : {"rtmp-services", "frontend-tools", "obs-websocket"}) {
            QVERIFY2(!obs_get_module(name), name);
        }
        for (const char* name : {"image-source", "linux-capture", "linux-v4l2", "obs-ffmpeg",
                                 "obs-outputs", "obs-x264"}) {
            QVERIFY2(obs_get_module(name), name);
        }
        QVERIFY(!obs_service_get_display_name("rtmp_common"));
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
