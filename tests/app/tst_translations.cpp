#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QtTest>

#include "app/Translations.h"

// Runs under a Chinese system locale (set by the test's environment) from the stage tree,
// where the client finds its "translations" folder in its working directory.
class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void chineseLocaleTranslatesQtsButtonsAndOurTexts() {
        QCOMPARE(QLocale::system().language(), QLocale::Chinese);
        QVERIFY(QDir::setCurrent(QStringLiteral(ORB_STAGE_DIR)));
        loadTranslations();

        // Message boxes use standard buttons; their text must match the Chinese messages.
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Warning"), QStringLiteral("警告"));
        QCOMPARE(QCoreApplication::translate("AddMaterial", "Picture"), QStringLiteral("图片"));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
