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
    }

    void holdsTheProgramAndItsDesktopFiles() {
        const Run contents = run("dpkg-deb", {"--contents", deb_});
        QCOMPARE(contents.code, 0);
        const QStringList expected = {
            "./opt/orblive/orblive",
            "./opt/orblive/data -> /etc/orblive",
            "./etc/orblive/config.json",
            "./etc/orblive/network.json",
            "./opt/orblive/translations/orblive_en.qm",
            "./opt/orblive/translations/qtbase_zh.qm",
            "./usr/bin/orblive",
            "./usr/share/applications/com.kelvarin.orblive.desktop",
            "./usr/share/metainfo/com.kelvarin.orblive.metainfo.xml",
            "./usr/share/icons/hicolor/48x48/apps/com.kelvarin.orblive.png",
            "./usr/share/icons/hicolor/256x256/apps/com.kelvarin.orblive.png",
            "./usr/share/icons/hicolor/scalable/apps/com.kelvarin.orblive.svg",
            "./usr/share/doc/orblive/copyright",
            "./usr/share/doc/orblive/changelog.gz",
            "./usr/share/man/man1/orblive.1.gz",
        };
        for (const QString& path : expected) {
            QVERIFY2(contents.out.contains(" " + path + "\n"), qPrintable(path));
        }
        // The deployment files are the sample ones, aimed at the demo service, and upgrades keep
        // an administrator's replacements of them.
        const Run conffiles = run("dpkg-deb", {"--info", deb_, "conffiles"});
        QCOMPARE(conffiles.out, QString("/etc/orblive/config.json\n/etc/orblive/network.json\n"));
        QFile config(unpacked("/etc/orblive/config.json"));
        QVERIFY(config.open(QIODevice::ReadOnly));
        QFile sample(ORB_SOURCE_DIR "/data/config.json");
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QCOMPARE(config.readAll(), sample.readAll());
    }

    void dependsOnQtTheEngineItsPluginsAndTheFont() {
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
        qInfo().noquote() << "lintian:\n" << lintian.out << lintian.err;
        QVERIFY2(lintian.code == 0, qPrintable(lintian.out + lintian.err));
        QVERIFY2(
            !lintian.out.contains(QRegularExpression("^E: ", QRegularExpression::MultilineOption)),
            qPrintable(lintian.out));

        const Run desktop = run("desktop-file-validate",
                                {unpacked("/usr/share/applications/com.kelvarin.orblive.desktop")});
        QVERIFY2(desktop.code == 0 && desktop.out.isEmpty(), qPrintable(desktop.out + desktop.err));

        const Run meta = run("appstreamcli",
                             {"validate", "--no-net", "--pedantic",
                              unpacked("/usr/share/metainfo/com.kelvarin.orblive.metainfo.xml")});
        QVERIFY2(meta.code == 0, qPrintable(meta.out + meta.err));
    }

    void informationalOptionsLeaveTheLockAndTheUserAlone_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = "Usage: orblive [options]";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "orblive 1." << QString();
        QTest::newRow("short version") << QStringList{"-v"} << 0 << "orblive 1." << QString();
        QTest::newRow("help") << QStringList{"--help"} << 0 << usage << QString();
        QTest::newRow("help after qt option")
            << QStringList{"-platform", "xcb", "-h"} << 0 << usage << QString();
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << 2 << QString()
                                 << "unknown option '--frobnicate'";
        QTest::newRow("unknown before help")
            << QStringList{"-x", "--help"} << 2 << QString() << usage;
    }

    void informationalOptionsLeaveTheLockAndTheUserAlone() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);

        QSharedMemory other(InstanceGuard::keyFor(kKey));
        QVERIFY2(other.create(1), "another client is running on this machine");
        const QString home = tmp_.path() + "/home-" + QTest::currentDataTag();
        QVERIFY(QDir().mkpath(home));

        const QString dir = unpacked(kDir);
        const Run r = run(dir + "/orblive", args, 30000, bareEnvironment(home), dir);
        QCOMPARE(r.code, code);
        if (out.isEmpty()) {
            QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        } else {
            QVERIFY2(r.out.startsWith(out), qPrintable(r.out + r.err));
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        }
        if (!err.isEmpty()) {
            QVERIFY2(r.err.contains(err) && r.err.contains("Usage: orblive"), qPrintable(r.err));
        }
        // No box was shown, nothing was written for the user, and the other copy keeps its lock.
        QVERIFY2(filesUnder(home).isEmpty(), qPrintable(filesUnder(home).join('\n')));
        QSharedMemory probe(InstanceGuard::keyFor(kKey));
        QVERIFY(probe.attach(QSharedMemory::ReadOnly));
    }

    void launcherStartsTheProgramInItsFolder() {
        QFile launcher(unpacked("/usr/bin/orblive"));
        QVERIFY(launcher.open(QIODevice::ReadOnly));
        QVERIFY(launcher.permissions() & QFileDevice::ExeOther);
        // The same launcher, aimed at the unpacked folder instead of /opt.
        QString text = QString::fromUtf8(launcher.readAll());
        QVERIFY(text.contains(kDir));
        text.replace(kDir, unpacked(kDir));
        QFile moved(tmp_.path() + "/launcher");
        QVERIFY(moved.open(QIODevice::WriteOnly));
        moved.write(text.toUtf8());
        moved.close();
        const QString home = tmp_.path() + "/home-launcher";
        QVERIFY(QDir().mkpath(home));
        const Run r =
            run("sh", {moved.fileName(), "--version"}, 30000, bareEnvironment(home), tmp_.path());
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("orblive 1."), qPrintable(r.out + r.err));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
