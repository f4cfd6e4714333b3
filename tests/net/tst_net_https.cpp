#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/LogFile.h"
#include "net/OrbHttpMgr.h"

using live::DialogSeam;
using live::OrbHttpMgr;

// The service over TLS with the certificate it made at start, which no one vouches for.
class TestNetHttps : public QObject {
    Q_OBJECT

private:
    DemoService service_;
    QTemporaryDir dir_;

    std::unique_ptr<OrbHttpMgr> manager(const QJsonObject& configChanges,
                                        std::shared_ptr<live::IConfig>& config) {
        config = std::make_shared<live::IConfig>();
        if (config->init(DemoService::writeConfigFile(dir_.path(), configChanges)) != 0) {
            return nullptr;
        }
        auto mgr = std::make_unique<OrbHttpMgr>(config);
        if (mgr->initSsl() != 0 || mgr->initHttpTask(service_.writeNetworkFile(dir_.path())) != 0) {
            return nullptr;
        }
        return mgr;
    }

private slots:
    void initTestCase() {
        QVERIFY(QSslSocket::supportsSsl());
        QVERIFY(dir_.isValid());
        DialogSeam::setHeadless(true);
        DemoService::Options options;
        options.https = true;
        QVERIFY(service_.start(options));
        QVERIFY(service_.baseUrl().startsWith("https://127.0.0.1:"));
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
        std::shared_ptr<live::IConfig> config;
        auto mgr = manager({{OrbHttpMgr::kVerifyPeerKey, setting}}, config);
        QVERIFY(mgr);
        QVERIFY(mgr->verifyPeer());
        QSignalSpy replies(mgr.get(), &OrbHttpMgr::signalReplyInfo);
        for (const QNetworkCookie& c : service_.signIn()) {
            mgr->addCookie("127.0.0.1", c.name(), c.value());
        }
        QCOMPARE(mgr->sendReq(live::kTaskGetUser, {}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, 20000);
        QCOMPARE(DialogSeam::shown().first().text,
                 QString("网络应答错误，请检查网络\n请求地址 %1api/user/info\n错误码 %2")
                     .arg(service_.baseUrl())
                     .arg(int(QNetworkReply::SslHandshakeFailedError)));
        QVERIFY(replies.isEmpty());
        // Nothing, the cookies least of all, reached the service.
        QVERIFY(service_.requests("/api/user/info").isEmpty());
        QCOMPARE(log.text().contains("must be true or false"), warned);
    }

    void acceptsTheServiceWithTheOptOut() {
        LogFile log;
        std::shared_ptr<live::IConfig> config;
        auto mgr = manager({{OrbHttpMgr::kVerifyPeerKey, false}}, config);
        QVERIFY(mgr);
        QVERIFY(!mgr->verifyPeer());
        QVERIFY(
            log.text().contains("[W] live::OrbHttpMgr::initSsl: server certificates are not "
                                "verified (ssl_verify_peer is false)"));
        QSignalSpy replies(mgr.get(), &OrbHttpMgr::signalReplyInfo);
        for (const QNetworkCookie& c : service_.signIn()) {
            mgr->addCookie("127.0.0.1", c.name(), c.value());
        }
        QCOMPARE(mgr->sendReq(live::kTaskGetUser, {}), 0);
        QVERIFY(replies.wait(20000));
        const QJsonObject user = QJsonDocument::fromJson(replies.first().at(1).toByteArray())
                                     .object()
                                     .value("data")
                                     .toObject();
        QCOMPARE(user.value("nickname").toString(), QString("演示主播"));
        QVERIFY(DialogSeam::shown().isEmpty());
    }
};

QTEST_MAIN(TestNetHttps)
#include "tst_net_https.moc"
