// Installs the crash handler and crashes on purpose, for the crash-dump test.
#include <QString>
#include <cstdio>

#include "core/CrashHandler.h"

// A sanitized build checks null stores itself and would stop before the crash handler runs;
// the fault here is the point.
__attribute__((noinline, no_sanitize("null"))) void crashHereForTest() {
    // The pointer itself is volatile so the store cannot be optimised away.
    int* volatile target = nullptr;
    *target = 42;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    // A second folder is where dumps go when the first cannot take them.
    const QString dir = QString::fromLocal8Bit(argv[1]);
    live::installCrashHandler(argc > 2 ? live::dumpDirectory(dir, QString::fromLocal8Bit(argv[2]))
                                       : dir);
    std::fflush(stdout);
    crashHereForTest();
    return 0;
}
