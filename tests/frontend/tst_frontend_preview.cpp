#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

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

private slots:
    void initTestCase() {
        ORB_REQUIRE(g_displayFailure.isEmpty(), g_displayFailure);
        STUDIO_REQUIRE();
        scene_ = basic()->currentSceneName();
    }

    void init() { studiotest::clearScene(); }

    void cleanup() {
        app()->OBSWinReset();
        app()->ctrlScene(kSceneCurrent, scene_, 0);
        app()->ctrlScene(kSceneRemove, "Red", 0);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMenu*>(w)) {
                w->close();
            }
        }
    }

    void previewFollowsTheSceneAndItsHost() {
        addColour("Green", 0xFF00FF00);
        QWidget host;
        host.resize(640, 480);
        host.show();
        QVERIFY(studiotest::waitExposed(&host));
        log_.attach(&host);
        auto* preview = host.findChild<PreviewDisplay*>();
        QVERIFY(preview);
        QTRY_VERIFY(preview->hasDisplay());
        QCOMPARE(preview->geometry(), host.rect());

        // 16:9 in 4:3: the picture fills the width, 60 pixels of border above and below.
        const auto letterboxed = [&host] {
            const QImage image = grab(&host);
            return isColour(image.pixel(320, 240), 0, 255, 0) &&
                   isColour(image.pixel(320, 20), 0, 0, 0);
        };
        QTRY_VERIFY_WITH_TIMEOUT(letterboxed(), 15000);

        // The preview follows the current scene.
        QVERIFY(app()->ctrlScene(kSceneAdd, "Red", 0));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "Red", 0));
        addColour("RedFill", 0xFF0000FF);  // ABGR: red
        QTRY_VERIFY_WITH_TIMEOUT(isColour(grab(&host).pixel(320, 240), 255, 0, 0), 15000);
        QVERIFY(app()->ctrlScene(kSceneCurrent, scene_, 0));

        host.resize(800, 450);
        QTRY_COMPARE(preview->geometry(), host.rect());
        app()->OBSWinReset();
        QVERIFY(!host.findChild<PreviewDisplay*>());
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
        QListWidget* list = widget->list();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("Second"));

        list->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!obs_sceneitem_visible(item("First")));
        list->item(0)->setSelected(true);
        widget->findChild<QToolButton*>("moveDown")->click();
        QTRY_COMPARE(list->item(0)->text(), QString("First"));
        // The list follows changes made anywhere.
        obs_sceneitem_set_visible(item("First"), true);
        QTRY_COMPARE(list->item(0)->checkState(), Qt::Checked);

        app()->resetSouceParent(layout, nullptr);
        QVERIFY(!panel.findChild<SourceListWidget*>());
        QCOMPARE(layout->count(), 0);
        // Lent again, it is the same list.
        app()->resetSouceParent(layout, &panel);
        QCOMPARE(panel.findChild<SourceListWidget*>(), widget);
        app()->resetSouceParent(layout, nullptr);
    }

    void popupMenuActsOnTheSelectedItemOnly() {
        addColour("Under", 0xFF00FF00);
        addColour("Over", 0xFF0000FF);
        log_.attach();
        log_.waitFor(4);
        // Without a selection every action is disabled.
        QMenu* idle = basic()->CreateSourcePopupMenu();
        QVERIFY(!idle->findChild<QAction*>("actionRemove")->isEnabled());
        idle->close();

        QVERIFY(app()->ctrlSceneItem("Over", kItemSelect, true));
        QMenu* menu = basic()->CreateSourcePopupMenu();
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
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
