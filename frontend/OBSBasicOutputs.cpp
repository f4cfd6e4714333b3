#include "frontend/OBSBasic.h"

#include "core/Log.h"
#include "frontend/IniConfig.h"
#include "frontend/StudioOutputs.h"

void OBSBasic::setUpOutputs() {
    if (!outputs_) {
        outputs_ = std::make_unique<StudioOutputs>(profile_->get(), relay_);
    }
}

void OBSBasic::tearDownOutputs() {
    outputs_.reset();
}

bool OBSBasic::ResetOutputs() {
    return outputs_ && outputs_->resetOutputs();
}

bool OBSBasic::outputsActive() const {
    return outputs_ && outputs_->active();
}

obs_service_t* OBSBasic::GetService() {
    return outputs_ ? outputs_->service() : nullptr;
}

void OBSBasic::ResetAudioDevice(const char* sourceId, const char* deviceId, const char* displayName,
                                int channel) {
    if (outputs_) {
        outputs_->resetAudioDevice(sourceId, deviceId, QString::fromUtf8(displayName), channel);
    }
}

void OBSBasic::getResourceUtility(orbLiveImp::ResourceUtil& util) {
    if (outputs_) {
        outputs_->fill(util);
    }
}

void OBSBasic::setRTMPUrl(const QString& server, const QString& key) {
    if (outputs_) {
        outputs_->setRTMPUrl(server, key);
    }
}

bool OBSBasic::ctrlVoice(uint8_t code, int value) {
    if (!outputs_) {
        live::log::warn("{}: the studio is not loaded, code {}", "OBSBasic::ctrlVoice", code);
        return false;
    }
    return outputs_->ctrlVoice(code, value);
}
