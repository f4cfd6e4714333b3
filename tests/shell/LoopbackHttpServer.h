#pragma once

// A small HTTP server on 127.0.0.1 for browser tests: fixed responses by path, one request per
// connection. It lives in the test process and stops with it.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class LoopbackHttpServer {
public:
    struct Response {
        QByteArray contentType = "text/html; charset=utf-8";
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };

    bool start() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
        return server_.listen(QHostAddress::LocalHost, 0);
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    void route(const QByteArray& path, const Response& response) { routes_[path] = response; }

private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { read(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void read(QTcpSocket* socket) {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n")) {
            return;
        }
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        pending_.remove(socket);
        QByteArray path = requestLine.value(1);
        path = path.left(path.indexOf('?') < 0 ? path.size() : path.indexOf('?'));
        QByteArray reply;
        if (!routes_.contains(path)) {
            reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else {
            const Response& r = routes_[path];
            reply = "HTTP/1.1 200 OK\r\nContent-Type: " + r.contentType + "\r\n";
            for (const auto& header : r.headers) {
                reply += header.first + ": " + header.second + "\r\n";
            }
            reply += "Content-Length: " + QByteArray::number(r.body.size()) +
                     "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + r.body;
        }
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QByteArray, Response> routes_;
    QHash<QTcpSocket*, QByteArray> pending_;
};
