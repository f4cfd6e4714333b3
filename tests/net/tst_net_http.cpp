#include <QHttpMultiPart>
#include <QNetworkReply>
#include <QSslSocket>
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

}  // namespace

class TestNetHttp : public QObject {
    Q_OBJECT

    DemoClient demo_;
    DemoService& service_ = demo_.service;
    // The service over TLS with the certificate it made at start, which no one vouches for.
    DemoClient tls_;

    OrbHttpMgr& mgr() { return *demo_.net; }

    template <typename Record>
    int send(const Record& record) {
        return mgr().sendReq(record.type, mgr().buildArgs(&record));
    }

    QByteArray waitReplies(int n) { return demo_.waitReplies(n, kWait); }

    // Waits until every reply is handled and exactly one warning box was shown; its text.
    QString oneWarning() {
        if (!QTest::qWaitFor([] { return !DialogSeam::shown().isEmpty(); }, kWait) ||
            !QTest::qWaitFor([this] { return mgr().pendingReplies() == 0; }, kWait)) {
            return QString();
        }
        QCoreApplication::processEvents();  // a second box would be here now
        const auto& shown = DialogSeam::shown();
        return shown.size() == 1 && shown.first().kind == "warning" ? shown.first().text
                                                                    : QString();
    }

private slots:
    void initTestCase() {
        DialogSeam::setHeadless(true);
        DemoService::Options options;
        options.rtmpPort = 19935;
        QVERIFY(demo_.start(options));
        QVERIFY(QSslSocket::supportsSsl());
        DemoService::Options tls;
        tls.https = true;
        QVERIFY(tls_.start(tls));
    }

    void init() {
        DialogSeam::clearShown();
        QVERIFY(service_.reset());
        QVERIFY(demo_.connect());
    }

    // A failed reply warns once and is not forwarded; the cookies go only while signed in.
    void cookiesGoOnlyWhileSignedIn() {
        const QString refused = kWarningText.arg(service_.baseUrl() + "api/user/info")
                                    .arg(int(QNetworkReply::AuthenticationRequiredError));
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
        QCOMPARE(oneWarning(), refused);
        QVERIFY(demo_.replies->isEmpty());
        QVERIFY(DemoService::header(service_.lastRequest("/api/user/info"), "Cookie").isNull());

        for (const QNetworkCookie& c : service_.signIn()) {
            mgr().addCookie("127.0.0.1", c.name(), c.value());
        }
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
        const QJsonObject user = json(waitReplies(1)).value("data").toObject();
        QCOMPARE(demo_.replyType(0), uint8_t(live::kTaskGetUser));
        QCOMPARE(user.value("nickname").toString(), QString("演示主播"));
        const QJsonObject got = service_.lastRequest("/api/user/info");
        QVERIFY(DemoService::header(got, "Cookie").contains("ORB_TOKEN="));

        mgr().clearCookies();
        DialogSeam::clearShown();
        QCOMPARE(mgr().sendReq(live::kTaskGetUser, {}), 0);
        QCOMPARE(oneWarning(), refused);
    }

    void postsFormsExactly() {
        QVERIFY(demo_.signIn());
        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 0, 2, 20, 1, "物理")), 0);
        QVERIFY(waitReplies(1).startsWith("444("));
        const QByteArray list =
            "curPage=2&pageSize=20&callback=444&taskStatus=1&taskName=%E7%89%A9%E7%90%86";
        const QJsonObject got = service_.lastRequest("/api/task/list");
        QCOMPARE(DemoService::rawBody(got), list);
        QCOMPARE(DemoService::header(got, "Content-Length"), QString::number(list.size()));

        QCOMPARE(send(OrbHttpMgr::IParamMonitor(live::kTaskMonitor, 1001, 1499.6f, 12.34f, 29.971f,
                                                18000000000ULL, 3, "202401050930")),
                 0);
        QCOMPARE(json(waitReplies(2)).value("flag").toInt(), 1);
        QCOMPARE(DemoService::rawBody(service_.lastRequest("/api/monitor")),
                 QByteArray("taskId=1001&kbs=1500&cpu=12.3&fps=29.97&originFrame=18000000000&"
                            "lostFrame=3&pointTime=202401050930&callback="));
    }

    // Uploading through the profile page is the main window's test; here what is refused.
    void uploadEncodesOddNamesAndRefusesWhatCannotBeSent() {
        QVERIFY(demo_.signIn());
        const QString odd = demo_.dir() + "/odd\"name\r\n.png";
        QFile::remove(odd);
        QVERIFY(QFile::copy(ORB_SOURCE_DIR "/tools/demo_assets/avatar.png", odd));
        QCOMPARE(mgr().sendReq(live::kTaskUserImage, {odd}), 0);
        waitReplies(1);
        QVERIFY(DemoService::rawBody(service_.lastRequest("/api/user/image"))
                    .contains("name=\"file\"; filename=\"odd%22name%0D%0A.png\"\r\n"));

        QCOMPARE(mgr().sendReq(live::kTaskUserImage, {demo_.dir() + "/missing.png"}), 3);
        QCOMPARE(mgr().sendReq(live::kTaskUserImage, {demo_.dir()}), 3);
        QCOMPARE(mgr().sendReq(40, {}), 1);
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
        QCOMPARE(QList<int>({taskOf(0), taskOf(1)}), QList<int>({1002, 1001}));
    }

    void strayRepliesAreDropped() {
        QNetworkReply* stray =
            mgr().get(QNetworkRequest(QUrl(service_.baseUrl() + "static/avatar.png")));
        QSignalSpy strayDone(stray, &QObject::destroyed);
        QVERIFY(strayDone.wait(kWait));
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
        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 1, 0, 10, 1, QString())), 0);
        const QByteArray body = waitReplies(1);
        QCOMPARE(DemoService::rawBody(service_.lastRequest("/old/api/task/list")),
                 "userKey=" + token + "&callback=");
        QCOMPARE(json(body.mid(1).chopped(1)).value("data").toObject().value("totalRows").toInt(),
                 25);
    }

    // Verifying, also when the setting is no bool, refuses the service before anything
    // reached it; only the opt-out accepts it, and says so in the log.
    void tlsServiceIsRefusedWhileVerifying_data() {
        QTest::addColumn<QJsonValue>("setting");
        QTest::newRow("sample (true)") << QJsonValue(true);
        QTest::newRow("not a bool") << QJsonValue("no");
        QTest::newRow("opted out") << QJsonValue(false);
    }
    void tlsServiceIsRefusedWhileVerifying() {
        QFETCH(QJsonValue, setting);
        const bool verifying = setting != QJsonValue(false);
        LogFile log;
        QVERIFY(tls_.connect({{OrbHttpMgr::kVerifyPeerKey, setting}}));
        QVERIFY(tls_.signIn());
        QCOMPARE(tls_.net->sendReq(live::kTaskGetUser, {}), 0);
        QCOMPARE(tls_.net->verifyPeer(), verifying);
        QCOMPARE(log.text().contains("server certificates are not verified"), !verifying);
        if (!verifying) {
            QVERIFY(!json(tls_.waitReplies(1, kWait)).value("data").toObject().isEmpty());
            QVERIFY(DialogSeam::shown().isEmpty());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, kWait);
        QCOMPARE(DialogSeam::shown().first().text,
                 kWarningText.arg(tls_.service.baseUrl() + "api/user/info")
                     .arg(int(QNetworkReply::SslHandshakeFailedError)));
        QVERIFY(tls_.service.requests("/api/user/info").isEmpty());
    }
};

QTEST_MAIN(TestNetHttp)
#include "tst_net_http.moc"
