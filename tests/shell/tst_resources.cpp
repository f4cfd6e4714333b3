// Every resource path written anywhere in the sources must exist in the compiled resources.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include "resources/OrbResources.h"

class TestResources : public QObject {
    Q_OBJECT

private slots:
    void everyNamedResourceExists() {
        live::initResources();
        const QDir root(QStringLiteral(ORB_SOURCE_DIR));
        static const QRegularExpression ignored(R"(^(build[^/]*|\.git|node_modules)/)");
        // Only complete file names count: a prefix that code completes at run time is not a path.
        const QRegularExpression path(
            R"(:/(?:image|img/image|qss)/[A-Za-z0-9_@./-]+\.(?:png|qss|svg|jpg|gif|ico))");
        QDirIterator it(root.path(), {"*.cpp", "*.h", "*.ui", "*.qss"}, QDir::Files,
                        QDirIterator::Subdirectories);
        int named = 0;
        QStringList missing;
        while (it.hasNext()) {
            const QString relative = root.relativeFilePath(it.next());
            QFile f(it.filePath());
            if (ignored.match(relative).hasMatch() || !f.open(QIODevice::ReadOnly)) {
                continue;
            }
            auto matches = path.globalMatch(QString::fromUtf8(f.readAll()));
            while (matches.hasNext()) {
                const QString p = matches.next().captured(0);
                ++named;
                if (!QFile::exists(p)) {
                    missing << p + " (" + relative + ")";
                }
            }
        }
        // The title bar, the scheme and the style sheets alone name dozens: a scan that finds
        // few has lost its way.
        QVERIFY2(named > 25, qPrintable(QString::number(named)));
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
