#include <QApplication>

#include <cstdio>
#include <exception>
#include <memory>

#include "app/AppContext.h"
#include "app/CommandLine.h"
#include "app/InstanceGuard.h"
#include "app/RoomFactory.h"
#include "app/SignalQuit.h"
#include "app/Translations.h"
#include "core/MessageBox.h"
#include "frontend/OBSApp.h"
#include "shell/MainWindow.h"

namespace {

// Exit statuses besides the main window's own (3: the configuration cannot be loaded).
constexpr int kExitStudioFailed = 4;

int run(int& argc, char** argv, std::unique_ptr<InstanceGuard>& guard, int& status) {
    QApplication::setAttribute(Qt::AA_DisableHighDpiScaling, true);
    // The studio draws through EGL. Qt's GLX integration, which the browser engine's pages
    // use, corrupts the heap beside it once a desktop capture runs; both on EGL do not.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "xcb_egl");
    }
    auto app = std::make_unique<OBSApp>(argc, argv);
    SignalQuit quitOnSignal;
    // Before the lock and the studio: their refusals are the first texts a user may see.
    loadTranslations();

    guard = std::make_unique<InstanceGuard>(QStringLiteral("KELVARIN_ORBLIVE"));
    if (!guard->acquire()) {
        live::MessageBox::warning(
            nullptr, QCoreApplication::translate("AppContext", "警告"),
            QCoreApplication::translate("AppContext", "系统检测到直播客户端已经运行，请勿重复启动"),
            QMessageBox::Ok);
        return 0;
    }
    if (app->init() < 0) {
        live::MessageBox::critical(nullptr, QCoreApplication::translate("AppContext", "错误"),
                                   app->initFailure(), QMessageBox::Ok);
        return kExitStudioFailed;
    }
    QGuiApplication::setQuitOnLastWindowClosed(true);

    AppContext context;
    status = context.start(QCoreApplication::applicationDirPath());
    if (status != 0) {
        return status;
    }
    auto window = std::make_unique<MainWindow>();
    window->setRoomFactory(RoomFactory::make(context.config(), context.network()));
    status = window->start(context.config(), context.network(), context.user());
    if (status != 0) {
        return status;
    }
    SignalQuit::installHandlers();
    status = quitOnSignal.requested() ? 0 : app->exec();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine commandLine(argc, argv);
    if (commandLine.endsHere()) {
        return commandLine.respond(stdout, stderr);
    }
    SignalQuit::installHandlers();
    std::unique_ptr<InstanceGuard> guard;
    int status = 0;
    try {
        status = run(argc, argv, guard, status);
    } catch (const std::exception& e) {
        std::printf("exception: %s\n", e.what());
    }
    guard.reset();
    return status;
}
