#include "room/TRTCLive.h"

TRTCLive::TRTCLive(QWidget* parent) : ILiveRoom(parent) {
    setObjectName(QStringLiteral("TRTCLive"));
    resize(790, 480);
    setWindowTitle(QStringLiteral("Form"));
}
