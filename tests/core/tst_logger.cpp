#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "core/ExitWatchdog.h"
#include "core/Log.h"

#include <sys/wait.h>
#include <unistd.h>

class TestLogger : public QObject {
    Q_OBJECT

private:
    static QString readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void cleanup() { live::closeLogger(); }

    // Warnings from before the start are kept; infos and what comes after the close are not.
    void writesOnlyWarningsAndWorseInTheLinePattern() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        live::log::warn("{}: before init is kept", "T::t");
        live::log::info("{}: early info is not", "T::t");
        live::initLogger(base.toUtf8().constData(), live::kWarn);
        live::log::info("{}: info too", "MainWindow::start");
        live::log::warn("{}: failed to load file {}", "T::t", QStringLiteral("/tmp/网络.json"));
        live::closeLogger();
        live::log::error("{}: after close is dropped", "T::t");

        const QStringList lines = readAll(base + ".txt").split("\r\n", Qt::SkipEmptyParts);
        const QStringList expected = {"C|client start", "W|T::t: before init is kept",
                                      "W|T::t: failed to load file /tmp/网络.json",
                                      "C|client stop"};
        QCOMPARE(lines.size(), expected.size());
        const QRegularExpression stamp(
            R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\] \[([CW])\] (.*)$)");
        for (int i = 0; i < lines.size(); ++i) {
            const auto m = stamp.match(lines[i]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[i]));
            QCOMPARE(m.captured(1) + "|" + m.captured(2), expected[i]);
        }
    }

    // A log file that cannot be opened moves to another name; where none can, the client
    // runs without one.
    void fallsBackWhenTheFileCannotBeOpened() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        // A directory in the file's place cannot be opened for writing, even by root.
        QVERIFY(QDir().mkpath(base + ".txt"));
        live::initLogger(base.toUtf8().constData(), live::kWarn);
        live::log::error("{}: after fallback", "T::t");
        live::closeLogger();
        QVERIFY(readAll(base + "_p0.txt").contains("after fallback"));

        // Under a plain file no folder can be made.
        live::initLogger((base + "_p0.txt/log").toUtf8().constData(), live::kWarn);
        QVERIFY(!live::logger());
        live::log::critical("{}: nowhere to go", "T::t");
    }

    void rotatesAtFiveMegabytesKeepingThree() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        live::initLogger(base.toUtf8().constData(), live::kWarn);
        const std::string filler(1000, 'x');
        for (int i = 0; i < 24 * 1024; ++i) {
            live::log::warn("{}: {} {}", "T::rotate", i, filler);
        }
        live::closeLogger();
        const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files, QStringList({"orblive_log.1.txt", "orblive_log.2.txt", "orblive_log.3.txt",
                                     "orblive_log.txt"}));
        for (const QString& f : files) {
            QVERIFY(QFileInfo(dir.path() + "/" + f).size() <= 5 * 1024 * 1024);
        }
    }

    // A last step that hangs is logged and ends the process with the given status; one that
    // ends in time leaves the process alone.
    void exitWatchdogEndsAHangingStep() {
        { const ExitWatchdog quick(std::chrono::seconds(60), 7, "a quick step"); }
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        const pid_t child = fork();
        if (child == 0) {
            live::initLogger(base.toUtf8().constData(), live::kWarn);
            const ExitWatchdog hanging(std::chrono::milliseconds(100), 7, "a hanging step");
            for (;;) {
                pause();
            }
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 7);
        QVERIFY(readAll(base + ".txt").contains("a hanging step still running after 100 ms"));
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
