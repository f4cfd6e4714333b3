#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Container choice and file naming for recordings.
class RecordFormat {
public:
    // The file extension for the profile's "RecFormat" (mp4, flv, mkv, mov; anything
    // else records mp4).
    static QString extension(const QString& format);
    // Options for the muxer. mp4 and mov are written in fragments with an index up front,
    // so a file cut short by a crash or power loss still plays up to its last fragment.
    static QByteArray muxerSettings(const QString& extension);
    // "<dir>/yyyy-MM-dd_HH-mm-ss.<ext>", with " (2)", " (3)"... when that name is taken.
    static QString newFilePath(const QString& dir, const QString& extension, const QDateTime& when);
};
