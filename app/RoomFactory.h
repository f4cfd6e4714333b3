#pragma once

#include <memory>

#include "shell/MainWindow.h"

namespace live {
class IConfig;
class OrbHttpMgr;
}  // namespace live

// The rooms the program offers, by server variant: the simple speech room for variants 1
// and 2, the studio room for every other one.
class RoomFactory {
public:
    static MainWindow::RoomFactory make(std::shared_ptr<live::IConfig> config,
                                        std::shared_ptr<live::OrbHttpMgr> network);
};
