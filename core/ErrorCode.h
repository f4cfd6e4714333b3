#pragma once

#include <cstdint>

namespace live {

// Results of service operations; services report failures through these, never by throwing.
enum ErrorCode : uint8_t {
    kSuccess = 0,
    kSystemError = 1,
    kBadParameter = 2,
    kBadData = 3,
    kBadFile = 4,
    kFileNotExist = 5,
    kNoData = 6,
    kTimeout = 7,
    kNetworkError = 8,
    kSslError = 9,
};

const char* errorString(unsigned code);

}  // namespace live
