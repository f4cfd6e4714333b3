#include "core/DialogSeam.h"

#include <QDialog>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQueue>

namespace live {
namespace {

struct SeamState {
    bool headless = !qEnvironmentVariableIsEmpty("ORBLIVE_DIALOG_RECORD");
    QQueue<QVariant> answers;
    QList<DialogSeam::Shown> shown;
};

SeamState& state() {
    static SeamState s;
    return s;
}

// Lets a test that starts the real program read what the program would have shown.
void appendToRecordFile(const DialogSeam::Shown& what) {
    const QString path = qEnvironmentVariable("ORBLIVE_DIALOG_RECORD");
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QJsonObject line{{QStringLiteral("kind"), what.kind},
                               {QStringLiteral("title"), what.title},
                               {QStringLiteral("text"), what.text}};
        file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    }
}

}  // namespace

bool DialogSeam::headless() {
    return state().headless;
}

void DialogSeam::setHeadless(bool on) {
    state().headless = on;
}

void DialogSeam::presetAnswer(const QVariant& answer) {
    state().answers.enqueue(answer);
}

QList<DialogSeam::Shown> DialogSeam::shown() {
    return state().shown;
}

void DialogSeam::clearShown() {
    state().shown.clear();
    state().answers.clear();
}

bool DialogSeam::intercept(const Shown& what, QVariant* answer) {
    SeamState& s = state();
    s.shown.append(what);
    if (!s.headless) {
        return false;
    }
    appendToRecordFile(what);
    *answer = s.answers.isEmpty() ? QVariant() : s.answers.dequeue();
    return true;
}

int DialogSeam::exec(QDialog* dialog, const QString& text) {
    QVariant answer;
    if (intercept({QStringLiteral("dialog"), dialog->windowTitle(), text}, &answer)) {
        const int result = answer.isValid() ? answer.toInt() : int(QDialog::Rejected);
        dialog->done(result);
        return result;
    }
    return dialog->exec();
}

}  // namespace live
