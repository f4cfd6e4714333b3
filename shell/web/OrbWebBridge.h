#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <cstdint>

// The object page scripts reach over the web channel as "orbnet_webview". Each call becomes
// a numbered page event for the main window.
class OrbWebBridge : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kChannelId = "orbnet_webview";

    enum Event : uint8_t {
        kSignedIn = 0,
        kSignedOut = 1,
        kLoginModalClosed = 2,
        kAboutClosed = 3,
        kOpenBrowser = 4,
        kUploadAvatar = 5,
    };

    explicit OrbWebBridge(QObject* parent = nullptr);

signals:
    // Visible to page scripts; the client never emits them.
    void clientEvent(int type, QVariant val);
    void clientMsg(QString msg);

    void signalJSEvent(uint8_t type, QString val = QString());

public slots:
    void orbPcClientSuccess();
    // The page's argument is not passed on.
    void orbPcClientLogOutput(QString name);
    void closeAbout();
    void closeLoginModal();
    void openDefaultBrowser(QString name);
    void orbUploadAvahost();
};
