#include "frontend/OBSBasic.h"

#include <QCursor>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QTimer>
#include <algorithm>

#include "core/AtomicFile.h"
#include "core/Log.h"
#include "frontend/IniConfig.h"
#include "frontend/OBSApp.h"
#include "frontend/PreviewDisplay.h"
#include "frontend/SceneCollection.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceFactory.h"
#include "frontend/SourceKinds.h"
#include "frontend/SourceListWidget.h"
#include "frontend/SourceMenu.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioDefaults.h"
#include "frontend/StudioEngine.h"
#include "frontend/StudioOutputs.h"
#include "frontend/StudioPaths.h"
#include "frontend/StudioStrings.h"

using namespace orbLiveImp;

namespace {

constexpr int kSaveDelayMs = 1000;

// New materials fill the canvas as far as their aspect allows; a camera may be mirrored.
void placeNewItem(obs_sceneitem_t* item, const orbLiveImp::SoureParam& param) {
    obs_video_info ovi;
    if (!obs_get_video_info(&ovi)) {
        return;
    }
    vec2 pos = {};
    vec2 bounds;
    vec2_set(&bounds, static_cast<float>(ovi.base_width), static_cast<float>(ovi.base_height));
    obs_sceneitem_defer_update_begin(item);
    obs_sceneitem_set_alignment(item, OBS_ALIGN_LEFT | OBS_ALIGN_TOP);
    obs_sceneitem_set_pos(item, &pos);
    obs_sceneitem_set_bounds_type(item, OBS_BOUNDS_SCALE_INNER);
    obs_sceneitem_set_bounds_alignment(item, OBS_ALIGN_CENTER);
    obs_sceneitem_set_bounds(item, &bounds);
    if (param.type == SourceKinds::kCamera) {
        vec2 scale;
        vec2_set(&scale, param.primaryFlag ? -1.0f : 1.0f, param.secondaryFlag ? -1.0f : 1.0f);
        obs_sceneitem_set_scale(item, &scale);
    }
    obs_sceneitem_defer_update_end(item);
}

bool isSaveWorthy(uint8_t itemOp) {
    return itemOp != kItemSelect && itemOp != kItemProperties;
}

}  // namespace

OBSBasic::OBSBasic(QObject* parent)
    : QObject(parent),
      profile_(std::make_unique<IniConfig>()),
      scenes_(std::make_unique<SceneCollection>()),
      relay_(new SceneEventRelay(this)),
      saveTimer_(new QTimer(this)) {
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(kSaveDelayMs);
    connect(saveTimer_, &QTimer::timeout, this, &OBSBasic::SaveProject);
    connect(relay_, &SceneEventRelay::sceneEvent, this, &OBSBasic::scheduleSave);
    connect(relay_, &SceneEventRelay::itemEvent, this,
            [this](const orbLiveImp::SceneItemData& data) {
                if (isSaveWorthy(data.op)) {
                    scheduleSave();
                }
            });
}

OBSBasic::~OBSBasic() {
    shutdown();
}

int OBSBasic::init() {
    if (!profile_->open(StudioPaths::profileConfig())) {
        return OBSApp::kNoDataDir;
    }
    StudioDefaults::applyProfile(profile_->get());
    profile_->save();
    if (!StudioEngine::resetAudio(profile_->get())) {
        return OBSApp::kAudioFailed;
    }
    if (ResetVideo() != OBS_VIDEO_SUCCESS) {
        return OBSApp::kGraphicsFailed;
    }
    return 0;
}

void OBSBasic::loadProject() {
    const QString path = StudioPaths::sceneCollection();
    QFile file(path);
    const QByteArray json = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    OBSDataAutoRelease document =
        json.isEmpty() ? nullptr : obs_data_create_from_json(json.constData());
    if (!json.isEmpty() && !document) {
        // Keep the unreadable file for whoever can rescue it; start with a fresh collection.
        live::log::error("{}: unreadable scene collection {}", "OBSBasic::loadProject", path);
        QFile::remove(path + QStringLiteral(".broken"));
        QFile::rename(path, path + QStringLiteral(".broken"));
    }
    if (!document || !scenes_->load(document)) {
        startFirstRun();
    }
    for (int i = 0; i < scenes_->size(); ++i) {
        relay_->watch(scenes_->at(i));
    }
    loaded_ = true;
    if (!json.isEmpty() && !document) {
        SaveProject();
    }
    setUpOutputs();
}

void OBSBasic::startFirstRun() {
    scenes_->clear();
    const QString name =
        SourceFactory::uniqueName(StudioStrings::get("Basic.Scene") + QStringLiteral("1"));
    scenes_->add(name);
    scenes_->setCurrent(0);
}

void OBSBasic::shutdown() {
    if (!loaded_ && !profile_->get()) {
        return;
    }
    saveTimer_->stop();
    detach();
    // Saved before the outputs go: their teardown is the part that can hang.
    if (loaded_) {
        SaveProject();
    }
    profile_->save();
    tearDownOutputs();
    delete sourceList_.data();
    loaded_ = false;
    relay_->unwatchAll();
    scenes_->clear();
    profile_->close();
}

config_t* OBSBasic::Config() const {
    return profile_->get();
}

int OBSBasic::ResetVideo() {
    return StudioEngine::resetVideo(profile_->get());
}

bool OBSBasic::SaveProject() {
    if (!loaded_) {
        return false;
    }
    saveTimer_->stop();
    OBSDataAutoRelease document = scenes_->save();
    const char* json = obs_data_get_json(document);
    const bool ok =
        json && live::AtomicFile::write(StudioPaths::sceneCollection(), QByteArray(json));
    if (!ok) {
        live::log::error("{}: failed to save the scene collection {}", "OBSBasic::SaveProject",
                         StudioPaths::sceneCollection());
    }
    return ok;
}

void OBSBasic::scheduleSave() {
    if (loaded_) {
        saveTimer_->start();
    }
}

PreviewDisplay* OBSBasic::preview() const {
    return preview_;
}

SourceListWidget* OBSBasic::sourceList() const {
    return sourceList_;
}

obs_scene_t* OBSBasic::currentScene() const {
    return scenes_->current();
}

QStringList OBSBasic::sceneNames() const {
    return scenes_->names();
}

QString OBSBasic::currentSceneName() const {
    return currentScene() ? SceneItems::sceneName(currentScene()) : QString();
}

obs_scene_t* OBSBasic::GetCurrentScene() {
    obs_scene_t* scene = currentScene();
    return scene ? obs_scene_get_ref(scene) : nullptr;
}

int OBSBasic::getSceneItemCount() {
    return SceneItems::count(currentScene());
}

void OBSBasic::attach(QWidget* host, ControlFn control, ItemFn itemEvent) {
    detach();
    relay_->attach(std::move(control), std::move(itemEvent));
    postSnapshot();
    if (host) {
        preview_ = new PreviewDisplay(host);
        preview_->show();
    }
}

void OBSBasic::detach() {
    relay_->detach();
    delete preview_.data();
}

// What a newly attached client needs to mirror the studio: the scenes in order with their
// items top-most first, the selection, then the current scene.
void OBSBasic::postSnapshot() {
    for (int i = 0; i < scenes_->size(); ++i) {
        obs_scene_t* scene = scenes_->at(i);
        relay_->postScene(kSceneAdd, SceneItems::sceneName(scene), 0);
        for (const OBSSceneItem& item : SceneItems::list(scene)) {
            relay_->postItem(SceneItems::describe(scene, item, kItemAdded));
            if (obs_sceneitem_selected(item)) {
                relay_->postItem(SceneItems::describe(scene, item, kItemSelect, 1));
            }
        }
    }
    if (currentScene()) {
        relay_->postScene(kSceneCurrent, currentSceneName(), 0);
    }
}

bool OBSBasic::ctrlScene(uint8_t op, const QString& name, const QVariant& value) {
    switch (op) {
        case kSceneAdd:
            return addScene(name);
        case kSceneRemove:
            return removeScene(name);
        case kSceneRename:
            return renameScene(name, value.toString());
        case kSceneCurrent:
            return makeCurrent(name);
        default:
            live::log::warn("{}: unknown scene op {}", "OBSBasic::ctrlScene", op);
            return false;
    }
}

bool OBSBasic::addScene(const QString& name) {
    if (name.isEmpty() || SourceFactory::nameTaken(name)) {
        live::log::warn("{}: scene name {} is empty or taken", "OBSBasic::addScene", name);
        return false;
    }
    obs_scene_t* scene = scenes_->add(name);
    if (!scene) {
        return false;
    }
    relay_->watch(scene);
    relay_->postScene(kSceneAdd, name, 0);
    if (!currentScene()) {
        scenes_->setCurrent(scenes_->indexOf(scene));
        relay_->postScene(kSceneCurrent, name, 0);
    }
    return true;
}

bool OBSBasic::removeScene(const QString& name) {
    const int index = scenes_->indexOf(name);
    if (index < 0) {
        return false;
    }
    const bool wasCurrent = index == scenes_->currentIndex();
    // Its items vanish with it; the client drops them with the scene.
    relay_->unwatch(scenes_->at(index));
    scenes_->remove(index);
    relay_->postScene(kSceneRemove, name, 0);
    if (wasCurrent && currentScene()) {
        relay_->postScene(kSceneCurrent, currentSceneName(), 0);
    }
    return true;
}

bool OBSBasic::renameScene(const QString& name, const QString& newName) {
    obs_scene_t* scene = scenes_->at(scenes_->indexOf(name));
    if (!scene || newName.isEmpty() || SourceFactory::nameTaken(newName)) {
        live::log::warn("{}: cannot rename scene {} to {}", "OBSBasic::renameScene", name, newName);
        return false;
    }
    // Reported through the engine's rename signal, like any other rename.
    obs_source_set_name(obs_scene_get_source(scene), newName.toUtf8().constData());
    return true;
}

bool OBSBasic::makeCurrent(const QString& name) {
    const int index = scenes_->indexOf(name);
    if (index < 0) {
        return false;
    }
    if (index != scenes_->currentIndex()) {
        scenes_->setCurrent(index);
        relay_->postScene(kSceneCurrent, name, 0);
    }
    return true;
}

bool OBSBasic::reorderScene(int from, int to) {
    if (!scenes_->move(from, to)) {
        return false;
    }
    relay_->postScene(kSceneMoved, SceneItems::sceneName(scenes_->at(to)), to);
    return true;
}

bool OBSBasic::ctrlSceneItem(const QString& name, uint8_t op, const QVariant& value) {
    OBSSceneItem item = SceneItems::find(currentScene(), name);
    if (!item) {
        live::log::warn("{}: no item {} in the current scene", "OBSBasic::ctrlSceneItem", name);
        return false;
    }
    switch (op) {
        case kItemRemove:
            obs_sceneitem_remove(item);
            return true;
        case kItemVisible:
            obs_sceneitem_set_visible(item, value.toBool());
            return true;
        case kItemLock:
            obs_sceneitem_set_locked(item, value.toBool());
            return true;
        case kItemSelect:
            return selectItem(item, value.toBool());
        case kItemRename:
            return renameItem(item, value.toString());
        default:
            live::log::warn("{}: unknown item op {}", "OBSBasic::ctrlSceneItem", op);
            return false;
    }
}

bool OBSBasic::selectItem(obs_sceneitem_t* item, bool select) {
    if (select) {
        // One material is selected at a time, as in the client's tables.
        for (const OBSSceneItem& other : SceneItems::list(currentScene())) {
            if (other != item) {
                obs_sceneitem_select(other, false);
            }
        }
    }
    obs_sceneitem_select(item, select);
    return true;
}

bool OBSBasic::renameItem(obs_sceneitem_t* item, const QString& newName) {
    if (newName.isEmpty() || SourceFactory::nameTaken(newName)) {
        live::log::warn("{}: name {} is empty or taken", "OBSBasic::renameItem", newName);
        return false;
    }
    obs_source_set_name(obs_sceneitem_get_source(item), newName.toUtf8().constData());
    return true;
}

bool OBSBasic::moveSceneItem(const QString& name, obs_order_movement movement) {
    OBSSceneItem item = SceneItems::find(currentScene(), name);
    if (!item) {
        return false;
    }
    obs_sceneitem_set_order(item, movement);
    return true;
}

void OBSBasic::showProperties(const QString& name) {
    OBSSceneItem item = SceneItems::find(currentScene(), name);
    if (item) {
        relay_->postItem(SceneItems::describe(currentScene(), item, kItemProperties));
    }
}

QString OBSBasic::addSceneItem(const orbLiveImp::SoureParam& param) {
    obs_scene_t* scene = currentScene();
    if (!scene) {
        live::log::warn("{}: no current scene", "OBSBasic::addSceneItem");
        return QString();
    }
    OBSSourceAutoRelease source = SourceFactory::create(param);
    if (!source) {
        return QString();
    }
    obs_sceneitem_t* item = obs_scene_add(scene, source);
    if (!item) {
        return QString();
    }
    placeNewItem(item, param);
    return QString::fromUtf8(obs_source_get_name(source));
}

bool OBSBasic::removeSceneItem(const QString& name) {
    bool found = false;
    for (const OBSSceneItem& item : SceneItems::list(currentScene())) {
        if (SceneItems::itemName(item) == name) {
            obs_sceneitem_remove(item);
            found = true;
        }
    }
    return found;
}

QString OBSBasic::fastAddCamera2() {
    const SourceKind* camera = SourceKinds::byKind(SourceKinds::kCamera);
    const QList<SourceFactory::Choice> devices =
        SourceFactory::choices(camera->typeId, camera->mainProperty);
    orbLiveImp::SoureParam param;
    param.type = SourceKinds::kCamera;
    param.value = devices.isEmpty() ? QString() : devices.first().second.toString();
    return addSceneItem(param);
}

QString OBSBasic::fastAddWindow(const QString& title) {
    orbLiveImp::SoureParam param;
    param.type = SourceKinds::kWindow;
    param.value = title;
    return addSceneItem(param);
}

QString OBSBasic::fastAddMonitor(const QString& title) {
    orbLiveImp::SoureParam param;
    param.type = SourceKinds::kMonitor;
    param.value = title;
    return addSceneItem(param);
}

QStringList OBSBasic::itemNamesOfKinds(std::initializer_list<uint8_t> kinds) const {
    QStringList names;
    for (const OBSSceneItem& item : SceneItems::list(currentScene())) {
        const SourceKind* kind =
            SourceKinds::byTypeId(obs_source_get_id(obs_sceneitem_get_source(item)));
        if (kind && std::find(kinds.begin(), kinds.end(), kind->kind) != kinds.end()) {
            names.append(SceneItems::itemName(item));
        }
    }
    return names;
}

void OBSBasic::lendSourceList(QLayout* layout, QWidget* widget) {
    if (!widget) {
        if (sourceList_) {
            if (layout) {
                layout->removeWidget(sourceList_);
            }
            sourceList_->hide();
            sourceList_->setParent(nullptr);
        }
        return;
    }
    if (!sourceList_) {
        sourceList_ = new SourceListWidget(this);
    }
    sourceList_->setParent(widget);
    if (layout) {
        layout->addWidget(sourceList_);
    }
    sourceList_->refresh();
    sourceList_->show();
}

QMenu* OBSBasic::CreateSourcePopupMenu() {
    OBSSceneItem selected = SceneItems::firstSelected(currentScene());
    QMenu* menu = SourceMenu::create(this, selected ? SceneItems::itemName(selected) : QString(),
                                     selected && obs_sceneitem_visible(selected));
    menu->popup(QCursor::pos());
    return menu;
}
