#include "material/Material.h"

#include <QIcon>
#include <QToolButton>

#include "core/Log.h"
#include "material/MaterialKinds.h"
#include "ui_Material.h"

namespace {

// The kind table is the style scheme's; every look-up of it goes through here.
void kindInfo(uint8_t kind, QString& displayName, QString& icon, QString& key) {
    MaterialKinds::materialInfo(kind, displayName, icon, key);
}

}  // namespace

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
    for (uint8_t kind = 0; kind < MaterialKinds::kCount; ++kind) {
        QString displayName;
        QString icon;
        QString key;
        kindInfo(kind, displayName, icon, key);
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
