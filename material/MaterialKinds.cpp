#include "material/MaterialKinds.h"

namespace {

struct Kind {
    const char* displayName;  // UTF-8
    const char* identifier;
};

const Kind kKinds[MaterialKinds::kCount] = {
    {"摄像头", "camera"}, {"桌面", "desktop"}, {"窗口", "window"},
    {"图片", "picture"},  {"视频", "video"},   {"图片组", "picgroup"},
};

}  // namespace

void MaterialKinds::materialInfo(uint8_t index, QString& displayName, QString& icon,
                                 QString& identifier) {
    const Kind& kind = kKinds[index < kCount ? index : 0];
    displayName = QString::fromUtf8(kind.displayName);
    identifier = QString::fromLatin1(kind.identifier);
    icon = QStringLiteral(":/image/material_%1.png").arg(identifier);
}
