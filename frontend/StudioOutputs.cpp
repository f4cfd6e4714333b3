#include "frontend/StudioOutputs.h"

#include "core/Log.h"
#include "frontend/AudioChannels.h"
#include "frontend/CpuUsage.h"
#include "frontend/OutputEncoders.h"
#include "frontend/OutputRunner.h"
#include "frontend/RecordOutput.h"
#include "frontend/RtmpServiceType.h"
#include "frontend/SceneEventRelay.h"
#include "frontend/SourceKinds.h"
#include "frontend/StreamOutput.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

StudioOutputs::StudioOutputs(config_t* profile, SceneEventRelay* relay, QObject* parent)
    : QObject(parent),
      profile_(profile),
      relay_(relay),
      audio_(std::make_unique<AudioChannels>(
          profile, [relay](const orbLiveImp::SceneItemData& data) { relay->postLevel(data); })),
      cpu_(std::make_unique<CpuUsage>()),
      stream_(new StreamOutput(
          profile, [relay](bool live) { relay->postStatus(kSceneStreaming, QString(), live); },
          this)),
      record_(new RecordOutput(
          profile,
          [relay](bool recording, const QString& path) {
              relay->postStatus(kSceneRecording, path, recording);
          },
          this)) {
    StreamOutput::applyDefaults(profile_);
    service_ = obs_service_create(RtmpServiceType::kId, "orb-service", nullptr, nullptr);
    if (!service_) {
        live::log::error("{}: no stream service", "StudioOutputs::StudioOutputs");
    }
    audio_->createDefaults(SourceKinds::outputAudioType(), SourceKinds::inputAudioType());
}

StudioOutputs::~StudioOutputs() {
    shutdown();
}

void StudioOutputs::shutdown() {
    stream_->shutdown();
    record_->shutdown();
    prepared_.reset();
    if (audio_) {
        audio_->clear();
    }
    audio_.reset();
    cpu_.reset();
    service_ = nullptr;
}

bool StudioOutputs::ctrlVoice(uint8_t code, int value) {
    if (!audio_) {
        return false;
    }
    switch (code) {
        case kSpeakerOn:
        case kSpeakerMute:
            return audio_->setMuted(AudioChannels::kDesktop, code == kSpeakerMute);
        case kSpeakerVolume:
            return audio_->setVolume(AudioChannels::kDesktop, value);
        case kMicrophoneOn:
        case kMicrophoneMute:
            return audio_->setMuted(AudioChannels::kMicrophone, code == kMicrophoneMute);
        case kMicrophoneVolume:
            return audio_->setVolume(AudioChannels::kMicrophone, value);
        case kStreamStart:
            return startStream();
        case kStreamStop:
            return stream_->stop();
        case kRecordStart:
            return startRecord();
        case kRecordStop:
            return record_->stop();
        default:
            live::log::warn("{}: unknown code {}", "StudioOutputs::ctrlVoice", code);
            return false;
    }
}

void StudioOutputs::setRTMPUrl(const QString& server, const QString& key) {
    if (!service_) {
        return;
    }
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "server", server.toUtf8().constData());
    obs_data_set_string(settings, "key", key.toUtf8().constData());
    obs_service_update(service_, settings);
}

// An output running without trouble lends its encoders; anything else gets a pair of its
// own that no output has stopped yet.
std::shared_ptr<OutputEncoders> StudioOutputs::encodersBeside(const OutputRunner& other) {
    if (other.encodersRunning() && other.encoders()) {
        return other.encoders();
    }
    std::shared_ptr<OutputEncoders> encoders = std::move(prepared_);
    if (encoders && encoders->fitsCurrentMedia()) {
        encoders->update(profile_);
        return encoders;
    }
    return OutputEncoders::create(profile_);
}

bool StudioOutputs::startStream() {
    if (stream_->active()) {
        live::log::warn("{}: already streaming", "StudioOutputs::startStream");
        return false;
    }
    return stream_->start(service_, encodersBeside(record_->runner()));
}

bool StudioOutputs::startRecord() {
    if (record_->active()) {
        live::log::warn("{}: already recording", "StudioOutputs::startRecord");
        return false;
    }
    return record_->start(encodersBeside(stream_->runner()));
}

bool StudioOutputs::active() const {
    return stream_->active() || record_->active();
}

bool StudioOutputs::resetOutputs() {
    if (active()) {
        live::log::warn("{}: refused while streaming or recording", "StudioOutputs::resetOutputs");
        return false;
    }
    prepared_.reset();
    prepared_ = OutputEncoders::create(profile_);
    return prepared_ != nullptr;
}

bool StudioOutputs::resetAudioDevice(const char* sourceId, const char* deviceId,
                                     const QString& displayName, int channel) {
    return audio_ && audio_->reset(sourceId, deviceId, displayName, channel);
}

void StudioOutputs::fill(orbLiveImp::ResourceUtil& util) {
    util = orbLiveImp::ResourceUtil();
    util.cpu = cpu_ ? cpu_->percent() : 0.0f;
    util.fps = static_cast<float>(obs_get_active_fps());
    util.renderedFrames = obs_get_total_frames();
    util.laggedFrames = obs_get_lagged_frames();
    if (video_t* video = obs_get_video()) {
        util.outputFrames = video_output_get_total_frames(video);
        util.skippedFrames = video_output_get_skipped_frames(video);
    }
    stream_->fill(util);
    record_->fill(util);
}
