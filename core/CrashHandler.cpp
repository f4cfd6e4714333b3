#include "core/CrashHandler.h"

#include <unistd.h>

#include <cstring>

#include <climits>
#include <cstdint>

#include <client/linux/handler/exception_handler.h>
#include <QTemporaryFile>

#include "core/Log.h"

namespace live {
namespace {

google_breakpad::ExceptionHandler* g_handler = nullptr;

// Runs in a compromised process: only async-signal-safe calls from here on.
void writeOut(const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, text, left);
        if (n <= 0) {
            return;
        }
        text += n;
        left -= static_cast<size_t>(n);
    }
}

void writePointer(const void* p) {
    char buf[2 + 2 * sizeof(void*) + 1];
    auto v = reinterpret_cast<uintptr_t>(p);
    buf[0] = '0';
    buf[1] = 'x';
    for (size_t i = 0; i < 2 * sizeof(void*); ++i) {
        const unsigned nibble = (v >> (4 * (2 * sizeof(void*) - 1 - i))) & 0xf;
        buf[2 + i] = static_cast<char>(nibble < 10 ? '0' + nibble : 'a' + nibble - 10);
    }
    buf[sizeof(buf) - 1] = '\0';
    writeOut(buf);
}

bool dumpCallback(const google_breakpad::MinidumpDescriptor& descriptor, void* context,
                  bool succeeded) {
    // The descriptor gives "<dir>/<guid>.dmp"; report directory and id apart.
    char path[PATH_MAX];
    std::strncpy(path, descriptor.path(), sizeof(path) - 1);
    path[sizeof(path) - 1] = '\0';
    char* slash = std::strrchr(path, '/');
    const char* id = path;
    if (slash) {
        *slash = '\0';
        id = slash + 1;
    }
    char* ext = std::strrchr(const_cast<char*>(id), '.');
    if (ext) {
        *ext = '\0';
    }
    writeOut(slash ? path : descriptor.directory().c_str());
    writeOut(", ");
    writeOut(id);
    writeOut(",");
    writePointer(context);
    writeOut("\n");
    if (succeeded) {
        writeOut("dump guid is ");
        writeOut(id);
        writeOut("\n");
    } else {
        writeOut("dump failed\n");
    }
    return succeeded;
}

bool canWriteIn(const QString& dir) {
    // Permission bits lie for root and for read-only mounts: only a real file tells.
    QTemporaryFile probe(dir + QStringLiteral("/.orblive-probe-XXXXXX"));
    return probe.open();
}

}  // namespace

QString dumpDirectory(const QString& preferred, const QString& fallback) {
    if (canWriteIn(preferred) || fallback.isEmpty()) {
        log::info("{}: crash dumps go to {}", "live::dumpDirectory", preferred);
        return preferred;
    }
    log::warn("{}: {} is not writable, crash dumps go to {}", "live::dumpDirectory", preferred,
              fallback);
    return fallback;
}

void installCrashHandler(const QString& dumpDirectory) {
    if (g_handler) {
        return;
    }
    google_breakpad::MinidumpDescriptor descriptor(dumpDirectory.toStdString());
    // Never released: it must outlive every other object to catch crashes during shutdown.
    g_handler =
        new google_breakpad::ExceptionHandler(descriptor, nullptr, dumpCallback, nullptr, true, -1);
}

}  // namespace live
