// Renders the ask dialogs and a toast on a real X display and writes them to
// <build>/screenshots for people to look at. Asserts that Chinese text is drawn
// with a font that has the glyphs.
#include <QApplication>
#include <QDir>
#include <QGlyphRun>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QTextLayout>
#include <QtTest>

#include "shell/Scheme.h"
#include "shell/Toast.h"
#include "shell/ormLive_AskDialog.h"
#include "support/Require.h"

namespace {

const QColor kPage(15, 15, 15);

QString shotPath(const QString& name) {
    const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + "/" + name;
}

// Every character of `text` in `font` maps to a real glyph (not the missing-glyph box), and
// the Chinese ones come from a font that covers them.
QString missingGlyphs(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QString problems;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (quint32 index : run.glyphIndexes()) {
            if (index == 0) {
                problems += QStringLiteral("[box in %1]").arg(run.rawFont().familyName());
            }
        }
    }
    for (const QChar c : text) {
        if (c.unicode() < 0x2e80) {
            continue;
        }
        bool covered = false;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            covered = covered || run.rawFont().supportsCharacter(c);
        }
        if (!covered) {
            problems += QString(c);
        }
    }
    return problems;
}

QImage onBackdrop(const QImage& image, const QColor& backdrop, int margin) {
    QImage out(image.size() / image.devicePixelRatio() + QSize(2 * margin, 2 * margin),
               QImage::Format_RGB32);
    out.fill(backdrop);
    QPainter painter(&out);
    painter.drawImage(margin, margin, image);
    return out;
}

}  // namespace

class TestShellScreens : public QObject {
    Q_OBJECT
public:
    explicit TestShellScreens(bool display) : display_(display) {}

private:
    bool display_;

private slots:
    void initTestCase() {
        ORB_REQUIRE(display_, "needs the X display that scripts/test provides");
        Scheme::instance().init(0);
        qApp->setStyleSheet(Scheme::instance().styleSheet(QSS_BASE) +
                            Scheme::instance().styleSheet(QSS_MAIN));
    }

    void askDialogs_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::newRow("confirm") << 3 << "询问"
                                 << "结束直播后将无法重新开始，请确认是否结束直播？"
                                 << "askdialog.png";
        QTest::newRow("invite code") << 4 << "邀请码"
                                     << "8F3K2Q"
                                     << "askdialog_code.png";
        QTest::newRow("join") << 8 << "加入直播"
                              << ""
                              << "askdialog_join.png";
    }
    void askDialogs() {
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, file);
        ormLive_AskDialog dialog(title, text, mode);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, 30000));
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            QCOMPARE(missingGlyphs(label->text(), label->font()), QString());
        }
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (!button->isHidden()) {
                QCOMPARE(missingGlyphs(button->text(), button->font()), QString());
            }
        }
        QVERIFY(onBackdrop(dialog.grab().toImage(), QColor(72, 72, 76), 20).save(shotPath(file)));
    }

    void toast() {
        Toast* toast = Toast::showTip(QStringLiteral("复制邀请码成功"), nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(toast, 30000));
        auto* label = toast->findChild<QLabel*>("label");
        QCOMPARE(missingGlyphs(label->text(), label->font()), QString());
        QCOMPARE(toast->y(), QGuiApplication::primaryScreen()->geometry().height() * 7 / 10);
        const QImage shot = toast->grab().toImage();
        // Only the rounded pill is drawn: its corners stay see-through.
        QCOMPARE(qAlpha(shot.pixel(1, 1)), 0);
        QVERIFY(qAlpha(shot.pixel(toast->width() / 2, 26)) > 150);
        QVERIFY(onBackdrop(shot, kPage, 20).save(shotPath("toast.png")));
        QPointer<Toast> gone(toast);
        QTRY_VERIFY_WITH_TIMEOUT(gone.isNull(), 15000);
    }
};

int main(int argc, char** argv) {
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!display) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TestShellScreens test(display);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell_screens.moc"
