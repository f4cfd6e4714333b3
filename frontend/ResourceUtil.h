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
    bool recordFailed = false;  // the last recording was ended by an error (a full disk, say)
};

}  // namespace orbLiveImp
