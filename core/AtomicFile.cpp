#include "frontend/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

bool syncDirectory(const QString& dir) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

QString AtomicFile::pendingPath(const QString& path) {
    return path + QStringLiteral(".tmp");
}

bool AtomicFile::write(const QString& path, const QByteArray& content) {
    const QString pending = pendingPath(path);
    QFile file(pending);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const bool written =
        file.write(content) == content.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!written) {
        QFile::remove(pending);
        return false;
    }
    // rename() swaps the directory entry in one step; the data is already on disk.
    if (std::rename(QFile::encodeName(pending).constData(), QFile::encodeName(path).constData()) !=
        0) {
        QFile::remove(pending);
        return false;
    }
    syncDirectory(QFileInfo(path).absolutePath());
    return true;
}

QByteArray AtomicFile::read(const QString& path, bool* fromPending) {
    if (fromPending) {
        *fromPending = false;
    }
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        return file.readAll();
    }
    QFile pending(pendingPath(path));
    if (pending.open(QIODevice::ReadOnly)) {
        if (fromPending) {
            *fromPending = true;
        }
        return pending.readAll();
    }
    return QByteArray();
}
