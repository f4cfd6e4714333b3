#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include <obs.hpp>

class QStandardItemModel;

// Placement of items in a scene: camera placement as six numbers (position, scale,
// bounds), flips that keep an item where it was, and the client's mirror of the order.
class SceneLayout {
public:
    using Placement = std::vector<float>;  // posX, posY, scaleX, scaleY, boundsW, boundsH

    static std::vector<OBSSceneItem> cameras(obs_scene_t* scene);
    static Placement placementOf(obs_sceneitem_t* item);
    // Bounds scale the source inside them keeping its aspect; rotation and alignment stay.
    static void place(obs_sceneitem_t* item, const Placement& placement);
    // Where a new camera goes: the whole canvas when alone, else the bottom-right third.
    static Placement defaultPlacement(bool alone);

    static void flip(obs_sceneitem_t* item, bool vertical);
    // The top-left corner of the item's bounding box on the canvas.
    static vec2 topLeft(obs_sceneitem_t* item);

    // Source names top-most first; open groups list their members before themselves.
    static QStringList order(obs_scene_t* scene);
    static void syncModel(const QStringList& order, QStandardItemModel* model);
};
