#pragma once

#include <QString>
#include <cstdint>

// The material kinds with their display names, icons and keys (the object names of the
// panel's buttons). Kinds of 6 and above read as kind 0.
class MaterialKinds {
public:
    static constexpr uint8_t kCount = 6;
    static void materialInfo(uint8_t index, QString& displayName, QString& icon,
                             QString& identifier);
};
