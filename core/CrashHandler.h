#pragma once

#include <QString>

namespace live {

// Installs the process-wide crash-dump handler; dumps are written as "<guid>.dmp"
// into dumpDirectory. Safe to call more than once: only the first call installs.
void installCrashHandler(const QString& dumpDirectory);

// Where dumps can go: `preferred` (the program's folder) when a file can be made there, else
// `fallback` (the user's data folder), since an installed program's folder is read-only to its
// users and a handler pointed there would lose every dump. The choice is logged.
QString dumpDirectory(const QString& preferred, const QString& fallback);

}  // namespace live
