#pragma once

#include "shell/web/IOrbWebView.h"

class OrbWebBridge;
class QWebChannel;
class QWebEnginePage;
class QWebEngineView;

// IOrbWebView on Qt WebEngine and WebChannel. Nothing is created until init().
class OrbWebView : public IOrbWebView {
    Q_OBJECT
public:
    // Task types at or above this have no page.
    static constexpr uint8_t kTaskTypeCount = 26;

    explicit OrbWebView(QWidget* parent = nullptr);
    ~OrbWebView() override;

    QWebEngineView* view() const { return view_; }
    OrbWebBridge* bridge() const { return bridge_; }

    // The progress line of a download; the percentage only when the total is known.
    static QString downloadProgressText(qint64 received, qint64 total);
    // A server-suggested download name reduced to a plain file name inside the download
    // folder: no folders, no drive, no leading dots; empty when nothing usable is left.
    static QString safeDownloadName(const QString& suggested);

public slots:
    int init(bool applySettings) override;
    int release() override;
    int clearAll() override;
    int clearCache() override;
    void loadPage(const QString& url) override;
    void loadPage(uint8_t taskType) override;
    void stop() override;
    void loadCookieFromFile() override;
    void getCookies(QList<QNetworkCookie>& out) override;
    void slotJSEvent(uint8_t type, QString val = QString()) override;
    void slotLoadStarted() override;
    void slotLoadFinished(bool ok) override;
    void slotDownload(QWebEngineDownloadItem* item) override;
    void slotUrlChanged(const QUrl& url) override;
    void slotCookieAdded(const QNetworkCookie& cookie);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static void applyGlobalSettings();
    QString currentUrl() const;

    QWebEngineView* view_ = nullptr;
    QWebEnginePage* page_ = nullptr;
    QWebChannel* channel_ = nullptr;
    OrbWebBridge* bridge_ = nullptr;
    QList<QNetworkCookie> cookies_;
};
