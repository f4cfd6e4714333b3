#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QtTest>

#include "app/InstanceGuard.h"

// Builds the Debian package from this build tree, checks it the way Debian's tools do, and runs
// the unpacked program's informational options while another copy holds the lock.
namespace {

const char* const kKey = "KELVARIN_ORBLIVE";
const char* const kDir = "/opt/orblive";

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args, int timeoutMs = 240000,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
        const QString& cwd = QString()) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!cwd.isEmpty()) {
        p.setWorkingDirectory(cwd);
    }
    p.start(program, args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = program + QStringLiteral(" did not run or did not finish");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QStringList filesUnder(const QString& dir) {
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next();
    }
    return files;
}

}  // namespace

class TestPackage : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString deb_;
    QString root_;

    QString unpacked(const QString& path) const { return root_ + path; }

    // A process that sees no display and owns an empty home: anything it wrote shows up there.
    QProcessEnvironment bareEnvironment(const QString& home) const {
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("LANG", "C.UTF-8");
        env.insert("HOME", home);
        for (const char* xdg : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
            env.insert(xdg, home + "/" + xdg);
        }
        env.insert("ORBLIVE_DIALOG_RECORD", home + "/dialogs.jsonl");
        return env;
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        const Run cpack = run(
            "cpack", {"--config", ORB_BINARY_DIR "/CPackConfig.cmake", "-B", tmp_.path() + "/out"});
        QVERIFY2(cpack.code == 0, qPrintable(cpack.out + cpack.err));
        const QStringList debs = QDir(tmp_.path() + "/out").entryList({"orblive_*.deb"});
        QCOMPARE(debs.size(), 1);
        deb_ = tmp_.path() + "/out/" + debs.first();
        root_ = tmp_.path() + "/root";
        const Run x = run("dpkg-deb", {"-x", deb_, root_});
        QVERIFY2(x.code == 0, qPrintable(x.err));

        // The launcher users run, aimed at the unpacked folder instead of /opt.
        QFile launcher(unpacked("/usr/bin/orblive"));
        QVERIFY(launcher.open(QIODevice::ReadOnly));
        QVERIFY(launcher.permissions() & QFileDevice::ExeOther);
        QString text = QString::fromUtf8(launcher.readAll());
        QVERIFY(text.contains(kDir));
        QFile moved(tmp_.path() + "/launcher");
        QVERIFY(moved.open(QIODevice::WriteOnly));
        moved.write(text.replace(kDir, unpacked(kDir)).toUtf8());
    }

    void holdsTheProgramItsFilesAndDependencies() {
        const Run contents = run("dpkg-deb", {"--contents", deb_});
        QCOMPARE(contents.code, 0);
        const QStringList expected = {
            "./opt/orblive/orblive",
            "./opt/orblive/data -> /etc/orblive",
            "./opt/orblive/translations/orblive_en.qm",
            "./opt/orblive/translations/qtbase_zh.qm",
            "./usr/bin/orblive",
            "./usr/share/icons/hicolor/256x256/apps/com.kelvarin.orblive.png",
        };
        for (const QString& path : expected) {
            QVERIFY2(contents.out.contains(" " + path + "\n"), qPrintable(path));
        }
        // Upgrades keep an administrator's replacements of the deployment files.
        const Run conffiles = run("dpkg-deb", {"--info", deb_, "conffiles"});
        QCOMPARE(conffiles.out, QString("/etc/orblive/config.json\n/etc/orblive/network.json\n"));

        const Run info = run("dpkg-deb", {"--field", deb_, "Depends"});
        QCOMPARE(info.code, 0);
        for (const char* dep :
             {"libqt5core5a", "libqt5widgets5", "libqt5webenginewidgets5", "libqt5webchannel5",
              "libobs0", "obs-studio", "fonts-wqy-microhei"}) {
            QVERIFY2(QRegularExpression(QString("(^|, )%1( |,|$)").arg(dep))
                         .match(info.out.trimmed())
                         .hasMatch(),
                     qPrintable(QString("%1 not in: %2").arg(dep, info.out)));
        }
    }

    void passesDebiansChecks() {
        const Run lintian =
            run("lintian", {"--fail-on", "error", "--tag-display-limit", "0", deb_});
        QVERIFY2(lintian.code == 0, qPrintable(lintian.out + lintian.err));

        const Run desktop = run("desktop-file-validate",
                                {unpacked("/usr/share/applications/com.kelvarin.orblive.desktop")});
        QVERIFY2(desktop.code == 0 && desktop.out.isEmpty(), qPrintable(desktop.out + desktop.err));

        const Run meta = run("appstreamcli",
                             {"validate", "--no-net", "--pedantic",
                              unpacked("/usr/share/metainfo/com.kelvarin.orblive.metainfo.xml")});
        QVERIFY2(meta.code == 0, qPrintable(meta.out + meta.err));
    }

    void launchersOptionsLeaveTheLockAndTheUserAlone_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("version") << QStringList{"--version"} << 0 << "orblive 1.";
        QTest::newRow("help after qt option")
            << QStringList{"-platform", "xcb", "-h"} << 0 << "Usage: orblive [options]";
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << 2
                                 << "unknown option '--frobnicate'";
    }

    void launchersOptionsLeaveTheLockAndTheUserAlone() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);

        QSharedMemory other(InstanceGuard::keyFor(kKey));
        QVERIFY2(other.create(1), "another client is running on this machine");
        const QString home = tmp_.path() + "/home-" + QTest::currentDataTag();
        QVERIFY(QDir().mkpath(home));

        const Run r = run("sh", QStringList{tmp_.path() + "/launcher"} + args, 30000,
                          bareEnvironment(home), tmp_.path());
        QCOMPARE(r.code, code);
        // Help goes to the output, a mistake to the error stream.
        QVERIFY2((code == 0 ? r.out : r.err).contains(says), qPrintable(r.out + r.err));
        QVERIFY2((code == 0 ? r.err : r.out).isEmpty(), qPrintable(r.out + r.err));
        // No box was shown, nothing was written for the user, and the other copy keeps its lock.
        QVERIFY2(filesUnder(home).isEmpty(), qPrintable(filesUnder(home).join('\n')));
        QSharedMemory probe(InstanceGuard::keyFor(kKey));
        QVERIFY(probe.attach(QSharedMemory::ReadOnly));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
