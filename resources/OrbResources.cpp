#include "resources/OrbResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be expanded outside any namespace.
static void registerOrbliveResources() {
    Q_INIT_RESOURCE(orblive);
}

namespace live {

void initResources() {
    static const bool registered = (registerOrbliveResources(), true);
    Q_UNUSED(registered);
}

}  // namespace live
