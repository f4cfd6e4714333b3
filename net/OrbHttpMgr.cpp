#include "net/OrbHttpMgr.h"

#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

#include "core/ErrorCode.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "net/OrbCookieJar.h"
#include "net/QueryTemplate.h"

namespace live {
namespace {

constexpr int kMaxTasks = 26;
constexpr uint8_t kLastBuildableType = 22;
constexpr uint8_t kCookieListKey = 2;
const char* const kTagInit = "live::OrbHttpMgr::initHttpTask";
// No reply of the service comes near this (the largest, an avatar picture, is a few hundred
// kilobytes); a broken proxy or service could otherwise fill the memory with one reply.
constexpr qint64 kMaxReplyBytes = 16 * 1024 * 1024;
const char* const kOversizedProperty = "orbOversized";

const QStringList& entryKeys() {
    static const QStringList keys = {QStringLiteral("id"),        QStringLiteral("url"),
                                     QStringLiteral("req_type"),  QStringLiteral("param"),
                                     QStringLiteral("param_num"), QStringLiteral("opt_param_num")};
    return keys;
}

uint8_t readWhole(const QString& path, QByteArray& bytes) {
    if (path.isEmpty()) {
        return kBadFile;
    }
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return kBadFile;
    }
    bytes = file.readAll();
    return kSuccess;
}

uint8_t byte(const QJsonValue& v) {
    return static_cast<uint8_t>(v.toInt(0));
}

template <typename T>
const T* as(const INetwork::IParam* param) {
    return dynamic_cast<const T*>(param);
}

}  // namespace

const char* const OrbHttpMgr::kVerifyPeerKey = "ssl_verify_peer";

OrbHttpMgr::OrbHttpMgr(std::shared_ptr<IConfig> config) : config_(std::move(config)) {
    auto* jar = new OrbCookieJar(this);
    connect(jar, &OrbCookieJar::signalCookieInserted, this,
            [this](const QNetworkCookie& c) { watchCookie(c, true); });
    connect(jar, &OrbCookieJar::signalCookieDeleted, this,
            [this](const QNetworkCookie& c) { watchCookie(c, false); });
    setCookieJar(jar);
}

OrbHttpMgr::~OrbHttpMgr() = default;

// ---- SSL ------------------------------------------------------------------------------------

uint8_t OrbHttpMgr::initSsl() {
    readVerifyPeer();
    return INetwork::initSsl();
}

void OrbHttpMgr::readVerifyPeer() {
    if (!config_) {
        return;
    }
    QByteArray bytes;
    if (readWhole(config_->getPath(kPathConfig), bytes) != kSuccess) {
        return;
    }
    const QJsonValue value =
        QJsonDocument::fromJson(bytes).object().value(QLatin1String(kVerifyPeerKey));
    if (value.isBool()) {
        setVerifyPeer(value.toBool());
        if (!value.toBool()) {
            log::warn("{}: server certificates are not verified ({} is false)",
                      "live::OrbHttpMgr::initSsl", kVerifyPeerKey);
        }
    } else if (!value.isUndefined()) {
        log::warn("{}: {} must be true or false, certificates stay verified",
                  "live::OrbHttpMgr::initSsl", kVerifyPeerKey);
    }
}

// ---- task table -----------------------------------------------------------------------------

uint8_t OrbHttpMgr::initHttpTask(const QString& path) {
    QByteArray bytes;
    const uint8_t rc = readWhole(path, bytes);
    if (rc != kSuccess) {
        log::error("{}: failed to load file {}", kTagInit, path);
        return rc;
    }
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || doc.isNull() || !doc.isObject()) {
        log::error("{}: failed to parse network task data", kTagInit);
        return kBadFile;
    }
    const QJsonObject root = doc.object();
    const QJsonValue prefix = root.value(QStringLiteral("url_prefix"));
    const QJsonValue entries = root.value(QStringLiteral("url_info"));
    if (!prefix.isString() || !entries.isArray()) {
        return kBadFile;
    }
    const QJsonArray list = entries.toArray();
    for (int i = 0; i < qMin(list.size(), kMaxTasks); ++i) {
        addTask(list.at(i).toObject(), prefix.toString(), false);
    }
    fillPageUrls();
    if (config_ && config_->getType() == 1) {
        const uint8_t variantRc = loadVariantTasks(root);
        if (variantRc != kSuccess) {
            return variantRc;
        }
    }
    return cleanLoginUrl();
}

bool OrbHttpMgr::addTask(const QJsonObject& entry, const QString& prefix, bool replace) {
    for (const QString& key : entryKeys()) {
        if (!entry.contains(key)) {
            log::warn("{}: error in network task data", kTagInit);
            return false;
        }
    }
    auto info = std::make_shared<TaskInfo>();
    info->id = byte(entry.value(QStringLiteral("id")));
    info->req_type = byte(entry.value(QStringLiteral("req_type")));
    info->param_num = byte(entry.value(QStringLiteral("param_num")));
    info->opt_param_num = byte(entry.value(QStringLiteral("opt_param_num")));
    info->url = prefix + entry.value(QStringLiteral("url")).toString();
    info->param = entry.value(QStringLiteral("param")).toString();
    if (!replace && tasks_.contains(info->id)) {
        return false;
    }
    tasks_.insert(info->id, info);
    return true;
}

uint8_t OrbHttpMgr::loadVariantTasks(const QJsonObject& root) {
    const QJsonValue old = root.value(QStringLiteral("kelvarin_old"));
    const QJsonValue entries = old.toObject().value(QStringLiteral("url_info"));
    if (!old.isObject() || !entries.isArray()) {
        return kBadFile;
    }
    for (const QJsonValue& entry : entries.toArray()) {
        addTask(entry.toObject(), QString(), true);
    }
    return kSuccess;
}

void OrbHttpMgr::fillPageUrls() {
    const QString n0 = config_ ? config_->getName(0) : QString();
    const QString n1 = config_ ? config_->getName(1) : QString();
    const QString n2 = config_ ? config_->getName(2) : QString();
    const QString version = config_ ? config_->appVersion() : QString();
    if (auto login = tasks_.value(kTaskLogin)) {
        login->url = login->url.arg(n2).arg(n0).arg(version);
    }
    if (auto about = tasks_.value(kTaskAbout)) {
        about->url = about->url.arg(n2).arg(n1).arg(n0).arg(version);
    }
    if (auto update = tasks_.value(kTaskUserUpdate)) {
        update->url = update->url.arg(n2);
    }
}

uint8_t OrbHttpMgr::cleanLoginUrl() {
    auto login = tasks_.value(kTaskLogin);
    if (!login) {
        // Without a sign-in page the client could never sign in.
        log::error("{}: network task data has no login task (id {})", kTagInit,
                   static_cast<int>(kTaskLogin));
        return kBadFile;
    }
    static const QRegularExpression unfilled(QStringLiteral("%\\d*"));
    QString& url = login->url;
    while (url.contains(QLatin1Char('%'))) {
        url.remove(unfilled.match(url).captured(0));
    }
    return kSuccess;
}

QString OrbHttpMgr::getUrl(uint8_t type) {
    auto info = tasks_.value(type);
    return info ? info->url : QString();
}

// ---- arguments ------------------------------------------------------------------------------

QStringList OrbHttpMgr::buildArgs(const IParam* param) {
    if (!param || param->type > kLastBuildableType) {
        return {};
    }
    switch (param->type) {
        case kTaskUserImage:
        case kTaskUserUpdateAvatar:
            if (auto p = as<IParamValue>(param)) {
                return {p->value};
            }
            return {};
        case kTaskListRoom:
            return listArgs(as<IParamListTask>(param));
        case kTaskMonitor:
            return monitorArgs(as<IParamMonitor>(param));
        case kTaskStartLive:
        case kTaskStopLive:
        case kTaskDetails:
            if (auto p = as<IParamID>(param)) {
                return {QString::number(p->id)};
            }
            return {};
        default:
            return {};
    }
}

QStringList OrbHttpMgr::listArgs(const IParamListTask* p) const {
    if (!p) {
        return {};
    }
    if (p->variant == 1) {
        QByteArray name, value;
        if (config_) {
            config_->getCookie(name, value);
        }
        return {QString::fromUtf8(value)};
    }
    // "444" fills the template's callback field.
    QStringList args = {QString::number(p->curPage), QString::number(p->pageSize),
                        QStringLiteral("444"), QString::number(p->taskStatus)};
    if (!p->taskName.isEmpty()) {
        args.append(p->taskName);
    }
    return args;
}

QStringList OrbHttpMgr::monitorArgs(const IParamMonitor* p) {
    if (!p) {
        return {};
    }
    return {QString::number(p->taskId),
            QString::number(double(p->kbs), 'f', 0),
            QString::number(double(p->cpu), 'f', 1),
            QString::number(double(p->fps), 'f', 2),
            QString::number(p->originFrame),
            QString::number(p->lostFrame),
            p->pointTime};
}

QString OrbHttpMgr::buildQuery(uint8_t type, const QStringList& args) {
    auto info = tasks_.value(type);
    if (!info || info->param_num == 0 ||
        args.size() < int(info->param_num) - int(info->opt_param_num)) {
        return QString();
    }
    const QString filled = query::fill(info->param, args);
    if (args.size() >= info->param_num) {
        return filled;
    }
    return query::trimOptional(filled, args.size());
}

// ---- sending --------------------------------------------------------------------------------

int OrbHttpMgr::sendReq(uint8_t type, const QStringList& args) {
    auto info = tasks_.value(type);
    if (!info) {
        log::error("{}: task type not exist", "live::OrbHttpMgr::sendReq");
        return kSystemError;
    }
    switch (info->req_type) {
        case kRequestGet:
            return sendGet(type);
        case kRequestPost:
            return sendPost(type, args);
        default:
            return sendFile(type, args);
    }
}

QNetworkRequest OrbHttpMgr::makeRequest(const QString& url) const {
    QNetworkRequest request{QUrl(url)};
    request.setSslConfiguration(sslConfig_);
    return request;
}

void OrbHttpMgr::remember(QNetworkReply* reply, uint8_t type) {
    limitSize(reply);
    QMutexLocker locker(&lock_);
    replies_.insert(reply, type);
}

void OrbHttpMgr::limitSize(QNetworkReply* reply) {
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (qMax(received, total) <= kMaxReplyBytes ||
            reply->property(kOversizedProperty).toBool()) {
            return;
        }
        reply->setProperty(kOversizedProperty, true);
        reply->abort();
    });
}

int OrbHttpMgr::sendGet(uint8_t type) {
    const QString url = getUrl(type);
    if (url.isEmpty()) {
        return kBadData;
    }
    QNetworkRequest request = makeRequest(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType_);
    remember(get(request), type);
    return kSuccess;
}

int OrbHttpMgr::sendPost(uint8_t type, const QStringList& args) {
    const QString url = getUrl(type);
    if (url.isEmpty()) {
        return kBadData;
    }
    const QByteArray body = buildQuery(type, args).toUtf8();
    QNetworkRequest request = makeRequest(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType_);
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    remember(post(request, body), type);
    return kSuccess;
}

int OrbHttpMgr::sendFile(uint8_t type, const QStringList& args) {
    const QString url = getUrl(type);
    if (url.isEmpty() || args.isEmpty()) {
        return kBadData;
    }
    auto* file = new QFile(args.first());
    if (!file->exists() || !file->open(QIODevice::ReadOnly)) {
        delete file;
        return kBadData;
    }
    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart part;
    // A quote or a line break in the file name would end the header or add another one;
    // encode them the way browsers do.
    QString name = QFileInfo(*file).fileName();
    name.replace(QLatin1Char('"'), QLatin1String("%22"))
        .replace(QLatin1Char('\r'), QLatin1String("%0D"))
        .replace(QLatin1Char('\n'), QLatin1String("%0A"));
    part.setHeader(QNetworkRequest::ContentDispositionHeader, uploadDisposition_.arg(name));
    part.setBodyDevice(file);
    file->setParent(multiPart);
    multiPart->append(part);
    QNetworkReply* reply = post(makeRequest(url), multiPart);
    // The body lives exactly as long as its reply.
    multiPart->setParent(reply);
    remember(reply, type);
    return kSuccess;
}

int OrbHttpMgr::getByUrl(uint8_t type, const QString& url) {
    QNetworkReply* reply = get(makeRequest(url));
    if (tasks_.contains(type)) {
        remember(reply, type);
    } else {
        limitSize(reply);
    }
    return kSuccess;
}

// ---- replies --------------------------------------------------------------------------------

void OrbHttpMgr::replyFinished(QNetworkReply* reply) {
    const QNetworkReply::NetworkError error = reply->error();
    // An aborted reply (one that grew too large) has nothing left to read.
    const QByteArray body = error == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    uint8_t type = kTaskNone;
    {
        QMutexLocker locker(&lock_);
        auto it = replies_.find(reply);
        if (it != replies_.end()) {
            type = it.value();
            replies_.erase(it);
        }
    }
    if (error == QNetworkReply::NoError) {
        if (type != kTaskNone) {
            emit signalReplyInfo(type, body);
        } else {
            log::error("{}: can't find task type in reply map", "live::OrbHttpMgr::replyFinished");
        }
    } else {
        reportError(reply, type);
    }
    reply->deleteLater();
}

void OrbHttpMgr::setQuietFailures(uint8_t type, bool quiet) {
    if (quiet) {
        quietTypes_.insert(type);
    } else {
        quietTypes_.remove(type);
    }
}

void OrbHttpMgr::reportError(QNetworkReply* reply, uint8_t type) {
    const int code = static_cast<int>(reply->error());
    const bool oversized = reply->property(kOversizedProperty).toBool();
    if (oversized) {
        log::error("{}: reply to task {} over {} bytes, dropped", "live::OrbHttpMgr::replyFinished",
                   type, kMaxReplyBytes);
    } else {
        log::error("{}: network reply error, code {}", "live::OrbHttpMgr::replyFinished", code);
    }
    emit signalReplyFailed(type, code);
    if (quietTypes_.contains(type)) {
        return;
    }
    const QString what =
        oversized ? tr("服务器应答数据过大，已放弃接收") : tr("网络应答错误，请检查网络");
    MessageBox::warning(
        nullptr, tr("警告"),
        tr("%1\n请求地址 %2\n错误码 %3").arg(what, reply->request().url().toString()).arg(code),
        QMessageBox::Ok);
}

// ---- cookies --------------------------------------------------------------------------------

void OrbHttpMgr::insertCookies(const QList<QNetworkCookie>& cookies) {
    for (const QNetworkCookie& cookie : cookies) {
        cookies_.append(cookie);
        cookieJar()->insertCookie(cookie);
    }
}

void OrbHttpMgr::watchCookie(const QNetworkCookie& cookie, bool present) {
    // The variant's list request sends this cookie's value as its only argument.
    if (!config_ || config_->cookieCount() <= kCookieListKey) {
        return;
    }
    if (cookie.name() == config_->getCookieName(kCookieListKey).toUtf8()) {
        config_->setCookieValue(kCookieListKey, present ? cookie.value() : QByteArray());
    }
}

}  // namespace live
