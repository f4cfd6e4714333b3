#include "frontend/OBSBasic.h"

// Placeholder body until the hotkeys land.
void OBSBasic::setHotkey(obs_source_t*, const std::vector<orbLiveImp::OrbShortcut>&) {}
