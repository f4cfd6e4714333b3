#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "RoomWiring.h"
#include "core/DialogSeam.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioTestKit.h"
#include "room/Scene.h"
#include "room/SceneTab.h"

using namespace orbLiveImp;
using studiotest::app;

// The scene tabs against the real studio: the library's reports build them, the user's
// actions go to the library and come back as reports.
class TestRoomScenes : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<RoomWiring> wiring_;

    OBSBasic* basic() const { return app()->GetMainWindow(); }

    QStringList tabNames() const {
        QStringList names;
        for (int i = 0; i < scene_->count(); ++i) {
            names << scene_->tabName(i);
        }
        return names;
    }
    QString currentTab() const { return scene_->tabName(scene_->currentIndex()); }

    QAction* menuAction(Scene::MenuAction which) const {
        for (QAction* action : scene_->findChild<QMenu*>()->actions()) {
            if (action->data().toInt() == which) {
                return action;
            }
        }
        return nullptr;
    }

    void clickTab(int index) {
        QTabBar* bar = scene_->tabWidget()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    void clickCell(SceneTab* tab, const QString& item, int column, bool twice = false) {
        const QModelIndex index = tab->model()->index(tab->rowOf(item), column);
        QTableView* table = tab->table();
        const QPoint at = table->visualRect(index).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        }
    }

    // Starts a scene of its own and makes it current, so item commands land there.
    SceneTab* freshScene(const QString& name) {
        app()->ctrlScene(kSceneAdd, name, 0);
        app()->ctrlScene(kSceneCurrent, name, 0);
        if (!QTest::qWaitFor([&] { return currentTab() == name; }, 10000)) {
            return nullptr;
        }
        return scene_->sceneTab(name);
    }

    QString addPicture(const QString& name) {
        const QString png = studiotest::makePng(dir_.filePath(name + ".png"), Qt::darkCyan);
        return app()->addSceneItem(studiotest::param(SourceKinds::kImage, png, false, false, name));
    }

    static QStringList warnings() { return studiotest::shownTexts("warning"); }

    bool engineItemFlag(const QString& name, bool (*flag)(const obs_sceneitem_t*)) {
        OBSSceneItem item = SceneItems::find(basic()->currentScene(), name);
        return item && flag(item);
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
        scene_ = std::make_unique<Scene>();
        scene_->resize(480, 320);
        scene_->show();
        QVERIFY(QTest::qWaitForWindowExposed(scene_.get(), 30000));
        wiring_ = std::make_unique<RoomWiring>(app(), scene_.get(), nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(tabNames(), basic()->sceneNames(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(currentTab(), basic()->currentSceneName(), 10000);
    }

    void cleanupTestCase() {
        wiring_.reset();
        scene_.reset();
    }

    void cleanup() { live::DialogSeam::clearShown(); }

    void libraryChangesBecomeTabs() {
        QSignalSpy sent(scene_.get(), &Scene::signalCtrlScene);
        const QStringList before = basic()->sceneNames();
        QVERIFY(app()->ctrlScene(kSceneAdd, "A", 0));
        QVERIFY(app()->ctrlScene(kSceneAdd, "B", 0));
        QTRY_COMPARE(tabNames(), before + QStringList({"A", "B"}));
        QVERIFY(app()->ctrlScene(kSceneRename, "B", "C"));
        QVERIFY(app()->ctrlScene(kSceneCurrent, "C", 0));
        QTRY_COMPARE(currentTab(), QString("C"));
        QVERIFY(basic()->reorderScene(before.size() + 1, 0));
        QTRY_COMPARE(tabNames(), QStringList({"C"}) + before + QStringList({"A"}));
        QVERIFY(app()->ctrlScene(kSceneRemove, "A", 0));
        QTRY_COMPARE(tabNames(), basic()->sceneNames());
        QCOMPARE(currentTab(), QString("C"));
        // Mirroring the library is no reason to command it.
        QCOMPARE(sent.count(), 0);
    }

    void userActionsGoThroughTheLibrary() {
        // Accepting the offered default twice: the smallest free numbers, in turn.
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        scene_->on_add_clicked();
        QTRY_VERIFY(tabNames().contains("Scene2"));
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        scene_->on_add_clicked();
        QTRY_VERIFY(tabNames().contains("Scene3"));

        // A taken name is refused with a warning and asked again.
        live::DialogSeam::presetAnswer(QString("Scene2"));
        live::DialogSeam::presetAnswer(int(QMessageBox::Ok));
        live::DialogSeam::presetAnswer(QString("Solo"));
        scene_->on_add_clicked();
        QTRY_VERIFY(basic()->sceneNames().contains("Solo"));
        QTRY_COMPARE(tabNames(), basic()->sceneNames());
        QCOMPARE(warnings(), QStringList{"画面名称已经存在"});

        // Switching: the library makes it current; the current tab again sends nothing.
        clickTab(tabNames().indexOf("Solo"));
        QTRY_COMPARE(basic()->currentSceneName(), QString("Solo"));
        QTRY_COMPARE(currentTab(), QString("Solo"));
        QSignalSpy sent(scene_.get(), &Scene::signalCtrlScene);
        clickTab(tabNames().indexOf("Solo"));
        QCOMPARE(sent.count(), 0);

        live::DialogSeam::presetAnswer(QString("Duo"));
        menuAction(Scene::kMenuEdit)->trigger();
        QTRY_COMPARE(currentTab(), QString("Duo"));
        QVERIFY(basic()->sceneNames().contains("Duo"));
        menuAction(Scene::kMenuDelete)->trigger();
        QTRY_VERIFY(!tabNames().contains("Duo"));
        QVERIFY(!basic()->sceneNames().contains("Duo"));

        // A dragged tab reorders the library's scenes.
        scene_->tabWidget()->tabBar()->moveTab(0, scene_->count() - 1);
        QTRY_COMPARE(basic()->sceneNames(), tabNames());
    }

    void reattachingRebuildsTheSameTabs() {
        wiring_.reset();
        QCOMPARE(scene_->count(), 0);
        QVERIFY(scene_->switchSuppressed());
        wiring_ = std::make_unique<RoomWiring>(app(), scene_.get(), nullptr);
        QTRY_COMPARE(tabNames(), basic()->sceneNames());
        QTRY_COMPARE(currentTab(), basic()->currentSceneName());
        QVERIFY(!scene_->switchSuppressed());
    }

    void itemsMirrorTheEngine() {
        SceneTab* tab = freshScene("Items");
        QVERIFY(tab);
        QVERIFY(tab->placeholderShown());
        QCOMPARE(addPicture("Pic"), QString("Pic"));
        QCOMPARE(addPicture("Pic2"), QString("Pic2"));
        QTRY_COMPARE(tab->model()->rowCount(), 2);
        QVERIFY(!tab->placeholderShown());
        QVERIFY(tab->itemState("Pic", SceneTab::kColEnable));

        clickCell(tab, "Pic", SceneTab::kColEnable);
        QTRY_VERIFY(!tab->itemState("Pic", SceneTab::kColEnable));
        QVERIFY(!engineItemFlag("Pic", obs_sceneitem_visible));
        clickCell(tab, "Pic", SceneTab::kColLock);
        QTRY_VERIFY(tab->itemState("Pic", SceneTab::kColLock));
        QVERIFY(engineItemFlag("Pic", obs_sceneitem_locked));

        // The library's own selection change is shown without being sent back.
        QSignalSpy sent(scene_.get(), &Scene::signalCtrlSceneItem);
        QVERIFY(app()->ctrlSceneItem("Pic2", kItemSelect, true));
        QTRY_VERIFY(tab->table()->selectionModel()->isRowSelected(tab->rowOf("Pic2"), {}));
        QCOMPARE(sent.count(), 0);

        // An empty name and a taken one are refused with their own texts.
        for (const QString& typed : {QString(""), QString("Pic2"), QString("Renamed")}) {
            live::DialogSeam::presetAnswer(typed);
            live::DialogSeam::presetAnswer(int(QMessageBox::Ok));  // for a warning
        }
        clickCell(tab, "Pic", SceneTab::kColName, true);
        QTRY_VERIFY(tab->rowOf("Renamed") >= 0);
        QVERIFY(engineItemFlag("Renamed", obs_sceneitem_locked));
        QCOMPARE(warnings(), QStringList({"素材名应该是1-16个字符，可以包含中英文、下划线",
                                          "素材名已经被使用，请重新输入"}));

        clickCell(tab, "Pic2", SceneTab::kColDelete);
        QTRY_COMPARE(tab->model()->rowCount(), 1);
        QVERIFY(!tab->placeholderShown());
        QVERIFY(app()->ctrlSceneItem("Renamed", kItemLock, false));
        QTRY_VERIFY(!tab->itemState("Renamed", SceneTab::kColLock));
        clickCell(tab, "Renamed", SceneTab::kColDelete);
        QTRY_VERIFY(tab->placeholderShown());
        QCOMPARE(addPicture("Again"), QString("Again"));
        QTRY_VERIFY(!tab->placeholderShown());
    }

    void itemOfAnUnknownSceneIsDropped() {
        SceneItemData data;
        data.sceneName = "Nowhere";
        data.itemName = "Ghost";
        data.typeId = "image_source";
        data.op = kItemAdded;
        scene_->ctrlSceneItem(data);
        for (int i = 0; i < scene_->count(); ++i) {
            QCOMPARE(scene_->sceneTab(scene_->tabName(i))->rowOf("Ghost"), -1);
        }
    }
};

STUDIO_TEST_MAIN(TestRoomScenes)
#include "tst_room_scenes.moc"
