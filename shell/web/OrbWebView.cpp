#include "shell/web/OrbWebView.h"

#include <QNetworkProxyFactory>
#include <QResizeEvent>
#include <QWebChannel>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadItem>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "core/Log.h"
#include "core/LogRedact.h"
#include "shell/web/OrbWebBridge.h"

OrbWebView::OrbWebView(QWidget* parent) : IOrbWebView(parent) {
    qRegisterMetaType<uint8_t>("uint8_t");
    QNetworkProxyFactory::setUseSystemConfiguration(false);
}

OrbWebView::~OrbWebView() = default;

int OrbWebView::init(bool applySettings) {
    if (view_) {
        return 0;
    }
    view_ = new QWebEngineView(this);
    page_ = view_->page();
    channel_ = new QWebChannel(this);
    bridge_ = new OrbWebBridge(this);
    if (!page_ || !bridge_) {
        live::log::error("{}: failed to create QWebEngineView", "OrbWebView::init");
        return 1;
    }
    channel_->registerObject(QString::fromLatin1(OrbWebBridge::kChannelId), bridge_);
    page_->setWebChannel(channel_);

    connect(bridge_, &OrbWebBridge::signalJSEvent, this, &OrbWebView::slotJSEvent);
    connect(view_, &QWebEngineView::loadStarted, this, &OrbWebView::slotLoadStarted);
    connect(view_, &QWebEngineView::loadFinished, this, &OrbWebView::slotLoadFinished);
    connect(view_, &QWebEngineView::urlChanged, this, &OrbWebView::slotUrlChanged);
    QWebEngineProfile* profile = page_->profile();
    connect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, this,
            &OrbWebView::slotCookieAdded);
    connect(profile, &QWebEngineProfile::downloadRequested, this, &OrbWebView::slotDownload);

    if (applySettings) {
        applyGlobalSettings();
    }
    view_->resize(size());
    view_->show();
    return 0;
}

void OrbWebView::applyGlobalSettings() {
    // The service's pages need scripts (the bridge), full screen (the playback video) and
    // scroll bars. Nothing opens windows from script (the download link asks the client to
    // open the system browser), no plugin or screen capture is used, and an HTTPS page
    // must not run scripts fetched over plain HTTP, so those stay off.
    QWebEngineSettings* settings = QWebEngineSettings::defaultSettings();
    for (auto attribute :
         {QWebEngineSettings::JavascriptEnabled, QWebEngineSettings::FullScreenSupportEnabled,
          QWebEngineSettings::ShowScrollBars}) {
        settings->setAttribute(attribute, true);
    }
    for (auto attribute :
         {QWebEngineSettings::JavascriptCanOpenWindows, QWebEngineSettings::PluginsEnabled,
          QWebEngineSettings::ScreenCaptureEnabled,
          QWebEngineSettings::AllowRunningInsecureContent}) {
        settings->setAttribute(attribute, false);
    }
}

int OrbWebView::release() {
    if (channel_ && bridge_) {
        channel_->deregisterObject(bridge_);
    }
    delete view_;
    view_ = nullptr;
    page_ = nullptr;
    delete bridge_;
    bridge_ = nullptr;
    return 0;
}

int OrbWebView::clearAll() {
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->clearHttpCache();
    profile->clearAllVisitedLinks();
    profile->cookieStore()->deleteSessionCookies();
    profile->cookieStore()->deleteAllCookies();
    cookies_.clear();
    return 0;
}

int OrbWebView::clearCache() {
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->clearHttpCache();
    profile->clearAllVisitedLinks();
    return 0;
}

void OrbWebView::loadPage(const QString& url) {
    if (!view_) {
        return;
    }
    live::log::info("{}: load {}", "OrbWebView::loadPage", live::LogRedact::url(url));
    view_->load(QUrl(url));
}

void OrbWebView::loadPage(uint8_t taskType) {
    const QString url = taskType < kTaskTypeCount ? resolveUrl(taskType) : QString();
    if (url.isEmpty()) {
        live::log::error("{}: invalid task type {}, no url", "OrbWebView::loadPage",
                         static_cast<int>(taskType));
        return;
    }
    loadPage(url);
}

void OrbWebView::stop() {
    if (view_) {
        view_->stop();
    }
}

void OrbWebView::loadCookieFromFile() {
    QWebEngineProfile::defaultProfile()->cookieStore()->loadAllCookies();
    live::log::info("{}", "OrbWebView::loadCookieFromFile");
}

void OrbWebView::getCookies(QList<QNetworkCookie>& out) {
    out = cookies_;
}

void OrbWebView::slotJSEvent(uint8_t type, QString val) {
    emit signalJSEvent(type, val);
}

QString OrbWebView::currentUrl() const {
    return view_ ? live::LogRedact::url(view_->url()) : QString();
}

void OrbWebView::slotLoadStarted() {
    live::log::info("{}: load started {}", "OrbWebView::slotLoadStarted", currentUrl());
}

void OrbWebView::slotLoadFinished(bool ok) {
    Q_UNUSED(ok);
    live::log::info("{}: load finished {}", "OrbWebView::slotLoadFinished", currentUrl());
}

void OrbWebView::slotUrlChanged(const QUrl& url) {
    live::log::info("{}: URL changed {}", "OrbWebView::slotUrlChanged", live::LogRedact::url(url));
}

void OrbWebView::slotCookieAdded(const QNetworkCookie& cookie) {
    cookies_.append(cookie);
    live::log::info("{}: cookie added {}", "OrbWebView::slotCookieAdded",
                    live::LogRedact::cookie(cookie.domain(), cookie.name(), cookie.value().size()));
}

QString OrbWebView::downloadProgressText(qint64 received, qint64 total) {
    QString text =
        QStringLiteral("downloading, bytesReceived %1 bytesReceived %2").arg(received).arg(total);
    if (total > 0) {
        text += QStringLiteral(", %1%").arg(received * 100 / total);
    }
    return text;
}

void OrbWebView::slotDownload(QWebEngineDownloadItem* item) {
    if (!item) {
        return;
    }
    connect(item, &QWebEngineDownloadItem::finished, this,
            [] { live::log::debug("{}: download finish ", "OrbWebView::slotDownload"); });
    connect(item, &QWebEngineDownloadItem::downloadProgress, this,
            [](qint64 received, qint64 total) {
                live::log::debug("{}: {}", "OrbWebView::slotDownload",
                                 downloadProgressText(received, total));
            });
    // The engine's suggested name comes from the server; only its last path part is used and
    // the file always goes into the profile's download folder.
    const QString folder = item->page() && item->page()->profile()
                               ? item->page()->profile()->downloadPath()
                               : QWebEngineProfile::defaultProfile()->downloadPath();
    const QString name = safeDownloadName(item->downloadFileName());
    if (name.isEmpty()) {
        live::log::warn("{}: download refused, unusable file name", "OrbWebView::slotDownload");
        item->cancel();
        return;
    }
    item->setDownloadDirectory(folder);
    item->setDownloadFileName(name);
    live::log::debug("{}: downloadDirectory: {}", "OrbWebView::slotDownload",
                     item->downloadDirectory());
    live::log::debug("{}: downloadFileName: {}", "OrbWebView::slotDownload",
                     item->downloadFileName());
    item->accept();
}

QString OrbWebView::safeDownloadName(const QString& suggested) {
    QString name = suggested;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1).trimmed();
    // Dropping leading dots keeps ".." and hidden files out of the folder.
    while (name.startsWith(QLatin1Char('.'))) {
        name.remove(0, 1);
    }
    name.remove(QChar(0));
    return name;
}

void OrbWebView::resizeEvent(QResizeEvent* event) {
    IOrbWebView::resizeEvent(event);
    if (view_ && event->size().isValid()) {
        view_->resize(event->size());
    }
}
