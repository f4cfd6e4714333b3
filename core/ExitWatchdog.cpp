#include "core/ExitWatchdog.h"

#include <cstdio>
#include <cstdlib>

#include "core/Log.h"

ExitWatchdog::ExitWatchdog(std::chrono::milliseconds limit, int status, std::string what)
    : status_(status), what_(std::move(what)), thread_(&ExitWatchdog::watch, this, limit) {}

ExitWatchdog::~ExitWatchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        disarmed_ = true;
    }
    done_.notify_one();
    thread_.join();
}

void ExitWatchdog::watch(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (done_.wait_for(lock, limit, [this] { return disarmed_; })) {
        return;
    }
    live::log::error("{}: {} still running after {} ms, ending the process", "ExitWatchdog", what_,
                     limit.count());
    if (auto logger = live::logger()) {
        logger->flush();
    }
    std::fprintf(stderr, "%s still running after %lld ms, ending the process\n", what_.c_str(),
                 static_cast<long long>(limit.count()));
    std::fflush(stderr);
    // Not exit(): the step that hangs holds locks that static destructors would wait on.
    std::_Exit(status_);
}
