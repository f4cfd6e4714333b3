#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "PrivateDisplay.h"
#include "StudioTestKit.h"
#include "frontend/PreviewDisplay.h"
#include "frontend/SourceListWidget.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

using studiotest::app;
using studiotest::item;
using studiotest::itemLine;

namespace {
QString g_displayFailure;
}

// The preview in a host widget, the material list lent to a panel, and the material menu.
class TestFrontendPreview : public QObject {
    Q_OBJECT

private:
    studiotest::EventLog log_;
    QString scene_;

    OBSBasic* basic() { return app()->GetMainWindow(); }

    // A source of one colour covering the whole canvas; returns its name.
    QString addColour(const QString& name, uint32_t abgr) {
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_int(settings, "color", abgr);
        obs_data_set_int(settings, "width", 1280);
        obs_data_set_int(settings, "height", 720);
        OBSSourceAutoRelease source =
            obs_source_create("color_source_v3", name.toUtf8().constData(), settings, nullptr);
        obs_scene_t* scene = basic()->GetCurrentScene();
        obs_scene_add(scene, source);
        obs_scene_release(scene);
        return name;
    }

    // What the X server shows in the host window (the preview is a native child drawn by
    // the engine, invisible to QWidget::grab).
    static QImage grab(QWidget* host) {
        return QGuiApplication::primaryScreen()->grabWindow(host->winId()).toImage();
    }

    static bool isColour(QRgb pixel, int r, int g, int b) {
        return qAbs(qRed(pixel) - r) < 40 && qAbs(qGreen(pixel) - g) < 40 &&
               qAbs(qBlue(pixel) - b) < 40;
    }

    static bool rowsHaveColour(const QImage& image, int x, int fromY, int toY, int r, int g,
                               int b) {
        for (int y = fromY; y <= toY; ++y) {
            if (isColour(image.pixel(x, y), r, g, b)) {
                return true;
            }
        }
        return false;
    }

    // A host window for the preview, kept on top so that windows of tests running beside
    // this one never cover it.
    static std::unique_ptr<QWidget> showHost(int width, int height) {
        auto host = std::make_unique<QWidget>(nullptr, Qt::WindowStaysOnTopHint);
        host->resize(width, height);
        host->show();
        return QTest::qWaitForWindowExposed(host.get(), 30000) ? std::move(host) : nullptr;
    }

private slots:
    void initTestCase() {
        ORB_REQUIRE(g_displayFailure.isEmpty(), g_displayFailure);
        STUDIO_REQUIRE();
        scene_ = basic()->currentSceneName();
    }

    void init() { studiotest::clearScene(); }

    void cleanup() {
        app()->OBSWinReset();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMenu*>(w)) {
                w->close();
            }
        }
    }

    void previewShowsTheProgramLetterboxed() {
        addColour("Green", 0xFF00FF00);
        const std::unique_ptr<QWidget> shown = showHost(640, 480);
        QVERIFY(shown);
        QWidget& host = *shown;
        host.setStyleSheet("background: rgb(0, 0, 255)");
        log_.attach(&host);
        auto* preview = host.findChild<PreviewDisplay*>();
        QVERIFY(preview);
        QTRY_VERIFY(preview->hasDisplay());
        QCOMPARE(preview->geometry(), host.rect());

        // 16:9 in 4:3: the picture fills the width, 60 pixels of border above and below.
        const auto letterboxed = [&host] {
            const QImage image = grab(&host);
            return isColour(image.pixel(320, 240), 0, 255, 0) &&
                   isColour(image.pixel(320, 100), 0, 255, 0) &&
                   isColour(image.pixel(320, 20), 0, 0, 0) &&
                   isColour(image.pixel(320, 460), 0, 0, 0);
        };
        QTRY_VERIFY_WITH_TIMEOUT(letterboxed(), 15000);

        host.resize(800, 450);
        QTRY_COMPARE(preview->geometry(), host.rect());
        QTRY_VERIFY_WITH_TIMEOUT(isColour(grab(&host).pixel(400, 10), 0, 255, 0), 15000);
    }

    void previewFollowsTheCurrentScene() {
        addColour("GreenToo", 0xFF00FF00);
        QVERIFY(app()->ctrlScene(kSceneAdd, "Red", 0));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "Red", 0));
        addColour("RedFill", 0xFF0000FF);  // ABGR: red
        const std::unique_ptr<QWidget> host = showHost(320, 180);
        QVERIFY(host);
        log_.attach(host.get());
        QTRY_VERIFY_WITH_TIMEOUT(isColour(grab(host.get()).pixel(160, 90), 255, 0, 0), 15000);
        QVERIFY(app()->ctrlScene(kSceneCurrent, scene_, 0));
        QTRY_VERIFY_WITH_TIMEOUT(isColour(grab(host.get()).pixel(160, 90), 0, 255, 0), 15000);
        QVERIFY(app()->ctrlScene(kSceneRemove, "Red", 0));
    }

    void selectedItemIsOutlined() {
        addColour("Blue", 0xFFFF0000);  // ABGR: blue
        const std::unique_ptr<QWidget> host = showHost(640, 480);
        QVERIFY(host);
        log_.attach(host.get());
        QTRY_VERIFY_WITH_TIMEOUT(isColour(grab(host.get()).pixel(320, 240), 0, 0, 255) &&
                                     !rowsHaveColour(grab(host.get()), 320, 55, 65, 255, 0, 0),
                                 15000);
        QVERIFY(app()->ctrlSceneItem("Blue", kItemSelect, true));
        // The outline runs along the picture's top edge, 60 pixels down.
        QTRY_VERIFY_WITH_TIMEOUT(rowsHaveColour(grab(host.get()), 320, 55, 65, 255, 0, 0), 15000);
    }

    void resetRemovesThePreview() {
        QWidget host;
        host.resize(320, 180);
        host.show();
        log_.attach(&host);
        QVERIFY(host.findChild<PreviewDisplay*>());
        app()->OBSWinReset();
        QVERIFY(!host.findChild<PreviewDisplay*>());
        // Attaching elsewhere moves it.
        QWidget other;
        other.show();
        log_.attach(&host);
        log_.attach(&other);
        QVERIFY(!host.findChild<PreviewDisplay*>());
        QVERIFY(other.findChild<PreviewDisplay*>());
    }

    void sourceListIsLentAndTakenBack() {
        addColour("First", 0xFF00FF00);
        addColour("Second", 0xFF0000FF);
        QWidget panel;
        auto* layout = new QVBoxLayout(&panel);
        panel.show();
        app()->resetSouceParent(layout, &panel);
        auto* widget = panel.findChild<SourceListWidget*>();
        QVERIFY(widget);
        QCOMPARE(layout->count(), 1);
        QListWidget* list = widget->list();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("Second"));
        QCOMPARE(list->item(1)->text(), QString("First"));

        list->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!obs_sceneitem_visible(item("First")));
        list->item(0)->setSelected(true);
        QVERIFY(obs_sceneitem_selected(item("Second")));
        widget->findChild<QToolButton*>("moveDown")->click();
        QTRY_COMPARE(list->item(0)->text(), QString("First"));
        QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);

        // The list follows changes made anywhere.
        addColour("Third", 0xFFFF0000);
        QTRY_COMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QString("Third"));
        obs_sceneitem_set_visible(item("First"), true);
        QTRY_COMPARE(list->item(1)->checkState(), Qt::Checked);

        app()->resetSouceParent(layout, nullptr);
        QVERIFY(!panel.findChild<SourceListWidget*>());
        QCOMPARE(layout->count(), 0);
        // Lent again, it is the same list.
        app()->resetSouceParent(layout, &panel);
        QCOMPARE(panel.findChild<SourceListWidget*>(), widget);
        app()->resetSouceParent(layout, nullptr);
    }

    void popupMenuActsOnTheSelectedItem() {
        addColour("Under", 0xFF00FF00);
        addColour("Over", 0xFF0000FF);
        log_.attach();
        log_.waitFor(4);
        QVERIFY(app()->ctrlSceneItem("Over", kItemSelect, true));
        QMenu* menu = basic()->CreateSourcePopupMenu();
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        for (QAction* action : menu->findChildren<QAction*>(QRegularExpression("^action"))) {
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        }
        menu->findChild<QAction*>("actionToggleVisible")->trigger();
        QVERIFY(!obs_sceneitem_visible(item("Over")));
        menu->findChild<QAction*>("actionMoveBottom")->trigger();
        menu->findChild<QAction*>("actionProperties")->trigger();
        menu->findChild<QAction*>("actionRemove")->trigger();
        QVERIFY(!item("Over"));
        const QStringList expected = {
            itemLine(kItemSelect, scene_, "Over", 1), itemLine(kItemVisible, scene_, "Over", 0),
            itemLine(kItemOrder, scene_, ""), itemLine(kItemProperties, scene_, "Over"),
            itemLine(kItemRemove, scene_, "Over", 1)};
        QCOMPARE(log_.waitFor(expected.size()), expected);
        menu->close();
    }

    void popupMenuWithoutSelectionIsDisabled() {
        addColour("Lonely", 0xFF00FF00);
        QMenu* menu = basic()->CreateSourcePopupMenu();
        const QList<QAction*> actions = menu->findChildren<QAction*>(QRegularExpression("^action"));
        QCOMPARE(actions.size(), 7);
        QVERIFY(std::none_of(actions.begin(), actions.end(),
                             [](QAction* a) { return a->isEnabled(); }));
        menu->close();
    }
};

// The preview is read back from the X server and the menu grabs the pointer: a display of
// its own keeps other tests' windows and grabs out of both.
int main(int argc, char** argv) {
    PrivateDisplay display;
    if (!display.start()) {
        g_displayFailure = display.failure();
        qunsetenv("DISPLAY");
    }
    return studiotest::runWithStudio(argc, argv, [&] {
        TestFrontendPreview test;
        return QTest::qExec(&test, argc, argv);
    });
}
#include "tst_frontend_preview.moc"
