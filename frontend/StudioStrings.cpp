#include "frontend/StudioStrings.h"

#include <QHash>

QString StudioStrings::get(const char* key) {
    static const QHash<QString, QString> texts = {
        {QStringLiteral("Basic.DesktopDevice1"), QStringLiteral("桌面音频")},
        {QStringLiteral("Basic.DesktopDevice2"), QStringLiteral("桌面音频 2")},
        {QStringLiteral("Basic.AuxDevice1"), QStringLiteral("麦克风")},
        {QStringLiteral("Basic.AuxDevice2"), QStringLiteral("麦克风 2")},
        {QStringLiteral("Basic.Scene"), QStringLiteral("画面")},
        {QStringLiteral("Basic.Main.Sources"), QStringLiteral("素材")},
    };
    const QString k = QString::fromUtf8(key);
    return texts.value(k, k);
}
