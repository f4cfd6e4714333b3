#pragma once

#include <QCoreApplication>
#include <QString>

class OBSBasic;
class QMenu;

// The context menu of one material: order, visibility, removal and its properties. The
// actions name the material, so a menu left open never acts on a vanished item.
class SourceMenu {
    Q_DECLARE_TR_FUNCTIONS(SourceMenu)

public:
    // Without a material the actions are there but disabled.
    static QMenu* create(OBSBasic* basic, const QString& itemName, bool visible);
};
