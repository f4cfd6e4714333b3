#include "material/Material.h"

#include <QIcon>
#include <QToolButton>

#include "core/Log.h"
#include "shell/Scheme.h"
#include "ui_Material.h"

Material::Material(QWidget* parent)
    : Material(parent, [](QWidget* form) { Ui::Material().setupUi(form); }) {}

Material::Material(QWidget* parent, const std::function<void(QWidget*)>& buildForm)
    : QWidget(parent) {
    qRegisterMetaType<uint8_t>("uint8_t");  // lets the kind travel through queued connections
    buildForm(this);
    setAttribute(Qt::WA_StyledBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    bindButtons();
}

void Material::bindButtons() {
    for (uint8_t kind = 0; kind < Scheme::kMaterialCount; ++kind) {
        QString displayName;
        QString icon;
        QString key;
        Scheme::materialInfo(kind, displayName, icon, key);
        auto* button = findChild<QToolButton*>(key);
        if (!button) {
            live::log::error("{}: no button name {}", "Material::Material", key);
            continue;
        }
        button->setText(displayName);
        button->setIcon(QIcon(icon));
        button->setProperty("id", uint(kind));
        connect(button, &QToolButton::clicked, this, &Material::slotOnClicked);
    }
}

void Material::slotOnClicked() {
    if (auto* button = qobject_cast<QToolButton*>(sender())) {
        emit signalAddMaterial(uint8_t(button->property("id").toUInt()));
    }
}

void Material::setUnavailable(uint8_t kind, const QString& reason) {
    for (auto* button : findChildren<QToolButton*>()) {
        if (button->property("id").isValid() && button->property("id").toUInt() == kind) {
            button->setEnabled(reason.isEmpty());
            button->setToolTip(reason);
        }
    }
}
