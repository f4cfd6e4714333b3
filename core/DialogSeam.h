#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class QDialog;

namespace live {

// Every modal box and dialog of the client passes through here. When headless (tests, or
// the environment variable ORBLIVE_DIALOG_RECORD naming a file), nothing is shown: the
// call is recorded and answered from the preset answers, else with its default answer.
class DialogSeam {
public:
    struct Shown {
        QString kind;  // "warning", "critical", "information", "question", "file", "dialog"
        QString title;
        QString text;
    };

    static bool headless();
    static void setHeadless(bool on);
    // The next answer: a QMessageBox::StandardButton, a QDialog result or a chosen path.
    static void presetAnswer(const QVariant& answer);
    static QList<Shown> shown();
    static void clearShown();

    // Records the call; returns true with `answer` set when the caller must not show anything.
    static bool intercept(const Shown& what, QVariant* answer);
    // Runs a modal dialog, or answers it when headless (Rejected unless preset).
    static int exec(QDialog* dialog, const QString& text = QString());
};

}  // namespace live
