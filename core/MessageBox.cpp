#include "core/MessageBox.h"

#include "core/DialogSeam.h"

namespace live {
namespace {

QString kindOf(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Warning:
            return QStringLiteral("warning");
        case QMessageBox::Critical:
            return QStringLiteral("critical");
        case QMessageBox::Question:
            return QStringLiteral("question");
        default:
            return QStringLiteral("information");
    }
}

// What an unanswered headless box returns: its default button, else its first button.
QMessageBox::StandardButton fallbackAnswer(QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    if (defaultButton != QMessageBox::NoButton) {
        return defaultButton;
    }
    for (uint b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1) {
        if (buttons & b) {
            return static_cast<QMessageBox::StandardButton>(b);
        }
    }
    return QMessageBox::NoButton;
}

}  // namespace

QMessageBox::StandardButton MessageBox::show(QMessageBox::Icon icon, QWidget* parent,
                                             const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
    QVariant answer;
    if (DialogSeam::intercept({kindOf(icon), title, text}, &answer)) {
        return answer.isValid() ? static_cast<QMessageBox::StandardButton>(answer.toInt())
                                : fallbackAnswer(buttons, defaultButton);
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton MessageBox::warning(QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) {
    return show(QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton MessageBox::critical(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
    return show(QMessageBox::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton MessageBox::information(QWidget* parent, const QString& title,
                                                    const QString& text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) {
    return show(QMessageBox::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton MessageBox::question(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
    return show(QMessageBox::Question, parent, title, text, buttons, defaultButton);
}

}  // namespace live
