#include "RtmpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include "ChildProcess.h"

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace

RtmpServer::RtmpServer() = default;

RtmpServer::~RtmpServer() {
    stop();
}

QString RtmpServer::url() const {
    return QStringLiteral("rtmp://127.0.0.1:%1/live").arg(port_);
}

QString RtmpServer::statUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/stat").arg(statPort_);
}

QString RtmpServer::recordDir() const {
    return dir_.path() + QStringLiteral("/record");
}

QString RtmpServer::errorLog() const {
    QFile f(dir_.path() + QStringLiteral("/error.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool RtmpServer::writeConfig() {
    QDir().mkpath(recordDir());
    QDir().mkpath(dir_.path() + QStringLiteral("/logs"));
    const QString conf =
        QStringLiteral(
            "load_module /usr/lib/nginx/modules/ngx_rtmp_module.so;\n"
            "daemon off;\n"
            "master_process off;\n"
            "pid %1/nginx.pid;\n"
            "error_log %1/error.log warn;\n"
            "events { worker_connections 64; }\n"
            "rtmp { server { listen 127.0.0.1:%2; chunk_size 4096;\n"
            "  application live { live on; record all; record_path %1/record;\n"
            "    record_unique off; } } }\n"
            "http { access_log off; client_body_temp_path %1/body;\n"
            "  proxy_temp_path %1/proxy; fastcgi_temp_path %1/fastcgi;\n"
            "  uwsgi_temp_path %1/uwsgi; scgi_temp_path %1/scgi;\n"
            "  server { listen 127.0.0.1:%3; location /stat { rtmp_stat all; } } }\n")
            .arg(dir_.path())
            .arg(port_)
            .arg(statPort_);
    QFile f(dir_.path() + QStringLiteral("/nginx.conf"));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(conf.toUtf8()) > 0;
}

bool RtmpServer::waitUntilListening(int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        if (socket.waitForConnected(200)) {
            return true;
        }
        if (!isRunning()) {
            return false;
        }
        QThread::msleep(50);
    }
    return false;
}

bool RtmpServer::start(quint16 port) {
    stop();
    if (!dir_.isValid()) {
        return false;
    }
    port_ = port ? port : freePort();
    if (!statPort_) {
        statPort_ = freePort();
    }
    if (!writeConfig()) {
        return false;
    }
    process_ = std::make_unique<ChildProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->start(QStringLiteral("nginx"),
                    {QStringLiteral("-p"), dir_.path(), QStringLiteral("-c"),
                     dir_.path() + QStringLiteral("/nginx.conf"), QStringLiteral("-e"),
                     dir_.path() + QStringLiteral("/error.log")});
    if (!process_->waitForStarted(5000)) {
        return false;
    }
    return waitUntilListening(10000);
}

void RtmpServer::stop() {
    if (process_) {
        // A graceful quit finishes the recordings' files.
        process_->stop();
        process_.reset();
    }
}

bool RtmpServer::isRunning() const {
    return process_ && process_->state() == QProcess::Running;
}
