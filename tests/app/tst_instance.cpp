#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSharedMemory>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "app/InstanceGuard.h"
#include "support/Require.h"

namespace {

const char* const kKey = "KELVARIN_ORBLIVE";
// A client that starts or stops beside other tests on a loaded machine may take a while.
const int kWaitMs = 60000;

bool lockHeld() {
    QSharedMemory probe(InstanceGuard::keyFor(kKey));
    if (!probe.attach(QSharedMemory::ReadOnly)) {
        return false;
    }
    probe.detach();
    return true;
}

QList<QJsonObject> readRecord(const QString& path) {
    QList<QJsonObject> shown;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (!line.isEmpty()) {
                shown.append(QJsonDocument::fromJson(line).object());
            }
        }
    }
    return shown;
}

// The one message box a run showed as "kind|title|text"; empty when not exactly one.
QString onlyShown(const QString& path) {
    const QList<QJsonObject> shown = readRecord(path);
    return shown.size() != 1
               ? QString()
               : QStringList({shown[0]["kind"].toString(), shown[0]["title"].toString(),
                              shown[0]["text"].toString()})
                     .join('|');
}

}  // namespace

class TestInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;

    QString recordPath(const QString& name) const { return tmp_.path() + "/" + name + ".jsonl"; }

    void startClient(QProcess& p, const QString& record, const QString& program,
                     const QString& platform = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORBLIVE_DIALOG_RECORD", record);
        if (!platform.isEmpty()) {
            env.insert("QT_QPA_PLATFORM", platform);
        }
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QFileInfo(program).absolutePath());
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(program, QStringList());
        QVERIFY(p.waitForStarted());
    }
    static QString client() { return QStringLiteral(ORB_STAGE_DIR "/orblive"); }

private slots:
    void initTestCase() {
        ORB_REQUIRE(!qEnvironmentVariableIsEmpty("DISPLAY"),
                    "the client's studio engine needs an X display");
        QVERIFY(QFile::exists(client()));
        QVERIFY2(!lockHeld(), "another client is running on this machine");
    }

    void secondStartIsRefusedAndInterruptQuitsCleanly() {
        QProcess first;
        startClient(first, recordPath("first"), client());
        QTRY_VERIFY_WITH_TIMEOUT(lockHeld(), kWaitMs);

        QProcess second;
        startClient(second, recordPath("second"), client());
        QVERIFY(second.waitForFinished(kWaitMs));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(onlyShown(recordPath("second")),
                 QString("warning|警告|系统检测到直播客户端已经运行，请勿重复启动"));

        // The refused start left the first instance and its lock alone.
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(lockHeld());
        QVERIFY(readRecord(recordPath("first")).isEmpty());

        ::kill(static_cast<pid_t>(first.processId()), SIGINT);
        QVERIFY(first.waitForFinished(kWaitMs));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(!lockHeld());

        // Start and stop went into the log under the user's data folder.
        const QString log = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            "/kelvarin/orblive/orblive_log.txt";
        QFile logFile(log);
        QVERIFY2(logFile.open(QIODevice::ReadOnly), qPrintable(log));
        const QByteArray text = logFile.readAll();
        QVERIFY(text.contains("[C] client start\r\n"));
        QVERIFY(text.contains("[C] client stop\r\n"));

        QProcess third;
        startClient(third, recordPath("third"), client());
        QTRY_VERIFY_WITH_TIMEOUT(lockHeld(), kWaitMs);
        ::kill(static_cast<pid_t>(third.processId()), SIGTERM);
        QVERIFY(third.waitForFinished(kWaitMs));
        QCOMPARE(third.exitCode(), 0);
        QVERIFY(!lockHeld());
    }

    void missingConfigurationEndsWithStatusThree() {
        // A copy of the program without its data folder beside it.
        const QString lonely = tmp_.path() + "/lonely/orblive";
        QVERIFY(QDir().mkpath(tmp_.path() + "/lonely"));
        QVERIFY(QFile::copy(client(), lonely));
        QProcess p;
        startClient(p, recordPath("lonely"), lonely);
        QVERIFY(p.waitForFinished(kWaitMs));
        QCOMPARE(p.exitCode(), 3);
        QCOMPARE(onlyShown(recordPath("lonely")),
                 QString("critical|错误|配置模块初始化失败，请检查程序完整性"));
        QVERIFY(!lockHeld());
    }

    // Without an X11 connection the engine cannot draw: the user is told so, and the
    // program ends with a status of its own instead of silently.
    void studioThatCannotStartIsTold() {
        QProcess p;
        startClient(p, recordPath("nodisplay"), client(), QStringLiteral("offscreen"));
        QVERIFY(p.waitForFinished(kWaitMs));
        QCOMPARE(p.exitCode(), 4);
        const QString shown = onlyShown(recordPath("nodisplay"));
        QVERIFY2(shown.startsWith("critical|") && shown.contains("X11"), qPrintable(shown));
        QVERIFY(!lockHeld());
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
