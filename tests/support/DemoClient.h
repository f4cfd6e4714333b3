#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/OrbHttpMgr.h"

// The demo service and a request manager set up against it as the client sets up its own:
// the sample configuration and task table, pointed at the running service. Header only, for
// tests that link orb_net and orb_demo_service.
class DemoClient {
public:
    using TableEdit = std::function<void(QJsonArray& entries)>;

    DemoService service;
    std::shared_ptr<live::IConfig> config;
    std::shared_ptr<live::OrbHttpMgr> net;
    // Every reply the manager forwarded since connect().
    std::unique_ptr<QSignalSpy> replies;

    bool start(const DemoService::Options& options = {}) {
        return dir_.isValid() && service.start(options);
    }
    QString dir() const { return dir_.path(); }

    // A fresh configuration (the sample with `changes`) and manager; `edit` changes the task
    // table's entries first.
    bool connect(const QJsonObject& changes = {}, const TableEdit& edit = nullptr) {
        config = std::make_shared<live::IConfig>();
        if (config->init(DemoService::writeConfigFile(dir(), changes)) != 0) {
            return false;
        }
        const QString table = service.writeNetworkFile(dir());
        if (edit && !editTable(table, edit)) {
            return false;
        }
        net = std::make_shared<live::OrbHttpMgr>(config);
        replies = std::make_unique<QSignalSpy>(net.get(), &live::OrbHttpMgr::signalReplyInfo);
        return net->initSsl() == 0 && net->initHttpTask(table) == 0;
    }

    // Hands the cookies of a sign-in on the service's form to the manager.
    bool signIn() {
        const QList<QNetworkCookie> cookies = service.signIn();
        net->insertCookies(cookies);
        return cookies.size() == 3;
    }

    // Waits for `n` forwarded replies in all; the body of the last.
    QByteArray waitReplies(int n, int timeoutMs = 20000) {
        while (replies->size() < n && replies->wait(timeoutMs)) {
        }
        return replies->isEmpty() ? QByteArray() : replies->last().at(1).toByteArray();
    }
    uint8_t replyType(int i) const { return replies->at(i).at(0).value<uint8_t>(); }

    // Points task `id` at `url` with its query template.
    static void setUrl(QJsonArray& entries, int id, const QString& url, const QString& param,
                       int paramNum) {
        for (int i = 0; i < entries.size(); ++i) {
            QJsonObject e = entries[i].toObject();
            if (e.value("id").toInt() == id) {
                e.insert("url", url);
                e.insert("param", param);
                e.insert("param_num", paramNum);
                entries[i] = e;
            }
        }
    }

private:
    static bool editTable(const QString& path, const TableEdit& edit) {
        QFile f(path);
        if (!f.open(QIODevice::ReadWrite)) {
            return false;
        }
        QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
        QJsonArray entries = root.value("url_info").toArray();
        edit(entries);
        root.insert("url_info", entries);
        f.resize(0);
        f.seek(0);
        return f.write(QJsonDocument(root).toJson()) > 0;
    }

    QTemporaryDir dir_;
};
