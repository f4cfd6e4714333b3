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
    ++sinceDrawn_;
    if (hold_ > 0) {
        --hold_;
        if (sinceDrawn_ < kBehindStride) {
            return false;
        }
    }
    sinceDrawn_ = 0;
    return true;
}
