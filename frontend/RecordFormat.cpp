#include "frontend/RecordFormat.h"

#include <QDir>
#include <QFileInfo>

QString RecordFormat::extension(const QString& format) {
    const QString f = format.trimmed().toLower();
    if (f == QLatin1String("flv") || f == QLatin1String("mkv") || f == QLatin1String("mov")) {
        return f;
    }
    return QStringLiteral("mp4");
}

QByteArray RecordFormat::muxerSettings(const QString& extension) {
    if (extension == QLatin1String("mp4") || extension == QLatin1String("mov")) {
        return QByteArrayLiteral("movflags=frag_keyframe+empty_moov+default_base_moof");
    }
    return QByteArray();
}

QString RecordFormat::newFilePath(const QString& dir, const QString& extension,
                                  const QDateTime& when) {
    const QString stem = QDir(dir).filePath(when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    QString path = stem + QLatin1Char('.') + extension;
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = QStringLiteral("%1 (%2).%3").arg(stem).arg(n).arg(extension);
    }
    return path;
}
