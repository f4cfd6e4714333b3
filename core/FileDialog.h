#pragma once

#include <QString>

class QWidget;

namespace live {

// The client's file dialogs; tests preset the chosen path through DialogSeam.
class FileDialog {
public:
    static QString getOpenFileName(QWidget* parent, const QString& caption,
                                   const QString& dir = QString(),
                                   const QString& filter = QString());
    static QString getExistingDirectory(QWidget* parent, const QString& caption,
                                        const QString& dir = QString());
};

}  // namespace live
