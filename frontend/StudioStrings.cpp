#include "frontend/StudioStrings.h"

#include <QHash>

QString StudioStrings::get(const char* key) {
    static const QHash<QString, const char*> texts = {
        {QStringLiteral("Basic.DesktopDevice1"), QT_TRANSLATE_NOOP("StudioStrings", "桌面音频")},
        {QStringLiteral("Basic.DesktopDevice2"), QT_TRANSLATE_NOOP("StudioStrings", "桌面音频 2")},
        {QStringLiteral("Basic.AuxDevice1"), QT_TRANSLATE_NOOP("StudioStrings", "麦克风")},
        {QStringLiteral("Basic.AuxDevice2"), QT_TRANSLATE_NOOP("StudioStrings", "麦克风 2")},
        {QStringLiteral("Basic.Scene"), QT_TRANSLATE_NOOP("StudioStrings", "画面")},
        {QStringLiteral("Basic.Main.Sources"), QT_TRANSLATE_NOOP("StudioStrings", "素材")},
    };
    const QString k = QString::fromUtf8(key);
    const char* text = texts.value(k, nullptr);
    return text ? tr(text) : k;
}
