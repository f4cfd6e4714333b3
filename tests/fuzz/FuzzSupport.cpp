#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "fuzz/FuzzRegistry.h"
#include "fuzz/FuzzTarget.h"

namespace fuzz {

QMap<QString, Entry>& entries() {
    static QMap<QString, Entry> all;
    return all;
}

bool registerEntry(const char* name, Entry entry) {
    entries().insert(QString::fromLatin1(name), entry);
    return true;
}

QString scratchFile(const char* name, const QByteArray& content) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/') + QLatin1String(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(content);
    }
    return path;
}

void ensureApplication() {
    if (QCoreApplication::instance()) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

}  // namespace fuzz
