#include "shell/StartupTrace.h"

#include <QDateTime>
#include <QtGlobal>

#include <cstdio>

namespace live {

void traceStartup(const char* event) {
    static const bool enabled = !qEnvironmentVariableIsEmpty("ORBLIVE_STARTUP_TRACE");
    if (!enabled) {
        return;
    }
    std::fprintf(stderr, "orblive-trace %s %lld\n", event,
                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stderr);
}

}  // namespace live
