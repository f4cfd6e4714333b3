// The whole client in a studio room, streaming a looping clip with the chat page loaded, and
// what the stream cost, as JSON lines. Driven by tools/bench_room.py, which samples the process
// tree, watches the server for the first bytes and runs the engine-only driver beside it.
//   bench_room <demo service url> <clip> <seconds> <kbps> [<Section>/<Key>=<value>...]
// The trailing arguments set profile keys before the video is set up (engine settings tried);
// "Bench/Preview=off" hides the room's preview, to measure what drawing it costs.
// Lines on standard output, each a JSON object with "event": "entered" (the task's enter
// button pressed), "live" (the console's live button pressed), "window" and "stopping" (the
// measured stretch begins and ends), "result" (the figures).
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>

#include <obs.h>

#include <cstdio>
#include <memory>

#include "app/AppContext.h"
#include "app/RoomFactory.h"
#include "chat/ChatRoom.h"
#include "core/DialogSeam.h"
#include "frontend/OBSApp.h"
#include "frontend/OutputTestKit.h"
#include "frontend/PreviewDisplay.h"
#include "frontend/SourceKinds.h"
#include "net/DemoService.h"
#include "room/Console.h"
#include "room/Room.h"
#include "shell/MainWindow.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "support/ClientSetup.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 60000;
// The address the sample network file names; the driver's service replaces it.

enum Failure { kUsage = 2, kStudio = 3, kFiles = 4, kSignIn = 5, kRoom = 6, kStream = 7 };

void emitLine(const QString& event, QJsonObject fields = {}) {
    fields.insert(QStringLiteral("event"), event);
    fields.insert(QStringLiteral("ms"), QDateTime::currentMSecsSinceEpoch());
    std::printf("%s\n", QJsonDocument(fields).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

int fail(int status, const char* what) {
    std::fprintf(stderr, "%s\n", what);
    return status;
}

QPushButton* enterButton(MainWindow& w) {
    auto* table = w.taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    QWidget* cell = table ? table->cellWidget(0, 3) : nullptr;
    return cell ? cell->findChild<QPushButton*>(QStringLiteral("pushButton_jion")) : nullptr;
}

void pressLive(Console* console) {
    DialogSeam::presetAnswer(int(QDialog::Accepted));
    QTest::mouseClick(console->findChild<QPushButton*>(QStringLiteral("live")), Qt::LeftButton);
}

struct Figures {
    double seconds = 0.0;
    double kbs = 0.0;
    uint32_t lagged = 0;
    uint32_t rendered = 0;
    orbLiveImp::ResourceUtil util;
};

// Streams for `seconds`, averaging the bit rate once the stream has settled.
Figures measure(OBSApp& app, int seconds) {
    Figures f;
    int kbsSamples = 0;
    const uint32_t laggedBefore = obs_get_lagged_frames();
    const uint32_t renderedBefore = obs_get_total_frames();
    QElapsedTimer clock;
    clock.start();
    emitLine(QStringLiteral("window"));
    while (clock.elapsed() < seconds * 1000LL) {
        QTest::qWait(1000);
        app.GetMainWindow()->getResourceUtility(f.util);
        if (f.util.liveSeconds >= 2) {
            f.kbs += f.util.kbs;
            ++kbsSamples;
        }
    }
    f.seconds = clock.elapsed() / 1000.0;
    f.lagged = obs_get_lagged_frames() - laggedBefore;
    f.rendered = obs_get_total_frames() - renderedBefore;
    f.kbs = kbsSamples ? f.kbs / kbsSamples : 0.0;
    emitLine(QStringLiteral("stopping"));
    return f;
}

class Bench {
public:
    Bench(OBSApp& app, QString serviceUrl) : app_(app), url_(std::move(serviceUrl)) {}

    int run(const QString& clip, int seconds) {
        if (!ClientSetup::writeDeployment(url_)) {
            return fail(kFiles, "the deployment files could not be written");
        }
        context_ = std::make_unique<AppContext>();
        if (context_->start(QCoreApplication::applicationDirPath()) != 0) {
            return fail(kFiles, "the client did not load its deployment files");
        }
        window_ = std::make_unique<MainWindow>();
        window_->setRoomFactory(RoomFactory::make(context_->config(), context_->network()));
        if (window_->start(context_->config(), context_->network(), context_->user()) != 0) {
            return fail(kFiles, "the main window did not start");
        }
        if (!signInAndList()) {
            return fail(kSignIn, "signing in did not bring the task list");
        }
        if (!enterFirstTask()) {
            return fail(kRoom, "the room did not open");
        }
        return stream(clip, seconds);
    }

    // Leaves the room so the studio can shut down as the client would.
    void close() {
        if (window_ && room()) {
            window_->close();
            (void)QTest::qWaitFor(
                [&] { return window_->requestedStep() == uint8_t(MainWindow::kStepTasks); }, kWait);
        }
        window_.reset();
        context_.reset();
    }

private:
    Room* room() const { return qobject_cast<Room*>(window_->room()); }

    bool signInAndList() {
        if (!ClientSetup::signIn(url_)) {
            return false;
        }
        const bool kept = QTest::qWaitFor(
            [&] {
                QList<QNetworkCookie> cookies;
                window_->webView()->getCookies(cookies);
                return cookies.size() >= 3;
            },
            kWait);
        if (!kept) {
            return false;
        }
        window_->slotJSEvent(0, QString());
        return QTest::qWaitFor([&] { return enterButton(*window_) != nullptr; }, kWait) &&
               room() != nullptr;
    }

    bool enterFirstTask() {
        // Watched from before the press: the page may finish before the room shows.
        auto* chat = room()->findChild<ChatRoom*>();
        auto* view = chat ? chat->webView()->view() : nullptr;
        if (!view) {
            return false;
        }
        QObject::connect(view, &QWebEngineView::loadFinished,
                         [this](bool ok) { chatLoaded_ = chatLoaded_ || ok; });
        emitLine(QStringLiteral("entered"));
        QTest::mouseClick(enterButton(*window_), Qt::LeftButton);
        return QTest::qWaitFor(
            [&] {
                return window_->requestedStep() == uint8_t(MainWindow::kStepRoom) &&
                       room()->isVisible();
            },
            kWait);
    }

    int stream(const QString& clip, int seconds) {
        if (QCoreApplication::arguments().contains(QStringLiteral("Bench/Preview=off"))) {
            for (QWidget* preview : room()->findChildren<PreviewDisplay*>()) {
                preview->hide();
            }
        }
        orbLiveImp::SoureParam video;
        video.type = SourceKinds::kMedia;
        video.name = QStringLiteral("Pattern");
        video.value = clip;
        video.primaryFlag = true;  // looping
        app_.addSceneItem(video);
        Console* console = room()->console();
        emitLine(QStringLiteral("live"), {{"key", QStringLiteral("orb%1").arg(room()->taskId())}});
        pressLive(console);
        if (!QTest::qWaitFor([&] { return console->isStreaming(); }, kWait)) {
            return fail(kStream, "the console did not go live");
        }
        if (!QTest::qWaitFor([&] { return chatLoaded_; }, kWait)) {
            return fail(kRoom, "the chat page did not load");
        }
        const Figures f = measure(app_, seconds);
        pressLive(console);
        (void)QTest::qWaitFor([&] { return !console->isStreaming(); }, kWait);
        emitLine(QStringLiteral("result"), {{"seconds", f.seconds},
                                            {"frames", static_cast<qint64>(f.util.originFrame)},
                                            {"dropped", static_cast<qint64>(f.util.lostFrame)},
                                            {"lagged", static_cast<qint64>(f.lagged)},
                                            {"rendered", static_cast<qint64>(f.rendered)},
                                            {"kbs", f.kbs},
                                            {"task", static_cast<qint64>(room()->taskId())}});
        return 0;
    }

    OBSApp& app_;
    QString url_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
    bool chatLoaded_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        return fail(kUsage, "usage: bench_room <demo service url> <clip> <seconds> <kbps>");
    }
    QApplication::setAttribute(Qt::AA_DisableHighDpiScaling, true);
    // As the client starts: the studio and the pages both on EGL.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "xcb_egl");
    }
    OBSApp app(argc, argv);
    if (app.init() != 0) {
        return fail(kStudio, "the studio did not start");
    }
    DialogSeam::setHeadless(true);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    outputtest::setProfileKeys(app, QCoreApplication::arguments().mid(5));
    outputtest::useBenchProfile(app, QString(argv[4]).toInt());
    QString url = QString::fromLocal8Bit(argv[1]);
    if (!url.endsWith(QLatin1Char('/'))) {
        url += QLatin1Char('/');
    }
    Bench bench(app, url);
    const int status = bench.run(QString::fromLocal8Bit(argv[2]), QString(argv[3]).toInt());
    bench.close();
    return status;
}
