#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/ErrorCode.h"
#include "core/IConfig.h"

using live::IConfig;

class TestConfig : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString dataDir_;

    static QJsonObject validConfig() {
        return QJsonObject{
            {"type", 0},
            {"win", QJsonObject{{"name", QJsonArray{"user", "client", "pc"}}}},
            {"fname", QJsonArray{"network.json", "d1", "c2", "w3", "filter.json"}},
            {"domain_name", "example.test"},
            {"cookie_name", QJsonArray{"A", "B", "C"}},
        };
    }

    QString writeConfig(const QByteArray& bytes, const QString& sub = QStringLiteral("inst")) {
        QDir(tmp_.path()).mkpath(sub + "/data");
        const QString path = tmp_.path() + "/" + sub + "/data/config.json";
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
    QString writeConfig(const QJsonObject& obj, const QString& sub = QStringLiteral("inst")) {
        return writeConfig(QJsonDocument(obj).toJson(), sub);
    }
    QString userFile() const { return dataDir_ + "/user.json"; }
    void writeUserFile(const QByteArray& bytes) {
        QFile f(userFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("kelvarin");
        QCoreApplication::setApplicationName("orblive");
        QCoreApplication::setApplicationVersion("2.0.1.15");
        QVERIFY(tmp_.isValid());
        dataDir_ = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation).first();
    }
    void init() { QFile::remove(userFile()); }

    // Not JSON, a required key missing, server variant 1 without its own block.
    void rejectsBadConfigurations() {
        QJsonObject noCookies = validConfig();
        noCookies.remove("cookie_name");
        QJsonObject oldVariant = validConfig();
        oldVariant.insert("type", 1);
        for (const QByteArray& bytes : {QByteArray("{ nope"), QJsonDocument(noCookies).toJson(),
                                        QJsonDocument(oldVariant).toJson()}) {
            QCOMPARE(IConfig().init(writeConfig(bytes)), uint8_t(live::kBadFile));
        }
    }

    // The file's own name occurs earlier in the path: only the last component may go.
    void resolvesPathIds() {
        const QString path = writeConfig(validConfig(), "config.json");
        const QString configDir = QFileInfo(path).absolutePath() + "/";
        IConfig config;
        QCOMPARE(config.init(path), uint8_t(live::kSuccess));
        const QString data = dataDir_ + "/";
        QCOMPARE(config.getPath(0), path);
        QCOMPARE(config.getPath(1), data + "user.json");
        QCOMPARE(config.getPath(2), configDir + "network.json");
        QCOMPARE(config.getPath(3), data + "d1");
        QCOMPARE(config.getPath(4), configDir + "c2");
        QCOMPARE(config.getPath(5), QDir::currentPath() + "/w3");
        QCOMPARE(config.getPath(6), configDir + "filter.json");
        QCOMPARE(config.getPath(7), data + "/orblive_log");
        QCOMPARE(config.getName(1), QString("client"));
        QCOMPARE(config.appVersion(), QString("2.0.1"));  // cut from four parts
    }

    // A sixth file name is the log's path as it stands; server variant 1 takes its own cookie
    // domain.
    void fileNameListsOfOtherLengthsAndTheVariant() {
        QJsonObject o = validConfig();
        o.insert("type", 1);
        o.insert("kelvarin_old", QJsonObject{{"domain_name", "old.example.test"}});
        o.insert("fname", QJsonArray{"n", "a", "b", "c", "d", "raw_log"});
        IConfig six;
        QCOMPARE(six.init(writeConfig(o)), uint8_t(live::kSuccess));
        QCOMPARE(six.getPath(7), QString("raw_log"));
        QCOMPARE(six.getType(), uint8_t(1));
        QCOMPARE(six.cookieDomain(), QString("old.example.test"));
    }

    void runtimeDataRoundTrip() {
        const QString path = writeConfig(validConfig());
        {
            IConfig config;
            QCOMPARE(config.init(path), uint8_t(live::kSuccess));
            config.setLastDate(true);
            config.setMute(true);
            config.setGeometry(QRect(10, 20, 300, 200));
            config.setCameraData({0.5f, 1.25f});
            config.saveRuntimeData();
        }
        IConfig again;
        QCOMPARE(again.init(path), uint8_t(live::kSuccess));
        QVERIFY(again.isLastDateToday());
        QVERIFY(again.runtime().mute);
        QCOMPARE(again.runtime().geometry, QRect(10, 20, 300, 200));
        QCOMPARE(again.getCameraData(), (std::vector<float>{0.5f, 1.25f}));
    }

    void unchangedRunDoesNotRewrite() {
        const QByteArray original = R"({"reconfirm":true,"edition":300,"last_date":"2001-01-01",)"
                                    R"("version":"2.0.1","geometry":[1,2,3]})";
        writeUserFile(original);
        {
            IConfig config;
            QCOMPARE(config.init(writeConfig(validConfig())), uint8_t(live::kSuccess));
            QVERIFY(config.runtime().reconfirm);
            QVERIFY(!config.checkVersion());
            config.setMute(false);
            config.setGeometry(QRect());
            config.saveRuntimeData();
        }
        QFile f(userFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), original);
    }

    void malformedUserFileGivesDefaults() {
        writeUserFile("{ broken");
        QJsonObject o = validConfig();
        o.insert("type", 2);
        IConfig config;
        QCOMPARE(config.init(writeConfig(o)), uint8_t(live::kSuccess));
        QVERIFY(!config.runtime().loaded);
        QCOMPARE(config.runtime().edition, uint8_t(2));
        QVERIFY(!config.isLastDateToday());
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
