#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "net/DemoService.h"

// The demo service behaves like the real one where the client can tell.
class TestNetDemo : public QObject {
    Q_OBJECT

private:
    DemoService service_;
    QList<QNetworkCookie> cookies_;

    static QJsonObject json(QByteArray body) {
        if (body.startsWith("444(")) {
            body = body.mid(4, body.size() - 5);
        }
        return QJsonDocument::fromJson(body).object();
    }

    QJsonObject list(int status, int page, int size, const QByteArray& name = QByteArray()) {
        const QByteArray form = QString("curPage=%1&pageSize=%2&callback=444&taskStatus=%3")
                                    .arg(page)
                                    .arg(size)
                                    .arg(status)
                                    .toUtf8() +
                                (name.isEmpty() ? QByteArray() : "&taskName=" + name);
        return json(service_.fetch("api/task/list", form, cookies_).body).value("data").toObject();
    }

private slots:
    void initTestCase() {
        QVERIFY(service_.start());
        cookies_ = service_.signIn();
    }

    void signInSetsTheConfiguredCookies() {
        QCOMPARE(cookies_.size(), 3);
        QStringList names;
        for (const QNetworkCookie& c : cookies_) {
            names << c.name();
            QCOMPARE(c.isHttpOnly(), c.name() != "ORB_USER");
            QVERIFY(!c.value().isEmpty());
            QCOMPARE(c.path(), QString("/"));
        }
        names.sort();
        QCOMPARE(names, (QStringList{"ORB_SESSION", "ORB_TOKEN", "ORB_USER"}));
    }

    void aWrongPasswordSetsNothing() {
        const auto r = service_.fetch("login", "account=demo&password=wrong");
        QCOMPARE(r.status, 200);
        QVERIFY(QString::fromUtf8(r.body).contains("账号或密码错误"));
        QVERIFY(r.cookies.isEmpty());
        QVERIFY(!r.body.contains("orbPcClientSuccess')"));
    }

    void everyApiTaskRefusesAStranger() {
        QFile f(DemoService::sampleDir() + "/network.json");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QJsonArray entries =
            QJsonDocument::fromJson(f.readAll()).object().value("url_info").toArray();
        int apis = 0;
        for (const QJsonValue& v : entries) {
            const QString url = v.toObject().value("url").toString();
            if (!url.startsWith("api/")) {
                continue;
            }
            ++apis;
            QCOMPARE(service_.fetch(url, "taskId=1001").status, 401);
            QCOMPARE(service_.fetch(url, "taskId=1001", cookies_).status, 200);
        }
        QCOMPARE(apis, 17);
        QCOMPARE(service_.fetch("old/api/task/list", "userKey=forged&callback=").status, 401);
    }

    void pagesThroughARealisticDataSet() {
        QVERIFY(service_.reset());
        QCOMPARE(list(1, 0, 10).value("totalRows").toInt(), 25);
        QCOMPARE(list(2, 0, 10).value("totalRows").toInt(), 12);
        const QJsonObject last = list(1, 2, 10);
        QCOMPARE(last.value("curPage").toInt(), 2);
        QCOMPARE(last.value("pageSize").toInt(), 10);
        QCOMPARE(last.value("dataList").toArray().size(), 5);
        QVERIFY(list(1, 3, 10).value("dataList").toArray().isEmpty());
        // A search, and the one name with the character the client's unwrapping drops.
        const QJsonArray found = list(1, 0, 10, "Python").value("dataList").toArray();
        QCOMPARE(found.size(), 1);
        QVERIFY(found.first().toObject().value("taskName").toString().contains(")"));
        const QJsonObject task = list(1, 0, 10).value("dataList").toArray().first().toObject();
        for (const char* key : {"taskId", "taskType", "taskName", "push_url", "startTime",
                                "endTime", "clickableEndLiveBtn"}) {
            QVERIFY2(task.contains(key), key);
        }
    }

    void servesThePages_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QStringList>("contains");
        const QString channel = "qrc:///qtwebchannel/qwebchannel.js";
        QTest::newRow("login") << "login?client=pc&app=a&version=1.0.0" << false
                               << QStringList{channel, "id=\"account\"", "orbnet_webview"};
        QTest::newRow("login_success")
            << "login/success" << true << QStringList{"欢迎回来，演示主播"};
        QTest::newRow("about") << "about?client=pc&name=n&app=a&version=1.0.0" << false
                               << QStringList{channel, "closeAbout", "openDefaultBrowser"};
        QTest::newRow("user_update")
            << "user/update?client=pc" << true
            << QStringList{channel, "orbUploadAvahost", "closeLoginModal", "static/avatar.png"};
        QTest::newRow("user_update, stranger")
            << "user/update?client=pc" << false << QStringList{"请先登录"};
        QTest::newRow("enter_chat_room")
            << "chat?user=u&taskId=1003&mode=1&old=false" << true
            << QStringList{"<span id=\"task-id\">1003</span>", "<span id=\"mode\">1</span>",
                           "id=\"input\""};
        QTest::newRow("finished_task") << "task/finished?client=pc&taskId=2001" << false
                                       << QStringList{"高一数学：集合与常用逻辑用语", "<video"};
        QTest::newRow("index") << "" << false << QStringList{"demo", "orb2024"};
    }
    void servesThePages() {
        QFETCH(QString, path);
        QFETCH(bool, signedIn);
        QFETCH(QStringList, contains);
        const auto r =
            service_.fetch(path, QByteArray(), signedIn ? cookies_ : QList<QNetworkCookie>());
        QCOMPARE(r.status, 200);
        const QString html = QString::fromUtf8(r.body);
        for (const QString& text : contains) {
            QVERIFY2(html.contains(text), qPrintable(text));
        }
    }

    void stopsWhenItsInputCloses() { QVERIFY(service_.stop()); }
};

QTEST_MAIN(TestNetDemo)
#include "tst_net_demo.moc"
