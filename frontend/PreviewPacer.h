#pragma once

#include <cstdint>

// Decides, frame by frame on the engine's render thread, whether the preview is drawn. The
// stream comes first: once the engine falls behind (a frame composed too late, or frames
// taking most of their slot) the preview is drawn only one frame in kBehindStride for the
// next kHoldFrames, so the presenter still sees the picture move while the encoder gets the
// time back. A machine that keeps up with little to spare (frames taking over half their slot,
// as on a software renderer) gets the preview at half the frame rate before it falls behind.
class PreviewPacer {
public:
    static constexpr int kBehindStride = 6;
    static constexpr int kHoldFrames = 60;
    static constexpr int kTightStride = 2;

    // The engine's lagged-frame total, its average frame time and its frame interval, as of
    // the frame about to be composed; true: draw the preview with it.
    bool next(uint32_t laggedFrames, uint64_t averageFrameNs, uint64_t intervalNs);

private:
    uint32_t lastLagged_ = 0;
    bool primed_ = false;
    int hold_ = 0;
    int sinceDrawn_ = 0;
};
