#pragma once

#include <memory>

#include "shell/MainWindow.h"

namespace live {
class IConfig;
class OrbHttpMgr;
}  // namespace live

// The rooms the program offers, by server variant: the studio room for variant 0, the
// speech room's stand-in for the speech editions.
class RoomFactory {
public:
    static MainWindow::RoomFactory make(std::shared_ptr<live::IConfig> config,
                                        std::shared_ptr<live::OrbHttpMgr> network);
};
