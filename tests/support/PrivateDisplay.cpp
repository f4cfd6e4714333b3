#include "PrivateDisplay.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const int kStartTimeoutMs = 20000;

// Runs `argv` as a child that is killed when this process ends; `keepFd` stays open in it.
pid_t spawn(const QByteArray& program, const QList<QByteArray>& args, int keepFd = -1) {
    // Everything the child needs is prepared before the fork: it may only exec.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.constData()));
    for (const QByteArray& arg : args) {
        argv.push_back(const_cast<char*>(arg.constData()));
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(127);
    }
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    for (int fd = 3; fd < 1024; ++fd) {
        if (fd != keepFd) {
            close(fd);
        }
    }
    execv(program.constData(), argv.data());
    _exit(127);
}

QString readLine(int fd, int timeoutMs) {
    QByteArray line;
    QElapsedTimer clock;
    clock.start();
    while (!line.endsWith('\n') && clock.elapsed() < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) {
            continue;
        }
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            break;
        }
        line.append(c);
    }
    return QString::fromLatin1(line).trimmed();
}

}  // namespace

PrivateDisplay::~PrivateDisplay() {
    stop(windowManager_);
    stop(server_);
}

bool PrivateDisplay::start(bool windowManager) {
    if (!startServer()) {
        return false;
    }
    if (!windowManager) {
        return true;
    }
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        failure_ = QStringLiteral("openbox is not installed");
        return false;
    }
    windowManager_ = spawn(openbox.toLocal8Bit(), {});
    return waitForWindowManager();
}

bool PrivateDisplay::startServer() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        failure_ = QStringLiteral("Xvfb is not installed");
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        failure_ = QStringLiteral("no pipe");
        return false;
    }
    server_ = spawn(xvfb.toLocal8Bit(),
                    {"-displayfd", QByteArray::number(fds[1]), "-screen", "0", "1280x800x24",
                     "-nolisten", "tcp"},
                    fds[1]);
    close(fds[1]);
    const QString number = readLine(fds[0], kStartTimeoutMs);
    close(fds[0]);
    if (number.isEmpty()) {
        failure_ = QStringLiteral("Xvfb did not start");
        return false;
    }
    qputenv("DISPLAY", ":" + number.toLatin1());
    qunsetenv("QT_QPA_PLATFORM");
    return true;
}

// openbox announces itself on the root window once it manages the screen.
bool PrivateDisplay::waitForWindowManager() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        failure_ = QStringLiteral("cannot open the private display");
        return false;
    }
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    QElapsedTimer clock;
    clock.start();
    bool ready = false;
    while (!ready && clock.elapsed() < kStartTimeoutMs) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data);
        ready = count == 1;
        if (data) {
            XFree(data);
        }
        if (!ready) {
            QThread::msleep(50);
        }
    }
    XCloseDisplay(display);
    if (!ready) {
        failure_ = QStringLiteral("openbox did not come up");
    }
    return ready;
}

void PrivateDisplay::stop(pid_t& pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}
