#include <QFile>
#include <QLineEdit>
#include <QtTest>

#include "shell/Scheme.h"

class TestScheme : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(Scheme::instance().init(0), 0); }

    void rulesAcceptWordsUpToTheirLength_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("scene five") << 1 << "abcde" << true;
        QTest::newRow("scene six") << 1 << "abcdef" << false;
        QTest::newRow("scene dash") << 1 << "a-b" << false;
        QTest::newRow("source seventeen") << 2 << QString(17, 'x') << false;
        QTest::newRow("base nine") << 0 << "abcdefghi" << false;
        QTest::newRow("unknown id is base") << 9 << "abcdefgh" << true;
    }
    void rulesAcceptWordsUpToTheirLength() {
        QFETCH(int, rule);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(Scheme::instance().rule(static_cast<uint8_t>(rule)).accepts(name), accepted);
    }

    void aRuleOnALineEditRefusesTypedBlanksAndExtraCharacters() {
        QLineEdit edit;
        Scheme::instance().applyRule(Scheme::kRuleScene, &edit);
        QTest::keyClicks(&edit, "ab c");
        QCOMPARE(edit.text(), QString("abc"));
        QTest::keyClicks(&edit, "defg");
        QCOMPARE(edit.text(), QString("abcde"));
        QVERIFY(edit.hasAcceptableInput());
    }

    // Every kind has a picture; a kind the panel does not know reads as the camera.
    void materialIconsExistAndUnknownKindsAreCameras() {
        QString display, icon, id;
        for (int index = 0; index < Scheme::kMaterialCount; ++index) {
            Scheme::materialInfo(index, display, icon, id);
            QVERIFY2(QFile::exists(icon), qPrintable(icon));
        }
        QString cameraIcon;
        Scheme::materialIcon(0, cameraIcon);
        for (int index : {-1, Scheme::kMaterialCount, 9}) {
            Scheme::materialInfo(index, display, icon, id);
            QCOMPARE(icon, cameraIcon);
        }
    }

    void displayTitleDependsOnTheServerVariant() {
        QCOMPARE(Scheme::instance().displayTitle(), Scheme::displayTitleFor(0));
        QVERIFY(!Scheme::displayTitleFor(0).isEmpty());
        QVERIFY(Scheme::displayTitleFor(0) != Scheme::displayTitleFor(1));
        QCOMPARE(Scheme::displayTitleFor(2), Scheme::displayTitleFor(1));
        Scheme::instance().init(2);
        QCOMPARE(Scheme::instance().displayTitle(), Scheme::displayTitleFor(1));
        Scheme::instance().init(0);
    }
};

QTEST_MAIN(TestScheme)
#include "tst_scheme.moc"
