#pragma once

#include <QString>
#include <vector>

#include <obs.hpp>

#include "frontend/SceneItemData.h"

// Reading scenes and their items the way the client names them: an item by its
// source's name.
class SceneItems {
public:
    static QString sceneName(obs_scene_t* scene);
    static QString itemName(obs_sceneitem_t* item);
    static QString typeId(obs_sceneitem_t* item);
    static orbLiveImp::SceneItemData describe(obs_scene_t* scene, obs_sceneitem_t* item, uint8_t op,
                                              uint8_t value = 0);
    // The scene's items, top-most first, each referenced.
    static std::vector<OBSSceneItem> list(obs_scene_t* scene);
    // The item whose source has that name, referenced; null when none.
    static OBSSceneItem find(obs_scene_t* scene, const QString& name);
    static OBSSceneItem firstSelected(obs_scene_t* scene);
    static int count(obs_scene_t* scene);
};
