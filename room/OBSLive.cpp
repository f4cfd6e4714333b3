#include "room/OBSLive.h"

OBSLive::OBSLive(QWidget* parent) : ILiveRoom(parent) {
    setObjectName(QStringLiteral("OBSLive"));
    resize(790, 480);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("QWidget#OBSLive {\n    background-color: rgb(35,36,41);\n}"));
}
