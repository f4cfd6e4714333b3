#include "app/RoomFactory.h"

#include "room/Room.h"
#include "room/RoomSimple.h"

MainWindow::RoomFactory RoomFactory::make(std::shared_ptr<live::IConfig> config,
                                          std::shared_ptr<live::OrbHttpMgr> network) {
    return [config, network](QWidget* parent, int serverType) -> IRoom* {
        if (serverType == 1 || serverType == 2) {
            return new RoomSimple(parent, config, network);
        }
        return new Room(parent, config, network);
    };
}
