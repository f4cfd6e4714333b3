#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <memory>

#include "chat/ChatRoom.h"
#include "shell/web/OrbWebView.h"
#include "support/DemoClient.h"
#include "support/OrbTestMain.h"
#include "support/PageScript.h"

namespace {

constexpr int kWait = 30000;

}  // namespace

class TestChatRoom : public QObject {
    Q_OBJECT

private:
    DemoClient demo_;
    std::unique_ptr<QWidget> host_;
    ChatRoom* chat_ = nullptr;

    // The services of a deployment of the given server variant, on the running service.
    void setServices(int variant) {
        QVERIFY(demo_.connect({{"type", variant}}));
        chat_->setServices(demo_.config, demo_.net);
    }

    QVariant js(const QString& script) {
        return PageScript::run(chat_->webView()->view()->page(), script, kWait);
    }

    QString text(const char* id) {
        return js(QStringLiteral("document.getElementById('%1').textContent").arg(id))
            .toString()
            .trimmed();
    }

private slots:
    void initTestCase() {
        QVERIFY2(orbtest::displayFailure().isEmpty(), qPrintable(orbtest::displayFailure()));
        QVERIFY(demo_.start());
    }

    // A docked panel, as the room holds it.
    void init() {
        host_ = std::make_unique<QWidget>();
        host_->resize(800, 760);
        chat_ = new ChatRoom(host_.get());
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get(), 30000));
    }

    void cleanup() {
        host_.reset();  // the panel too, floating or not
        chat_ = nullptr;
    }

    void showsTheTaskChatWithItsFourValues_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("old");
        QTest::newRow("studio service") << 0 << "false";
        QTest::newRow("older service") << 1 << "true";
    }

    void showsTheTaskChatWithItsFourValues() {
        QFETCH(int, variant);
        QFETCH(QString, old);
        setServices(variant);
        QSignalSpy loaded(chat_->webView()->view(), &QWebEngineView::loadFinished);
        chat_->load(1003, 1);
        QVERIFY(loaded.wait(kWait));
        QVERIFY(loaded.first().first().toBool());

        const QUrlQuery query(chat_->webView()->view()->url());
        QCOMPARE(query.toString(), "user=orblive_user&taskId=1003&mode=1&old=" + old);
        QCOMPARE(text("task-id"), QString("1003"));
        QCOMPARE(text("task-name"), QString("高三英语冲刺（二）：阅读理解"));
    }

    void aValueNeverBecomesAMarkerOrASecondParameter() {
        QCOMPARE(ChatRoom::chatUrl("chat?user=%1&taskId=%2&mode=%3&old=%4", "a%2&b=c", 7, 2, false),
                 QString("chat?user=a%252%26b%3Dc&taskId=7&mode=2&old=false"));
    }

    // Unfolding restores the last unfolded width; floating a folded panel unfolds it at the
    // top right. The speech room's test floats and docks it end to end.
    void foldingAndFloating() {
        chat_->resize(300, 700);
        chat_->foldButton()->click();
        QVERIFY(chat_->isFolded() && chat_->webView()->isHidden());
        QCOMPARE(chat_->width(), chat_->foldButton()->width());
        chat_->foldButton()->click();
        QCOMPARE(chat_->size(), QSize(300, 700));
        QVERIFY(chat_->webView()->isVisible());

        chat_->foldButton()->click();
        chat_->setFloating(true);
        QVERIFY(chat_->isWindow() && !chat_->isFolded());
        QVERIFY(QTest::qWaitForWindowExposed(chat_, 30000));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Its frame, title bar included, against the top and the right of the free area.
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(chat_->frameGeometry().top() - area.top()) <= 2 &&
                                     qAbs(chat_->frameGeometry().right() - area.right()) <= 1,
                                 10000);
    }
};

ORB_TEST_MAIN_PRIVATE_DISPLAY(TestChatRoom)

#include "tst_chatroom.moc"
