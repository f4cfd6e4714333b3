#pragma once

#include <QString>

// Where the studio keeps its files: a folder "studio" in the client's data directory.
class StudioPaths {
public:
    static QString root();
    static QString globalConfig();
    static QString profileConfig();
    static QString sceneCollection();
    static QString moduleConfig();
    // Creates the folders; false when the data directory cannot be written.
    static bool ensure();
};
