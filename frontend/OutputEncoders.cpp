#include "frontend/OutputEncoders.h"

#include <QThread>
#include <atomic>

#include "core/Log.h"

namespace {

constexpr const char* kVideoEncoder = "obs_x264";
constexpr const char* kAudioEncoder = "ffmpeg_aac";
constexpr int kKeyframeSeconds = 2;
constexpr int kIdleWaitMs = 5000;

uint64_t rateOr(config_t* profile, const char* key, uint64_t fallback) {
    const uint64_t rate = config_get_uint(profile, "SimpleOutput", key);
    return rate > 0 && rate <= 100000 ? rate : fallback;
}

OBSDataAutoRelease videoSettings(config_t* profile) {
    OBSDataAutoRelease settings = obs_data_create();
    // Constant bit rate with a keyframe every two seconds, which streaming services expect.
    obs_data_set_string(settings, "rate_control", "CBR");
    obs_data_set_int(settings, "bitrate",
                     static_cast<long long>(rateOr(profile, "VBitrate", 1500)));
    obs_data_set_int(settings, "keyint_sec", kKeyframeSeconds);
    obs_data_set_string(settings, "preset", "veryfast");
    return settings;
}

OBSDataAutoRelease audioSettings(config_t* profile) {
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_int(settings, "bitrate", static_cast<long long>(rateOr(profile, "ABitrate", 160)));
    return settings;
}

QByteArray nextName(const char* kind) {
    static std::atomic<int> serial{0};
    return QStringLiteral("orb-%1-%2").arg(kind).arg(++serial).toUtf8();
}

}  // namespace

std::shared_ptr<OutputEncoders> OutputEncoders::create(config_t* profile) {
    std::shared_ptr<OutputEncoders> pair(new OutputEncoders);
    pair->video_ = obs_video_encoder_create(kVideoEncoder, nextName("video").constData(),
                                            videoSettings(profile), nullptr);
    pair->audio_ = obs_audio_encoder_create(kAudioEncoder, nextName("audio").constData(),
                                            audioSettings(profile), 0, nullptr);
    if (!pair->video_ || !pair->audio_) {
        live::log::error("{}: cannot create the encoders {} and {}", "OutputEncoders::create",
                         kVideoEncoder, kAudioEncoder);
        return nullptr;
    }
    obs_encoder_set_video(pair->video_, obs_get_video());
    obs_encoder_set_audio(pair->audio_, obs_get_audio());
    return pair;
}

OutputEncoders::~OutputEncoders() {
    // The last output may have stopped a moment ago; its encoders wind down on their own.
    for (int waited = 0; active() && waited < kIdleWaitMs; waited += 20) {
        QThread::msleep(20);
    }
}

void OutputEncoders::update(config_t* profile) {
    if (active()) {
        return;
    }
    obs_encoder_update(video_, videoSettings(profile));
    obs_encoder_update(audio_, audioSettings(profile));
}

bool OutputEncoders::fitsCurrentMedia() const {
    return obs_encoder_video(video_) == obs_get_video() &&
           obs_encoder_audio(audio_) == obs_get_audio();
}

bool OutputEncoders::active() const {
    return (video_ && obs_encoder_active(video_)) || (audio_ && obs_encoder_active(audio_));
}
