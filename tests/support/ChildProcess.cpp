#include "ChildProcess.h"

#include <sys/prctl.h>
#include <csignal>

ChildProcess::~ChildProcess() {
    stop(2000);
}

void ChildProcess::stop(int graceMs) {
    if (state() == QProcess::NotRunning) {
        return;
    }
    terminate();
    if (!waitForFinished(graceMs)) {
        kill();
        waitForFinished(graceMs);
    }
}

void ChildProcess::setupChildProcess() {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}
