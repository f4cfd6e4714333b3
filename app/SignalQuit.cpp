#include "app/SignalQuit.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#include <QTimer>
#include <atomic>
#else
#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>
#endif

#ifdef Q_OS_WIN
// The console's Ctrl+C and close events arrive on a thread of their own; the main thread
// looks at the flag they set.
namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI onConsoleEvent(DWORD) {
    g_interrupted = true;
    return TRUE;
}

}  // namespace

void SignalQuit::installHandlers() {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

SignalQuit::SignalQuit(QObject* parent) : QObject(parent) {
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] {
        if (g_interrupted.exchange(false)) {
            onSignal();
        }
    });
    poll->start(100);
}

void SignalQuit::onSignal() {
    requested_ = true;
    QCoreApplication::quit();
}
#else
namespace {

int g_fds[2] = {-1, -1};

void onUnixSignal(int) {
    const char byte = 1;
    // Nothing else is async-signal-safe enough to do here.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
}

}  // namespace

void SignalQuit::installHandlers() {
    if (g_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = onUnixSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SignalQuit::SignalQuit(QObject* parent) : QObject(parent) {
    if (g_fds[1] < 0) {
        return;
    }
    notifier_ = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalQuit::onSignal);
}

void SignalQuit::onSignal() {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(g_fds[1], &byte, 1);
    requested_ = true;
    QCoreApplication::quit();
}
#endif
