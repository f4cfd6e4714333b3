#pragma once

#include <QString>

namespace live {

// Installs the process-wide crash-dump handler; dumps are written as "<guid>.dmp"
// into dumpDirectory. Safe to call more than once: only the first call installs.
void installCrashHandler(const QString& dumpDirectory);

}  // namespace live
