#include "frontend/SourceMenu.h"

#include <QCoreApplication>
#include <QMenu>

#include "frontend/OBSBasic.h"
#include "frontend/StudioCodes.h"

namespace {

QAction* addAction(QMenu* menu, const char* objectName, const QString& text, bool enabled) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setEnabled(enabled);
    return action;
}

void addOrderActions(QMenu* menu, OBSBasic* basic, const QString& name) {
    const bool enabled = !name.isEmpty();
    const struct {
        const char* objectName;
        QString text;
        obs_order_movement movement;
    } orders[] = {
        {"actionMoveUp", QCoreApplication::translate("SourceMenu", "上移一层"), OBS_ORDER_MOVE_UP},
        {"actionMoveDown", QCoreApplication::translate("SourceMenu", "下移一层"),
         OBS_ORDER_MOVE_DOWN},
        {"actionMoveTop", QCoreApplication::translate("SourceMenu", "移至顶层"),
         OBS_ORDER_MOVE_TOP},
        {"actionMoveBottom", QCoreApplication::translate("SourceMenu", "移至底层"),
         OBS_ORDER_MOVE_BOTTOM},
    };
    for (const auto& order : orders) {
        QAction* action = addAction(menu, order.objectName, order.text, enabled);
        const obs_order_movement movement = order.movement;
        QObject::connect(action, &QAction::triggered, basic,
                         [basic, name, movement] { basic->moveSceneItem(name, movement); });
    }
}

}  // namespace

QMenu* SourceMenu::create(OBSBasic* basic, const QString& itemName, bool visible) {
    auto* menu = new QMenu;
    menu->setObjectName(QStringLiteral("studioSourceMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool enabled = !itemName.isEmpty();
    addOrderActions(menu, basic, itemName);
    menu->addSeparator();

    QAction* toggle =
        addAction(menu, "actionToggleVisible", visible ? tr("隐藏") : tr("显示"), enabled);
    QObject::connect(toggle, &QAction::triggered, basic, [basic, itemName, visible] {
        basic->ctrlSceneItem(itemName, orbLiveImp::kItemVisible, !visible);
    });
    QAction* remove = addAction(menu, "actionRemove", tr("删除"), enabled);
    QObject::connect(remove, &QAction::triggered, basic, [basic, itemName] {
        basic->ctrlSceneItem(itemName, orbLiveImp::kItemRemove, true);
    });
    menu->addSeparator();
    QAction* properties = addAction(menu, "actionProperties", tr("属性"), enabled);
    QObject::connect(properties, &QAction::triggered, basic,
                     [basic, itemName] { basic->showProperties(itemName); });
    return menu;
}
