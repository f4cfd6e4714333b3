#pragma once

#include <cstdint>
#include <vector>

// The six material kinds and the engine source types that realise them on this platform.
// Property names are the engine's own, so a setting written under them takes effect.
struct SourceKind {
    uint8_t kind;
    const char* typeId;
    // The setting that `SoureParam::value` carries.
    const char* mainProperty;
    // True when the main property is a list whose items the user picks from.
    bool mainIsChoice;
    // The setting behind `primaryFlag` / `secondaryFlag`; null when the flag is not a
    // setting (a camera's mirroring lives in its scene item's transform).
    const char* primaryProperty;
    const char* secondaryProperty;
    // The name new sources of this kind start from.
    const char* baseName;
};

class SourceKinds {
public:
    enum Kind : uint8_t {
        kCamera = 0,
        kMonitor = 1,
        kWindow = 2,
        kImage = 3,
        kMedia = 4,
        kSlideshow = 5,
    };

    static const std::vector<SourceKind>& table();
    static const SourceKind* byKind(uint8_t kind);
    // Null when the type is none of the six.
    static const SourceKind* byTypeId(const char* typeId);

    // Audio capture types for the microphone and for what the speakers play.
    static const char* inputAudioType();
    static const char* outputAudioType();
};
