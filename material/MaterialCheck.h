#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "frontend/SoureParam.h"

// Whether a material's main input can be used before it reaches the studio, which would
// otherwise show a blank item (a missing file) or refuse without a word (a closed window).
class MaterialCheck {
    Q_DECLARE_TR_FUNCTIONS(MaterialCheck)

public:
    // The file suffixes a picture or a picture group may have.
    static const QStringList& pictureSuffixes();

    // What is wrong with `param.value` for its kind, in the user's words; empty when
    // nothing is. `choices` are the names currently offered for screens and windows.
    static QString problem(const orbLiveImp::SoureParam& param, const QStringList& choices);

private:
    static bool isPicture(const QString& path);
    static bool folderHasPictures(const QString& path);
};
