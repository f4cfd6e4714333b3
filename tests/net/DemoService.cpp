#include "net/DemoService.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrlQuery>

namespace {

constexpr int kStartTimeoutMs = 30000;
constexpr int kRequestTimeoutMs = 30000;
const char* const kSampleAddress = "http://127.0.0.1:18650/";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        return QString();
    }
    return path;
}

}  // namespace

DemoService::~DemoService() {
    stop();
}

bool DemoService::start(const Options& options) {
    QStringList args = {QStringLiteral(ORB_SOURCE_DIR "/tools/demo_service.py"),
                        QStringLiteral("--port"), QString::number(options.port),
                        QStringLiteral("--rtmp-port"), QString::number(options.rtmpPort)};
    if (options.https) {
        args << QStringLiteral("--https");
    }
    if (!options.rtmpStatUrl.isEmpty()) {
        args << QStringLiteral("--rtmp-stat") << options.rtmpStatUrl;
    }
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("python3"), args);
    if (!process_.waitForStarted(kStartTimeoutMs)) {
        return false;
    }
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!process_.canReadLine() && !deadline.hasExpired()) {
        if (!process_.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1)))) {
            break;
        }
    }
    bool ok = false;
    port_ = process_.readLine().trimmed().toInt(&ok);
    if (!ok || port_ <= 0) {
        stop();
        return false;
    }
    base_ = QStringLiteral("%1://127.0.0.1:%2/")
                .arg(options.https ? QStringLiteral("https") : QStringLiteral("http"))
                .arg(port_);
    return true;
}

bool DemoService::stop() {
    if (process_.state() == QProcess::NotRunning) {
        return false;
    }
    process_.closeWriteChannel();
    if (process_.waitForFinished(10000)) {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    process_.kill();
    process_.waitForFinished(5000);
    return false;
}

DemoService::Reply DemoService::fetch(const QString& path, const QByteArray& postBody,
                                      const QList<QNetworkCookie>& cookies) {
    QNetworkAccessManager nam;
    QNetworkRequest request{QUrl(base_ + path)};
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setPeerVerifyMode(QSslSocket::VerifyNone);  // the helper's own reads only
    request.setSslConfiguration(ssl);
    for (const QNetworkCookie& c : cookies) {
        nam.cookieJar()->insertCookie(c);
    }
    QNetworkReply* reply;
    if (postBody.isNull()) {
        reply = nam.get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QStringLiteral("application/x-www-form-urlencoded"));
        reply = nam.post(request, postBody);
    }
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kRequestTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    Reply out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    out.cookies = nam.cookieJar()->cookiesForUrl(QUrl(base_));
    delete reply;
    return out;
}

QList<QNetworkCookie> DemoService::signIn(const QString& name, const QString& secret) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("account"), name);
    form.addQueryItem(QStringLiteral("password"), secret);
    return fetch(QStringLiteral("login"), form.toString(QUrl::FullyEncoded).toUtf8()).cookies;
}

QList<QNetworkCookie> DemoService::signInAt(const QString& base) {
    DemoService remote;  // started by another process: only its address is known here
    remote.base_ = base;
    return remote.signIn();
}

QJsonArray DemoService::requests(const QString& path) {
    const QString query = path.isEmpty() ? QString() : QStringLiteral("?path=") + path;
    const Reply r = fetch(QStringLiteral("debug/requests") + query);
    return QJsonDocument::fromJson(r.body).object().value(QStringLiteral("requests")).toArray();
}

QJsonObject DemoService::lastRequest(const QString& path) {
    const QJsonArray all = requests(path);
    return all.isEmpty() ? QJsonObject() : all.last().toObject();
}

QJsonArray DemoService::monitorReports() {
    const Reply r = fetch(QStringLiteral("debug/monitor"));
    return QJsonDocument::fromJson(r.body).object().value(QStringLiteral("reports")).toArray();
}

bool DemoService::reset() {
    return fetch(QStringLiteral("debug/reset"), QByteArray("")).status == 200;
}

QString DemoService::header(const QJsonObject& request, const QString& name) {
    for (const QJsonValue& pair : request.value(QStringLiteral("headers")).toArray()) {
        const QJsonArray kv = pair.toArray();
        if (kv.at(0).toString().compare(name, Qt::CaseInsensitive) == 0) {
            return kv.at(1).toString();
        }
    }
    return QString();
}

QByteArray DemoService::rawBody(const QJsonObject& request) {
    return QByteArray::fromBase64(request.value(QStringLiteral("body_b64")).toString().toLatin1());
}

namespace {
QString writeNetworkFileFor(const QString& dir, const QString& base) {
    QByteArray bytes = readFile(DemoService::sampleDir() + QStringLiteral("/network.json"));
    bytes.replace(kSampleAddress, base.toUtf8());
    return writeFile(dir + QStringLiteral("/network.json"), bytes);
}
}  // namespace

QString DemoService::writeNetworkFile(const QString& dir) const {
    return writeNetworkFileFor(dir, base_);
}

bool DemoService::writeDeployment(const QString& dir, const QString& base) {
    return QDir().mkpath(dir) && !writeConfigFile(dir).isEmpty() &&
           !writeNetworkFileFor(dir, base).isEmpty();
}

QString DemoService::writeConfigFile(const QString& dir, const QJsonObject& changes) {
    QJsonObject config =
        QJsonDocument::fromJson(readFile(sampleDir() + QStringLiteral("/config.json"))).object();
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isNull()) {
            config.remove(it.key());
        } else {
            config.insert(it.key(), it.value());
        }
    }
    return writeFile(dir + QStringLiteral("/config.json"), QJsonDocument(config).toJson());
}
