#include "studio/SceneLayout.h"

#include <QStandardItemModel>
#include <algorithm>

#include <graphics/matrix4.h>
#include <graphics/vec3.h>

#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"

namespace {

bool isCollapsedGroup(obs_sceneitem_t* item) {
    OBSDataAutoRelease priv = obs_sceneitem_get_private_settings(item);
    return obs_data_get_bool(priv, "collapsed");
}

void appendOrder(obs_scene_t* scene, QStringList& names) {
    for (const OBSSceneItem& item : SceneItems::list(scene)) {
        obs_source_t* source = obs_sceneitem_get_source(item);
        if (!source || obs_source_removed(source)) {
            continue;
        }
        if (obs_sceneitem_is_group(item) && !isCollapsedGroup(item)) {
            appendOrder(obs_sceneitem_group_get_scene(item), names);
        }
        names.append(QString::fromUtf8(obs_source_get_name(source)));
    }
}

}  // namespace

std::vector<OBSSceneItem> SceneLayout::cameras(obs_scene_t* scene) {
    std::vector<OBSSceneItem> found;
    for (const OBSSceneItem& item : SceneItems::list(scene)) {
        const SourceKind* kind =
            SourceKinds::byTypeId(obs_source_get_id(obs_sceneitem_get_source(item)));
        if (kind && kind->kind == SourceKinds::kCamera) {
            found.push_back(item);
        }
    }
    return found;
}

SceneLayout::Placement SceneLayout::placementOf(obs_sceneitem_t* item) {
    vec2 pos, scale, bounds;
    obs_sceneitem_get_pos(item, &pos);
    obs_sceneitem_get_scale(item, &scale);
    obs_sceneitem_get_bounds(item, &bounds);
    return {pos.x, pos.y, scale.x, scale.y, bounds.x, bounds.y};
}

void SceneLayout::place(obs_sceneitem_t* item, const Placement& p) {
    if (p.size() != 6) {
        return;
    }
    vec2 pos, scale, bounds;
    vec2_set(&pos, p[0], p[1]);
    vec2_set(&scale, p[2], p[3]);
    vec2_set(&bounds, p[4], p[5]);
    obs_sceneitem_defer_update_begin(item);
    obs_sceneitem_set_pos(item, &pos);
    obs_sceneitem_set_scale(item, &scale);
    obs_sceneitem_set_bounds_type(item, OBS_BOUNDS_SCALE_INNER);
    obs_sceneitem_set_bounds(item, &bounds);
    obs_sceneitem_defer_update_end(item);
}

SceneLayout::Placement SceneLayout::defaultPlacement(bool alone) {
    obs_video_info ovi = {};
    obs_get_video_info(&ovi);
    const uint32_t w = ovi.base_width;
    const uint32_t h = ovi.base_height;
    if (alone) {
        return {0.0f, 0.0f, 1.0f, 1.0f, float(w), float(h)};
    }
    return {float(2 * w / 3), float(2 * h / 3), 1.0f, 1.0f, float(w / 3), float(h / 3)};
}

vec2 SceneLayout::topLeft(obs_sceneitem_t* item) {
    matrix4 box;
    obs_sceneitem_get_box_transform(item, &box);
    vec2 corner;
    vec2_set(&corner, 0.0f, 0.0f);
    bool first = true;
    for (float x : {0.0f, 1.0f}) {
        for (float y : {0.0f, 1.0f}) {
            vec3 p;
            vec3_set(&p, x, y, 0.0f);
            vec3_transform(&p, &p, &box);
            corner.x = first ? p.x : std::min(corner.x, p.x);
            corner.y = first ? p.y : std::min(corner.y, p.y);
            first = false;
        }
    }
    return corner;
}

void SceneLayout::flip(obs_sceneitem_t* item, bool vertical) {
    const vec2 before = topLeft(item);
    vec2 scale;
    obs_sceneitem_get_scale(item, &scale);
    if (vertical) {
        scale.y = -scale.y;
    } else {
        scale.x = -scale.x;
    }
    obs_sceneitem_set_scale(item, &scale);
    obs_sceneitem_force_update_transform(item);
    const vec2 after = topLeft(item);
    vec2 pos;
    obs_sceneitem_get_pos(item, &pos);
    pos.x += before.x - after.x;
    pos.y += before.y - after.y;
    obs_sceneitem_set_pos(item, &pos);
    obs_sceneitem_force_update_transform(item);
}

QStringList SceneLayout::order(obs_scene_t* scene) {
    QStringList names;
    if (scene) {
        appendOrder(scene, names);
    }
    return names;
}

void SceneLayout::syncModel(const QStringList& order, QStandardItemModel* model) {
    if (!model || order.isEmpty() || order.size() != model->rowCount()) {
        return;
    }
    for (int i = 0; i < order.size(); ++i) {
        // Rows before i are already in place.
        for (int row = i; row < model->rowCount(); ++row) {
            const QStandardItem* cell = model->item(row, 0);
            if (cell && cell->text() == order[i]) {
                if (row != i) {
                    model->insertRow(i, model->takeRow(row));
                }
                break;
            }
        }
    }
}
