#pragma once

#include <QProcess>

// A QProcess whose child is told to terminate when the test process dies, so a crashed
// test never leaves a server behind.
class ChildProcess : public QProcess {
    Q_OBJECT
public:
    using QProcess::QProcess;
    ~ChildProcess() override;

    // Asks the child to stop (SIGTERM), then kills it if it lingers.
    void stop(int graceMs = 5000);

protected:
    void setupChildProcess() override;
};
