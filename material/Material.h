#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

// The room's panel with one button per material kind; a press asks for a new material.
class Material : public QWidget {
    Q_OBJECT
public:
    explicit Material(QWidget* parent = nullptr);

    // Disables the kind's button and tells why on its tooltip; an empty reason enables it.
    void setUnavailable(uint8_t kind, const QString& reason);

signals:
    void signalAddMaterial(uint8_t type);

public slots:
    void slotOnClicked();

protected:
    // Builds the panel on a form made by `buildForm` (tests hand in altered forms).
    Material(QWidget* parent, const std::function<void(QWidget*)>& buildForm);

private:
    void bindButtons();
};
