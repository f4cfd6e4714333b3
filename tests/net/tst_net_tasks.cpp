#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookieJar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/LogFile.h"
#include "net/OrbHttpMgr.h"

using live::OrbHttpMgr;

namespace {

QJsonObject entry(int id, const QString& url, int reqType = 1, const QString& param = QString(),
                  int paramNum = 0, int optNum = 0) {
    return {{"id", id},
            {"url", url},
            {"req_type", reqType},
            {"param", param},
            {"param_num", paramNum},
            {"opt_param_num", optNum}};
}

QJsonObject loginEntry(const QString& url = QStringLiteral("login?c=%1&a=%2&v=%3")) {
    return entry(15, url, 0);
}

}  // namespace

class TestNetTasks : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::shared_ptr<live::IConfig> config(const QJsonObject& changes = {}) {
        auto c = std::make_shared<live::IConfig>();
        const QString path = DemoService::writeConfigFile(dir_.path(), changes);
        return c->init(path) == 0 ? c : nullptr;
    }

    QString writeTasks(const QJsonObject& root) {
        const QString path = dir_.path() + "/tasks.json";
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QJsonDocument(root).toJson());
        return path;
    }

    static QJsonObject file(const QJsonArray& entries, const QString& prefix = "http://h/") {
        return {{"url_prefix", prefix}, {"url_info", entries}};
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QCoreApplication::setApplicationVersion("1.2.3.4");
    }

    void loadsTheSampleWithItsPageAddresses() {
        auto cfg = config();
        QVERIFY(cfg);
        OrbHttpMgr mgr(cfg);
        QCOMPARE(mgr.initHttpTask(DemoService::sampleDir() + "/network.json"), uint8_t(0));
        QCOMPARE(mgr.taskCount(), 24);
        const QString base = "http://127.0.0.1:18650/";
        QCOMPARE(mgr.getUrl(15), base + "login?client=pc&app=orblive_user&version=1.2.3");
        QCOMPARE(mgr.getUrl(16),
                 base + "about?client=pc&name=orblive&app=orblive_user&version=1.2.3");
        // Filled later by their users, so their placeholders stay.
        QCOMPARE(mgr.getUrl(20), base + "chat?user=%1&taskId=%2&mode=%3&old=%4");
        QCOMPARE(mgr.task(live::kTaskDetails)->req_type, uint8_t(live::INetwork::kRequestPost));
        QCOMPARE(mgr.task(live::kTaskUserImage)->req_type, uint8_t(live::INetwork::kRequestUpload));
        QCOMPARE(mgr.getUrl(30), QString());
    }

    void rejectsUnusableFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing") << QByteArray() << "failed to load file";
        QTest::newRow("not json") << QByteArray("{url_prefix") << "failed to parse";
        QTest::newRow("array") << QByteArray("[1,2]") << "failed to parse";
        QTest::newRow("prefix not text")
            << QByteArray(R"({"url_prefix": 5, "url_info": []})") << QString();
        QTest::newRow("entries not array")
            << QByteArray(R"({"url_prefix": "x", "url_info": {}})") << QString();
        const QJsonObject noLogin = file({entry(1, "list")});
        QTest::newRow("no login task")
            << QJsonDocument(noLogin).toJson() << "network task data has no login task";
    }
    void rejectsUnusableFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, logged);
        LogFile log;
        QString path = dir_.path() + "/missing.json";
        if (!bytes.isEmpty()) {
            path = dir_.path() + "/bad.json";
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        OrbHttpMgr mgr(config());
        QCOMPARE(mgr.initHttpTask(path), uint8_t(4));
        if (!logged.isEmpty()) {
            QVERIFY2(log.text().contains("[E] live::OrbHttpMgr::initHttpTask: " + logged),
                     qPrintable(log.text()));
        }
        QCOMPARE(OrbHttpMgr(config()).initHttpTask(QString()), uint8_t(4));
    }

    void readsOnlyTheFirst26EntriesAndTheFirstOfEachId() {
        QJsonArray entries;
        entries.append(entry(3, "first"));
        entries.append(entry(3, "second"));
        entries.append(loginEntry());
        for (int id = 4; id < 31; ++id) {
            entries.append(entry(id, QString("t%1").arg(id)));
        }
        QCOMPARE(entries.size(), 30);
        LogFile log;
        OrbHttpMgr mgr(config());
        QCOMPARE(mgr.initHttpTask(writeTasks(file(entries))), uint8_t(0));
        QCOMPARE(mgr.getUrl(3), QString("http://h/first"));
        // Entries 27 to 30 (ids 27 to 30) are not read, quietly.
        QCOMPARE(mgr.getUrl(26), QString("http://h/t26"));
        QVERIFY(!mgr.task(27));
        QVERIFY(!mgr.task(30));
        QCOMPARE(mgr.taskCount(), 24);
        QVERIFY(!log.text().contains("error in network task data"));
    }

    void skipsMalformedEntriesWithAWarning() {
        QJsonObject noParam = entry(5, "five");
        noParam.remove("param");
        LogFile log;
        OrbHttpMgr mgr(config());
        const QJsonArray entries = {QJsonObject(), noParam, 7, loginEntry(), entry(6, "six")};
        QCOMPARE(mgr.initHttpTask(writeTasks(file(entries))), uint8_t(0));
        QVERIFY(!mgr.task(live::kTaskInvite));
        QCOMPARE(mgr.getUrl(6), QString("http://h/six"));
        QCOMPARE(log.count("[W] live::OrbHttpMgr::initHttpTask: error in network task data"), 3);
    }

    void cleansTheLoginAddress_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unfilled %4") << "in?c=%1&a=%2&v=%3&x=%4&y=%4"
                                     << "http://h/in?c=pc&a=orblive_user&v=1.2.3&x=&y=";
        QTest::newRow("literal %") << "in?p=100%&q=%"
                                   << "http://h/in?p=100&q=";
        QTest::newRow("%1 only") << "in?c=%1"
                                 << "http://h/in?c=pc";
    }
    void cleansTheLoginAddress() {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        OrbHttpMgr mgr(config());
        QCOMPARE(mgr.initHttpTask(writeTasks(file({loginEntry(url)}))), uint8_t(0));
        QCOMPARE(mgr.getUrl(15), expected);
    }

    void variantEntriesReplaceWithoutThePrefix() {
        QJsonObject root = file({loginEntry(), entry(13, "live/start"), entry(14, "live/stop")});
        root.insert("kelvarin_old",
                    QJsonObject{{"url_info", QJsonArray{entry(13, "https://old/start"),
                                                        entry(22, "https://old/detail"),
                                                        QJsonObject{{"id", 9}}}}});
        const QString path = writeTasks(root);
        {
            OrbHttpMgr plain(config());
            QCOMPARE(plain.initHttpTask(path), uint8_t(0));
            QCOMPARE(plain.getUrl(13), QString("http://h/live/start"));
            QVERIFY(!plain.task(live::kTaskDetails));
        }
        LogFile log;
        OrbHttpMgr mgr(config({{"type", 1}}));
        QCOMPARE(mgr.initHttpTask(path), uint8_t(0));
        QCOMPARE(mgr.getUrl(13), QString("https://old/start"));
        QCOMPARE(mgr.getUrl(22), QString("https://old/detail"));
        QCOMPARE(mgr.getUrl(14), QString("http://h/live/stop"));
        QCOMPARE(log.count("error in network task data"), 1);
    }

    void variantWithoutItsBlockIsRejected_data() {
        QTest::addColumn<QJsonValue>("block");
        QTest::newRow("missing") << QJsonValue();
        QTest::newRow("not an object") << QJsonValue(QJsonArray());
        QTest::newRow("entries not an array") << QJsonValue(QJsonObject{{"url_info", 3}});
    }
    void variantWithoutItsBlockIsRejected() {
        QFETCH(QJsonValue, block);
        QJsonObject root = file({loginEntry()});
        if (!block.isNull()) {
            root.insert("kelvarin_old", block);
        }
        OrbHttpMgr mgr(config({{"type", 1}}));
        QCOMPARE(mgr.initHttpTask(writeTasks(root)), uint8_t(4));
    }

    // ---- arguments and bodies -----------------------------------------------------------

    void buildsQueries_data() {
        QTest::addColumn<QString>("param");
        QTest::addColumn<int>("paramNum");
        QTest::addColumn<int>("optNum");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        const QString list = "curPage=%1&pageSize=%2&callback=%3&taskStatus=%4&taskName=%5";
        QTest::newRow("list, five") << list << 5 << 1 << QStringList{"2", "20", "444", "1", "物理"}
                                    << "curPage=2&pageSize=20&callback=444&taskStatus=1&"
                                       "taskName=%E7%89%A9%E7%90%86";
        QTest::newRow("callback kept")
            << "taskId=%1&name=%2&callback=" << 2 << 1 << QStringList{"7"} << "taskId=7&callback=";
        QTest::newRow("too few") << list << 5 << 1 << QStringList{"1", "2", "3"} << "";
        QTest::newRow("all optional, none given")
            << "name=%1&callback=" << 1 << 1 << QStringList() << "callback=";
        // Values are form-encoded and never read as placeholders or extra fields.
        QTest::newRow("hostile value")
            << "a=%1&b=%2&callback=" << 2 << 0 << QStringList{"x&b=%2 y", "%1"}
            << "a=x%26b%3D%252%20y&b=%251&callback=";
        QTest::newRow("template order by number")
            << "b=%2&a=%1" << 2 << 0 << QStringList{"one", "two"} << "b=two&a=one";
    }
    void buildsQueries() {
        QFETCH(QString, param);
        QFETCH(int, paramNum);
        QFETCH(int, optNum);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        OrbHttpMgr mgr(config());
        const QJsonArray entries = {loginEntry(), entry(2, "x", 1, param, paramNum, optNum)};
        QCOMPARE(mgr.initHttpTask(writeTasks(file(entries))), uint8_t(0));
        QCOMPARE(mgr.buildQuery(2, args), expected);
        QCOMPARE(mgr.buildQuery(3, args), QString());
    }

    void buildsArgumentsFromRecords() {
        auto cfg = config();
        OrbHttpMgr mgr(cfg);
        using M = OrbHttpMgr;
        const M::IParamListTask list(1, 0, 2, 20, 1, "物理");
        QCOMPARE(mgr.buildArgs(&list), (QStringList{"2", "20", "444", "1", "物理"}));
        const M::IParamMonitor monitor(9, 1001, 1499.6f, 12.34f, 29.971f, 18000000000ULL, 3,
                                       "202401050930");
        QCOMPARE(mgr.buildArgs(&monitor), (QStringList{"1001", "1500", "12.3", "29.97",
                                                       "18000000000", "3", "202401050930"}));
        const M::IParamID id(22, 1004);
        QCOMPARE(mgr.buildArgs(&id), QStringList{"1004"});
        // Wrong record class, unknown type, type above 22, no record.
        const M::IParamID wrongClass(1, 5);
        QVERIFY(mgr.buildArgs(&wrongClass).isEmpty());
        const M::IParamValue unknown(12, "x");
        QVERIFY(mgr.buildArgs(&unknown).isEmpty());
        const M::IParamID tooHigh(23, 5);
        QVERIFY(mgr.buildArgs(&tooHigh).isEmpty());
        QVERIFY(mgr.buildArgs(nullptr).isEmpty());
    }

    void variantListSendsThePageCookieValue() {
        auto cfg = config();
        OrbHttpMgr mgr(cfg);
        const OrbHttpMgr::IParamListTask oldList(1, 1, 3, 10, 1, "x");
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{""});

        // Whoever hands the page's cookies over fills the value, by any route into the jar.
        QNetworkCookie token("ORB_TOKEN", "tok-1");
        token.setDomain("127.0.0.1");
        mgr.insertCookies({QNetworkCookie("ORB_USER", "10001"), token});
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{"tok-1"});
        token.setValue("tok-2");
        mgr.cookieJar()->insertCookie(token);
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{"tok-2"});
        mgr.addCookie("127.0.0.1", "ORB_TOKEN", "tok-3");
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{"tok-3"});
        // Signing out forgets it.
        mgr.clearCookies();
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{""});
        QVERIFY(!mgr.getCookies().isValid());
    }

    // Only the cookies the manager was handed go at sign-out; others in the jar stay.
    void clearingForgetsOnlyTheHandedCookies() {
        OrbHttpMgr mgr(config());
        mgr.addCookie("127.0.0.1", "ORB_SESSION", "s");
        QNetworkCookie other("OTHER", "o");
        other.setDomain("127.0.0.1");
        mgr.cookieJar()->insertCookie(other);
        QCOMPARE(mgr.getCookies().value<QList<QNetworkCookie>>().size(), 1);
        mgr.clearCookies();
        const auto left = mgr.cookieJar()->cookiesForUrl(QUrl("http://127.0.0.1/"));
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().name(), QByteArray("OTHER"));
    }
};

QTEST_MAIN(TestNetTasks)
#include "tst_net_tasks.moc"
