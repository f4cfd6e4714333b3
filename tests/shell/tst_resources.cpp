// Every resource path written anywhere in the sources must exist in the compiled resources.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include "resources/OrbResources.h"

class TestResources : public QObject {
    Q_OBJECT

    // path -> first file naming it
    QMap<QString, QString> referenced_;

    static bool skipped(const QString& relative) {
        static const QRegularExpression ignored(R"(^(build[^/]*|\.git|node_modules)/)");
        return ignored.match(relative).hasMatch();
    }

private slots:
    void initTestCase() {
        live::initResources();
        const QDir root(QStringLiteral(ORB_SOURCE_DIR));
        // Only complete file names count: a prefix that code completes at run time is not a path.
        const QRegularExpression path(
            R"(:/(?:image|img/image|qss)/[A-Za-z0-9_@./-]+\.(?:png|qss|svg|jpg|gif|ico))");
        QDirIterator it(root.path(), {"*.cpp", "*.h", "*.ui", "*.qss"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = root.relativeFilePath(file);
            if (skipped(relative)) {
                continue;
            }
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            auto matches = path.globalMatch(text);
            while (matches.hasNext()) {
                const QString p = matches.next().captured(0);
                if (!referenced_.contains(p)) {
                    referenced_.insert(p, relative);
                }
            }
        }
    }

    void everyNamedResourceExists() {
        // The title bar, the scheme and the style sheets alone name dozens: a scan that finds
        // few has lost its way.
        QVERIFY2(referenced_.size() > 25, qPrintable(QString::number(referenced_.size())));
        QStringList missing;
        for (auto it = referenced_.cbegin(); it != referenced_.cend(); ++it) {
            if (!QFile::exists(it.key())) {
                missing << it.key() + " (" + it.value() + ")";
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }

    void everyImageIsARealPicture() {
        QDirIterator it(QStringLiteral(":/"), {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (it.hasNext()) {
            const QString file = it.next();
            if (!file.startsWith(":/image/") && !file.startsWith(":/img/image/")) {
                continue;
            }
            const QImage image(file);
            QVERIFY2(!image.isNull() && image.width() >= 8, qPrintable(file));
            ++count;
        }
        QVERIFY(count >= 45);
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
