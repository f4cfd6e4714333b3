#include "room/RoomStatusText.h"

QString RoomStatusText::status(const orbLiveImp::ResourceUtil& util, bool streaming) {
    QString text =
        QStringLiteral("CPU: %1%  帧率: %2 fps").arg(util.cpu, 0, 'f', 1).arg(util.fps, 0, 'f', 2);
    if (util.delay != 0) {
        text += QStringLiteral("  延迟: %1 s").arg(util.delay);
    }
    if (streaming) {
        text += QStringLiteral("  带宽: %1 kbps  丢帧: %2 (%3%)")
                    .arg(util.kbs, 0, 'f', 0)
                    .arg(util.lostFrame)
                    .arg(util.lostPercent, 0, 'f', 1);
    }
    return text;
}

QString RoomStatusText::clock(uint64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
