// An installed program's folder is read-only to its users: dumps must still land somewhere.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "core/CrashHandler.h"

class TestDumpDir : public QObject {
    Q_OBJECT

private slots:
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
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        QCOMPARE(QDir(data).entryList({"*.dmp"}, QDir::Files).size(), 1);
        QVERIFY2(out.contains(data + ", "), qPrintable(out));
    }

    void writableProgramFolderKeepsTheDumpsAndNoProbe() {
        QTemporaryDir dir;
        QCOMPARE(live::dumpDirectory(dir.path(), dir.filePath("elsewhere")), dir.path());
        QVERIFY(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDumpDir)
#include "tst_dumpdir.moc"
