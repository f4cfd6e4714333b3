#include <QHttpMultiPart>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/LogFile.h"
#include "net/OrbHttpMgr.h"

using live::DialogSeam;
using live::OrbHttpMgr;

namespace {

constexpr int kWait = 20000;
const QString kWarningText = QStringLiteral("网络应答错误，请检查网络\n请求地址 %1\n错误码 %2");

QJsonObject json(const QByteArray& body) {
    return QJsonDocument::fromJson(body).object();
}

// The list reply without its callback wrapper, as the task list reads it.
QJsonObject unwrap(QByteArray body, const QByteArray& open) {
    body.replace(open, "");
    body.replace(")", "");
    return json(body);
}

int closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();  // closed again when the probe goes
}

}  // namespace

class TestNetHttp : public QObject {
    Q_OBJECT

private:
    DemoService service_;
    QTemporaryDir dir_;
    std::shared_ptr<live::IConfig> config_;
    std::unique_ptr<OrbHttpMgr> mgr_;
    std::unique_ptr<QSignalSpy> replies_;

    // A manager on the sample task table, pointed at the running service.
    void makeManager(const std::function<void(QJsonArray&)>& edit = nullptr,
                     const QJsonObject& configChanges = {}) {
        config_ = std::make_shared<live::IConfig>();
        QCOMPARE(config_->init(DemoService::writeConfigFile(dir_.path(), configChanges)),
                 uint8_t(0));
        QString path = service_.writeNetworkFile(dir_.path());
        if (edit) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QJsonObject root = json(f.readAll());
            f.close();
            QJsonArray entries = root.value("url_info").toArray();
            edit(entries);
            root.insert("url_info", entries);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QJsonDocument(root).toJson());
        }
        mgr_ = std::make_unique<OrbHttpMgr>(config_);
        QCOMPARE(mgr_->initSsl(), uint8_t(0));
        QCOMPARE(mgr_->initHttpTask(path), uint8_t(0));
        replies_ = std::make_unique<QSignalSpy>(mgr_.get(), &OrbHttpMgr::signalReplyInfo);
    }

    static void setUrl(QJsonArray& entries, int id, const QString& url, const QString& param,
                       int paramNum) {
        for (int i = 0; i < entries.size(); ++i) {
            QJsonObject e = entries[i].toObject();
            if (e.value("id").toInt() == id) {
                e.insert("url", url);
                e.insert("param", param);
                e.insert("param_num", paramNum);
                entries[i] = e;
            }
        }
    }

    void signIn() {
        const auto cookies = service_.signIn();
        QCOMPARE(cookies.size(), 3);
        for (const QNetworkCookie& c : cookies) {
            mgr_->addCookie("127.0.0.1", c.name(), c.value());
        }
    }

    // Waits for `n` replies in all; the body of the last.
    QByteArray waitReplies(int n) {
        while (replies_->size() < n) {
            if (!replies_->wait(kWait)) {
                break;
            }
        }
        return replies_->isEmpty() ? QByteArray() : replies_->last().at(1).toByteArray();
    }

    uint8_t replyType(int i) const { return replies_->at(i).at(0).value<uint8_t>(); }

    template <typename Record>
    int send(const Record& record) {
        return mgr_->sendReq(record.type, mgr_->buildArgs(&record));
    }

    // Waits until exactly one warning box has been shown; its text.
    void expectOneWarning(QString* text) {
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, kWait);
        // Every reply handled, and the queue behind them flushed: a second box would be here.
        QTRY_COMPARE_WITH_TIMEOUT(mgr_->pendingReplies(), 0, kWait);
        QCoreApplication::processEvents();
        QCOMPARE(DialogSeam::shown().size(), 1);
        const auto box = DialogSeam::shown().first();
        QCOMPARE(box.kind, QString("warning"));
        QCOMPARE(box.title, QString("警告"));
        *text = box.text;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        DialogSeam::setHeadless(true);
        DemoService::Options options;
        options.rtmpPort = 19935;
        QVERIFY(service_.start(options));
    }

    void init() {
        DialogSeam::clearShown();
        QVERIFY(service_.reset());
        makeManager();
    }

    void cookiesGoOnlyAfterAddCookie() {
        const QString url = service_.baseUrl() + "api/user/info";
        QCOMPARE(mgr_->sendReq(live::kTaskGetUser, {}), 0);
        QString text;
        expectOneWarning(&text);
        QCOMPARE(text, kWarningText.arg(url).arg(int(QNetworkReply::AuthenticationRequiredError)));
        QVERIFY(replies_->isEmpty());
        QVERIFY(DemoService::header(service_.lastRequest("/api/user/info"), "Cookie").isNull());

        // The same task once signed in; a GET sends neither its arguments nor a body.
        signIn();
        QCOMPARE(mgr_->sendReq(live::kTaskGetUser, {"ignored", "args"}), 0);
        const QJsonObject user = json(waitReplies(1)).value("data").toObject();
        QCOMPARE(replyType(0), uint8_t(12));
        QCOMPARE(user.value("nickname").toString(), QString("演示主播"));
        QCOMPARE(user.value("avatarUrl").toString(), service_.baseUrl() + "static/avatar.png");
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
        mgr_->clearCookies();
        DialogSeam::clearShown();
        QCOMPARE(mgr_->sendReq(live::kTaskGetUser, {}), 0);
        expectOneWarning(&text);
        QCOMPARE(replies_->size(), 1);
        QVERIFY(DemoService::header(service_.lastRequest("/api/user/info"), "Cookie").isNull());
    }

    void postsTheListFormExactly() {
        signIn();
        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 0, 2, 20, 1, "物理")), 0);
        waitReplies(1);
        QJsonObject got = service_.lastRequest("/api/task/list");
        const QByteArray five =
            "curPage=2&pageSize=20&callback=444&taskStatus=1&taskName=%E7%89%A9%E7%90%86";
        QCOMPARE(DemoService::rawBody(got), five);
        QCOMPARE(DemoService::header(got, "Content-Type"),
                 QString("application/x-www-form-urlencoded;charset=utf-8"));
        QCOMPARE(DemoService::header(got, "Content-Length"), QString::number(five.size()));
        QCOMPARE(got.value("form").toObject().value("taskName").toString(), QString("物理"));

        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 0, 0, 10, 1, QString())), 0);
        const QByteArray body = waitReplies(2);
        got = service_.lastRequest("/api/task/list");
        QCOMPARE(DemoService::rawBody(got),
                 QByteArray("curPage=0&pageSize=10&callback=444&taskStatus=1"));
        QVERIFY(body.startsWith("444("));
        const QJsonObject page = unwrap(body, "444(").value("data").toObject();
        QCOMPARE(page.value("totalRows").toInt(), 25);
        QCOMPARE(page.value("curPage").toInt(), 0);
        QCOMPARE(page.value("dataList").toArray().size(), 10);
        const QJsonObject first = page.value("dataList").toArray().first().toObject();
        QVERIFY(first.value("push_url").toString().startsWith("rtmp://127.0.0.1:19935/live/"));
        QCOMPARE(first.value("startTime").toString().size(), 14);
    }

    void sendsTaskDetailsAndLiveStateChanges() {
        signIn();
        QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskDetails, 1004)), 0);
        QJsonObject task = json(waitReplies(1)).value("data").toObject();
        QCOMPARE(replyType(0), uint8_t(22));
        QCOMPARE(task.value("taskName").toString(), QString("Python 入门 (第1讲)"));
        QCOMPARE(task.value("push_url").toString(), QString("rtmp://127.0.0.1:19935/live/orb1004"));

        QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskStartLive, 1004)), 0);
        QCOMPARE(json(waitReplies(2)).value("flag").toInt(), 1);
        QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskStopLive, 1004)), 0);
        QCOMPARE(json(waitReplies(3)).value("flag").toInt(), 1);
        QCOMPARE(send(OrbHttpMgr::IParamListTask(live::kTaskListRoom, 0, 0, 20, 2, "Python")), 0);
        const QJsonArray finished =
            unwrap(waitReplies(4), "444(").value("data").toObject().value("dataList").toArray();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().toObject().value("taskId").toInt(), 1004);
        QCOMPARE(QList<int>({replyType(1), replyType(2), replyType(3)}), QList<int>({13, 14, 1}));
    }

    void reportsMonitorNumbersInTheirFormats() {
        signIn();
        QCOMPARE(send(OrbHttpMgr::IParamMonitor(live::kTaskMonitor, 1001, 1499.6f, 12.34f, 29.971f,
                                                18000000000ULL, 3, "202401050930")),
                 0);
        QCOMPARE(json(waitReplies(1)).value("flag").toInt(), 1);
        const QJsonArray reports = service_.monitorReports();
        QCOMPARE(reports.size(), 1);
        const QJsonObject r = reports.first().toObject();
        const QStringList keys = {"taskId",      "kbs",       "cpu",       "fps",
                                  "originFrame", "lostFrame", "pointTime", "callback"};
        const QStringList values = {"1001",        "1500", "12.3",         "29.97",
                                    "18000000000", "3",    "202401050930", ""};
        for (int i = 0; i < keys.size(); ++i) {
            QCOMPARE(r.value(keys[i]).toString(), values[i]);
        }
        QCOMPARE(DemoService::rawBody(service_.lastRequest("/api/monitor")),
                 QByteArray("taskId=1001&kbs=1500&cpu=12.3&fps=29.97&originFrame=18000000000&"
                            "lostFrame=3&pointTime=202401050930&callback="));
    }

    void uploadsARealFileAndSetsTheAvatar() {
        signIn();
        QFile source(ORB_SOURCE_DIR "/tools/demo_assets/avatar.png");
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        const QString path = dir_.path() + "/my avatar.png";
        QFile::remove(path);
        QVERIFY(source.copy(path));

        QCOMPARE(send(OrbHttpMgr::IParamValue(live::kTaskUserImage, path)), 0);
        const QString fileId =
            json(waitReplies(1)).value("data").toObject().value("fileId").toString();
        QCOMPARE(replyType(0), uint8_t(0));
        QVERIFY2(fileId.startsWith(service_.baseUrl() + "files/"), qPrintable(fileId));
        const QJsonObject got = service_.lastRequest("/api/user/image");
        QVERIFY(
            DemoService::header(got, "Content-Type").startsWith("multipart/form-data; boundary="));
        const QByteArray body = DemoService::rawBody(got);
        QVERIFY(body.contains(
            "Content-Disposition: form-data; name=\"file\"; filename=\"my avatar.png\"\r\n"));
        QVERIFY(body.contains(bytes));
        QCOMPARE(service_.fetch(fileId.mid(service_.baseUrl().size())).body, bytes);

        QCOMPARE(send(OrbHttpMgr::IParamValue(live::kTaskUserUpdateAvatar, fileId)), 0);
        QCOMPARE(json(waitReplies(2)).value("flag").toInt(), 1);
        QCOMPARE(mgr_->sendReq(live::kTaskGetUser, {}), 0);
        const QJsonObject user = json(waitReplies(3)).value("data").toObject();
        QCOMPARE(user.value("avatarUrl").toString(), fileId);

        // A name that could break the part's header is encoded, not sent raw.
        const QString odd = dir_.path() + "/odd\"name\r\n.png";
        QFile::remove(odd);
        QVERIFY(source.copy(odd));
        QCOMPARE(mgr_->sendReq(live::kTaskUserImage, {odd}), 0);
        waitReplies(4);
        QVERIFY(DemoService::rawBody(service_.lastRequest("/api/user/image"))
                    .contains("name=\"file\"; filename=\"odd%22name%0D%0A.png\"\r\n"));

        // Nothing to upload: refused before anything is sent.
        QCOMPARE(mgr_->sendReq(live::kTaskUserImage, {dir_.path() + "/missing.png"}), 3);
        QCOMPARE(mgr_->sendReq(live::kTaskUserImage, {dir_.path()}), 3);
        QCOMPARE(mgr_->pendingReplies(), 0);
    }

    void refusesUnknownTasksAndMissingAddresses() {
        LogFile log;
        QCOMPARE(mgr_->sendReq(40, {}), 1);
        QVERIFY(log.text().contains("[E] live::OrbHttpMgr::sendReq: task type not exist"));
        QCOMPARE(mgr_->sendGet(40), 3);
        QCOMPARE(mgr_->sendPost(40, {"1"}), 3);
        QCOMPARE(mgr_->sendFile(40, {"/etc/hostname"}), 3);
        QCOMPARE(mgr_->pendingReplies(), 0);
    }

    void bothRepliesOfOneTaskArriveInFinishingOrder() {
        makeManager([](QJsonArray& e) {
            setUrl(e, 2, "api/room/enter", "taskId=%1&delay_ms=%2&callback=", 2);
        });
        signIn();
        QCOMPARE(mgr_->sendReq(live::kTaskEnterRoom, {"1001", "1500"}), 0);
        QCOMPARE(mgr_->sendReq(live::kTaskEnterRoom, {"1002", "0"}), 0);
        waitReplies(2);
        QCOMPARE(replies_->size(), 2);
        QCOMPARE(replyType(0), uint8_t(2));
        QCOMPARE(replyType(1), uint8_t(2));
        const auto taskOf = [&](int i) {
            return json(replies_->at(i).at(1).toByteArray())
                .value("data")
                .toObject()
                .value("taskId")
                .toInt();
        };
        QCOMPARE(taskOf(0), 1002);
        QCOMPARE(taskOf(1), 1001);
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
            makeManager([&](QJsonArray& e) { setUrl(e, 12, url, "", 0); });
        }
        signIn();
        LogFile log;
        QCOMPARE(remote ? mgr_->getByUrl(live::kTaskAvatarDownload, url)
                        : mgr_->sendReq(live::kTaskGetUser, {}),
                 0);
        const QString full = remote ? url : service_.baseUrl() + url;
        QString text;
        expectOneWarning(&text);
        QCOMPARE(text, kWarningText.arg(full).arg(code));
        QVERIFY(replies_->isEmpty());
        QCOMPARE(mgr_->pendingReplies(), 0);
        QVERIFY(log.text().contains(
            QString("[E] live::OrbHttpMgr::replyFinished: network reply error, code %1")
                .arg(code)));
        // Other tasks go on normally.
        QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskStopLive, 1001)), 0);
        waitReplies(1);
        QCOMPARE(replyType(0), uint8_t(14));
    }

    void repliesOutsideTheMapAreLoggedAndDropped() {
        LogFile log;
        const QString avatar = service_.baseUrl() + "static/avatar.png";
        QNetworkReply* stray = mgr_->get(QNetworkRequest(QUrl(avatar)));
        QSignalSpy strayDone(stray, &QObject::destroyed);
        QVERIFY(strayDone.wait(kWait));
        QVERIFY(replies_->isEmpty());
        QCOMPARE(
            log.count("[E] live::OrbHttpMgr::replyFinished: can't find task type in reply map"), 1);

        // The avatar download reaches the signal only when the table has a task 23.
        QCOMPARE(mgr_->getByUrl(live::kTaskAvatarDownload, avatar), 0);
        QVERIFY(waitReplies(1).startsWith("\x89PNG"));
        QCOMPARE(replyType(0), uint8_t(23));

        makeManager([](QJsonArray& e) {
            for (int i = e.size() - 1; i >= 0; --i) {
                if (e[i].toObject().value("id").toInt() == 23) {
                    e.removeAt(i);
                }
            }
        });
        QCOMPARE(mgr_->getByUrl(live::kTaskAvatarDownload, avatar), 0);
        QCOMPARE(mgr_->pendingReplies(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            log.count("[E] live::OrbHttpMgr::replyFinished: can't find task type in reply map"), 2,
            kWait);
        QVERIFY(replies_->isEmpty());
        QVERIFY(DialogSeam::shown().isEmpty());
    }

    void releasesRepliesAndUploadBodies() {
        signIn();
        const QString path = ORB_SOURCE_DIR "/tools/demo_assets/avatar.jpg";
        constexpr int kRounds = 40;
        for (int i = 0; i < kRounds; ++i) {
            QCOMPARE(mgr_->sendReq(live::kTaskGetUser, {}), 0);
            QCOMPARE(send(OrbHttpMgr::IParamID(live::kTaskDetails, 1001 + i % 25)), 0);
            QCOMPARE(mgr_->sendReq(live::kTaskUserImage, {path}), 0);
        }
        waitReplies(3 * kRounds);
        QCOMPARE(replies_->size(), 3 * kRounds);
        QCOMPARE(mgr_->pendingReplies(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(mgr_->findChildren<QNetworkReply*>().isEmpty(), kWait);
        QVERIFY(mgr_->findChildren<QHttpMultiPart*>().isEmpty());
        QVERIFY(mgr_->findChildren<QFile*>().isEmpty());
    }

    void variantListSendsTheTokenOfTheSignedInPage() {
        makeManager(nullptr, {{"type", 1}});
        const auto cookies = service_.signIn();
        mgr_->insertCookies(cookies);
        QByteArray token;
        for (const QNetworkCookie& c : cookies) {
            if (c.name() == "ORB_TOKEN") {
                token = c.value();
            }
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
