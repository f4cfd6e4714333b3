#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file so that a reader (or the next start after a crash) sees either the old
// or the new content in full, never a truncated mix.
class AtomicFile {
public:
    static bool write(const QString& path, const QByteArray& content);
    // The file's content, or, when it is missing, the content of a finished but not yet
    // renamed replacement.
    static QByteArray read(const QString& path, bool* fromPending = nullptr);
    static QString pendingPath(const QString& path);
};
