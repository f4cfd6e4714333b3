#include "room/LagWatch.h"

#include <algorithm>

void LagWatch::restart() {
    samples_.clear();
    percent_ = 0.0;
    warned_ = false;
}

bool LagWatch::wentBack(const Sample& older, const Sample& newer) {
    // A video reset starts the engine's counters again; a clock that went back is no window.
    return newer.ms < older.ms || newer.rendered < older.rendered || newer.lagged < older.lagged ||
           newer.output < older.output || newer.skipped < older.skipped;
}

double LagWatch::lagPercent(const Sample& from, const Sample& to) {
    const uint64_t rendered = to.rendered - from.rendered;
    const uint64_t output = to.output - from.output;
    const double late = rendered ? 100.0 * double(to.lagged - from.lagged) / double(rendered) : 0.0;
    const double skipped =
        output ? 100.0 * double(to.skipped - from.skipped) / double(output) : 0.0;
    return std::max(late, skipped);
}

bool LagWatch::feed(qint64 ms, const orbLiveImp::ResourceUtil& util) {
    const Sample now{ms, util.renderedFrames, util.laggedFrames, util.outputFrames,
                     util.skippedFrames};
    if (!samples_.empty() && wentBack(samples_.back(), now)) {
        samples_.clear();
    }
    samples_.push_back(now);
    // Keep the newest sample that still lies a whole window back, and nothing older.
    while (samples_.size() > 1 && ms - samples_[1].ms >= kWindowMs) {
        samples_.pop_front();
    }
    if (ms - samples_.front().ms < kWindowMs) {
        return false;
    }
    percent_ = lagPercent(samples_.front(), now);
    if (warned_ || percent_ <= kLimitPercent) {
        return false;
    }
    warned_ = true;
    return true;
}
