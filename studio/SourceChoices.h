#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <obs.h>

// The choices of list properties: a type's device, screen and window lists, and the
// lookups between an item's display name and its value on one source.
class SourceChoices {
public:
    // The list properties whose items are material choices, on every platform we know.
    static const QStringList& choiceProperties();

    // Walks the visible choice lists of the latest version of the input type; nothing when
    // the type is not registered.
    static void list(const char* typeId, QStringList& names, QList<QVariant>& values);

    // The display name of the item of `property` whose value equals the setting's current
    // value; empty when none does.
    static QString nameOfValue(obs_source_t* source, const char* property);
    // Writes the value of the item named `name` under `property` in the list's own format;
    // false when no item carries that name.
    static bool setByName(obs_source_t* source, const char* property, const QString& name,
                          obs_data_t* settings);
};
