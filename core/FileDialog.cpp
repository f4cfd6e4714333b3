#include "core/FileDialog.h"

#include <QFileDialog>

#include "core/DialogSeam.h"

namespace live {

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) {
    QVariant answer;
    if (DialogSeam::intercept({QStringLiteral("file"), caption, filter}, &answer)) {
        return answer.toString();
    }
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString FileDialog::getExistingDirectory(QWidget* parent, const QString& caption,
                                         const QString& dir) {
    QVariant answer;
    if (DialogSeam::intercept({QStringLiteral("file"), caption, dir}, &answer)) {
        return answer.toString();
    }
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

}  // namespace live
