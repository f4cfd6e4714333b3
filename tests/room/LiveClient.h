#pragma once

// The whole client as a presenter runs it: its own window signed in to a real demo service
// whose tasks stream to a real RTMP server. Header only, for the tests that drive a room
// through the client; the window goes before the application context, both with the test.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <functional>
#include <memory>

#include "RtmpServer.h"
#include "app/AppContext.h"
#include "app/RoomFactory.h"
#include "core/DialogSeam.h"
#include "frontend/StudioTestKit.h"
#include "net/DemoService.h"
#include "room/Console.h"
#include "room/Room.h"
#include "room/Scene.h"
#include "shell/MainWindow.h"
#include "shell/Toast.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "studio/OrbOBS.h"
#include "support/PageScript.h"

class LiveClient {
public:
    static constexpr int kWait = 60000;

    RtmpServer rtmp;
    DemoService demo;
    QString networkFile;  // the one the client reads

    // `editNetwork` may change the network file before the client reads it.
    bool start(const std::function<void(QByteArray&)>& editNetwork = {}) {
        const QString data = QCoreApplication::applicationDirPath() + "/data";
        if (!rtmp.start() || !startDemo(0) || !QDir().mkpath(data)) {
            return false;
        }
        networkFile = demo.writeNetworkFile(data);
        QFile network(networkFile);
        if (DemoService::writeConfigFile(data).isEmpty() || !network.open(QIODevice::ReadWrite)) {
            return false;
        }
        QByteArray table = network.readAll();
        if (editNetwork) {
            editNetwork(table);
        }
        network.resize(0);
        network.write(table);
        network.close();
        live::DialogSeam::setHeadless(true);
        QGuiApplication::setQuitOnLastWindowClosed(false);
        context_ = std::make_unique<AppContext>();
        if (context_->start(QCoreApplication::applicationDirPath()) != 0) {
            return false;
        }
        window_ = std::make_unique<MainWindow>();
        window_->setRoomFactory(RoomFactory::make(context_->config(), context_->network()));
        return window_->start(context_->config(), context_->network(), context_->user()) == 0 &&
               showTaskList(0);
    }

    // A service at `port` (0: a free one) whose tasks stream to `rtmp`.
    bool startDemo(int port) {
        DemoService::Options options;
        options.rtmpPort = rtmp.port();
        options.port = port;
        return demo.start(options);
    }

    // Every reply of the service becomes `kind` ("html": a proxy's error page...); none with
    // an empty kind.
    bool malform(const QString& kind) {
        return demo.fetch("debug/malform?kind=" + kind, "x").status == 200;
    }

    MainWindow* window() const { return window_.get(); }
    AppContext* context() const { return context_.get(); }
    Room* room() const { return qobject_cast<Room*>(window_->room()); }
    Console* console() const { return room()->console(); }
    Task* tasks() const { return window_->taskList(); }

    QPushButton* enterButton(int row) const {
        QWidget* cell = table() ? table()->cellWidget(row, 3) : nullptr;
        return cell ? cell->findChild<QPushButton*>(QStringLiteral("pushButton_jion")) : nullptr;
    }
    QString rowName(int row) const {
        QTableWidgetItem* item = table() ? table()->item(row, 0) : nullptr;
        return item ? item->text() : QString();
    }

    // Signed in with the list showing `row`, signing in on the service's page when needed.
    bool showTaskList(int row) {
        if (window_->requestedStep() == MainWindow::kStepSignIn &&
            !PageScript::signIn(window_->webView()->view()->page(), kWait)) {
            return false;
        }
        return QTest::qWaitFor([&] { return enterButton(row) != nullptr; }, kWait);
    }

    // A task of its own for every broadcast: one that went live is offered differently.
    bool enterTask(int row) {
        if (!showTaskList(row)) {
            return false;
        }
        QTest::mouseClick(enterButton(row), Qt::LeftButton);
        // The studio reports its scenes just after the room opens.
        return QTest::qWaitFor(
            [&] {
                return window_->requestedStep() == MainWindow::kStepRoom && room()->isVisible() &&
                       room()->scene()->currentIndex() >= 0;
            },
            kWait);
    }

    // The console lets go at once; the studio winds the outputs up a moment later.
    static bool engineIdle() {
        orbLiveImp::ResourceUtil util;
        OrbOBS::instance().getResourceUtility(util);
        return util.liveSeconds == 0 && util.recordSeconds == 0 && util.delay == 0;
    }
    static bool wasShown(const QString& text) {
        return studiotest::shownTexts().join('\n').contains(text);
    }

    // Answers the console's question with yes and presses the button.
    void press(const char* button) {
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        QTest::mouseClick(console()->findChild<QPushButton*>(QLatin1String(button)),
                          Qt::LeftButton);
    }

    // The file the "recording ended" toast names; empty until it shows (a loaded machine may
    // also have shown the lag warning).
    QString recordedPath() const {
        for (Toast* t : room()->findChildren<Toast*>()) {
            if (t->text().startsWith(QStringLiteral("录制结束"))) {
                return t->text().section('\n', 1);
            }
        }
        return QString();
    }

    // Ends what is on the air and leaves the room, whatever a failed test left behind.
    void leaveRoom() {
        if (!room() || window_->requestedStep() != MainWindow::kStepRoom) {
            return;
        }
        if (console()->isStreaming()) {
            press("live");
        }
        if (console()->isRecording()) {
            press("record");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!console()->isStreaming() && !console()->isRecording(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), kWait);
        window_->close();
        QTRY_COMPARE_WITH_TIMEOUT(window_->requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
    }

private:
    QTableWidget* table() const {
        return tasks()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    }

    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
};
