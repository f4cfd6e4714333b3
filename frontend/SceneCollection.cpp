#include "frontend/SceneCollection.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "frontend/SceneItems.h"

namespace {

// The engine's loader hands every source it created here; scenes are kept by name.
void keepScene(void* param, obs_source_t* source) {
    obs_scene_t* scene = obs_scene_from_source(source);
    if (scene) {
        auto* found = static_cast<QHash<QString, OBSScene>*>(param);
        found->insert(QString::fromUtf8(obs_source_get_name(source)), OBSScene(scene));
    }
}

void saveSource(obs_data_array_t* array, obs_source_t* source) {
    OBSDataAutoRelease data = obs_save_source(source);
    obs_data_array_push_back(array, data);
}

}  // namespace

SceneCollection::~SceneCollection() {
    clear();
}

obs_scene_t* SceneCollection::at(int index) const {
    return index >= 0 && index < size() ? scenes_[static_cast<size_t>(index)].Get() : nullptr;
}

int SceneCollection::indexOf(const QString& name) const {
    for (int i = 0; i < size(); ++i) {
        if (SceneItems::sceneName(at(i)) == name) {
            return i;
        }
    }
    return -1;
}

int SceneCollection::indexOf(obs_scene_t* scene) const {
    for (int i = 0; i < size(); ++i) {
        if (at(i) == scene) {
            return i;
        }
    }
    return -1;
}

QStringList SceneCollection::names() const {
    QStringList list;
    for (int i = 0; i < size(); ++i) {
        list.append(SceneItems::sceneName(at(i)));
    }
    return list;
}

void SceneCollection::setCurrent(int index) {
    current_ = at(index) ? index : -1;
    showCurrent();
}

void SceneCollection::showCurrent() {
    obs_scene_t* scene = current();
    obs_set_output_source(0, scene ? obs_scene_get_source(scene) : nullptr);
}

obs_scene_t* SceneCollection::add(const QString& name) {
    OBSSceneAutoRelease created = obs_scene_create(name.toUtf8().constData());
    if (!created) {
        return nullptr;
    }
    scenes_.emplace_back(created.Get());
    return created.Get();
}

void SceneCollection::remove(int index) {
    obs_scene_t* scene = at(index);
    if (!scene) {
        return;
    }
    OBSScene keep(scene);
    scenes_.erase(scenes_.begin() + index);
    if (index < current_) {
        --current_;
    } else if (index == current_) {
        current_ = scenes_.empty() ? -1 : std::min(index, size() - 1);
        showCurrent();
    }
    // Marks the scene gone; its items and their sources go with the last reference.
    obs_source_remove(obs_scene_get_source(scene));
}

bool SceneCollection::move(int from, int to) {
    if (!at(from) || !at(to) || from == to) {
        return false;
    }
    obs_scene_t* currentScene = current();
    OBSScene moving = scenes_[static_cast<size_t>(from)];
    scenes_.erase(scenes_.begin() + from);
    scenes_.insert(scenes_.begin() + to, moving);
    current_ = indexOf(currentScene);
    return true;
}

void SceneCollection::clear() {
    if (scenes_.empty() && current_ < 0) {
        return;
    }
    obs_set_output_source(0, nullptr);
    current_ = -1;
    scenes_.clear();
}

OBSDataAutoRelease SceneCollection::save() const {
    OBSDataAutoRelease document = obs_data_create();
    OBSDataArrayAutoRelease order = obs_data_array_create();
    OBSDataArrayAutoRelease sources = obs_data_array_create();
    QSet<obs_source_t*> saved;
    for (const OBSScene& scene : scenes_) {
        for (const OBSSceneItem& item : SceneItems::list(scene)) {
            obs_source_t* source = obs_sceneitem_get_source(item);
            if (!saved.contains(source)) {
                saved.insert(source);
                saveSource(sources, source);
            }
        }
        saveSource(sources, obs_scene_get_source(scene));
        OBSDataAutoRelease entry = obs_data_create();
        obs_data_set_string(entry, "name", obs_source_get_name(obs_scene_get_source(scene)));
        obs_data_array_push_back(order, entry);
    }
    obs_data_set_int(document, "version", 1);
    obs_data_set_string(document, "current_scene",
                        current() ? obs_source_get_name(obs_scene_get_source(current())) : "");
    obs_data_set_array(document, "scene_order", order);
    obs_data_set_array(document, "sources", sources);
    return document;
}

bool SceneCollection::load(obs_data_t* document) {
    OBSDataArrayAutoRelease order = obs_data_get_array(document, "scene_order");
    OBSDataArrayAutoRelease sources = obs_data_get_array(document, "sources");
    if (!order || !sources) {
        return false;
    }
    clear();
    QHash<QString, OBSScene> found;
    obs_load_sources(sources, keepScene, &found);
    for (size_t i = 0; i < obs_data_array_count(order); ++i) {
        OBSDataAutoRelease entry = obs_data_array_item(order, i);
        const QString name = QString::fromUtf8(obs_data_get_string(entry, "name"));
        if (found.contains(name)) {
            scenes_.push_back(found.take(name));
        }
    }
    // Scenes missing from the order list are still the user's; keep them at the end.
    for (auto it = found.begin(); it != found.end(); ++it) {
        scenes_.push_back(it.value());
    }
    const int wanted = indexOf(QString::fromUtf8(obs_data_get_string(document, "current_scene")));
    setCurrent(wanted >= 0 ? wanted : 0);
    return true;
}
