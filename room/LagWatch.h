#pragma once

#include <QtGlobal>
#include <cstdint>
#include <deque>

#include "frontend/ResourceUtil.h"

// Tells, once per broadcast, when the engine stops keeping up: more than kLimitPercent of the
// frames of the last kWindowMs were composed too late or skipped before the encoder. The
// audience sees that as stutter before the presenter notices anything in the preview.
class LagWatch {
public:
    static constexpr int kWindowMs = 10000;
    static constexpr double kLimitPercent = 5.0;

    // A broadcast begins (or none runs): forget the counters, allow the next warning.
    void restart();
    // The engine's totals as of `ms` (a monotonic clock); true the one time the lag over the
    // last window crosses the limit in this broadcast.
    bool feed(qint64 ms, const orbLiveImp::ResourceUtil& util);
    bool warned() const { return warned_; }
    // The share of late or skipped frames over the last full window, in percent.
    double percent() const { return percent_; }

private:
    struct Sample {
        qint64 ms;
        uint64_t rendered;
        uint64_t lagged;
        uint64_t output;
        uint64_t skipped;
    };
    static bool wentBack(const Sample& older, const Sample& newer);
    static double lagPercent(const Sample& from, const Sample& to);

    std::deque<Sample> samples_;
    double percent_ = 0.0;
    bool warned_ = false;
};
