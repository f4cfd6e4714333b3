#pragma once

#include <QString>
#include <memory>

#include <util/config-file.h>
#include <obs.hpp>

// A video and an audio encoder made from the profile for the current video and audio.
// Outputs running at the same time may share one pair; a pair that has been stopped is
// never started again (the engine can hang when stopped encoders are reused at once).
class OutputEncoders {
public:
    ~OutputEncoders();
    OutputEncoders(const OutputEncoders&) = delete;
    OutputEncoders& operator=(const OutputEncoders&) = delete;

    // A fresh pair; null (logged) when the engine has no such encoders.
    static std::shared_ptr<OutputEncoders> create(config_t* profile);

    // Applies the profile's rates; only for a pair no output has started yet.
    void update(config_t* profile);
    // Still bound to the engine's current video and audio (a video reset replaces them).
    bool fitsCurrentMedia() const;
    bool active() const;

    obs_encoder_t* video() const { return video_; }
    obs_encoder_t* audio() const { return audio_; }

private:
    OutputEncoders() = default;

    OBSEncoderAutoRelease video_;
    OBSEncoderAutoRelease audio_;
};
