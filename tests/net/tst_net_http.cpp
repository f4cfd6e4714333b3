#include <QHttpMultiPart>
#include <QNetworkReply>
#include <QTcpServer>
#include <QtTest>

#include "core/DialogSeam.h"
#include "net/LogFile.h"
#include "support/DemoClient.h"

using live::DialogSeam;
using live::OrbHttpMgr;

namespace {

constexpr int kWait = 20000;
const QString kWarningText = QStringLiteral("网络应答错误，请检查网络\n请求地址 %1\n错误码 %2");

QJsonObject json(const QByteArray& body) {
    return QJsonDocument::fromJson(body).object();
}

// The list reply without its callback wrapper: the opening text and the last character.
QJsonObject unwrap(const QByteArray& body, const QByteArray& open) {
    return json(body.mid(open.size()).chopped(1));
}

int closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();  // closed again when the probe goes
}

}  // namespace

class TestNetHttp : public QObject {
    Q_OBJECT

    DemoClient demo_;
    DemoService& service_ = demo_.service;

    OrbHttpMgr& mgr() { return *demo_.net; }

    template <typename Record>
    int send(const Record& record) {
        return mgr().sendReq(record.type, mgr().buildArgs(&record));
    }

    QByteArray waitReplies(int n) { return demo_.waitReplies(n, kWait); }
    uint8_t replyType(int i) const { return demo_.replyType(i); }

    // Waits until every reply is handled and exactly one warning box was shown; its text.
    void expectOneWarning(QString* text) {
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(mgr().pendingReplies(), 0, kWait);
        QCoreApplication::processEvents();  // a second box would be here now
        QCOMPARE(DialogSeam::shown().size(), 1);
        QCOMPARE(DialogSeam::shown().first().kind, QString("warning"));
        QCOMPARE(DialogSeam::shown().first().title, QString("警告"));
        *text = DialogSeam::shown().first().text;
    }

private slots:
    void initTestCase() {
        DialogSeam::setHeadless(true);
        DemoService::Options options;
        options.rtmpPort = 19935;
        QVERIFY(demo_.start(options));
    }

    void init() {
        DialogSeam::clearShown();
        QVERIFY(service_.reset());
        QVERIFY(demo_.connect());
    }

    void cookiesGoOnlyAfterAddCookie() {
        const QString url = service_.baseUrl() + "api/user/info";
        const QString refused =
            kWarningText.arg(url).arg(int(QNetworkReply::AuthenticationRequiredError));
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
        QString text;
        expectOneWarning(&text);
        QCOMPARE(text, refused);
        QVERIFY(demo_.replies->isEmpty());
        QVERIFY(DemoService::header(service_.lastRequest("/api/user/info"), "Cookie").isNull());

        // Signed in; a GET sends neither its arguments nor a body.
        for (const QNetworkCookie& c : service_.signIn()) {
            mgr().addCookie("127.0.0.1", c.name(), c.value());
        }
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {"ignored", "args"}), 0);
        const QJsonObject user = json(waitReplies(1)).value("data").toObject();
        QCOMPARE(replyType(0), uint8_t(live::kTaskGetUser));
        QCOMPARE(user.value("nickname").toString(), QString("演示主播"));
        const QJsonObject got = service_.lastRequest("/api/user/info");
        QCOMPARE(got.value("method").toString(), QString("GET"));
        QCOMPARE(got.value("query").toString(), QString());
        QCOMPARE(DemoService::rawBody(got), QByteArray());
        QCOMPARE(DemoService::header(got, "Content-Type"),
                 QString("application/x-www-form-urlencoded;charset=utf-8"));
        const QString cookieHeader = DemoService::header(got, "Cookie");
        for (const char* name : {"ORB_SESSION=", "ORB_USER=", "ORB_TOKEN="}) {
            QVERIFY2(cookieHeader.contains(name), qPrintable(cookieHeader));
        }

        // Signed out again: nothing is sent along any more.
        mgr().clearCookies();
        DialogSeam::clearShown();
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
        expectOneWarning(&text);
        QCOMPARE(text, refused);
        QVERIFY(DemoService::header(service_.lastRequest("/api/user/info"), "Cookie").isNull());
    }

    void postsTheListFormExactly() {
        QVERIFY(demo_.signIn());
        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 0, 2, 20, 1, "物理")), 0);
        waitReplies(1);
        QJsonObject got = service_.lastRequest("/api/task/list");
        const QByteArray five =
            "curPage=2&pageSize=20&callback=444&taskStatus=1&taskName=%E7%89%A9%E7%90%86";
        QCOMPARE(DemoService::rawBody(got), five);
        QCOMPARE(DemoService::header(got, "Content-Length"), QString::number(five.size()));
        QCOMPARE(got.value("form").toObject().value("taskName").toString(), QString("物理"));

        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 0, 0, 10, 1, QString())), 0);
        const QByteArray body = waitReplies(2);
        QCOMPARE(DemoService::rawBody(service_.lastRequest("/api/task/list")),
                 QByteArray("curPage=0&pageSize=10&callback=444&taskStatus=1"));
        QVERIFY(body.startsWith("444("));
        const QJsonObject page = unwrap(body, "444(").value("data").toObject();
        QCOMPARE(page.value("totalRows").toInt(), 25);
        QCOMPARE(page.value("dataList").toArray().size(), 10);
        const QJsonObject first = page.value("dataList").toArray().first().toObject();
        QVERIFY(first.value("push_url").toString().startsWith("rtmp://127.0.0.1:19935/live/"));
    }

    void reportsMonitorNumbersInTheirFormats() {
        QVERIFY(demo_.signIn());
        QCOMPARE(send(OrbHttpMgr::IParamMonitor(live::kTaskMonitor, 1001, 1499.6f, 12.34f, 29.971f,
                                                18000000000ULL, 3, "202401050930")),
                 0);
        QCOMPARE(json(waitReplies(1)).value("flag").toInt(), 1);
        QCOMPARE(service_.monitorReports().size(), 1);
        QCOMPARE(DemoService::rawBody(service_.lastRequest("/api/monitor")),
                 QByteArray("taskId=1001&kbs=1500&cpu=12.3&fps=29.97&originFrame=18000000000&"
                            "lostFrame=3&pointTime=202401050930&callback="));
    }

    void uploadsARealFileAndSetsTheAvatar() {
        QVERIFY(demo_.signIn());
        QFile source(ORB_SOURCE_DIR "/tools/demo_assets/avatar.png");
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        const QString path = demo_.dir() + "/my avatar.png";
        QFile::remove(path);
        QVERIFY(source.copy(path));

        QCOMPARE(send(OrbHttpMgr::IParamValue(live::kTaskUserImage, path)), 0);
        const QString fileId =
            json(waitReplies(1)).value("data").toObject().value("fileId").toString();
        QCOMPARE(replyType(0), uint8_t(live::kTaskUserImage));
        QVERIFY2(fileId.startsWith(service_.baseUrl() + "files/"), qPrintable(fileId));
        const QJsonObject got = service_.lastRequest("/api/user/image");
        QVERIFY(
            DemoService::header(got, "Content-Type").startsWith("multipart/form-data; boundary="));
        QVERIFY(DemoService::rawBody(got).contains(
            "Content-Disposition: form-data; name=\"file\"; filename=\"my avatar.png\"\r\n"));
        QCOMPARE(service_.fetch(fileId.mid(service_.baseUrl().size())).body, bytes);

        QCOMPARE(send(OrbHttpMgr::IParamValue(live::kTaskUserUpdateAvatar, fileId)), 0);
        QCOMPARE(json(waitReplies(2)).value("flag").toInt(), 1);
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
        QCOMPARE(json(waitReplies(3)).value("data").toObject().value("avatarUrl").toString(),
                 fileId);

        // A name that could break the part's header is encoded, not sent raw.
        const QString odd = demo_.dir() + "/odd\"name\r\n.png";
        QFile::remove(odd);
        QVERIFY(source.copy(odd));
        QCOMPARE(mgr().sendReq(live::kTaskUserImage, {odd}), 0);
        waitReplies(4);
        QVERIFY(DemoService::rawBody(service_.lastRequest("/api/user/image"))
                    .contains("name=\"file\"; filename=\"odd%22name%0D%0A.png\"\r\n"));

        // Nothing to upload: refused before anything is sent.
        QCOMPARE(mgr().sendReq(live::kTaskUserImage, {demo_.dir() + "/missing.png"}), 3);
        QCOMPARE(mgr().sendReq(live::kTaskUserImage, {demo_.dir()}), 3);
        QCOMPARE(mgr().pendingReplies(), 0);
    }

    void refusesUnknownTasksAndMissingAddresses() {
        LogFile log;
        QCOMPARE(mgr().sendReq(40, {}), 1);
        QVERIFY(log.text().contains("[E] live::OrbHttpMgr::sendReq: task type not exist"));
        QCOMPARE(mgr().sendGet(40), 3);
        QCOMPARE(mgr().sendPost(40, {"1"}), 3);
        QCOMPARE(mgr().sendFile(40, {"/etc/hostname"}), 3);
        QCOMPARE(mgr().pendingReplies(), 0);
    }

    void bothRepliesOfOneTaskArriveInFinishingOrder() {
        QVERIFY(demo_.connect({}, [](QJsonArray& e) {
            DemoClient::setUrl(e, 2, "api/room/enter", "taskId=%1&delay_ms=%2&callback=", 2);
        }));
        QVERIFY(demo_.signIn());
        QCOMPARE(mgr().sendReq(live::kTaskEnterRoom, {"1001", "1500"}), 0);
        QCOMPARE(mgr().sendReq(live::kTaskEnterRoom, {"1002", "0"}), 0);
        waitReplies(2);
        const auto taskOf = [&](int i) {
            const QByteArray body = demo_.replies->at(i).at(1).toByteArray();
            return json(body).value("data").toObject().value("taskId").toInt();
        };
        QCOMPARE(demo_.replies->size(), 2);
        QCOMPARE(replyType(1), uint8_t(live::kTaskEnterRoom));
        QCOMPARE(QList<int>({taskOf(0), taskOf(1)}), QList<int>({1002, 1001}));
    }

    void failedRepliesWarnOnceAndAreNotForwarded_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("code");
        QTest::newRow("404") << "api/nowhere" << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("refused") << QString("http://127.0.0.1:%1/x").arg(closedPort())
                                 << int(QNetworkReply::ConnectionRefusedError);
    }
    void failedRepliesWarnOnceAndAreNotForwarded() {
        QFETCH(QString, url);
        QFETCH(int, code);
        const bool remote = url.startsWith("http");
        if (!remote) {
            QVERIFY(
                demo_.connect({}, [&](QJsonArray& e) { DemoClient::setUrl(e, 12, url, "", 0); }));
        }
        QVERIFY(demo_.signIn());
        LogFile log;
        QCOMPARE(remote ? mgr().getByUrl(live::kTaskAvatarDownload, url)
                        : mgr().sendReq(live::kTaskGetUser, {}),
                 0);
        QString text;
        expectOneWarning(&text);
        QCOMPARE(text, kWarningText.arg(remote ? url : service_.baseUrl() + url).arg(code));
        QVERIFY(demo_.replies->isEmpty());
        QVERIFY(log.text().contains(
            QString("[E] live::OrbHttpMgr::replyFinished: network reply error, code %1")
                .arg(code)));
        // Other tasks go on normally.
        QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskStopLive, 1001)), 0);
        waitReplies(1);
        QCOMPARE(replyType(0), uint8_t(live::kTaskStopLive));
    }

    void repliesOutsideTheMapAreLoggedAndDropped() {
        LogFile log;
        const QString lost =
            "[E] live::OrbHttpMgr::replyFinished: can't find task type in reply map";
        const QString avatar = service_.baseUrl() + "static/avatar.png";
        QNetworkReply* stray = mgr().get(QNetworkRequest(QUrl(avatar)));
        QSignalSpy strayDone(stray, &QObject::destroyed);
        QVERIFY(strayDone.wait(kWait));
        QVERIFY(demo_.replies->isEmpty());
        QCOMPARE(log.count(lost), 1);

        // The avatar download reaches the signal only when the table has a task 23.
        QCOMPARE(mgr().getByUrl(live::kTaskAvatarDownload, avatar), 0);
        QVERIFY(waitReplies(1).startsWith("\x89PNG"));
        QCOMPARE(replyType(0), uint8_t(live::kTaskAvatarDownload));
        QVERIFY(demo_.connect({}, [](QJsonArray& e) {
            for (int i = e.size() - 1; i >= 0; --i) {
                if (e[i].toObject().value("id").toInt() == live::kTaskAvatarDownload) {
                    e.removeAt(i);
                }
            }
        }));
        QCOMPARE(mgr().getByUrl(live::kTaskAvatarDownload, avatar), 0);
        QCOMPARE(mgr().pendingReplies(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(log.count(lost), 2, kWait);
        QVERIFY(demo_.replies->isEmpty());
        QVERIFY(DialogSeam::shown().isEmpty());
    }

    void releasesRepliesAndUploadBodies() {
        QVERIFY(demo_.signIn());
        const QString path = ORB_SOURCE_DIR "/tools/demo_assets/avatar.jpg";
        constexpr int kRounds = 40;
        for (int i = 0; i < kRounds; ++i) {
            QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
            QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskDetails, 1001 + i % 25)), 0);
            QCOMPARE(mgr().sendReq(live::kTaskUserImage, {path}), 0);
        }
        waitReplies(3 * kRounds);
        QCOMPARE(demo_.replies->size(), 3 * kRounds);
        QCOMPARE(mgr().pendingReplies(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(mgr().findChildren<QNetworkReply*>().isEmpty(), kWait);
        QVERIFY(mgr().findChildren<QHttpMultiPart*>().isEmpty());
        QVERIFY(mgr().findChildren<QFile*>().isEmpty());
    }

    void variantListSendsTheTokenOfTheSignedInPage() {
        QVERIFY(demo_.connect({{"type", 1}}));
        const auto cookies = service_.signIn();
        mgr().insertCookies(cookies);
        QByteArray token;
        for (const QNetworkCookie& c : cookies) {
            token = c.name() == "ORB_TOKEN" ? c.value() : token;
        }
        QVERIFY(!token.isEmpty());
        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 1, 0, 10, 1, QString())), 0);
        const QByteArray body = waitReplies(1);
        QCOMPARE(DemoService::rawBody(service_.lastRequest("/old/api/task/list")),
                 "userKey=" + token + "&callback=");
        QVERIFY(body.startsWith("("));
        QCOMPARE(unwrap(body, "(").value("data").toObject().value("totalRows").toInt(), 25);
    }
};

QTEST_MAIN(TestNetHttp)
#include "tst_net_http.moc"
