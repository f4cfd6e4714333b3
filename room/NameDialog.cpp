#include "room/NameDialog.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLineEdit>

#include "core/DialogSeam.h"
#include "core/MessageBox.h"
#include "shell/Scheme.h"

namespace {

const QSize kDialogSize(400, 200);

}  // namespace

QString NameDialog::defaultSceneName(const Taken& taken) {
    const QString base = QCoreApplication::translate("Scene", "Scene");
    for (int n = 2;; ++n) {
        const QString name = base + QString::number(n);
        if (!taken || !taken(name)) {
            return name;
        }
    }
}

bool NameDialog::askSceneName(QWidget* parent, const QString& name, const Taken& taken,
                              QString& out) {
    const QString initial = name.isEmpty() ? defaultSceneName(taken) : name;
    const QString title = QCoreApplication::translate("Scene", "Scene") +
                          QCoreApplication::translate("Scene", "Name");
    return ask(parent, title, initial, Scheme::kRuleScene, out);
}

bool NameDialog::askItemName(QWidget* parent, const QString& oldName, const Taken& taken,
                             QString& out) {
    const Scheme::Rule rule = Scheme::instance().rule(Scheme::kRuleSource);
    QString initial = oldName;
    while (ask(parent, tr("素材名称"), initial, Scheme::kRuleSource, out)) {
        // The validator keeps typed text inside the rule; anything else (empty, pasted
        // past it) gets the rule explained.
        if (!rule.accepts(out)) {
            live::MessageBox::warning(parent, tr("警告"),
                                      tr("素材名应该是1-16个字符，可以包含中英文、下划线"));
        } else if (out == oldName || (taken && taken(out))) {
            live::MessageBox::warning(parent, tr("警告"), tr("素材名已经被使用，请重新输入"));
        } else {
            return true;
        }
        initial = out;
    }
    return false;
}

bool NameDialog::ask(QWidget* parent, const QString& title, const QString& initial, uint8_t rule,
                     QString& out) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(title);
    dialog.setTextValue(initial);
    dialog.resize(kDialogSize);
    if (QLineEdit* edit = dialog.findChild<QLineEdit*>()) {
        Scheme::instance().applyRule(rule, edit);
        // A default longer than the rule's limit (an untranslated "Scene2") is still
        // offered whole rather than cut to a name that may be taken.
        edit->setMaxLength(qMax(edit->maxLength(), initial.size()));
        edit->setText(initial);
    }
    QVariant answer;
    if (live::DialogSeam::intercept({QStringLiteral("dialog"), title, initial}, &answer)) {
        if (answer.type() == QVariant::String) {
            out = answer.toString();
            return true;
        }
        out = initial;
        return answer.isValid() && answer.toInt() == QDialog::Accepted;
    }
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    out = dialog.textValue();
    return true;
}
