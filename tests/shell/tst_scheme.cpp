#include <QFile>
#include <QLineEdit>
#include <QtTest>

#include "shell/Scheme.h"

class TestScheme : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(Scheme::instance().init(0), 0); }

    void sheetPathsFollowTheIdNames_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("path");
        const char* names[] = {"base",    "main",     "titlebar", "task",        "room",
                               "infobar", "scene",    "material", "addmaterial", "previewarea",
                               "console", "chatroom", "speaker",  "liveset"};
        for (int id = 0; id < 14; ++id) {
            QTest::addRow("%s", names[id])
                << id << QStringLiteral(":/qss/%1.qss").arg(QLatin1String(names[id]));
        }
        QTest::newRow("past the table") << 14 << QString();
        QTest::newRow("far past") << 255 << QString();
    }
    void sheetPathsFollowTheIdNames() {
        QFETCH(int, id);
        QFETCH(QString, path);
        QCOMPARE(Scheme::sheetPath(static_cast<uint8_t>(id)), path);
    }

    void everySheetIsLoadedWithItsFileText() {
        for (uint8_t id = 0; id <= QSS_LIVESET; ++id) {
            QFile file(Scheme::sheetPath(id));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY(!text.trimmed().isEmpty());
            QCOMPARE(Scheme::instance().styleSheet(id), text);
        }
        QVERIFY(Scheme::instance().styleSheet(14).isEmpty());
        QVERIFY(Scheme::instance().styleSheet(QSS_TITLEBAR).contains("rgba(44,44,44,255)"));
    }

    void rulesAcceptWordsUpToTheirLength_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("scene five") << 1 << "abcde" << true;
        QTest::newRow("scene six") << 1 << "abcdef" << false;
        QTest::newRow("scene blank") << 1 << "ab cd" << false;
        QTest::newRow("scene chinese") << 1 << "场景_2" << true;
        QTest::newRow("scene empty") << 1 << "" << false;
        QTest::newRow("scene dash") << 1 << "a-b" << false;
        QTest::newRow("source sixteen") << 2 << QString(16, 'x') << true;
        QTest::newRow("source seventeen") << 2 << QString(17, 'x') << false;
        QTest::newRow("base eight") << 0 << "abcdefgh" << true;
        QTest::newRow("base nine") << 0 << "abcdefghi" << false;
        QTest::newRow("unknown id is base") << 9 << "abcdefgh" << true;
    }
    void rulesAcceptWordsUpToTheirLength() {
        QFETCH(int, rule);
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(Scheme::instance().rule(static_cast<uint8_t>(rule)).accepts(name), accepted);
    }

    void ruleNamesAndUnknownIds() {
        QCOMPARE(Scheme::instance().rule(0).name, QString("base"));
        QCOMPARE(Scheme::instance().rule(1).name, QString("scene"));
        QCOMPARE(Scheme::instance().rule(2).name, QString("source"));
        QCOMPARE(Scheme::instance().rule(3).name, QString("base"));
        QCOMPARE(Scheme::instance().rule(1).maxLength, 5);
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

    void materialTypes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("icon");
        QTest::newRow("camera") << 0 << "摄像头"
                                << "camera"
                                << ":/image/material_camera.png";
        QTest::newRow("window") << 2 << "窗口"
                                << "window"
                                << ":/image/material_window.png";
        QTest::newRow("picgroup") << 5 << "图片组"
                                  << "picgroup"
                                  << ":/image/material_picgroup.png";
        QTest::newRow("6 is camera") << 6 << "摄像头"
                                     << "camera"
                                     << ":/image/material_camera.png";
        QTest::newRow("9 is camera") << 9 << "摄像头"
                                     << "camera"
                                     << ":/image/material_camera.png";
        QTest::newRow("negative") << -1 << "摄像头"
                                  << "camera"
                                  << ":/image/material_camera.png";
    }
    void materialTypes() {
        QFETCH(int, index);
        QFETCH(QString, display);
        QFETCH(QString, id);
        QFETCH(QString, icon);
        QString d, i, n;
        Scheme::materialInfo(index, d, i, n);
        QCOMPARE(d, display);
        QCOMPARE(i, icon);
        QCOMPARE(n, id);
        QString only;
        Scheme::materialIcon(index, only);
        QCOMPARE(only, icon);
        QVERIFY(QFile::exists(icon));
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
