#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>

class QNetworkReply;

namespace live {

// The client's HTTP interface to the service: every request is a numbered task whose URL,
// method and parameter template come from the network task data file.
class INetwork : public QNetworkAccessManager {
    Q_OBJECT
public:
    // A task's "req_type": how its request is sent; anything else is a multipart upload.
    enum RequestType : uint8_t { kRequestGet = 0, kRequestPost = 1, kRequestUpload = 2 };

    // One entry of the network task data file.
    struct TaskInfo {
        uint8_t id = 0;
        uint8_t req_type = kRequestGet;
        uint8_t param_num = 0;
        uint8_t opt_param_num = 0;
        QString url;
        QString param;
    };

    // What a caller hands over to have a request's arguments built; `type` is the task id.
    struct IParam {
        explicit IParam(uint8_t t = 0) : type(t) {}
        virtual ~IParam() = default;
        uint8_t type;
    };

    INetwork();
    ~INetwork() override;

    virtual uint8_t initSsl();
    virtual void addCookie(const QString& domain, const QByteArray& name, const QByteArray& value);
    virtual void clearCookies();
    virtual QVariant getCookies();
    virtual uint8_t initHttpTask(const QString& path) = 0;
    virtual int sendReq(uint8_t type, const QStringList& args) = 0;
    virtual int getByUrl(uint8_t type, const QString& url) = 0;
    virtual int sendGet(uint8_t type) = 0;
    virtual int sendPost(uint8_t type, const QStringList& args) = 0;
    virtual int sendFile(uint8_t type, const QStringList& args) = 0;
    virtual QStringList buildArgs(const IParam* param) = 0;
    virtual QString buildQuery(uint8_t type, const QStringList& args) = 0;
    virtual QString getUrl(uint8_t type) = 0;

    // sendReq / getByUrl that log a request which could not be sent under the caller's `tag`;
    // the error code, 0 when sent.
    int send(uint8_t type, const QStringList& args, const char* tag);
    int fetch(uint8_t type, const QString& url, const char* tag);

    // The table entry of a task, or null.
    std::shared_ptr<const TaskInfo> task(uint8_t type) const;
    int taskCount() const { return tasks_.size(); }
    // Requests sent and not yet handled by replyFinished.
    int pendingReplies() const;

    // Certificates are verified unless a deployment opts out before initSsl.
    void setVerifyPeer(bool on) { verifyPeer_ = on; }
    bool verifyPeer() const { return verifyPeer_; }

signals:
    void signalReplyInfo(uint8_t type, QByteArray data);

public slots:
    virtual void replyFinished(QNetworkReply* reply) = 0;

protected:
    QSslConfiguration sslConfig_;
    QString contentType_;
    QString uploadDisposition_;
    QList<QNetworkCookie> cookies_;
    QHash<uint8_t, std::shared_ptr<TaskInfo>> tasks_;
    QHash<QNetworkReply*, uint8_t> replies_;
    mutable QMutex lock_;
    bool verifyPeer_ = true;
};

}  // namespace live
