#pragma once

#include <QCoreApplication>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "net/DemoService.h"

// For drivers that run the whole client against a demo service started by another process.
namespace ClientSetup {

// The deployment files the client reads beside itself, pointing at the service.
inline bool writeDeployment(const QString& serviceUrl) {
    return DemoService::writeDeployment(
        QCoreApplication::applicationDirPath() + QStringLiteral("/data"), serviceUrl);
}

// As the sign-in page would: the service's form, its cookies handed to the browser.
inline bool signIn(const QString& serviceUrl) {
    const QList<QNetworkCookie> cookies = DemoService::signInAt(serviceUrl);
    for (const QNetworkCookie& c : cookies) {
        QWebEngineProfile::defaultProfile()->cookieStore()->setCookie(c, QUrl(serviceUrl));
    }
    return !cookies.isEmpty();
}

}  // namespace ClientSetup
