#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>

#include "frontend/ResourceUtil.h"

// The texts a room shows for the engine's running figures.
class RoomStatusText {
    Q_DECLARE_TR_FUNCTIONS(RoomStatusText)

public:
    // "CPU: 12.5%  帧率: 29.97 fps", then the delay while reconnecting and the stream's
    // figures while streaming.
    static QString status(const orbLiveImp::ResourceUtil& util, bool streaming);
    // The CPU, frame rate and, while reconnecting, delay part.
    static QString figures(const orbLiveImp::ResourceUtil& util);
    // The stream's bit rate (in `unit`) and lost frames.
    static QString bandwidth(const orbLiveImp::ResourceUtil& util, const QString& unit);
    // hh:mm:ss; hours go past 99 rather than wrap.
    static QString clock(uint64_t seconds);
};
