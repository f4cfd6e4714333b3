#pragma once

#include <cstdint>

namespace orbLiveImp {

// The engine's running figures as the rooms show and report them.
struct ResourceUtil {
    float cpu = 0.0f;  // percent
    float fps = 0.0f;
    float kbs = 0.0f;
    uint64_t delay = 0;  // seconds
    uint64_t liveSeconds = 0;
    uint64_t recordSeconds = 0;
    uint64_t lostFrame = 0;
    uint64_t originFrame = 0;
    float lostPercent = 0.0f;
    // The engine's running totals since the video was set up: frames composed, those composed
    // too late for their slot, frames handed to the encoders and those skipped on the way.
    uint64_t renderedFrames = 0;
    uint64_t laggedFrames = 0;
    uint64_t outputFrames = 0;
    uint64_t skippedFrames = 0;
    bool recordFailed = false;  // the last recording was ended by an error (a full disk, say)
};

}  // namespace orbLiveImp
