#pragma once

#include <QJsonObject>
#include <QList>
#include <QNetworkCookie>
#include <QSet>
#include <QString>
#include <cstdint>
#include <memory>

#include "net/INetwork.h"

class QNetworkRequest;

namespace live {

class IConfig;

// Task ids the client names in code.
enum TaskId : uint8_t {
    kTaskUserImage = 0,
    kTaskListRoom = 1,
    kTaskEnterRoom = 2,
    kTaskDismissRoom = 3,
    kTaskRoomPermission = 4,
    kTaskInvite = 5,
    kTaskToInvite = 6,
    kTaskAskInvite = 7,
    kTaskBroadcast = 8,
    kTaskMonitor = 9,
    kTaskStartMix = 10,
    kTaskCancelMix = 11,
    kTaskGetUser = 12,
    kTaskStartLive = 13,
    kTaskStopLive = 14,
    kTaskLogin = 15,
    kTaskAbout = 16,
    kTaskLoginSuccess = 17,
    kTaskUserUpdate = 18,
    kTaskUserUpdateAvatar = 19,
    kTaskEnterChatRoom = 20,
    kTaskFinishedTask = 21,
    kTaskDetails = 22,
    kTaskAvatarDownload = 23,
    kTaskNone = 26,  // a reply that belongs to no task
};

// The service's request manager: builds, sends and routes the replies of numbered tasks.
class OrbHttpMgr : public INetwork {
    Q_OBJECT
public:
    // Tasks 0 and 19: one text value (a file path, an avatar address).
    struct IParamValue : IParam {
        explicit IParamValue(uint8_t t = 0, const QString& v = QString()) : IParam(t), value(v) {}
        QString value;
    };
    // Task 1: one page of the task list.
    struct IParamListTask : IParam {
        IParamListTask(uint8_t t = kTaskListRoom, uint8_t variant_ = 0, int curPage_ = 0,
                       int pageSize_ = 10, int taskStatus_ = 1,
                       const QString& taskName_ = QString())
            : IParam(t),
              variant(variant_),
              curPage(curPage_),
              pageSize(pageSize_),
              taskStatus(taskStatus_),
              taskName(taskName_) {}
        uint8_t variant;
        int curPage;
        int pageSize;
        int taskStatus;
        QString taskName;
    };
    // Tasks 13, 14 and 22: a task id.
    struct IParamID : IParam {
        explicit IParamID(uint8_t t = 0, int id_ = 0) : IParam(t), id(id_) {}
        int id;
    };
    // Task 9: the live statistics of one minute.
    struct IParamMonitor : IParam {
        IParamMonitor(uint8_t t = kTaskMonitor, int taskId_ = 0, float kbs_ = 0, float cpu_ = 0,
                      float fps_ = 0, uint64_t originFrame_ = 0, uint64_t lostFrame_ = 0,
                      const QString& pointTime_ = QString())
            : IParam(t),
              taskId(taskId_),
              kbs(kbs_),
              cpu(cpu_),
              fps(fps_),
              originFrame(originFrame_),
              lostFrame(lostFrame_),
              pointTime(pointTime_) {}
        int taskId;
        float kbs;
        float cpu;
        float fps;
        uint64_t originFrame;
        uint64_t lostFrame;
        QString pointTime;
    };

    // The configuration supplies the page URLs' names, the server variant, the
    // certificate opt-out and the cookie whose value the variant's list request sends.
    explicit OrbHttpMgr(std::shared_ptr<IConfig> config = nullptr);
    ~OrbHttpMgr() override;

    uint8_t initSsl() override;
    uint8_t initHttpTask(const QString& path) override;
    int sendReq(uint8_t type, const QStringList& args) override;
    int getByUrl(uint8_t type, const QString& url) override;
    int sendGet(uint8_t type) override;
    int sendPost(uint8_t type, const QStringList& args) override;
    int sendFile(uint8_t type, const QStringList& args) override;
    QStringList buildArgs(const IParam* param) override;
    QString buildQuery(uint8_t type, const QStringList& args) override;
    QString getUrl(uint8_t type) override;

    // Hands the signed-in page's cookies to the manager: they go into the cookie jar with
    // their own domain, path and flags, and are kept like addCookie's, so clearCookies
    // removes them again on sign-out.
    void insertCookies(const QList<QNetworkCookie>& cookies);

    // A failed request of a quiet task is only signalled (signalReplyFailed), not shown in a
    // warning box: its sender tells the user in its own way, once rather than every time.
    void setQuietFailures(uint8_t type, bool quiet);

    // The configuration key that switches certificate verification off.
    static const char* const kVerifyPeerKey;

signals:
    // A request that got no reply or an error status; `error` is QNetworkReply's code.
    void signalReplyFailed(uint8_t type, int error);

public slots:
    void replyFinished(QNetworkReply* reply) override;

private:
    QStringList listArgs(const IParamListTask* p) const;
    static QStringList monitorArgs(const IParamMonitor* p);
    bool addTask(const QJsonObject& entry, const QString& prefix, bool replace);
    uint8_t loadVariantTasks(const QJsonObject& root);
    void fillPageUrls();
    uint8_t cleanLoginUrl();
    void readVerifyPeer();
    void watchCookie(const QNetworkCookie& cookie, bool present);
    QNetworkRequest makeRequest(const QString& url) const;
    void remember(QNetworkReply* reply, uint8_t type);
    // Aborts a reply that grows past what any reply of the service could be.
    static void limitSize(QNetworkReply* reply);
    void reportError(QNetworkReply* reply, uint8_t type);

    std::shared_ptr<IConfig> config_;
    QSet<uint8_t> quietTypes_;
};

}  // namespace live
