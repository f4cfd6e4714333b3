#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSharedMemory>
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

// The one message box a run showed as "kind|title|text"; empty when not exactly one.
QString onlyShown(const QString& path) {
    QFile f(path);
    const QList<QByteArray> lines =
        f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().split('\n') : QList<QByteArray>();
    const QJsonObject shown = QJsonDocument::fromJson(lines.value(0)).object();
    return lines.size() != 1 ? QString()
                             : QStringList({shown["kind"].toString(), shown["title"].toString(),
                                            shown["text"].toString()})
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
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(onlyShown(recordPath("second")),
                 QString("warning|警告|系统检测到直播客户端已经运行，请勿重复启动"));

        // The refused start left the first instance and its lock alone.
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(lockHeld());
        QVERIFY(!QFile::exists(recordPath("first")));

        ::kill(static_cast<pid_t>(first.processId()), SIGINT);
        QVERIFY(first.waitForFinished(kWaitMs));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(!lockHeld());
    }

    // A start that cannot go on tells the user why and ends with a status of its own: without
    // its data folder beside it, or without an X11 connection for the engine to draw on.
    void failedStartsAreTold_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("cause");
        QTest::newRow("no configuration") << QString() << 3 << "配置模块初始化失败";
        QTest::newRow("no display") << "offscreen" << 4 << "X11";
    }
    void failedStartsAreTold() {
        QFETCH(QString, platform);
        QFETCH(int, code);
        QFETCH(QString, cause);
        QString program = client();
        if (platform.isEmpty()) {  // a copy of the program without its data folder beside it
            program = tmp_.path() + "/lonely/orblive";
            QVERIFY(QDir().mkpath(tmp_.path() + "/lonely"));
            QVERIFY(QFile::copy(client(), program));
        }
        QProcess p;
        startClient(p, recordPath(QTest::currentDataTag()), program, platform);
        QVERIFY(p.waitForFinished(kWaitMs));
        QCOMPARE(p.exitCode(), code);
        const QString shown = onlyShown(recordPath(QTest::currentDataTag()));
        QVERIFY2(shown.startsWith("critical|") && shown.contains(cause), qPrintable(shown));
        QVERIFY(!lockHeld());
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
