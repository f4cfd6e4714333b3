#include <QNetworkReply>
#include <QSslSocket>
#include <QtTest>

#include "core/DialogSeam.h"
#include "net/LogFile.h"
#include "support/DemoClient.h"

using live::DialogSeam;
using live::OrbHttpMgr;

// The service over TLS with the certificate it made at start, which no one vouches for.
class TestNetHttps : public QObject {
    Q_OBJECT

    DemoClient demo_;

    // The user request on a manager configured with `setting` for verifying the service.
    void requestUser(const QJsonValue& setting) {
        QVERIFY(demo_.connect({{OrbHttpMgr::kVerifyPeerKey, setting}}));
        QVERIFY(demo_.signIn());
        QCOMPARE(demo_.net->sendReq(live::kTaskGetUser, {}), 0);
    }

private slots:
    void initTestCase() {
        QVERIFY(QSslSocket::supportsSsl());
        DialogSeam::setHeadless(true);
        DemoService::Options options;
        options.https = true;
        QVERIFY(demo_.start(options));
        QVERIFY(demo_.service.baseUrl().startsWith("https://127.0.0.1:"));
    }

    void init() { DialogSeam::clearShown(); }

    void refusesTheServiceWhileVerifying_data() {
        QTest::addColumn<QJsonValue>("setting");
        QTest::addColumn<bool>("warned");
        QTest::newRow("sample (true)") << QJsonValue(true) << false;
        QTest::newRow("absent") << QJsonValue() << false;
        QTest::newRow("not a bool") << QJsonValue("no") << true;
    }
    void refusesTheServiceWhileVerifying() {
        QFETCH(QJsonValue, setting);
        QFETCH(bool, warned);
        LogFile log;
        requestUser(setting);
        QVERIFY(demo_.net->verifyPeer());
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, 20000);
        QCOMPARE(DialogSeam::shown().first().text,
                 QString("网络应答错误，请检查网络\n请求地址 %1api/user/info\n错误码 %2")
                     .arg(demo_.service.baseUrl())
                     .arg(int(QNetworkReply::SslHandshakeFailedError)));
        QVERIFY(demo_.replies->isEmpty());
        // Nothing, the cookies least of all, reached the service.
        QVERIFY(demo_.service.requests("/api/user/info").isEmpty());
        QCOMPARE(log.text().contains("must be true or false"), warned);
    }

    void acceptsTheServiceWithTheOptOut() {
        LogFile log;
        requestUser(false);
        QVERIFY(!demo_.net->verifyPeer());
        QVERIFY(
            log.text().contains("[W] live::OrbHttpMgr::initSsl: server certificates are not "
                                "verified (ssl_verify_peer is false)"));
        const QJsonObject user =
            QJsonDocument::fromJson(demo_.waitReplies(1)).object().value("data").toObject();
        QCOMPARE(user.value("nickname").toString(), QString("演示主播"));
        QVERIFY(DialogSeam::shown().isEmpty());
    }
};

QTEST_MAIN(TestNetHttps)
#include "tst_net_https.moc"
