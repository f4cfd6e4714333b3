#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstdint>

#include "frontend/SceneItemData.h"
#include "room/NameDialog.h"

class QAction;
class QMenu;
class QTabWidget;
class QToolButton;
class SceneTab;

// The scene tabs of the live room, mirroring the studio's scenes: the studio's scene and
// item reports (ctrlScene, ctrlSceneItem) build and change the tabs; the user's add, edit,
// delete, switch and reorder become commands to the studio.
class Scene : public QWidget {
    Q_OBJECT
public:
    enum MenuAction { kMenuDelete = 1, kMenuEdit = 2 };
    // How long a dragged tab waits before the studio reorders its scenes.
    static constexpr int kReorderDelayMs = 100;

    explicit Scene(QWidget* parent = nullptr);
    ~Scene() override;

    // The studio's scene reports (scene op codes) and item reports.
    void ctrlScene(uint8_t op, const QString& name, const QVariant& value);
    void ctrlSceneItem(const orbLiveImp::SceneItemData& data);

    int currentIndex() const;
    // Leaving the room: no switch commands until the studio reports again.
    void clear();
    // Whether a source of a name exists; by default asks the studio wrapper.
    void setNameTaken(const NameDialog::Taken& taken);

    int count() const;
    QString tabName(int index) const;
    // Null when no tab has that title.
    SceneTab* sceneTab(const QString& name) const;
    QTabWidget* tabWidget() const { return tabs_; }
    bool switchSuppressed() const { return suppressSwitch_; }

signals:
    void signalCtrlScene(uint8_t type, const QString& name, const QVariant& value);
    void signalCtrlSceneItem(const QString& name, uint8_t type, const QVariant& value);
    void signalShowSourceProp(const QString& name);

public slots:
    void on_add_clicked();
    void slotShowMenu(const QPoint& pos);
    void slotMenuTriggered(QAction* action);
    void on_tabWidget_currentChanged(int index);
    void on_tabWidget_tabBarClicked(int index);
    void slotTabMoved(int from, int to);

private:
    void addScene(const QString& name);
    void removeScene(const QString& name);
    void moveScene(const QString& name, int to);
    void makeCurrent(const QString& name);
    void requestSwitch(int index);
    void editCurrent();
    int indexOf(const QString& name) const;

    QTabWidget* tabs_;
    QToolButton* add_;
    QMenu* menu_;
    NameDialog::Taken taken_;
    // Set while leaving the room and during the studio's own changes to the tabs.
    bool suppressSwitch_ = false;
    bool applying_ = false;
    // The scene the studio calls current, and the one a switch was asked for.
    QString current_;
    QString pending_;
};
