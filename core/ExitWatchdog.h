#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Bounds a step that must not keep the process alive forever: when the step is still running
// `limit` after construction, the reason is logged and written to standard error and the
// process ends at once with `status`. Destroying the watchdog (the step ended) disarms it.
// Only for the last steps of a process, after everything worth keeping has been written.
class ExitWatchdog {
public:
    ExitWatchdog(std::chrono::milliseconds limit, int status, std::string what);
    ~ExitWatchdog();
    ExitWatchdog(const ExitWatchdog&) = delete;
    ExitWatchdog& operator=(const ExitWatchdog&) = delete;

private:
    void watch(std::chrono::milliseconds limit);

    const int status_;
    const std::string what_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool disarmed_ = false;
    std::thread thread_;
};
