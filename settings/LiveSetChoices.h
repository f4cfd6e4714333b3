#pragma once

#include <QList>
#include <array>
#include <cstdint>

#include "studio/LiveSettings.h"

class QComboBox;

// The live settings dialog's value lists: their item data, selecting the current settings
// in them, and a list's choice as a field of the pending record (where 0 or empty means
// unchanged).
class LiveSetChoices {
public:
    // The "name" tags of the lists, which are also their order in Boxes.
    enum Combo : uint8_t {
        kResolution = 0,
        kBitrate = 1,
        kFps = 2,
        kMicrophone = 3,
        kSpeaker = 4,
        kRecordFormat = 5,
        kComboCount = 6,
    };
    using Boxes = std::array<QComboBox*, kComboCount>;

    // Each item's data becomes the numbers before its note: "1280 x 720 （推荐）" and
    // "1280 x 720 (recommended)" give "1280 x 720", "2000 (high definition)" gives "2000".
    static void tagWithLeadingText(QComboBox* box);
    static void fillDevices(QComboBox* box, const QList<AudioDeviceEntry>& devices);
    // Selects what `current` holds in every list. A value no list offers selects the list's
    // default, which goes into `pending`; true when that happened.
    static bool select(const Boxes& boxes, const LiveSettings& current, LiveSettings& pending);
    // Puts the choice of list `which` into `pending`, or clears that field when the choice
    // is what `current` holds.
    static void take(uint8_t which, const QComboBox* box, const LiveSettings& current,
                     LiveSettings& pending);

private:
    static bool selectOrDefault(QComboBox* box, int found, int fallback);
    static bool selectDevice(QComboBox* box, const QString& currentId, QString& pendingId);
    static void takeResolution(const QString& data, const LiveSettings& current,
                               LiveSettings& pending);
};
