#pragma once

#include <QMetaType>
#include <QString>
#include <cstdint>

namespace orbLiveImp {

// One scene item change reported to the client (item op codes 1..9).
struct SceneItemData {
    QString sceneName;
    QString typeId;
    bool visible = false;
    bool locked = false;
    QString itemName;
    uint8_t op = 0;
    uint8_t value = 0;
    QString newName;
};

}  // namespace orbLiveImp

Q_DECLARE_METATYPE(orbLiveImp::SceneItemData)
