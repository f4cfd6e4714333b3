#pragma once

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>

// Scripts run in a real page, and the service's sign-in form filled as a presenter would.
namespace PageScript {

// The script's result, or an invalid value when none came within `waitMs`.
inline QVariant run(QWebEnginePage* page, const QString& script, int waitMs = 60000) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, waitMs) ? result : QVariant();
}

// False when the page never showed the sign-in form.
inline bool signIn(QWebEnginePage* page, int waitMs = 60000) {
    if (!QTest::qWaitFor(
            [&] { return run(page, "!!document.getElementById('login-form')").toBool(); },
            waitMs)) {
        return false;
    }
    run(page,
        "document.getElementById('account').value = 'demo';"
        "document.getElementById('password').value = 'orb2024';"
        "document.getElementById('login-button').click(); true");
    return true;
}

}  // namespace PageScript
