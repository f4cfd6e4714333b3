#pragma once

#include <QString>

// Display names the client asks the studio for by key.
class StudioStrings {
public:
    // The text for `key`, or the key itself when there is none.
    static QString get(const char* key);
};
