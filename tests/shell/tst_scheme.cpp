#include <QLineEdit>
#include <QtTest>

#include "shell/Scheme.h"

class TestScheme : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(Scheme::instance().init(0), 0); }

    // A scene name takes five letters and no blanks; an unknown rule is the base one.
    void rulesRefuseTypedBlanksAndExtraCharacters() {
        QLineEdit edit;
        Scheme::instance().applyRule(Scheme::kRuleScene, &edit);
        QTest::keyClicks(&edit, "ab c");
        QCOMPARE(edit.text(), QString("abc"));
        QTest::keyClicks(&edit, "defg");
        QCOMPARE(edit.text(), QString("abcde"));
        QVERIFY(edit.hasAcceptableInput());
        QVERIFY(Scheme::instance().rule(9).accepts("abcdefgh"));
        QVERIFY(!Scheme::instance().rule(9).accepts("abcdefghi"));
    }

    // A kind the panel does not know reads as the camera.
    void unknownKindsAreCameras() {
        QString display, icon, id, cameraIcon;
        Scheme::materialIcon(0, cameraIcon);
        for (int index : {-1, Scheme::kMaterialCount}) {
            Scheme::materialInfo(index, display, icon, id);
            QCOMPARE(icon, cameraIcon);
        }
    }
};

QTEST_MAIN(TestScheme)
#include "tst_scheme.moc"
