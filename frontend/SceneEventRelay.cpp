#include "frontend/SceneEventRelay.h"

#include "frontend/SceneItems.h"
#include "frontend/StudioCodes.h"

SceneEventRelay::SceneEventRelay(QObject* parent) : QObject(parent) {
    qRegisterMetaType<orbLiveImp::SceneItemData>();
    renameSignal_.Connect(obs_get_signal_handler(), "source_rename", onSourceRename, this);
}

SceneEventRelay::~SceneEventRelay() {
    renameSignal_.Disconnect();
    unwatchAll();
}

void SceneEventRelay::watch(obs_scene_t* scene) {
    if (!scene || watched_.count(scene)) {
        return;
    }
    signal_handler_t* handler = obs_source_get_signal_handler(obs_scene_get_source(scene));
    std::vector<OBSSignal>& links = watched_[scene];
    links.emplace_back(handler, "item_add", onItemAdd, this);
    links.emplace_back(handler, "item_remove", onItemRemove, this);
    links.emplace_back(handler, "item_visible", onItemVisible, this);
    links.emplace_back(handler, "item_locked", onItemLocked, this);
    links.emplace_back(handler, "item_select", onItemSelect, this);
    links.emplace_back(handler, "item_deselect", onItemDeselect, this);
    links.emplace_back(handler, "reorder", onReorder, this);
}

void SceneEventRelay::unwatch(obs_scene_t* scene) {
    watched_.erase(scene);
}

void SceneEventRelay::unwatchAll() {
    watched_.clear();
}

void SceneEventRelay::attach(ControlFn control, ItemFn item) {
    ++generation_;
    control_ = std::move(control);
    item_ = std::move(item);
    attached_ = true;
}

void SceneEventRelay::detach() {
    ++generation_;
    control_ = nullptr;
    item_ = nullptr;
    attached_ = false;
}

void SceneEventRelay::postScene(uint8_t op, const QString& name, const QVariant& value) {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this, [this, op, name, value, generation] { deliverScene(op, name, value, generation); },
        Qt::QueuedConnection);
}

void SceneEventRelay::postItem(const orbLiveImp::SceneItemData& data) {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this, [this, data, generation] { deliverItem(data, generation); }, Qt::QueuedConnection);
}

void SceneEventRelay::postStatus(uint8_t op, const QString& name, const QVariant& value) {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, op, name, value, generation] {
            if (attached_ && generation == generation_ && control_) {
                control_(op, name, value);
            }
        },
        Qt::QueuedConnection);
}

void SceneEventRelay::postLevel(const orbLiveImp::SceneItemData& data) {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, data, generation] {
            if (attached_ && generation == generation_ && item_) {
                item_(data);
            }
        },
        Qt::QueuedConnection);
}

void SceneEventRelay::deliverScene(uint8_t op, const QString& name, const QVariant& value,
                                   quint64 generation) {
    emit sceneEvent(op, name, value);
    if (attached_ && generation == generation_ && control_) {
        control_(op, name, value);
    }
}

void SceneEventRelay::deliverItem(const orbLiveImp::SceneItemData& data, quint64 generation) {
    emit itemEvent(data);
    if (attached_ && generation == generation_ && item_) {
        item_(data);
    }
}

void SceneEventRelay::postItemChange(calldata_t* data, uint8_t op, uint8_t value) {
    auto* scene = static_cast<obs_scene_t*>(calldata_ptr(data, "scene"));
    auto* item = static_cast<obs_sceneitem_t*>(calldata_ptr(data, "item"));
    if (!scene) {
        return;
    }
    postItem(SceneItems::describe(scene, item, op, value));
}

void SceneEventRelay::onItemAdd(void* param, calldata_t* data) {
    auto* self = static_cast<SceneEventRelay*>(param);
    self->postItemChange(data, orbLiveImp::kItemAdded, 0);
    // A new item goes on top, which changes the order the client shows.
    onReorder(param, data);
}

void SceneEventRelay::onItemRemove(void* param, calldata_t* data) {
    static_cast<SceneEventRelay*>(param)->postItemChange(data, orbLiveImp::kItemRemove, 1);
}

void SceneEventRelay::onItemVisible(void* param, calldata_t* data) {
    static_cast<SceneEventRelay*>(param)->postItemChange(data, orbLiveImp::kItemVisible,
                                                         calldata_bool(data, "visible"));
}

void SceneEventRelay::onItemLocked(void* param, calldata_t* data) {
    static_cast<SceneEventRelay*>(param)->postItemChange(data, orbLiveImp::kItemLock,
                                                         calldata_bool(data, "locked"));
}

void SceneEventRelay::onItemSelect(void* param, calldata_t* data) {
    static_cast<SceneEventRelay*>(param)->postItemChange(data, orbLiveImp::kItemSelect, 1);
}

void SceneEventRelay::onItemDeselect(void* param, calldata_t* data) {
    static_cast<SceneEventRelay*>(param)->postItemChange(data, orbLiveImp::kItemSelect, 0);
}

void SceneEventRelay::onReorder(void* param, calldata_t* data) {
    auto* self = static_cast<SceneEventRelay*>(param);
    auto* scene = static_cast<obs_scene_t*>(calldata_ptr(data, "scene"));
    if (scene) {
        self->postItem(SceneItems::describe(scene, nullptr, orbLiveImp::kItemOrder));
    }
}

void SceneEventRelay::onSourceRename(void* param, calldata_t* data) {
    auto* self = static_cast<SceneEventRelay*>(param);
    const QString previous = QString::fromUtf8(calldata_string(data, "prev_name"));
    const QString now = QString::fromUtf8(calldata_string(data, "new_name"));
    // Described now, not when the event is delivered: by then the item may be gone, and the
    // client would never hear of the name its removal carries. Renames come from the
    // library's calls on the main thread, which is also the only one that changes watched_.
    auto* scene = obs_scene_from_source(static_cast<obs_source_t*>(calldata_ptr(data, "source")));
    if (scene && self->watched_.count(scene) != 0) {
        self->postScene(orbLiveImp::kSceneRename, previous, now);
        return;
    }
    for (const auto& entry : self->watched_) {
        OBSSceneItem item = SceneItems::find(entry.first, now);
        if (item) {
            orbLiveImp::SceneItemData described =
                SceneItems::describe(entry.first, item, orbLiveImp::kItemRename);
            described.itemName = previous;
            described.newName = now;
            self->postItem(described);
        }
    }
}
