#include "frontend/OBSBasic.h"

#include "core/Log.h"

// Placeholder bodies until the outputs land.

bool OBSBasic::ResetOutputs() {
    return false;
}

obs_service_t* OBSBasic::GetService() {
    return nullptr;
}

void OBSBasic::ResetAudioDevice(const char*, const char*, const char*, int) {}

void OBSBasic::getResourceUtility(orbLiveImp::ResourceUtil&) {}

void OBSBasic::setRTMPUrl(const QString&, const QString&) {}

bool OBSBasic::ctrlVoice(uint8_t code, int) {
    live::log::warn("{}: code {} not available", "OBSBasic::ctrlVoice", code);
    return false;
}
