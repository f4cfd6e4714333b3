#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QRegExp>
#include <QString>
#include <cstdint>

#include "core/Singleton.h"

class QLineEdit;

// Style sheet ids; each names the file ":/qss/<part after the first '_', lower case>.qss".
enum SheetId : uint8_t {
    QSS_BASE = 0,
    QSS_MAIN = 1,
    QSS_TITLEBAR = 2,
    QSS_TASK = 3,
    QSS_ROOM = 4,
    QSS_INFOBAR = 5,
    QSS_SCENE = 6,
    QSS_MATERIAL = 7,
    QSS_ADDMATERIAL = 8,
    QSS_PREVIEWAREA = 9,
    QSS_CONSOLE = 10,
    QSS_CHATROOM = 11,
    QSS_SPEAKER = 12,
    QSS_LIVESET = 13,
};

// The client's look: style sheets, naming rules for user-entered names, the material types
// and the window's display title. Created by the main window's start before any page.
class Scheme : public Singleton<Scheme> {
    friend class Singleton<Scheme>;
    Q_DECLARE_TR_FUNCTIONS(Scheme)

public:
    enum RuleId : uint8_t { kRuleBase = 0, kRuleScene = 1, kRuleSource = 2 };
    static constexpr int kMaterialCount = 6;

    struct Rule {
        QString name;
        QRegExp pattern;
        int maxLength = 0;
        // Whether a whole name satisfies the rule (the pattern and the length).
        bool accepts(const QString& text) const;
    };

    // `type` is the configuration's server variant; it selects the display title.
    int init(uint8_t type = 0);
    void loadStyleSheet();

    QString styleSheet(uint8_t id) const { return sheets_.value(id); }
    static QString sheetPath(uint8_t id);

    Rule rule(uint8_t id) const;
    // Limits a line edit to the rule: a regular-expression validator plus the maximum length.
    void applyRule(uint8_t id, QLineEdit* edit) const;

    static void materialInfo(int index, QString& displayName, QString& icon, QString& identifier);
    static void materialIcon(int index, QString& icon);

    const QString& displayTitle() const { return displayTitle_; }
    static QString displayTitleFor(uint8_t type);

private:
    Scheme();
    void fillRules();

    QHash<uint8_t, QString> sheets_;
    QHash<uint8_t, Rule> rules_;
    QString displayTitle_;
};
