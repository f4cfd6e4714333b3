#include "frontend/LogBridge.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include <util/base.h>

#include "core/Log.h"

namespace {

void handle(int level, const char* format, va_list args, void*) {
    char line[4096];
    va_list copy;
    va_copy(copy, args);
    std::vsnprintf(line, sizeof(line), format, copy);
    va_end(copy);
    if (level <= LOG_ERROR) {
        live::log::error("{}: {}", "libobs", line);
    } else if (level <= LOG_WARNING) {
        live::log::warn("{}: {}", "libobs", line);
    } else {
        live::log::debug("{}: {}", "libobs", line);
    }
    // For whoever debugs the engine from a terminal.
    static const bool echo = std::getenv("ORB_STUDIO_LOG") != nullptr;
    if (echo) {
        std::fprintf(stderr, "libobs[%d]: %s\n", level, line);
    }
}

}  // namespace

void LogBridge::install() {
    base_set_log_handler(handle, nullptr);
}
