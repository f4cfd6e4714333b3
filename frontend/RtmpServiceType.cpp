#include "frontend/RtmpServiceType.h"

#include <obs.h>

#include <string>

namespace {

struct RtmpService {
    std::string server;
    std::string key;
};

const char* serviceName(void*) {
    return "RTMP";
}

void update(void* data, obs_data_t* settings) {
    auto* service = static_cast<RtmpService*>(data);
    service->server = obs_data_get_string(settings, "server");
    service->key = obs_data_get_string(settings, "key");
}

void* create(obs_data_t* settings, obs_service_t*) {
    auto* service = new RtmpService;
    update(service, settings);
    return service;
}

void destroy(void* data) {
    delete static_cast<RtmpService*>(data);
}

obs_properties_t* properties(void*) {
    obs_properties_t* props = obs_properties_create();
    obs_properties_add_text(props, "server", "URL", OBS_TEXT_DEFAULT);
    obs_properties_add_text(props, "key", "Stream Key", OBS_TEXT_PASSWORD);
    return props;
}

const char* url(void* data) {
    return static_cast<RtmpService*>(data)->server.c_str();
}

const char* key(void* data) {
    return static_cast<RtmpService*>(data)->key.c_str();
}

const char* outputType(void*) {
    return "rtmp_output";
}

}  // namespace

void RtmpServiceType::registerType() {
    obs_service_info info = {};
    info.id = kId;
    info.get_name = serviceName;
    info.create = create;
    info.destroy = destroy;
    info.update = update;
    info.get_properties = properties;
    info.get_url = url;
    info.get_key = key;
    info.get_output_type = outputType;
    obs_register_service(&info);
}
