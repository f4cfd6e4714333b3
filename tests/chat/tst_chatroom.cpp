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
        QCOMPARE(query.queryItemValue("user"), QString("orblive_user"));
        QCOMPARE(query.queryItemValue("taskId"), QString("1003"));
        QCOMPARE(query.queryItemValue("mode"), QString("1"));
        QCOMPARE(query.queryItemValue("old"), old);
        QCOMPARE(text("task-id"), QString("1003"));
        QCOMPARE(text("old").isEmpty(), variant == 0);
        QCOMPARE(text("task-name"), QString("高三英语冲刺（二）：阅读理解"));
        QCOMPARE(chat_->webView()->size(), chat_->size());
    }

    void aValueNeverBecomesAMarkerOrASecondParameter() {
        QCOMPARE(ChatRoom::chatUrl("chat?user=%1&taskId=%2&mode=%3&old=%4", "a%2&b=c", 7, 2, false),
                 QString("chat?user=a%252%26b%3Dc&taskId=7&mode=2&old=false"));
    }

    // Unfolding restores the last unfolded width; floating a folded panel unfolds it at the
    // top right.
    void foldingAndFloating() {
        chat_->resize(300, 700);
        chat_->foldButton()->click();
        QVERIFY(chat_->isFolded());
        QCOMPARE(chat_->width(), chat_->foldButton()->width());
        QVERIFY(chat_->webView()->isHidden());
        QCOMPARE(chat_->expandedWidth(), 300);
        chat_->foldButton()->click();
        QVERIFY(!chat_->isFolded());
        QCOMPARE(chat_->size(), QSize(300, 700));
        QCOMPARE(chat_->minimumWidth(), 300);
        QVERIFY(chat_->webView()->isVisible());
        // The button stays in the middle of the side.
        QCOMPARE(chat_->foldButton()->y(), (700 - chat_->foldButton()->height()) / 2);

        chat_->resize(300, 640);
        chat_->foldButton()->click();
        QVERIFY(chat_->isFolded());

        chat_->setFloating(true);
        QVERIFY(chat_->isFloating());
        QVERIFY(chat_->isWindow());
        QVERIFY(!chat_->isFolded());
        QVERIFY(chat_->foldButton()->isHidden());
        QVERIFY(chat_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(chat_->size(), QSize(300, 640));
        QCOMPARE(chat_->minimumSize(), chat_->maximumSize());
        QVERIFY(QTest::qWaitForWindowExposed(chat_, 30000));
        QVERIFY(chat_->webView()->isVisible());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Its frame, title bar included, against the top and the right of the free area.
        const auto where = [&] {
            QString text;
            QDebug(&text) << chat_->frameGeometry();
            return text;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(chat_->frameGeometry().top() - area.top()) <= 2,
                                  qPrintable(where()), 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(chat_->frameGeometry().right() - area.right()) <= 1,
                                  qPrintable(where()), 10000);

        chat_->setFloating(false);
        QVERIFY(!chat_->isFloating());
        QVERIFY(!chat_->isWindow());
        QVERIFY(!chat_->foldButton()->isHidden());
        // Docked again, the room's layout may size it again.
        chat_->resize(320, 700);
        QCOMPARE(chat_->size(), QSize(320, 700));
        QCOMPARE(chat_->expandedWidth(), 320);
    }
};

ORB_TEST_MAIN_PRIVATE_DISPLAY(TestChatRoom)

#include "tst_chatroom.moc"
