#include "shell/web/OrbWebBridge.h"

OrbWebBridge::OrbWebBridge(QObject* parent) : QObject(parent) {}

void OrbWebBridge::orbPcClientSuccess() {
    emit signalJSEvent(kSignedIn);
}

void OrbWebBridge::orbPcClientLogOutput(QString name) {
    Q_UNUSED(name);
    emit signalJSEvent(kSignedOut);
}

void OrbWebBridge::closeAbout() {
    emit signalJSEvent(kAboutClosed);
}

void OrbWebBridge::closeLoginModal() {
    emit signalJSEvent(kLoginModalClosed);
}

void OrbWebBridge::openDefaultBrowser(QString name) {
    emit signalJSEvent(kOpenBrowser, name);
}

void OrbWebBridge::orbUploadAvahost() {
    emit signalJSEvent(kUploadAvatar);
}
