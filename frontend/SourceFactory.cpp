#include "frontend/SourceFactory.h"

#include <QCoreApplication>

#include "core/Log.h"

namespace {

// Exact display name first, then an exact value, then a display name containing the text.
const SourceFactory::Choice* match(const QList<SourceFactory::Choice>& choices,
                                   const QString& value) {
    for (const auto& c : choices) {
        if (c.first == value) {
            return &c;
        }
    }
    for (const auto& c : choices) {
        if (c.second.toString() == value) {
            return &c;
        }
    }
    if (!value.isEmpty()) {
        for (const auto& c : choices) {
            if (c.first.contains(value)) {
                return &c;
            }
        }
    }
    return nullptr;
}

void setVariant(obs_data_t* settings, const char* name, const QVariant& value) {
    switch (value.type()) {
        case QVariant::LongLong:
        case QVariant::Int:
            obs_data_set_int(settings, name, value.toLongLong());
            break;
        case QVariant::Double:
            obs_data_set_double(settings, name, value.toDouble());
            break;
        default:
            obs_data_set_string(settings, name, value.toString().toUtf8().constData());
            break;
    }
}

}  // namespace

bool SourceFactory::registered(const char* typeId) {
    if (!typeId) {
        return false;
    }
    const char* id = nullptr;
    const char* unversioned = nullptr;
    for (size_t i = 0; obs_enum_input_types2(i, &id, &unversioned); ++i) {
        if (qstrcmp(id, typeId) == 0 || qstrcmp(unversioned, typeId) == 0) {
            return true;
        }
    }
    return false;
}

QVariant SourceFactory::itemValue(obs_property_t* list, size_t index) {
    switch (obs_property_list_format(list)) {
        case OBS_COMBO_FORMAT_INT:
            return QVariant(static_cast<qlonglong>(obs_property_list_item_int(list, index)));
        case OBS_COMBO_FORMAT_FLOAT:
            return QVariant(obs_property_list_item_float(list, index));
        case OBS_COMBO_FORMAT_STRING:
            return QVariant(QString::fromUtf8(obs_property_list_item_string(list, index)));
        default:
            return QVariant();
    }
}

bool SourceFactory::nameTaken(const QString& name) {
    OBSSourceAutoRelease existing = obs_get_source_by_name(name.toUtf8().constData());
    return existing != nullptr;
}

QString SourceFactory::uniqueName(const QString& base) {
    if (!nameTaken(base)) {
        return base;
    }
    for (int n = 2;; ++n) {
        const QString candidate = base + QString::number(n);
        if (!nameTaken(candidate)) {
            return candidate;
        }
    }
}

QList<SourceFactory::Choice> SourceFactory::choices(const char* typeId, const char* property) {
    QList<Choice> result;
    if (!registered(typeId)) {
        return result;
    }
    OBSSourceAutoRelease probe = obs_source_create_private(typeId, "orb-choices", nullptr);
    if (!probe) {
        return result;
    }
    obs_properties_t* props = obs_source_properties(probe);
    obs_property_t* list = obs_properties_get(props, property);
    if (list && obs_property_get_type(list) == OBS_PROPERTY_LIST) {
        for (size_t i = 0; i < obs_property_list_item_count(list); ++i) {
            result.append(
                {QString::fromUtf8(obs_property_list_item_name(list, i)), itemValue(list, i)});
        }
    }
    obs_properties_destroy(props);
    return result;
}

bool SourceFactory::fillChoice(const SourceKind& kind, const QString& value, obs_data_t* settings) {
    if (kind.kind == SourceKinds::kCamera) {
        // A camera may be added before any device is present; it starts when one appears.
        obs_data_set_string(settings, kind.mainProperty, value.toUtf8().constData());
        return true;
    }
    const QList<Choice> list = choices(kind.typeId, kind.mainProperty);
    const Choice* chosen = match(list, value);
    if (!chosen && kind.kind == SourceKinds::kMonitor && !list.isEmpty()) {
        // Any name that is not a screen of ours means the whole desktop: the first screen.
        chosen = &list.first();
    }
    if (!chosen) {
        live::log::warn("{}: no {} named {}", "SourceFactory::create", kind.typeId, value);
        return false;
    }
    setVariant(settings, kind.mainProperty, chosen->second);
    return true;
}

bool SourceFactory::fillSettings(const SourceKind& kind, const orbLiveImp::SoureParam& param,
                                 obs_data_t* settings) {
    if (kind.mainIsChoice && !fillChoice(kind, param.value, settings)) {
        return false;
    }
    const QByteArray value = param.value.toUtf8();
    switch (kind.kind) {
        case SourceKinds::kImage:
            obs_data_set_string(settings, kind.mainProperty, value.constData());
            break;
        case SourceKinds::kMedia:
            obs_data_set_bool(settings, "is_local_file", true);
            obs_data_set_string(settings, kind.mainProperty, value.constData());
            break;
        case SourceKinds::kSlideshow: {
            OBSDataAutoRelease file = obs_data_create();
            obs_data_set_string(file, "value", value.constData());
            obs_data_set_bool(file, "selected", false);
            obs_data_set_bool(file, "hidden", false);
            OBSDataArrayAutoRelease files = obs_data_array_create();
            obs_data_array_push_back(files, file);
            obs_data_set_array(settings, kind.mainProperty, files);
            obs_data_set_string(settings, kind.secondaryProperty,
                                param.secondaryFlag ? "mode_auto" : "mode_manual");
            break;
        }
        default:
            break;
    }
    if (kind.primaryProperty) {
        obs_data_set_bool(settings, kind.primaryProperty, param.primaryFlag);
    }
    return true;
}

OBSSourceAutoRelease SourceFactory::create(const orbLiveImp::SoureParam& param) {
    const SourceKind* kind = SourceKinds::byKind(param.type);
    if (!kind) {
        live::log::warn("{}: unknown source kind {}", "SourceFactory::create", param.type);
        return nullptr;
    }
    if (!registered(kind->typeId)) {
        live::log::warn("{}: {} is not available here", "SourceFactory::create", kind->typeId);
        return nullptr;
    }
    OBSDataAutoRelease settings = obs_data_create();
    if (!fillSettings(*kind, param, settings)) {
        return nullptr;
    }
    const QString base = param.name.isEmpty()
                             ? QCoreApplication::translate("SourceKinds", kind->baseName)
                             : param.name;
    const QString name = uniqueName(base);
    return obs_source_create(kind->typeId, name.toUtf8().constData(), settings, nullptr);
}
