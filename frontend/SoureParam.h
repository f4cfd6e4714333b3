#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "frontend/OrbShortcut.h"

namespace orbLiveImp {

// The parameters of one material as the client sees it; `type` is the source kind of
// SourceKinds, `value` its main setting (device, screen, window, file or folder).
struct SoureParam {
    QString name;
    uint8_t type = 0;
    QString typeId;
    QString value;
    bool primaryFlag = false;
    bool secondaryFlag = false;
    std::vector<OrbShortcut> hotkeys;
};

}  // namespace orbLiveImp
