#include "studio/OrbOBS.h"

#include <QCoreApplication>

#include <obs.hpp>

#include "core/IConfig.h"
#include "core/Log.h"
#include "frontend/HotkeyKeys.h"
#include "frontend/OBSApp.h"
#include "frontend/OBSBasic.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceFactory.h"
#include "frontend/SourceHotkeys.h"
#include "frontend/SourceKinds.h"
#include "studio/LiveProfile.h"
#include "studio/SceneLayout.h"
#include "studio/SourceChoices.h"
#include "studio/SourceProps.h"

namespace {

// The studio hands out its current scene referenced.
OBSSceneAutoRelease currentScene(OBSBasic* basic) {
    return basic ? basic->GetCurrentScene() : nullptr;
}

}  // namespace

OrbOBS::OrbOBS() : app_(qobject_cast<OBSApp*>(QCoreApplication::instance())) {}

void OrbOBS::init(const std::shared_ptr<live::IConfig>& config) {
    config_ = config;
    loadFilterInfo();
    LiveProfile::ensureRecordFolder(mainWindow());
}

void OrbOBS::loadFilterInfo() {
    const std::shared_ptr<live::IConfig> config = config_.lock();
    filter_.load(config ? config->getPath(live::kPathStudioFilter) : QString(),
                 "OrbOBS::loadFilterInfo");
}

obs_source_t* OrbOBS::findSource(const QString& name, const char* tag) {
    obs_source_t* source = obs_get_source_by_name(name.toUtf8().constData());
    if (!source) {
        live::log::error("{}: obs source not found, source name {}", tag, name);
        return nullptr;
    }
    const char* id = obs_source_get_id(source);
    if (!id || !*id) {
        live::log::error("{}: invalid obs source id", tag);
        obs_source_release(source);
        return nullptr;
    }
    return source;
}

bool OrbOBS::getSourceProp(const QString& name, orbLiveImp::SoureParam& out) {
    OBSSourceAutoRelease source = findSource(name, "OrbOBS::getSourceProp");
    if (!source) {
        return false;
    }
    out.value.clear();
    out.primaryFlag = false;
    out.secondaryFlag = false;
    out.hotkeys.clear();
    out.type = SourceProps::kindOf(obs_source_get_id(source));
    out.name = name;
    out.typeId = QString::fromUtf8(SourceKinds::byKind(out.type)->typeId);
    OBSSceneAutoRelease scene = currentScene(mainWindow());
    SourceProps::read(source, scene.Get(), out);
    if (out.type == SourceKinds::kSlideshow) {
        getSourceHotkeys(name, out.hotkeys);
    }
    return true;
}

void OrbOBS::updateSource(const orbLiveImp::SoureParam& in) {
    OBSSourceAutoRelease source = findSource(in.name, "OrbOBS::updateSource");
    if (!source) {
        return;
    }
    OBSDataAutoRelease current = obs_source_get_settings(source);
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_apply(settings, current);
    if (!SourceProps::write(source, in, settings)) {
        return;
    }
    obs_source_update(source, settings);
    OBSBasic* basic = mainWindow();
    if (!basic) {
        return;
    }
    if (in.type == SourceKinds::kSlideshow) {
        basic->setHotkey(source, in.hotkeys);
    }
    // A material the user has just changed must survive a crash before the next scene event.
    basic->SaveProject();
}

void OrbOBS::getSourceChoices(uint8_t kind, QString& typeId, QStringList& names,
                              QList<QVariant>& values) {
    const SourceKind* k = SourceKinds::byKind(kind);
    if (!k) {
        k = SourceKinds::byKind(SourceKinds::kCamera);
    }
    typeId = QString::fromUtf8(k->typeId);
    if (kind > SourceKinds::kWindow) {
        return;
    }
    SourceChoices::list(k->typeId, names, values);
    if (kind == SourceKinds::kWindow) {
        filter_.apply(names, values);
    }
}

QString OrbOBS::unavailableReason(uint8_t kind) const {
    const SourceKind* k = SourceKinds::byKind(kind);
    if (!k) {
        return tr("未知的素材类型");
    }
    if (SourceFactory::registered(k->typeId)) {
        return QString();
    }
    return tr("此电脑上不能使用%1素材（缺少 %2 模块）")
        .arg(QCoreApplication::translate("SourceKinds", k->baseName), QString::fromUtf8(k->typeId));
}

bool OrbOBS::getSourceHotkeys(const QString& name, std::vector<orbLiveImp::OrbShortcut>& out) {
    OBSSourceAutoRelease source = obs_get_source_by_name(name.toUtf8().constData());
    if (!source) {
        return false;
    }
    static const QString kSlots[] = {QStringLiteral("SlideShow.PreviousSlide"),
                                     QStringLiteral("SlideShow.NextSlide")};
    out.assign(2, orbLiveImp::OrbShortcut());
    const QHash<QString, obs_hotkey_id> ids = SourceHotkeys::of(source);
    for (size_t i = 0; i < 2; ++i) {
        const auto id = ids.constFind(kSlots[i]);
        if (id == ids.constEnd()) {
            continue;
        }
        const obs_key_combination_t combination = SourceHotkeys::firstBinding(*id);
        if (!obs_key_combination_is_empty(combination)) {
            out[i] = HotkeyKeys::fromCombination(combination);
        }
    }
    return true;
}

bool OrbOBS::setSourceHotkeys(const QString& name,
                              const std::vector<orbLiveImp::OrbShortcut>& keys) {
    OBSBasic* basic = mainWindow();
    OBSSourceAutoRelease source = findSource(name, "OrbOBS::setSourceHotkeys");
    if (!basic || !source) {
        return false;
    }
    basic->setHotkey(source, keys);
    basic->SaveProject();
    return true;
}

OrbOBS::DeviceSettings OrbOBS::openDeviceSettings(const QString& name) {
    OBSSourceAutoRelease source = obs_get_source_by_name(name.toUtf8().constData());
    if (!source) {
        return kDeviceSettingsNoSource;
    }
    static const QString kButton = QStringLiteral("video_config");
    obs_properties_t* props = obs_source_properties(source);
    DeviceSettings result = kDeviceSettingsNone;
    for (obs_property_t* p = obs_properties_first(props); p; obs_property_next(&p)) {
        const QString propName = QString::fromUtf8(obs_property_name(p));
        if (!propName.isEmpty() && kButton.contains(propName) &&
            obs_property_get_type(p) == OBS_PROPERTY_BUTTON) {
            obs_property_button_clicked(p, source);
            result = kDeviceSettingsOpened;
            break;
        }
    }
    obs_properties_destroy(props);
    return result;
}

void OrbOBS::getAudioDevices(QList<AudioDeviceEntry>& inputs, QList<AudioDeviceEntry>& outputs) {
    if (!app_) {
        return;
    }
    const auto fill = [](const char* typeId, QList<AudioDeviceEntry>& list) {
        for (const SourceFactory::Choice& c : SourceFactory::choices(typeId, "device_id")) {
            list.append({c.first, c.second.toString(), 0});
        }
    };
    fill(app_->InputAudioSource(), inputs);
    fill(app_->OutputAudioSource(), outputs);
}

void OrbOBS::getLiveSettings(LiveSettings& record) {
    LiveProfile::read(mainWindow(), record);
}

LiveSettingsResult OrbOBS::setLiveSettings(const LiveSettings& record) {
    return LiveProfile::write(app_, mainWindow(), record);
}

void OrbOBS::flipSource(const QString& name, bool vertical) {
    OBSSceneAutoRelease scene = currentScene(mainWindow());
    for (const OBSSceneItem& item : SceneItems::list(scene.Get())) {
        if (SceneItems::itemName(item) == name) {
            SceneLayout::flip(item, vertical);
        }
    }
}

void OrbOBS::ensureCamera() {
    OBSBasic* basic = mainWindow();
    OBSSceneAutoRelease scene = currentScene(basic);
    if (!scene.Get() || !SceneLayout::cameras(scene.Get()).empty()) {
        return;
    }
    const QString name = basic->fastAddCamera2();
    OBSSceneItem item = SceneItems::find(scene.Get(), name);
    if (!item) {
        return;
    }
    const std::shared_ptr<live::IConfig> config = config_.lock();
    SceneLayout::Placement placement;
    if (config && config->runtime().hasCameraData) {
        placement = config->getCameraData();
    }
    // A saved mark with a short list (an empty "camera_data") is no placement at all.
    if (placement.size() != 6) {
        placement = SceneLayout::defaultPlacement(SceneItems::count(scene.Get()) <= 1);
    }
    SceneLayout::place(item, placement);
}

void OrbOBS::raiseCamera() {
    OBSSceneAutoRelease scene = currentScene(mainWindow());
    const std::vector<OBSSceneItem> cameras = SceneLayout::cameras(scene.Get());
    if (!cameras.empty()) {
        obs_sceneitem_set_order(cameras.front(), OBS_ORDER_MOVE_TOP);
    }
}

void OrbOBS::removeCameras() {
    OBSSceneAutoRelease scene = currentScene(mainWindow());
    const std::vector<OBSSceneItem> cameras = SceneLayout::cameras(scene.Get());
    if (cameras.empty() || !app_) {
        return;
    }
    if (const std::shared_ptr<live::IConfig> config = config_.lock()) {
        config->setCameraData(SceneLayout::placementOf(cameras.front()));
    }
    for (const OBSSceneItem& item : cameras) {
        app_->removeScenceItem(SceneItems::itemName(item), false);
    }
}

void OrbOBS::syncItemOrder(QStandardItemModel* model) {
    OBSSceneAutoRelease scene = currentScene(mainWindow());
    SceneLayout::syncModel(SceneLayout::order(scene.Get()), model);
}

void OrbOBS::reorderScene(int from, int to) {
    if (OBSBasic* basic = mainWindow()) {
        basic->reorderScene(from, to);
    }
}

void OrbOBS::getResourceUtility(orbLiveImp::ResourceUtil& util) {
    if (OBSBasic* basic = mainWindow()) {
        basic->getResourceUtility(util);
    }
}

bool OrbOBS::sourceExists(const QString& name) const {
    OBSSourceAutoRelease source = obs_get_source_by_name(name.toUtf8().constData());
    return source != nullptr;
}

OBSBasic* OrbOBS::mainWindow() const {
    return app_ ? app_->GetMainWindow() : nullptr;
}
