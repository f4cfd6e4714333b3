#include "room/RoomStatusText.h"

QString RoomStatusText::status(const orbLiveImp::ResourceUtil& util, bool streaming) {
    QString text = figures(util);
    if (streaming) {
        text += QStringLiteral("  ") + bandwidth(util, QStringLiteral("kbps"));
    }
    return text;
}

QString RoomStatusText::figures(const orbLiveImp::ResourceUtil& util) {
    QString text = tr("CPU: %1%  帧率: %2 fps")
                       .arg(double(util.cpu), 0, 'f', 1)
                       .arg(double(util.fps), 0, 'f', 2);
    if (util.delay != 0) {
        text += tr("  延迟: %1 s").arg(util.delay);
    }
    return text;
}

QString RoomStatusText::bandwidth(const orbLiveImp::ResourceUtil& util, const QString& unit) {
    return tr("带宽: %1 %2  丢帧: %3 (%4%)")
        .arg(double(util.kbs), 0, 'f', 0)
        .arg(unit)
        .arg(util.lostFrame)
        .arg(double(util.lostPercent), 0, 'f', 1);
}

QString RoomStatusText::clock(uint64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
