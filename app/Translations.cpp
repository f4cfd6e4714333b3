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
        // The application only borrows installed translators; parenting them to it keeps them
        // for the whole run and frees them with it.
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(fileName, QStringLiteral("translations"), QString(), QString())) {
            QCoreApplication::installTranslator(translator);
        } else {
            live::log::warn("{}: translation file not found {}", "loadTranslations", fileName);
            delete translator;
        }
    }
}
