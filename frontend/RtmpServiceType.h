#pragma once

// The studio's own stream service type: an RTMP server address and a stream key, nothing
// fetched from anywhere. Settings "server" and "key".
class RtmpServiceType {
public:
    static constexpr const char* kId = "orb_rtmp";
    // Registers the type with the engine once per engine start.
    static void registerType();
};
