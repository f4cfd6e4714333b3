#include "core/AtomicFile.h"

#include <QSaveFile>

namespace live {

bool AtomicFile::write(const QString& path, const QByteArray& content, QString* error) {
    // QSaveFile syncs the temporary file before it renames it over the old one.
    QSaveFile file(path);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    if (!ok && error) {
        *error = file.errorString();
    }
    return ok;
}

}  // namespace live
