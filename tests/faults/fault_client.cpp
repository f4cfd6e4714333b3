// The client as main() starts it (single-instance lock, studio, deployment files beside the
// program, main window), driven through one of three steps of a life that ends in SIGKILL:
//   fault_client prepare <service url>  signs in, enters the first task, adds a picture, quits
//   fault_client record <service url>   starts signed in, enters the task, records; prints
//                                       {"event":"recording","path":...} and waits to be killed
//   fault_client check <service url>    starts again: the lock is free, the sign-in of today and
//                                       the picture are still there; exits 0
// Any other outcome ends with a status of its own and the reason on standard error.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "app/AppContext.h"
#include "app/InstanceGuard.h"
#include "app/RoomFactory.h"
#include "core/DialogSeam.h"
#include "frontend/OBSApp.h"
#include "frontend/SourceKinds.h"
#include "room/Console.h"
#include "room/Room.h"
#include "room/Scene.h"
#include "shell/MainWindow.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "studio/OrbOBS.h"
#include "support/ClientSetup.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 60000;
const QString kPicture = QStringLiteral("Kept picture");

enum Failure { kUsage = 2, kLocked, kStudio, kStart, kSignIn, kRoom, kRecord, kLost };

int fail(int status, const char* what) {
    std::fprintf(stderr, "fault_client: %s\n", what);
    return status;
}

class Client {
public:
    explicit Client(QString url) : url_(std::move(url)) {}

    int start() {
        context_ = std::make_unique<AppContext>();
        if (!ClientSetup::writeDeployment(url_) ||
            context_->start(QCoreApplication::applicationDirPath()) != 0) {
            return fail(kStart, "the deployment files were not written or not loaded");
        }
        window_ = std::make_unique<MainWindow>();
        window_->setRoomFactory(RoomFactory::make(context_->config(), context_->network()));
        if (window_->start(context_->config(), context_->network(), context_->user()) != 0) {
            return fail(kStart, "the main window did not start");
        }
        return 0;
    }

    bool signedInToday() const { return window_->requestedStep() != MainWindow::kStepSignIn; }

    bool signInAndList() {
        if (!signedInToday()) {
            if (!ClientSetup::signIn(url_) ||
                !QTest::qWaitFor([&] { return cookieCount() >= 3; }, kWait)) {
                return false;
            }
            window_->slotJSEvent(0, QString());
        }
        return QTest::qWaitFor([&] { return enterButton() != nullptr; }, kWait);
    }

    bool enterFirstTask() {
        if (!signInAndList()) {
            return false;
        }
        QTest::mouseClick(enterButton(), Qt::LeftButton);
        return QTest::qWaitFor(
            [&] {
                return window_->requestedStep() == MainWindow::kStepRoom && room()->isVisible() &&
                       room()->scene()->currentIndex() >= 0;
            },
            kWait);
    }

    Room* room() const { return qobject_cast<Room*>(window_->room()); }

    // Leaves the room and ends as the client does when its window closes.
    void quit() {
        window_->close();
        (void)QTest::qWaitFor([&] { return window_->requestedStep() == MainWindow::kStepTasks; },
                              kWait);
        window_.reset();
        context_.reset();
    }

private:
    int cookieCount() const {
        QList<QNetworkCookie> cookies;
        window_->webView()->getCookies(cookies);
        return cookies.size();
    }

    QPushButton* enterButton() const {
        auto* table = window_->taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        QWidget* cell = table ? table->cellWidget(0, 3) : nullptr;
        return cell ? cell->findChild<QPushButton*>(QStringLiteral("pushButton_jion")) : nullptr;
    }

    QString url_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
};

int prepare(OBSApp& app, Client& client) {
    if (!client.enterFirstTask()) {
        return fail(kRoom, "the room did not open");
    }
    orbLiveImp::SoureParam picture;
    picture.type = SourceKinds::kImage;
    picture.name = kPicture;
    picture.value = QDir::homePath() + QStringLiteral("/kept.png");
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (!image.save(picture.value) || app.addSceneItem(picture).isEmpty()) {
        return fail(kRoom, "the picture was not added");
    }
    client.quit();
    return 0;
}

int record(OBSApp& app, Client& client) {
    if (!client.enterFirstTask()) {
        return fail(kRoom, "the room did not open");
    }
    Console* console = client.room()->console();
    DialogSeam::presetAnswer(int(QDialog::Accepted));
    QTest::mouseClick(console->findChild<QPushButton*>(QStringLiteral("record")), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return console->isRecording(); }, kWait)) {
        return fail(kRecord, "the recording did not start");
    }
    orbLiveImp::ResourceUtil util;
    // Long enough for a few fragments of the file to be written.
    (void)QTest::qWaitFor(
        [&] {
            OrbOBS::instance().getResourceUtility(util);
            return util.recordSeconds >= 4;
        },
        kWait);
    const QString folder = QString::fromUtf8(
        config_get_string(app.GetMainWindow()->Config(), "SimpleOutput", "FilePath"));
    std::printf("{\"event\":\"recording\",\"folder\":\"%s\"}\n", qPrintable(folder));
    std::fflush(stdout);
    QTest::qWait(kWait * 10);  // until killed
    return fail(kRecord, "still alive");
}

int check(Client& client) {
    if (!client.signInAndList()) {
        return fail(kSignIn, "the task list did not come");
    }
    if (!OrbOBS::instance().sourceExists(kPicture)) {
        return fail(kLost, "the picture is gone from the scene collection");
    }
    client.quit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return fail(kUsage, "usage: fault_client prepare|record|check <service url>");
    }
    QApplication::setAttribute(Qt::AA_DisableHighDpiScaling, true);
    qputenv("QT_XCB_GL_INTEGRATION", "xcb_egl");
    const QString step = QString::fromLocal8Bit(argv[1]);
    QString url = QString::fromLocal8Bit(argv[2]);
    if (!url.endsWith(QLatin1Char('/'))) {
        url += QLatin1Char('/');
    }
    OBSApp app(argc, argv);
    InstanceGuard guard(QStringLiteral("KELVARIN_ORBLIVE"));
    if (!guard.acquire()) {
        return fail(kLocked, "another copy holds the lock");
    }
    if (app.init() != 0) {
        return fail(kStudio, "the studio did not start");
    }
    DialogSeam::setHeadless(true);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    Client client(url);
    int status = client.start();
    if (status == 0 && step != QLatin1String("prepare") && !client.signedInToday()) {
        status = fail(kLost, "the sign-in of today was lost");
    }
    if (status == 0) {
        status = step == QLatin1String("prepare")  ? prepare(app, client)
                 : step == QLatin1String("record") ? record(app, client)
                                                   : check(client);
    }
    return status;
}
