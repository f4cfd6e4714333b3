#include "frontend/PreviewPacer.h"

bool PreviewPacer::next(uint32_t laggedFrames, uint64_t averageFrameNs, uint64_t intervalNs) {
    const bool lagged = primed_ && laggedFrames != lastLagged_;
    // Three quarters of the slot leave too little for the preview and the encoder beside it.
    const bool busy = intervalNs > 0 && averageFrameNs * 4 > intervalNs * 3;
    lastLagged_ = laggedFrames;
    primed_ = true;
    if (lagged || busy) {
        hold_ = kHoldFrames;
    }
    int stride = 1;
    if (hold_ > 0) {
        --hold_;
        stride = kBehindStride;
    } else if (intervalNs > 0 && averageFrameNs * 2 > intervalNs) {
        stride = kTightStride;
    }
    if (++sinceDrawn_ < stride) {
        return false;
    }
    sinceDrawn_ = 0;
    return true;
}
