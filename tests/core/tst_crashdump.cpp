#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCrashDump : public QObject {
    Q_OBJECT

private slots:
    void crashLeavesOneDumpNamingTheCrashingFunction() {
        QTemporaryDir dir;
        QProcess child;
        child.start(CRASH_CHILD, {dir.path()});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());

        const QStringList dumps = QDir(dir.path()).entryList({"*.dmp"}, QDir::Files);
        QCOMPARE(dumps.size(), 1);
        const QString guid = dumps.first().chopped(4);
        QVERIFY2(out.contains("dump guid is " + guid + "\n"), qPrintable(out));

        // Symbols for the child, laid out the way the stack walker looks them up.
        const QString tools = ORB_BREAKPAD_TOOLS;
        QProcess syms;
        syms.start(tools + "/dump_syms", {CRASH_CHILD});
        QVERIFY(syms.waitForFinished(60000));
        const QByteArray symText = syms.readAllStandardOutput();
        const QList<QByteArray> head = symText.left(symText.indexOf('\n')).split(' ');
        QCOMPARE(head.size(), 5);
        const QString symDir = dir.path() + "/symbols/" + head[4] + "/" + head[3];
        QVERIFY(QDir().mkpath(symDir));
        QFile symFile(symDir + "/" + head[4] + ".sym");
        QVERIFY(symFile.open(QIODevice::WriteOnly));
        symFile.write(symText);
        symFile.close();

        QProcess walk;
        walk.start(tools + "/minidump_stackwalk",
                   {"-m", dir.path() + "/" + dumps.first(), dir.path() + "/symbols"});
        QVERIFY(walk.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(walk.readAllStandardOutput()).split('\n');
        QString crashThread;
        for (const QString& line : lines) {
            if (line.startsWith("Crash|")) {
                QVERIFY2(line.contains("SIGSEGV"), qPrintable(line));
                crashThread = line.section('|', 3, 3);
            }
        }
        QVERIFY(!crashThread.isEmpty());
        const QString topFrame = crashThread + "|0|";
        bool found = false;
        for (const QString& line : lines) {
            if (line.startsWith(topFrame)) {
                QVERIFY2(line.contains("crashHereForTest"), qPrintable(line));
                found = true;
            }
        }
        QVERIFY(found);
    }

    // An installed program's folder is read-only to its users: dumps must still land somewhere.
    void unwritableProgramFolderSendsDumpsToTheDataFolder() {
        QTemporaryDir dir;
        // A folder under a plain file cannot be made, not even by root.
        QFile blocker(dir.filePath("opt"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString data = dir.filePath("data");
        QVERIFY(QDir().mkpath(data));
        QProcess child;
        child.start(CRASH_CHILD, {dir.filePath("opt/orblive"), data});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(data).entryList({"*.dmp"}, QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashDump)
#include "tst_crashdump.moc"
