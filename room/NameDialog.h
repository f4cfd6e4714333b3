#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

// The text input dialogs that name scenes and materials, limited by the scheme's naming
// rules and run through the dialog seam (a test's preset text answer counts as typed).
class NameDialog {
    Q_DECLARE_TR_FUNCTIONS(NameDialog)

public:
    // True when a name is already taken by a source of the studio.
    using Taken = std::function<bool(const QString& name)>;

    // Asks for a scene name starting from `name`; an empty `name` offers the first free
    // default ("Scene2", "Scene3"...). False when cancelled.
    static bool askSceneName(QWidget* parent, const QString& name, const Taken& taken,
                             QString& out);
    // Asks for a material's new name until a usable one is given (true) or the user gives
    // up (false); refusals are explained with a warning.
    static bool askItemName(QWidget* parent, const QString& oldName, const Taken& taken,
                            QString& out);

    // The default scene name: the translated "Scene" with the smallest free number from 2.
    static QString defaultSceneName(const Taken& taken);

private:
    static bool ask(QWidget* parent, const QString& title, const QString& initial, uint8_t rule,
                    QString& out);
};
