#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <csignal>

#include "StudioTestKit.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"

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

    QString collection() const {
        return home_.path() + "/data/kelvarin/orblive/studio/scenes.json";
    }

    // Runs a child to its end; its output lines.
    QStringList runChild(const QString& mode) {
        QProcess* child = studiotest::startChild(this, {mode}, home_.path());
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

    // Starts a child that saves in a loop and kills it `delay` ms into the loop.
    void killWhileSaving(int delay) {
        QProcess* child = studiotest::startChild(this, {"saveloop"}, home_.path());
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
        const QJsonArray order =
            QJsonDocument::fromJson(file.readAll()).object().value("scene_order").toArray();
        QCOMPARE(order.size(), 43);
        QCOMPARE(order.first().toObject().value("name").toString(), QString("Gamma"));
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(home_.isValid());
    }

    // The collection survives a restart and a kill in the middle of saving it.
    void collectionSurvivesRestartAndKills() {
        QCOMPARE(lineStarting(runChild("populate"), "leaks"), QString("0"));
        const QStringList lines = runChild("dump");
        QCOMPARE(lineStarting(lines, "scenes"), QString("Gamma|Alpha|Beta"));
        QCOMPARE(lineStarting(lines, "current"), QString("Beta"));
        QCOMPARE(lineStarting(lines, "items Alpha"), QString("Badge:vu|Logo:hu"));
        QCOMPARE(lineStarting(lines, "items Beta"), QString("Banner:vl"));
        // Kills at varying moments land before, inside and after writes. (The temporary
        // file may be unnamed, so a hit inside one leaves no trace.)
        for (int attempt = 0; attempt < 8 && !QTest::currentTestFailed(); ++attempt) {
            killWhileSaving(5 + (attempt * 37) % 150);
            verifyCollectionFile();
        }
        const QStringList after = runChild("dump");
        QCOMPARE(lineStarting(after, "scenes").split('|').mid(0, 3),
                 QStringList({"Gamma", "Alpha", "Beta"}));
        QVERIFY(lineStarting(after, "items Alpha").contains("Logo:hu"));

        // An unreadable collection is set aside, not overwritten.
        QFile file(collection());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"scene_order\": [ broken");
        file.close();
        QCOMPARE(lineStarting(runChild("dump"), "scenes").split('|').size(), 1);
        QFile broken(collection() + ".broken");
        QVERIFY(broken.open(QIODevice::ReadOnly));
        QCOMPARE(broken.readAll(), QByteArray("{\"scene_order\": [ broken"));
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
