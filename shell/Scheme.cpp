#include "shell/Scheme.h"

#include <QFile>
#include <QLineEdit>
#include <QRegExpValidator>

#include "core/Log.h"
#include "resources/OrbResources.h"

namespace {

constexpr uint8_t kLastSheet = QSS_LIVESET;

const char* const kSheetNames[] = {
    "QSS_BASE",    "QSS_MAIN",     "QSS_TITLEBAR", "QSS_TASK",        "QSS_ROOM",
    "QSS_INFOBAR", "QSS_SCENE",    "QSS_MATERIAL", "QSS_ADDMATERIAL", "QSS_PREVIEWAREA",
    "QSS_CONSOLE", "QSS_CHATROOM", "QSS_SPEAKER",  "QSS_LIVESET",
};

struct MaterialType {
    const char* displayName;
    const char* identifier;
    const char* icon;
};

const MaterialType kMaterials[Scheme::kMaterialCount] = {
    {QT_TRANSLATE_NOOP("Scheme", "摄像头"), "camera", ":/image/material_camera.png"},
    {QT_TRANSLATE_NOOP("Scheme", "桌面"), "desktop", ":/image/material_desktop.png"},
    {QT_TRANSLATE_NOOP("Scheme", "窗口"), "window", ":/image/material_window.png"},
    {QT_TRANSLATE_NOOP("Scheme", "图片"), "picture", ":/image/material_picture.png"},
    {QT_TRANSLATE_NOOP("Scheme", "视频"), "video", ":/image/material_video.png"},
    {QT_TRANSLATE_NOOP("Scheme", "图片组"), "picgroup", ":/image/material_picgroup.png"},
};

const MaterialType& material(int index) {
    return kMaterials[(index < 0 || index >= Scheme::kMaterialCount) ? 0 : index];
}

}  // namespace

Scheme::Scheme() {
    live::initResources();
    fillRules();
    // Widgets built before init() (the main window's form) already get their sheets.
    loadStyleSheet();
}

void Scheme::fillRules() {
    const QString word = QStringLiteral("^[\\w]+$");
    rules_.clear();
    rules_.insert(kRuleBase, {QStringLiteral("base"), QRegExp(word), 8});
    rules_.insert(kRuleScene, {QStringLiteral("scene"), QRegExp(word), 5});
    rules_.insert(kRuleSource, {QStringLiteral("source"), QRegExp(word), 16});
}

bool Scheme::Rule::accepts(const QString& text) const {
    return !text.isEmpty() && text.size() <= maxLength && pattern.exactMatch(text);
}

int Scheme::init(uint8_t type) {
    displayTitle_ = displayTitleFor(type);
    fillRules();
    loadStyleSheet();
    return 0;
}

void Scheme::loadStyleSheet() {
    for (uint8_t id = 0; id <= kLastSheet; ++id) {
        const QString path = sheetPath(id);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            live::log::error("{}: {} qss not exist", "Scheme::loadStyleSheet", path);
            continue;
        }
        sheets_.insert(id, QString::fromUtf8(file.readAll()));
    }
}

QString Scheme::sheetPath(uint8_t id) {
    if (id > kLastSheet) {
        return QString();
    }
    const QString name = QString::fromLatin1(kSheetNames[id]);
    return QStringLiteral(":/qss/%1.qss").arg(name.mid(name.indexOf('_') + 1).toLower());
}

Scheme::Rule Scheme::rule(uint8_t id) const {
    if (rules_.contains(id)) {
        return rules_.value(id);
    }
    return rules_.value(kRuleBase);
}

void Scheme::applyRule(uint8_t id, QLineEdit* edit) const {
    if (!edit) {
        return;
    }
    const Rule r = rule(id);
    edit->setValidator(new QRegExpValidator(r.pattern, edit));
    edit->setMaxLength(r.maxLength);
}

void Scheme::materialInfo(int index, QString& displayName, QString& icon, QString& identifier) {
    const MaterialType& m = material(index);
    displayName = tr(m.displayName);
    icon = QString::fromLatin1(m.icon);
    identifier = QString::fromLatin1(m.identifier);
}

void Scheme::materialIcon(int index, QString& icon) {
    icon = QString::fromLatin1(material(index).icon);
}

QString Scheme::displayTitleFor(uint8_t type) {
    return type == 0 ? tr("OrbLive 直播助手") : tr("OrbLive 演讲直播");
}
