#pragma once

namespace live {

// With ORBLIVE_STARTUP_TRACE set, writes "orblive-trace <event> <ms since the epoch>" to
// standard error, so a benchmark can time start-up from outside the process. Otherwise it
// does nothing.
void traceStartup(const char* event);

}  // namespace live
