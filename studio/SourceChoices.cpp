#include "studio/SourceChoices.h"

#include <obs.hpp>

#include "core/Log.h"
#include "frontend/SourceFactory.h"

namespace {

// Properties are freed with the returned holder.
struct Properties {
    explicit Properties(obs_properties_t* p) : props(p) {}
    ~Properties() { obs_properties_destroy(props); }
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;
    obs_properties_t* props;
};

obs_property_t* listProperty(obs_properties_t* props, const char* name) {
    obs_property_t* p = obs_properties_get(props, name);
    return p && obs_property_get_type(p) == OBS_PROPERTY_LIST ? p : nullptr;
}

bool sameValue(obs_property_t* list, size_t index, obs_data_t* settings, const char* name) {
    switch (obs_property_list_format(list)) {
        case OBS_COMBO_FORMAT_INT:
            return obs_property_list_item_int(list, index) == obs_data_get_int(settings, name);
        case OBS_COMBO_FORMAT_FLOAT:
            return obs_property_list_item_float(list, index) == obs_data_get_double(settings, name);
        case OBS_COMBO_FORMAT_STRING:
            return qstrcmp(obs_property_list_item_string(list, index),
                           obs_data_get_string(settings, name)) == 0;
        default:
            return false;
    }
}

void storeValue(obs_property_t* list, size_t index, obs_data_t* settings, const char* name) {
    switch (obs_property_list_format(list)) {
        case OBS_COMBO_FORMAT_INT:
            obs_data_set_int(settings, name, obs_property_list_item_int(list, index));
            break;
        case OBS_COMBO_FORMAT_FLOAT:
            obs_data_set_double(settings, name, obs_property_list_item_float(list, index));
            break;
        default:
            obs_data_set_string(settings, name, obs_property_list_item_string(list, index));
            break;
    }
}

}  // namespace

const QStringList& SourceChoices::choiceProperties() {
    static const QStringList names = {
        QStringLiteral("video_device_id"), QStringLiteral("monitor"),
        QStringLiteral("window"),          QStringLiteral("device"),
        QStringLiteral("display"),         QStringLiteral("device_id"),
        QStringLiteral("screen"),          QStringLiteral("capture_window"),
    };
    return names;
}

void SourceChoices::list(const char* typeId, QStringList& names, QList<QVariant>& values) {
    if (!SourceFactory::registered(typeId)) {
        live::log::warn("{}: {} is not available here", "SourceChoices::list", typeId);
        return;
    }
    const char* latest = obs_get_latest_input_type_id(typeId);
    // Some capture types can only list their choices from an instance.
    OBSSourceAutoRelease probe =
        obs_source_create_private(latest ? latest : typeId, "orb-choices", nullptr);
    if (!probe) {
        return;
    }
    Properties props(obs_source_properties(probe));
    for (obs_property_t* p = obs_properties_first(props.props); p; obs_property_next(&p)) {
        if (obs_property_get_type(p) != OBS_PROPERTY_LIST || !obs_property_visible(p) ||
            !choiceProperties().contains(QString::fromUtf8(obs_property_name(p)))) {
            continue;
        }
        for (size_t i = 0; i < obs_property_list_item_count(p); ++i) {
            const QString name = QString::fromUtf8(obs_property_list_item_name(p, i));
            if (!name.isEmpty()) {
                names.append(name);
                values.append(SourceFactory::itemValue(p, i));
            }
        }
    }
}

QString SourceChoices::nameOfValue(obs_source_t* source, const char* property) {
    Properties props(obs_source_properties(source));
    obs_property_t* list = listProperty(props.props, property);
    if (!list) {
        return QString();
    }
    OBSDataAutoRelease settings = obs_source_get_settings(source);
    for (size_t i = 0; i < obs_property_list_item_count(list); ++i) {
        if (sameValue(list, i, settings, property)) {
            return QString::fromUtf8(obs_property_list_item_name(list, i));
        }
    }
    return QString();
}

bool SourceChoices::setByName(obs_source_t* source, const char* property, const QString& name,
                              obs_data_t* settings) {
    Properties props(obs_source_properties(source));
    obs_property_t* list = listProperty(props.props, property);
    if (!list) {
        return false;
    }
    const QByteArray wanted = name.toUtf8();
    for (size_t i = 0; i < obs_property_list_item_count(list); ++i) {
        if (qstrcmp(obs_property_list_item_name(list, i), wanted.constData()) == 0) {
            storeValue(list, i, settings, property);
            return true;
        }
    }
    return false;
}
