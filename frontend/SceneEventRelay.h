#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <atomic>
#include <functional>
#include <map>
#include <vector>

#include <obs.hpp>

#include "frontend/SceneItemData.h"

// Turns scene changes, ours and the engine's, into the client's scene and item events.
// The engine signals from whichever thread made the change; every event is queued to the
// main thread in the order it happened, so the client sees one consistent sequence.
class SceneEventRelay : public QObject {
    Q_OBJECT
public:
    using ControlFn = std::function<void(uint8_t op, const QString& name, QVariant value)>;
    using ItemFn = std::function<void(const orbLiveImp::SceneItemData& data)>;

    explicit SceneEventRelay(QObject* parent = nullptr);
    ~SceneEventRelay() override;

    // Follows a scene's item changes until unwatch.
    void watch(obs_scene_t* scene);
    void unwatch(obs_scene_t* scene);
    void unwatchAll();

    // Events queued from now on reach these callbacks; earlier ones no longer do.
    void attach(ControlFn control, ItemFn item);
    void detach();

    void postScene(uint8_t op, const QString& name, const QVariant& value);
    void postItem(const orbLiveImp::SceneItemData& data);
    // Output states and audio levels: for the client only, not scene changes, so the
    // signals below do not carry them. Callable from any thread.
    void postStatus(uint8_t op, const QString& name, const QVariant& value);
    void postLevel(const orbLiveImp::SceneItemData& data);

signals:
    // Every event as it is delivered, attached or not (for the library's own views).
    void sceneEvent(uint8_t op, const QString& name, const QVariant& value);
    void itemEvent(const orbLiveImp::SceneItemData& data);

private:
    static void onItemAdd(void* param, calldata_t* data);
    static void onItemRemove(void* param, calldata_t* data);
    static void onItemVisible(void* param, calldata_t* data);
    static void onItemLocked(void* param, calldata_t* data);
    static void onItemSelect(void* param, calldata_t* data);
    static void onItemDeselect(void* param, calldata_t* data);
    static void onReorder(void* param, calldata_t* data);
    static void onSourceRename(void* param, calldata_t* data);

    void postItemChange(calldata_t* data, uint8_t op, uint8_t value);
    void deliverScene(uint8_t op, const QString& name, const QVariant& value, quint64 generation);
    void deliverItem(const orbLiveImp::SceneItemData& data, quint64 generation);

    std::map<obs_scene_t*, std::vector<OBSSignal>> watched_;
    OBSSignal renameSignal_;
    ControlFn control_;
    ItemFn item_;
    bool attached_ = false;
    std::atomic<quint64> generation_{0};
};
