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

QJsonObject entry(int id, const QString& url, const QString& param = QString(), int paramNum = 0,
                  int optNum = 0) {
    return {{"id", id},
            {"url", url},
            {"req_type", 1},
            {"param", param},
            {"param_num", paramNum},
            {"opt_param_num", optNum}};
}

QJsonObject loginEntry(const QString& url = QStringLiteral("login?c=%1&a=%2&v=%3")) {
    QJsonObject login = entry(15, url);
    login.insert("req_type", 0);
    return login;
}

QJsonObject file(const QJsonArray& entries) {
    return {{"url_prefix", "http://h/"}, {"url_info", entries}};
}

}  // namespace

// The task table's loading and the query builder; requests over the wire are the HTTP test's.
class TestNetTasks : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::shared_ptr<live::IConfig> config(const QJsonObject& changes = {}) {
        auto c = std::make_shared<live::IConfig>();
        const QString path = DemoService::writeConfigFile(dir_.path(), changes);
        return c->init(path) == 0 ? c : nullptr;
    }

    QString write(const QByteArray& bytes) {
        const QString path = dir_.path() + "/tasks.json";
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QString writeTasks(const QJsonObject& root) { return write(QJsonDocument(root).toJson()); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QCoreApplication::setApplicationVersion("1.2.3.4");
    }

    void rejectsUnusableFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not json") << QByteArray("{url_prefix");
        QTest::newRow("entries not array") << QByteArray(R"({"url_prefix": "x", "url_info": {}})");
        QTest::newRow("no login task") << QJsonDocument(file({entry(1, "list")})).toJson();
    }
    void rejectsUnusableFiles() {
        QFETCH(QByteArray, bytes);
        const QString path = bytes.isEmpty() ? dir_.path() + "/missing.json" : write(bytes);
        QCOMPARE(OrbHttpMgr(config()).initHttpTask(path), uint8_t(4));
    }

    // Malformed entries are skipped with a warning; of the first 26 entries only the first of
    // each id is read, and the rest not at all.
    void readsTheFirst26WellFormedEntries() {
        QJsonObject noParam = entry(5, "five");
        noParam.remove("param");
        QJsonArray entries = {QJsonObject(),      noParam,     7, entry(3, "first"),
                              entry(3, "second"), loginEntry()};
        for (int id = 6; id < 31; ++id) {
            entries.append(entry(id, QString("t%1").arg(id)));
        }
        LogFile log;
        OrbHttpMgr mgr(config());
        QCOMPARE(mgr.initHttpTask(writeTasks(file(entries))), uint8_t(0));
        QCOMPARE(log.count("error in network task data"), 3);
        QVERIFY(!mgr.task(5));
        QCOMPARE(mgr.getUrl(3), QString("http://h/first"));
        QCOMPARE(mgr.getUrl(25), QString("http://h/t25"));
        QVERIFY(!mgr.task(26));
    }

    void cleansTheLoginAddress_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unfilled %4") << "in?c=%1&a=%2&v=%3&x=%4&y=%4"
                                     << "http://h/in?c=pc&a=orblive_user&v=1.2.3&x=&y=";
        QTest::newRow("literal %") << "in?p=100%&q=%"
                                   << "http://h/in?p=100&q=";
    }
    void cleansTheLoginAddress() {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        OrbHttpMgr mgr(config());
        QCOMPARE(mgr.initHttpTask(writeTasks(file({loginEntry(url)}))), uint8_t(0));
        QCOMPARE(mgr.getUrl(15), expected);
    }

    // Server variant 1 takes its own block's entries, whole addresses without the prefix,
    // and cannot start without that block.
    void variantEntriesReplaceWithoutThePrefix() {
        QJsonObject root = file({loginEntry(), entry(13, "live/start"), entry(14, "live/stop")});
        const QString without = writeTasks(root);
        QCOMPARE(OrbHttpMgr(config({{"type", 1}})).initHttpTask(without), uint8_t(4));
        root.insert("kelvarin_old",
                    QJsonObject{{"url_info", QJsonArray{entry(13, "https://old/start"),
                                                        entry(22, "https://old/detail")}}});
        const QString path = writeTasks(root);
        OrbHttpMgr plain(config());
        QCOMPARE(plain.initHttpTask(path), uint8_t(0));
        QVERIFY(!plain.task(live::kTaskDetails));

        OrbHttpMgr mgr(config({{"type", 1}}));
        QCOMPARE(mgr.initHttpTask(path), uint8_t(0));
        QCOMPARE(mgr.getUrl(13), QString("https://old/start"));
        QCOMPARE(mgr.getUrl(22), QString("https://old/detail"));
        QCOMPARE(mgr.getUrl(14), QString("http://h/live/stop"));
    }

    void buildsQueries_data() {
        QTest::addColumn<QString>("param");
        QTest::addColumn<int>("paramNum");
        QTest::addColumn<int>("optNum");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("callback kept")
            << "taskId=%1&name=%2&callback=" << 2 << 1 << QStringList{"7"} << "taskId=7&callback=";
        QTest::newRow("too few") << "a=%1&b=%2&c=%3" << 3 << 1 << QStringList{"1"} << "";
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
        const QJsonArray entries = {loginEntry(), entry(2, "x", param, paramNum, optNum)};
        QCOMPARE(mgr.initHttpTask(writeTasks(file(entries))), uint8_t(0));
        QCOMPARE(mgr.buildQuery(2, args), expected);
        QCOMPARE(mgr.buildQuery(3, args), QString());
    }

    void buildsNoArgumentsFromAMismatchedRecord() {
        OrbHttpMgr mgr(config());
        using M = OrbHttpMgr;
        const M::IParamID id(22, 1004);
        QCOMPARE(mgr.buildArgs(&id), QStringList{"1004"});
        const M::IParamID wrongClass(1, 5);
        const M::IParamID tooHigh(23, 5);
        const std::initializer_list<const M::IParam*> records = {&wrongClass, &tooHigh, nullptr};
        for (const M::IParam* record : records) {
            QVERIFY(mgr.buildArgs(record).isEmpty());
        }
    }

    // The variant's list takes the page's token however it reached the jar; signing out
    // forgets it, but not what others put in the jar.
    void signingOutForgetsOnlyTheHandedCookies() {
        OrbHttpMgr mgr(config());
        const OrbHttpMgr::IParamListTask oldList(1, 1, 3, 10, 1, "x");
        mgr.addCookie("127.0.0.1", "ORB_TOKEN", "tok-3");
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{"tok-3"});
        QNetworkCookie other("OTHER", "o");
        other.setDomain("127.0.0.1");
        mgr.cookieJar()->insertCookie(other);
        mgr.clearCookies();
        QCOMPARE(mgr.buildArgs(&oldList), QStringList{""});
        const auto left = mgr.cookieJar()->cookiesForUrl(QUrl("http://127.0.0.1/"));
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().name(), QByteArray("OTHER"));
    }
};

QTEST_MAIN(TestNetTasks)
#include "tst_net_tasks.moc"
