#pragma once

#include <QStringList>

// Loads the engine's plugin modules one at a time from the engine's own search paths.
class ModuleLoader {
public:
    // Modules never loaded: those that need another host application, and the service
    // list module, which would fetch its list from the internet at load.
    static const QStringList& skipped();
    // Loads the rest, then finishes the engine's loading; returns the names loaded.
    static QStringList loadAll();
    // The modules without which nothing can be streamed or recorded, less those `loaded`.
    static QStringList missingRequired(const QStringList& loaded);
};
