#pragma once

#include <QByteArray>
#include <QString>

namespace live {

// Replaces a file so that a reader (or the next start after a crash or a power loss) sees
// either the old or the new content in full, never a truncated mix: the content goes to a
// temporary file beside it, reaches the disk, and is renamed over the old one.
class AtomicFile {
public:
    // False, with the reason in `error` when given, when the file was left as it was.
    static bool write(const QString& path, const QByteArray& content, QString* error = nullptr);
};

}  // namespace live
