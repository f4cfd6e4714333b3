#include "studio/SourceProps.h"

#include <obs.hpp>

#include "studio/SourceChoices.h"

namespace {

QString firstFile(obs_data_t* settings, const char* property) {
    OBSDataArrayAutoRelease files = obs_data_get_array(settings, property);
    const size_t count = files ? obs_data_array_count(files) : 0;
    for (size_t i = 0; i < count; ++i) {
        OBSDataAutoRelease file = obs_data_array_item(files, i);
        if (obs_data_has_user_value(file, "value")) {
            return QString::fromUtf8(obs_data_get_string(file, "value"));
        }
    }
    return QString();
}

void readMirroring(obs_source_t* source, obs_scene_t* scene, orbLiveImp::SoureParam& out) {
    obs_sceneitem_t* item =
        scene ? obs_scene_find_source(scene, obs_source_get_name(source)) : nullptr;
    if (!item) {
        return;
    }
    vec2 scale;
    obs_sceneitem_get_scale(item, &scale);
    out.primaryFlag = scale.x < 0.0f;
    out.secondaryFlag = scale.y < 0.0f;
}

void setFiles(obs_data_t* settings, const char* property, const QString& path) {
    OBSDataAutoRelease file = obs_data_create();
    obs_data_set_string(file, "value", path.toUtf8().constData());
    obs_data_set_bool(file, "selected", true);
    obs_data_set_bool(file, "hidden", false);
    OBSDataArrayAutoRelease files = obs_data_array_create();
    obs_data_array_push_back(files, file);
    obs_data_set_array(settings, property, files);
}

}  // namespace

uint8_t SourceProps::kindOf(const char* typeId) {
    const SourceKind* kind = SourceKinds::byTypeId(typeId);
    return kind ? kind->kind : uint8_t(SourceKinds::kCamera);
}

void SourceProps::read(obs_source_t* source, obs_scene_t* scene, orbLiveImp::SoureParam& out) {
    const SourceKind* kind = SourceKinds::byKind(out.type);
    OBSDataAutoRelease settings = obs_source_get_settings(source);
    if (!kind || !settings) {
        return;
    }
    switch (kind->kind) {
        case SourceKinds::kCamera:
            out.value = QString::fromUtf8(obs_data_get_string(settings, kind->mainProperty));
            readMirroring(source, scene, out);
            return;
        case SourceKinds::kMonitor:
        case SourceKinds::kWindow:
            out.value = SourceChoices::nameOfValue(source, kind->mainProperty);
            break;
        case SourceKinds::kSlideshow:
            out.value = firstFile(settings, kind->mainProperty);
            out.secondaryFlag =
                QString::fromUtf8(obs_data_get_string(settings, kind->secondaryProperty))
                    .contains(QLatin1String("mode_auto"));
            break;
        default:
            out.value = QString::fromUtf8(obs_data_get_string(settings, kind->mainProperty));
            break;
    }
    if (kind->primaryProperty) {
        out.primaryFlag = obs_data_get_bool(settings, kind->primaryProperty);
    }
}

bool SourceProps::write(obs_source_t* source, const orbLiveImp::SoureParam& in,
                        obs_data_t* settings) {
    const SourceKind* kind = SourceKinds::byKind(in.type);
    if (!kind) {
        return false;
    }
    const QByteArray value = in.value.toUtf8();
    switch (kind->kind) {
        case SourceKinds::kCamera:
            obs_data_set_string(settings, kind->mainProperty, value.constData());
            return true;
        case SourceKinds::kMonitor:
        case SourceKinds::kWindow:
            if (!SourceChoices::setByName(source, kind->mainProperty, in.value, settings)) {
                return false;
            }
            break;
        case SourceKinds::kSlideshow:
            obs_data_set_string(settings, kind->secondaryProperty,
                                in.secondaryFlag ? "mode_auto" : "mode_manual");
            obs_data_set_bool(settings, "hide", true);
            setFiles(settings, kind->mainProperty, in.value);
            break;
        default:
            obs_data_set_string(settings, kind->mainProperty, value.constData());
            break;
    }
    if (kind->primaryProperty) {
        obs_data_set_bool(settings, kind->primaryProperty, in.primaryFlag);
    }
    return true;
}
