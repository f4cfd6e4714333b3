#include "MediaProbe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

MediaProbe MediaProbe::of(const QString& fileOrUrl, int timeoutMs) {
    MediaProbe probe;
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
             QStringLiteral("json"), QStringLiteral("-show_streams"),
             QStringLiteral("-show_format"), fileOrUrl});
    if (!p.waitForFinished(timeoutMs) || p.exitCode() != 0) {
        p.kill();
        return probe;
    }
    probe.raw = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (const QJsonValue& s : probe.raw.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject stream = s.toObject();
        const QString type = stream.value(QStringLiteral("codec_type")).toString();
        if (type == QLatin1String("video") && probe.videoCodec.isEmpty()) {
            probe.videoCodec = stream.value(QStringLiteral("codec_name")).toString();
            probe.width = stream.value(QStringLiteral("width")).toInt();
            probe.height = stream.value(QStringLiteral("height")).toInt();
        } else if (type == QLatin1String("audio") && probe.audioCodec.isEmpty()) {
            probe.audioCodec = stream.value(QStringLiteral("codec_name")).toString();
        }
    }
    probe.duration = probe.raw.value(QStringLiteral("format"))
                         .toObject()
                         .value(QStringLiteral("duration"))
                         .toString()
                         .toDouble();
    probe.ok = !probe.videoCodec.isEmpty() || !probe.audioCodec.isEmpty();
    return probe;
}
