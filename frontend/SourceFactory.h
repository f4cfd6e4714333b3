#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <obs.hpp>

#include "frontend/SourceKinds.h"
#include "frontend/SoureParam.h"

// Creates engine sources for the client's materials and keeps their names unique.
class SourceFactory {
public:
    using Choice = QPair<QString, QVariant>;  // display name, value

    // A new source for `param` named from `param.name` (or the kind's base name), made
    // unique; null when the kind is unknown or its main choice cannot be resolved.
    static OBSSourceAutoRelease create(const orbLiveImp::SoureParam& param);

    // True when a loaded module registered the input type. The engine aborts when asked about
    // a type it does not know (a display without the window manager hints registers no window
    // capture, a machine without the camera module no camera), so everything asks this first.
    static bool registered(const char* typeId);

    static bool nameTaken(const QString& name);
    // `base` when free, else `base` followed by the smallest free number from 2.
    static QString uniqueName(const QString& base);

    // The items of a list property, read from a private instance of the type (some types
    // cannot list their properties without one).
    static QList<Choice> choices(const char* typeId, const char* property);
    // The value of one item of a list property in the list's own format.
    static QVariant itemValue(obs_property_t* list, size_t index);

private:
    static bool fillSettings(const SourceKind& kind, const orbLiveImp::SoureParam& param,
                             obs_data_t* settings);
    static bool fillChoice(const SourceKind& kind, const QString& value, obs_data_t* settings);
};
