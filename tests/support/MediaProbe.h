#pragma once

#include <QJsonObject>
#include <QString>

// ffprobe's view of a media file or stream: streams (codec, size) and duration.
struct MediaProbe {
    bool ok = false;
    QString videoCodec;
    int width = 0;
    int height = 0;
    QString audioCodec;
    double duration = 0.0;
    QJsonObject raw;

    static MediaProbe of(const QString& fileOrUrl, int timeoutMs = 30000);
};
