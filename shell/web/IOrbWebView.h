#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <functional>

class QWebEngineDownloadItem;

// The embedded browser as the rest of the client sees it: pages of the service, a bridge
// for page scripts, and the cookies the browser receives.
class IOrbWebView : public QWidget {
    Q_OBJECT
public:
    // Gives the URL of a task type's page; empty when it has none. The main window binds it
    // to its HTTP request manager.
    using UrlResolver = std::function<QString(uint8_t taskType)>;

    explicit IOrbWebView(QWidget* parent = nullptr) : QWidget(parent) {}
    ~IOrbWebView() override = default;

    void setUrlResolver(UrlResolver resolver) { urlResolver_ = std::move(resolver); }

signals:
    // Page-script events: 0 signed in, 1 signed out, 2 sign-in / profile dialog closed,
    // 3 about closed, 4 open `val` in the default browser, 5 upload a new avatar.
    void signalJSEvent(uint8_t type, QString val = QString());
    void signalLoadFinished(bool result);

public slots:
    virtual int init(bool applySettings) = 0;
    virtual int release() = 0;
    virtual int clearAll() = 0;
    virtual int clearCache() = 0;
    virtual void loadPage(const QString& url) = 0;
    virtual void loadPage(uint8_t taskType) = 0;
    virtual void stop() = 0;
    virtual void loadCookieFromFile() = 0;
    virtual void getCookies(QList<QNetworkCookie>& out) = 0;
    virtual void slotJSEvent(uint8_t type, QString val = QString()) = 0;
    virtual void slotLoadStarted() = 0;
    virtual void slotLoadFinished(bool ok) = 0;
    virtual void slotDownload(QWebEngineDownloadItem* item) = 0;
    virtual void slotUrlChanged(const QUrl& url) = 0;

protected:
    QString resolveUrl(uint8_t taskType) const {
        return urlResolver_ ? urlResolver_(taskType) : QString();
    }

private:
    UrlResolver urlResolver_;
};
