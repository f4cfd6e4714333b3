#include "app/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "core/Log.h"

void loadTranslations() {
    const QString code = QLocale::system().language() == QLocale::Chinese ? QStringLiteral("zh")
                                                                          : QStringLiteral("en");
    for (const char* prefix : {"qt_", "qtbase_", "orblive_"}) {
        const QString fileName = QLatin1String(prefix) + code;
        // Kept for the whole run: the application only borrows installed translators.
        auto* translator = new QTranslator();
        if (translator->load(fileName, QStringLiteral("translations"), QString(), QString())) {
            QCoreApplication::installTranslator(translator);
        } else {
            live::log::warn("{}: translation file not found {}", "loadTranslations", fileName);
            delete translator;
        }
    }
}
