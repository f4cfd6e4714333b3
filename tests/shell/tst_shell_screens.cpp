// Renders an ask dialog and a toast on a real X display and writes them to
// <build>/screenshots for people to look at; Chinese text is drawn with a font that has it.
#include <QApplication>
#include <QDir>
#include <QGlyphRun>
#include <QLabel>
#include <QPainter>
#include <QTextLayout>
#include <QtTest>

#include "shell/Scheme.h"
#include "shell/Toast.h"
#include "shell/ormLive_AskDialog.h"
#include "support/OrbTestMain.h"
#include "support/Require.h"

namespace {

QString shotPath(const QString& name) {
    const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + "/" + name;
}

QString missingGlyphs(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QString problems;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QVector<quint32> glyphs = run.glyphIndexes();
        if (glyphs.contains(0)) {
            problems += QStringLiteral("[box in %1]").arg(run.rawFont().familyName());
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

private slots:
    void initTestCase() {
        ORB_REQUIRE(orbtest::displayFailure().isEmpty(), orbtest::displayFailure());
        Scheme::instance().init(0);
        qApp->setStyleSheet(Scheme::instance().styleSheet(QSS_BASE) +
                            Scheme::instance().styleSheet(QSS_MAIN));
    }

    void askDialog() {
        ormLive_AskDialog dialog("询问", "结束直播后将无法重新开始，请确认是否结束直播？",
                                 ormLive_AskDialog::kOkCancel);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, 30000));
        for (QWidget* part : dialog.findChildren<QWidget*>()) {
            if (!part->isHidden() && part->property("text").isValid()) {
                QCOMPARE(missingGlyphs(part->property("text").toString(), part->font()), QString());
            }
        }
        QVERIFY(onBackdrop(dialog.grab().toImage(), QColor(72, 72, 76), 20)
                    .save(shotPath("askdialog.png")));
    }

    void toast() {
        Toast* toast = Toast::showTip(QStringLiteral("复制邀请码成功"), nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(toast, 30000));
        auto* label = toast->findChild<QLabel*>("label");
        QCOMPARE(missingGlyphs(label->text(), label->font()), QString());
        QTRY_VERIFY(toast->windowOpacity() > 0.99);
        const QImage shot = toast->grab().toImage();
        // Only the rounded pill is drawn: its corners stay see-through.
        QCOMPARE(qAlpha(shot.pixel(1, 1)), 0);
        QVERIFY(onBackdrop(shot, QColor(15, 15, 15), 20).save(shotPath("toast.png")));
        QPointer<Toast> gone(toast);
        QTRY_VERIFY_WITH_TIMEOUT(gone.isNull(), 15000);
    }
};

ORB_TEST_MAIN_PRIVATE_DISPLAY(TestShellScreens)

#include "tst_shell_screens.moc"
