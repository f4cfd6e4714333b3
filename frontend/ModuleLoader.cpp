#include "frontend/ModuleLoader.h"

#include <obs.h>

#include "core/Log.h"

namespace {

void loadOne(void* param, const obs_module_info2* info) {
    auto* loaded = static_cast<QStringList*>(param);
    const QString name = QString::fromUtf8(info->name);
    if (ModuleLoader::skipped().contains(name)) {
        return;
    }
    obs_module_t* module = nullptr;
    const int rc = obs_open_module(&module, info->bin_path, info->data_path);
    if (rc != MODULE_SUCCESS) {
        live::log::warn("{}: failed to open module {}, error {}", "ModuleLoader::loadAll", name,
                        rc);
        return;
    }
    if (!obs_init_module(module)) {
        live::log::warn("{}: failed to initialise module {}", "ModuleLoader::loadAll", name);
        return;
    }
    loaded->append(name);
}

}  // namespace

const QStringList& ModuleLoader::skipped() {
    static const QStringList names = {
        QStringLiteral("frontend-tools"),     QStringLiteral("obs-websocket"),
        QStringLiteral("decklink-output-ui"), QStringLiteral("decklink-captions"),
        QStringLiteral("rtmp-services"),
    };
    return names;
}

QStringList ModuleLoader::loadAll() {
    QStringList loaded;
    obs_find_modules2(loadOne, &loaded);
    obs_post_load_modules();
    return loaded;
}

QStringList ModuleLoader::missingRequired(const QStringList& loaded) {
    // The stream's video encoder, its output, and the audio encoder with the media source.
    static const QStringList required = {QStringLiteral("obs-x264"), QStringLiteral("obs-outputs"),
                                         QStringLiteral("obs-ffmpeg")};
    QStringList missing;
    for (const QString& name : required) {
        if (!loaded.contains(name)) {
            missing.append(name);
        }
    }
    return missing;
}
