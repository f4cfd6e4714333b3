#include <QCoreApplication>
#include <QDate>
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

    void rejectsBadConfigurations_data() {
        QTest::addColumn<QByteArray>("bytes");
        auto without = [](const char* key) {
            QJsonObject o = validConfig();
            o.remove(key);
            return QJsonDocument(o).toJson();
        };
        auto with = [](const char* key, const QJsonValue& v) {
            QJsonObject o = validConfig();
            o.insert(key, v);
            return QJsonDocument(o).toJson();
        };
        QTest::newRow("not json") << QByteArray("{ nope");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no win") << without("win");
        QTest::newRow("win without name") << with("win", QJsonObject{{"x", 1}});
        QTest::newRow("no fname") << without("fname");
        QTest::newRow("no cookie_name") << without("cookie_name");
        QTest::newRow("type 1 without kelvarin_old") << with("type", 1);
    }
    void rejectsBadConfigurations() {
        QFETCH(QByteArray, bytes);
        IConfig config;
        QCOMPARE(config.init(writeConfig(bytes)), uint8_t(live::kBadFile));
    }

    void rejectsMissingFiles() {
        QCOMPARE(IConfig().init(QString()), uint8_t(live::kBadFile));
        QCOMPARE(IConfig().init(tmp_.path() + "/absent/config.json"), uint8_t(live::kBadFile));
    }

    void typeOneTakesTheVariantDomain() {
        QJsonObject o = validConfig();
        o.insert("type", 1);
        o.insert("kelvarin_old", QJsonObject{{"domain_name", "old.example.test"}});
        IConfig config;
        QCOMPARE(config.init(writeConfig(o)), uint8_t(live::kSuccess));
        QCOMPARE(config.getType(), uint8_t(1));
        QCOMPARE(config.cookieDomain(), QString("old.example.test"));
    }

    void resolvesPathIds() {
        const QString path = writeConfig(validConfig());
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
        QCOMPARE(config.getName(9), QString());
        QCOMPARE(config.getCookieName(2), QString("C"));
        QByteArray name, value = "untouched";
        config.getCookie(name, value);
        QCOMPARE(name, QByteArray("C"));
        QCOMPARE(value, QByteArray());
    }

    // A sixth file name is the log's path as it stands; a short list leaves bare folders.
    void fileNameListsOfOtherLengths() {
        QJsonObject o = validConfig();
        o.insert("fname", QJsonArray{"n", "a", "b", "c", "d", "raw_log"});
        IConfig six;
        QCOMPARE(six.init(writeConfig(o)), uint8_t(live::kSuccess));
        QCOMPARE(six.getPath(7), QString("raw_log"));
        o.insert("fname", QJsonArray{"n"});
        const QString path = writeConfig(o);
        IConfig one;
        QCOMPARE(one.init(path), uint8_t(live::kSuccess));
        QCOMPARE(one.getPath(6), QFileInfo(path).absolutePath() + "/");
    }

    void configDirDropsOnlyTheLastComponent() {
        // The file's own name occurs earlier in the path; only the last component may go.
        const QString path = writeConfig(validConfig(), "config.json");
        IConfig config;
        QCOMPARE(config.init(path), uint8_t(live::kSuccess));
        QCOMPARE(config.configDir(), tmp_.path() + "/config.json/data/");
        QCOMPARE(IConfig::configDirOf("C:/x/data/config.json"), QString("C:/x/data/"));
    }

    void cutsFourPartVersions() {
        QCOMPARE(IConfig::cutVersion("1.2.3.4"), QString("1.2.3"));
        QCOMPARE(IConfig::cutVersion("2.0.1"), QString("2.0.1"));
        QCOMPARE(IConfig::cutVersion("1.2.3.4.5"), QString("1.2.3.4.5"));
        IConfig config;
        QCOMPARE(config.init(writeConfig(validConfig())), uint8_t(live::kSuccess));
        QCOMPARE(config.appVersion(), QString("2.0.1"));
    }

    void runtimeDataRoundTrip() {
        const QString path = writeConfig(validConfig());
        {
            IConfig config;
            QCOMPARE(config.init(path), uint8_t(live::kSuccess));
            QVERIFY(!config.isLastDateToday());
            QVERIFY(config.checkVersion());
            QVERIFY(!config.checkVersion());
            config.setLastDate(true);
            config.setMute(true);
            config.setGeometry(QRect(10, 20, 300, 200));
            config.setCameraData({0.5f, 1.25f});
            config.saveRuntimeData();
        }
        IConfig again;
        QCOMPARE(again.init(path), uint8_t(live::kSuccess));
        QVERIFY(again.isLastDateToday());
        QVERIFY(!again.checkVersion());
        QVERIFY(again.runtime().mute);
        QVERIFY(again.runtime().hasGeometry);
        QCOMPARE(again.runtime().geometry, QRect(10, 20, 300, 200));
        QCOMPARE(again.getCameraData(), (std::vector<float>{0.5f, 1.25f}));
        QVERIFY(!again.runtime().dirty);
    }

    void unchangedRunDoesNotRewrite() {
        const QByteArray original = R"({"reconfirm":true,"edition":300,"last_date":"2001-01-01",)"
                                    R"("version":"2.0.1","geometry":[1,2,3]})";
        writeUserFile(original);
        {
            IConfig config;
            QCOMPARE(config.init(writeConfig(validConfig())), uint8_t(live::kSuccess));
            QVERIFY(config.runtime().loaded);
            QVERIFY(config.runtime().reconfirm);
            QCOMPARE(config.runtime().edition, uint8_t(44));
            QVERIFY(!config.runtime().hasGeometry);
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

    void cameraDataWithNaNIsAlwaysAChange() {
        IConfig config;
        QCOMPARE(config.init(writeConfig(validConfig())), uint8_t(live::kSuccess));
        config.setCameraData({1.0f});
        config.runtime().dirty = false;
        config.setCameraData({1.0f});
        QVERIFY(!config.runtime().dirty);
        config.setCameraData({std::nanf("")});
        config.runtime().dirty = false;
        config.setCameraData({std::nanf("")});
        QVERIFY(config.runtime().dirty);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
