#pragma once

#include <QCoreApplication>
#include <QString>

// Display names the client asks the studio for by key.
class StudioStrings {
    Q_DECLARE_TR_FUNCTIONS(StudioStrings)

public:
    // The text for `key`, or the key itself when there is none.
    static QString get(const char* key);
};
