#include "frontend/SceneItems.h"

#include <algorithm>

QString SceneItems::sceneName(obs_scene_t* scene) {
    return QString::fromUtf8(obs_source_get_name(obs_scene_get_source(scene)));
}

QString SceneItems::itemName(obs_sceneitem_t* item) {
    return QString::fromUtf8(obs_source_get_name(obs_sceneitem_get_source(item)));
}

QString SceneItems::typeId(obs_sceneitem_t* item) {
    return QString::fromUtf8(obs_source_get_id(obs_sceneitem_get_source(item)));
}

orbLiveImp::SceneItemData SceneItems::describe(obs_scene_t* scene, obs_sceneitem_t* item,
                                               uint8_t op, uint8_t value) {
    orbLiveImp::SceneItemData data;
    data.sceneName = sceneName(scene);
    data.op = op;
    data.value = value;
    if (item) {
        data.itemName = itemName(item);
        data.typeId = typeId(item);
        data.visible = obs_sceneitem_visible(item);
        data.locked = obs_sceneitem_locked(item);
    }
    return data;
}

std::vector<OBSSceneItem> SceneItems::list(obs_scene_t* scene) {
    std::vector<OBSSceneItem> items;
    if (!scene) {
        return items;
    }
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
            static_cast<std::vector<OBSSceneItem>*>(param)->emplace_back(item);
            return true;
        },
        &items);
    // The engine enumerates bottom first.
    std::reverse(items.begin(), items.end());
    return items;
}

OBSSceneItem SceneItems::find(obs_scene_t* scene, const QString& name) {
    for (const OBSSceneItem& item : list(scene)) {
        if (itemName(item) == name) {
            return item;
        }
    }
    return OBSSceneItem();
}

OBSSceneItem SceneItems::firstSelected(obs_scene_t* scene) {
    for (const OBSSceneItem& item : list(scene)) {
        if (obs_sceneitem_selected(item)) {
            return item;
        }
    }
    return OBSSceneItem();
}

int SceneItems::count(obs_scene_t* scene) {
    return static_cast<int>(list(scene).size());
}
