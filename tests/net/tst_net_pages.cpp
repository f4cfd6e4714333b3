#include <QApplication>
#include <QDeadlineTimer>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QWebChannel>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QtTest>

#include "net/DemoService.h"

// Stands in for the client's page bridge and notes every call a page makes.
class PageBridge : public QObject {
    Q_OBJECT
public:
    QStringList calls;

signals:
    void called(const QString& call);

public slots:
    void orbPcClientSuccess() { note("orbPcClientSuccess"); }
    void orbPcClientLogOutput(const QString& name) { note("orbPcClientLogOutput:" + name); }
    void closeAbout() { note("closeAbout"); }
    void closeLoginModal() { note("closeLoginModal"); }
    void openDefaultBrowser(const QString& url) { note("openDefaultBrowser:" + url); }
    void orbUploadAvahost() { note("orbUploadAvahost"); }

private:
    void note(const QString& call) {
        calls << call;
        emit called(call);
    }
};

// The service's pages in a real browser engine, talking to the bridge over the web channel.
class TestNetPages : public QObject {
    Q_OBJECT

private:
    DemoService service_;
    QWebEnginePage* page_ = nullptr;
    PageBridge bridge_;
    QList<QNetworkCookie> cookies_;

    bool load(const QString& path) {
        QSignalSpy done(page_, &QWebEnginePage::loadFinished);
        page_->load(QUrl(service_.baseUrl() + path));
        return done.wait(30000) && done.first().at(0).toBool();
    }

    QVariant js(const QString& script) {
        QVariant result;
        bool finished = false;
        page_->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            finished = true;
        });
        QDeadlineTimer deadline(20000);
        while (!finished && !deadline.hasExpired()) {
            QTest::qWait(20);
        }
        return result;
    }

    bool waitCall(const QString& call) {
        QSignalSpy spy(&bridge_, &PageBridge::called);
        if (bridge_.calls.contains(call)) {
            return true;
        }
        while (spy.wait(20000)) {
            if (bridge_.calls.contains(call)) {
                return true;
            }
        }
        return false;
    }

    void signInThroughTheForm(const QString& password) {
        QVERIFY(load("login?client=pc&app=orblive_user&version=1.0.0"));
        QSignalSpy done(page_, &QWebEnginePage::loadFinished);
        js(QString("document.getElementById('account').value='demo';"
                   "document.getElementById('password').value='%1';"
                   "document.getElementById('login-form').submit();")
               .arg(password));
        QVERIFY(done.wait(30000));
    }

private slots:
    void initTestCase() {
        QVERIFY(service_.start());
        auto* profile = new QWebEngineProfile(this);  // off the record: nothing on disk
        connect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, this,
                [this](const QNetworkCookie& c) { cookies_ << c; });
        page_ = new QWebEnginePage(profile, this);
        auto* channel = new QWebChannel(page_);
        channel->registerObject("orbnet_webview", &bridge_);
        page_->setWebChannel(channel);
    }

    void init() { bridge_.calls.clear(); }

    void cleanupTestCase() {
        delete page_;  // before its profile
        page_ = nullptr;
    }

    void aWrongPasswordStaysOnTheForm() {
        signInThroughTheForm("wrong");
        QCOMPARE(js("document.getElementById('error').textContent").toString(),
                 QString("账号或密码错误"));
        QTest::qWait(500);
        QVERIFY(bridge_.calls.isEmpty());
        QVERIFY(cookies_.isEmpty());
    }

    void signingInSetsHttpOnlyCookiesAndTellsTheClient() {
        signInThroughTheForm("orb2024");
        QVERIFY(waitCall("orbPcClientSuccess"));
        QTRY_COMPARE_WITH_TIMEOUT(cookies_.size(), 3, 10000);
        for (const QNetworkCookie& c : cookies_) {
            QCOMPARE(c.isHttpOnly(), c.name() != "ORB_USER");
            QCOMPARE(c.domain(), QString("127.0.0.1"));
        }
        // The page's script sees only the cookie meant for it.
        QCOMPARE(js("document.cookie").toString(), QString("ORB_USER=10001"));
        QVERIFY(load("login/success"));
        QVERIFY(js("document.body.textContent").toString().contains("欢迎回来"));
    }

    void aboutPageCallsTheBridge() {
        QVERIFY(load("about?client=pc&name=orblive&app=orblive_user&version=1.0.0"));
        js("document.getElementById('download').click()");
        QVERIFY(waitCall("openDefaultBrowser:" + service_.baseUrl() + "download"));
        js("document.getElementById('close').click()");
        QVERIFY(waitCall("closeAbout"));
    }

    void profilePageCallsTheBridge() {
        QVERIFY(load("user/update?client=pc"));
        QCOMPARE(js("document.getElementById('phone').textContent").toString(),
                 QString("138****8000"));
        js("document.getElementById('change-avatar').click()");
        QVERIFY(waitCall("orbUploadAvahost"));
        js("document.getElementById('done').click()");
        QVERIFY(waitCall("closeLoginModal"));
        js("document.getElementById('logout').click()");
        QVERIFY(waitCall("orbPcClientLogOutput:演示主播"));
    }

    void chatPageShowsItsTaskAndSendsMessages() {
        QVERIFY(load("chat?user=orblive_user&taskId=1003&mode=1&old=false"));
        QCOMPARE(js("document.getElementById('task-id').textContent").toString(), QString("1003"));
        QCOMPARE(js("document.getElementById('mode').textContent").toString(), QString("1"));
        js("document.getElementById('input').value='大家好';"
           "document.getElementById('send').click()");
        QTRY_VERIFY_WITH_TIMEOUT(
            js("document.getElementById('messages').textContent").toString().contains("大家好"),
            20000);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestNetPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_net_pages.moc"
