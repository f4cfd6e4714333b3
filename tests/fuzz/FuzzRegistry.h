#pragma once

#include <QMap>
#include <QString>

#include "fuzz/FuzzTarget.h"

namespace fuzz {

// Every entry point compiled into this program, by name (the replay build only).
QMap<QString, Entry>& entries();

}  // namespace fuzz
