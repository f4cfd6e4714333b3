#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class ChildProcess;

// A real RTMP server for tests: nginx with the RTMP module in the foreground, on a free
// loopback port, with its prefix, logs and recordings in a temporary folder. Every stream
// published to application "live" is also recorded to <recordDir>/<key>.flv.
class RtmpServer {
public:
    RtmpServer();
    ~RtmpServer();

    // Starts on a new free port, or on `port` when given (to restart on the same address).
    bool start(quint16 port = 0);
    void stop();
    bool isRunning() const;

    quint16 port() const { return port_; }
    QString url() const;  // rtmp://127.0.0.1:<port>/live
    // The server's statistics page (XML), on a loopback port of its own.
    QString statUrl() const;
    QString recordDir() const;
    QString recording(const QString& key) const { return recordDir() + "/" + key + ".flv"; }
    QString errorLog() const;

private:
    bool writeConfig();
    bool waitUntilListening(int timeoutMs) const;

    QTemporaryDir dir_;
    quint16 port_ = 0;
    quint16 statPort_ = 0;
    std::unique_ptr<ChildProcess> process_;
};
