#include "room/Scene.h"

#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <new>

#include "core/Log.h"
#include "core/MessageBox.h"
#include "frontend/StudioCodes.h"
#include "room/SceneTab.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"

using namespace orbLiveImp;

namespace {

// Holds a flag for the length of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};

}  // namespace

Scene::Scene(QWidget* parent)
    : QWidget(parent),
      tabs_(new QTabWidget(this)),
      add_(new QToolButton(this)),
      menu_(new QMenu(this)) {
    qRegisterMetaType<uint8_t>("uint8_t");
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(Scheme::instance().styleSheet(QSS_SCENE));
    taken_ = [](const QString& name) { return OrbOBS::instance().sourceExists(name); };

    tabs_->setObjectName(QStringLiteral("tabWidget"));
    tabs_->setMovable(true);
    tabs_->setContextMenuPolicy(Qt::CustomContextMenu);
    // The menu acts on the focused tab widget; a click on a tab must give it the focus.
    tabs_->tabBar()->setFocusPolicy(Qt::StrongFocus);
    add_->setObjectName(QStringLiteral("add"));
    add_->setIcon(QIcon(QStringLiteral(":/image/scene_add.png")));
    add_->setToolTip(tr("Scene"));
    tabs_->setCornerWidget(add_, Qt::TopRightCorner);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    menu_->addAction(tr("编辑"))->setData(int(kMenuEdit));
    menu_->addAction(tr("删除"))->setData(int(kMenuDelete));
    connect(menu_, &QMenu::triggered, this, &Scene::slotMenuTriggered);
    connect(tabs_, &QWidget::customContextMenuRequested, this, &Scene::slotShowMenu);
    connect(tabs_->tabBar(), &QTabBar::tabMoved, this, &Scene::slotTabMoved);
    QMetaObject::connectSlotsByName(this);
}

Scene::~Scene() {
    suppressSwitch_ = true;
    FlagScope applying(applying_);
    delete tabs_;
}

void Scene::setNameTaken(const NameDialog::Taken& taken) {
    taken_ = taken;
    for (int i = 0; i < count(); ++i) {
        qobject_cast<SceneTab*>(tabs_->widget(i))->setNameTaken(taken);
    }
}

int Scene::currentIndex() const {
    return tabs_->currentIndex();
}

int Scene::count() const {
    return tabs_->count();
}

QString Scene::tabName(int index) const {
    return tabs_->tabText(index);
}

int Scene::indexOf(const QString& name) const {
    for (int i = 0; i < tabs_->count(); ++i) {
        if (tabs_->tabText(i) == name) {
            return i;
        }
    }
    return -1;
}

SceneTab* Scene::sceneTab(const QString& name) const {
    const int index = indexOf(name);
    return index < 0 ? nullptr : qobject_cast<SceneTab*>(tabs_->widget(index));
}

void Scene::clear() {
    suppressSwitch_ = true;
    FlagScope applying(applying_);
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    current_.clear();
    pending_.clear();
}

void Scene::ctrlScene(uint8_t op, const QString& name, const QVariant& value) {
    suppressSwitch_ = false;
    FlagScope applying(applying_);
    switch (op) {
        case kSceneAdd:
            addScene(name);
            break;
        case kSceneRemove:
            removeScene(name);
            break;
        case kSceneRename: {
            const int index = indexOf(name);
            if (index >= 0) {
                tabs_->setTabText(index, value.toString());
                if (current_ == name) {
                    current_ = value.toString();
                }
            }
            break;
        }
        case kSceneMoved:
            moveScene(name, value.toInt());
            break;
        case kSceneCurrent:
            makeCurrent(name);
            break;
        default:
            break;
    }
}

void Scene::addScene(const QString& name) {
    auto* tab = new (std::nothrow) SceneTab;
    if (!tab) {
        live::log::error("{}: failed to create SceneTab, error {}", "Scene::ctrlScene", name);
        return;
    }
    tab->setNameTaken(taken_);
    connect(tab, &SceneTab::signalCtrlSceneItem, this, &Scene::signalCtrlSceneItem);
    connect(tab, &SceneTab::signalShowSourceProp, this, &Scene::signalShowSourceProp);
    tabs_->addTab(tab, name);
}

void Scene::removeScene(const QString& name) {
    const int index = indexOf(name);
    if (index < 0) {
        return;
    }
    QWidget* page = tabs_->widget(index);
    tabs_->removeTab(index);
    delete page;
}

void Scene::moveScene(const QString& name, int to) {
    const int from = indexOf(name);
    if (from >= 0 && from != to && to >= 0 && to < tabs_->count()) {
        tabs_->tabBar()->moveTab(from, to);
    }
}

void Scene::makeCurrent(const QString& name) {
    current_ = name;
    pending_.clear();
    const int index = indexOf(name);
    if (index >= 0 && index != tabs_->currentIndex()) {
        tabs_->setCurrentIndex(index);
    }
}

void Scene::ctrlSceneItem(const SceneItemData& data) {
    if (tabs_->count() == 0) {
        live::log::error("{}: no scene", "Scene::ctrlSceneItem");
        return;
    }
    SceneTab* tab = sceneTab(data.sceneName);
    if (!tab) {
        live::log::error("{}: scene is invalid, error {}", "Scene::ctrlSceneItem", data.sceneName);
        return;
    }
    tab->ctrlItem(data);
}

void Scene::on_add_clicked() {
    QString name;
    while (NameDialog::askSceneName(this, QString(), taken_, name)) {
        if (name.isEmpty()) {
            return;
        }
        if (!taken_ || !taken_(name)) {
            emit signalCtrlScene(kSceneAdd, name, 0);
            return;
        }
        live::MessageBox::warning(this, tr("Warning"), tr("画面名称已经存在"));
    }
}

void Scene::slotShowMenu(const QPoint& pos) {
    if (!tabs_->hasFocus() || tabs_->count() == 0) {
        return;
    }
    menu_->popup(tabs_->mapToGlobal(pos));
}

void Scene::slotMenuTriggered(QAction* action) {
    const int index = tabs_->currentIndex();
    if (!action || index < 0) {
        return;
    }
    if (action->data().toInt() == kMenuEdit) {
        editCurrent();
    } else if (action->data().toInt() == kMenuDelete) {
        emit signalCtrlScene(kSceneRemove, tabs_->tabText(index), 0);
    }
}

void Scene::editCurrent() {
    const QString old = tabs_->tabText(tabs_->currentIndex());
    QString name;
    if (NameDialog::askSceneName(this, old, taken_, name) && !name.isEmpty() && name != old) {
        emit signalCtrlScene(kSceneRename, old, name);
    }
}

void Scene::on_tabWidget_currentChanged(int index) {
    requestSwitch(index);
}

void Scene::on_tabWidget_tabBarClicked(int index) {
    requestSwitch(index);
}

void Scene::requestSwitch(int index) {
    if (suppressSwitch_ || applying_ || index < 0) {
        return;
    }
    const QString name = tabs_->tabText(index);
    // A click also changes the current tab: one request per scene until the studio answers.
    if (name == current_ || name == pending_) {
        return;
    }
    pending_ = name;
    emit signalCtrlScene(kSceneCurrent, name, 0);
}

void Scene::slotTabMoved(int from, int to) {
    if (applying_) {
        return;
    }
    QTimer::singleShot(kReorderDelayMs, this,
                       [from, to] { OrbOBS::instance().reorderScene(from, to); });
}
