#include "app/RoomFactory.h"

#include "room/Room.h"

MainWindow::RoomFactory RoomFactory::make(std::shared_ptr<live::IConfig> config,
                                          std::shared_ptr<live::OrbHttpMgr> network) {
    return [config, network](QWidget* parent, int serverType) -> IRoom* {
        if (serverType == 1 || serverType == 2) {
            return MainWindow::makePlaceholderRoom(parent, serverType);
        }
        return new Room(parent, config, network);
    };
}
