#pragma once

#include <QString>

#include "frontend/SoureParam.h"
#include "studio/OrbOBS.h"

// A material as one comparable line, "<type> <value> <primary> <secondary> [<modifiers>:<key>]...",
// so that a test compares what it asked for with what the studio keeps in one step.
inline QString materialLine(const orbLiveImp::SoureParam& p) {
    QString line = QStringLiteral("%1 %2 %3 %4")
                       .arg(p.type)
                       .arg(p.value)
                       .arg(p.primaryFlag)
                       .arg(p.secondaryFlag);
    for (const orbLiveImp::OrbShortcut& key : p.hotkeys) {
        line += QStringLiteral(" %1:%2").arg(key.modifiers, 0, 16).arg(key.virtualKey, 0, 16);
    }
    return line;
}

// The names the wrapper offers to choose from for `kind` (after the window filter).
inline QStringList materialChoices(uint8_t kind) {
    QString typeId;
    QStringList names;
    QList<QVariant> values;
    OrbOBS::instance().getSourceChoices(kind, typeId, names, values);
    return names;
}

// What the wrapper reads back for the material `name`, as above; hotkeys only when asked.
inline QString storedMaterial(const QString& name, bool withHotkeys = false) {
    orbLiveImp::SoureParam read;
    if (!OrbOBS::instance().getSourceProp(name, read)) {
        return QStringLiteral("<none>");
    }
    if (!withHotkeys) {
        read.hotkeys.clear();
    }
    return materialLine(read);
}
