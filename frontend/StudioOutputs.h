#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include <util/config-file.h>
#include <obs.hpp>

#include "frontend/ResourceUtil.h"

class AudioChannels;
class CpuUsage;
class OutputEncoders;
class OutputRunner;
class RecordOutput;
class SceneEventRelay;
class StreamOutput;

// The studio's outputs and audio: the stream service, streaming, recording, the audio
// channels and the running figures. State changes reach the client through the relay:
// scene op 5 (streaming) and 6 (recording), item op 9 (microphone level).
class StudioOutputs : public QObject {
    Q_OBJECT
public:
    StudioOutputs(config_t* profile, SceneEventRelay* relay, QObject* parent = nullptr);
    ~StudioOutputs() override;

    // Stops streaming, finishes a recording and lets go of every engine object.
    void shutdown();

    bool ctrlVoice(uint8_t code, int value);
    void setRTMPUrl(const QString& server, const QString& key);
    obs_service_t* service() const { return service_; }
    bool active() const;
    // False (logged) while streaming or recording.
    bool resetOutputs();
    bool resetAudioDevice(const char* sourceId, const char* deviceId, const QString& displayName,
                          int channel);
    void fill(orbLiveImp::ResourceUtil& util);

private:
    bool startStream();
    bool startRecord();
    std::shared_ptr<OutputEncoders> encodersBeside(const OutputRunner& other);

    config_t* profile_;
    SceneEventRelay* relay_;
    OBSServiceAutoRelease service_;
    std::unique_ptr<AudioChannels> audio_;
    std::unique_ptr<CpuUsage> cpu_;
    StreamOutput* stream_;
    RecordOutput* record_;
    // Made by resetOutputs for the next start.
    std::shared_ptr<OutputEncoders> prepared_;
};
