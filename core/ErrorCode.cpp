#include "core/ErrorCode.h"

namespace live {

const char* errorString(unsigned code) {
    static const char* const texts[] = {
        "success",        "system error", "bad parameter", "bad data",      "bad file",
        "file not exist", "no data",      "timeout",       "network error", "SSL error"};
    if (code < sizeof(texts) / sizeof(texts[0])) {
        return texts[code];
    }
    return "unknown error";
}

}  // namespace live
