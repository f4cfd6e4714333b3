#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkCookie>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "shell/BorderResizer.h"

namespace live {
class IConfig;
class IUserinfo;
class OrbHttpMgr;
}  // namespace live

class FramelessResize;
class IRoom;
class OrbWebView;
class PageStack;
class QTimer;
class ServiceReplies;
class SignInCookieWatch;
class Task;
class TitleBar;
class WaitingSpinnerWidget;

// The client's one top-level window. It owns the configuration, the request manager and
// the signed-in user, shows one page at a time by step number (1 sign-in, 2 task list,
// 3 room, 5 about, 6 profile, 7 playback), notices a web sign-in by its cookies and turns
// the service's replies into page updates and messages.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    enum Step : uint8_t {
        kStepNone = 0,
        kStepSignIn = 1,
        kStepTasks = 2,
        kStepRoom = 3,
        kStepAbout = 5,
        kStepProfile = 6,
        kStepPlayback = 7,
        kStepLast = 9,
    };
    static constexpr int kCookieCheckMs = 500;
    // Each failing check counts twice, so the 26th failing check gives up.
    static constexpr int kCookieRetryLimit = 50;
    static constexpr int kRoomEntryDelayMs = 500;

    // Makes the room page for a server variant (config.json "type"). The default gives the
    // placeholder of the variant's edition; the real rooms and tests bring their own.
    using RoomFactory = std::function<IRoom*(QWidget* parent, int serverType)>;
    // Makes the browser page; tests may hand in a view of their own.
    using WebViewFactory = std::function<OrbWebView*(QWidget* parent)>;
    static IRoom* makePlaceholderRoom(QWidget* parent, int serverType);

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Both take effect for the pages made after the call; set them before start().
    void setRoomFactory(RoomFactory factory) { roomFactory_ = std::move(factory); }
    void setWebViewFactory(WebViewFactory factory) { webViewFactory_ = std::move(factory); }

    // Shows the first page with what the application context loaded: the sign-in page, or,
    // signed in today, the task list behind the kept cookies. 0.
    int start(std::shared_ptr<live::IConfig> config, std::shared_ptr<live::OrbHttpMgr> network,
              std::shared_ptr<live::IUserinfo> user);
    void createWebView();
    void step(uint8_t s);
    void onLogin();
    void onLogout();
    void closeWebPage();
    void requestUserInfo();
    void updateUserInfo();
    void uploadAvatar();

    std::shared_ptr<live::IConfig> config() const { return config_; }
    std::shared_ptr<live::OrbHttpMgr> network() const { return net_; }
    std::shared_ptr<live::IUserinfo> userinfo() const { return user_; }
    // The last step below 5 that was shown, and the last one asked for.
    uint8_t currentStep() const { return currentStep_; }
    uint8_t requestedStep() const { return requestedStep_; }
    QWidget* page(uint8_t s) const;
    OrbWebView* webView() const;
    Task* taskList() const;
    IRoom* room() const;
    TitleBar* titleBar() const { return titleBar_; }
    WaitingSpinnerWidget* spinner() const { return spinner_; }
    const BorderResizer& borders() const;

public slots:
    void slotlTitleClicked(uint8_t type);
    void slotCreateRoom();
    void slotJSEvent(uint8_t type, QString val);
    void slotEnterRoom(QString name, QString url, int roomId, int taskid, int tasktype);
    void slotBackplay(QString url);
    void slotHttpEvent(uint8_t type, QByteArray data);
    void slotGeometryChanged(QRect geometry);
    void checkCookieReady();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setupForm();
    void fitAndShow();
    void checkVersionChange();
    void createTaskList();
    void traceStartupPages();

    void enterStep(uint8_t s);
    SignInCookieWatch* cookieWatch();
    void giveUpSignIn();
    void finishSignIn(const QList<QNetworkCookie>& cookies);
    // The live settings dialog of a room; it comes with the rooms themselves.
    void openLiveSettings(IRoom* room);

    TitleBar* titleBar_ = nullptr;
    PageStack* pages_ = nullptr;
    uint8_t currentStep_ = kStepNone;
    uint8_t requestedStep_ = kStepNone;

    // What the task list handed over for the room about to be entered.
    struct RoomEntry {
        QString name;
        QString pushUrl;
        int roomId = 0;
        int taskId = 0;
        int taskType = 0;
    } roomEntry_;
    QString playbackUrl_;

    RoomFactory roomFactory_ = makePlaceholderRoom;
    WebViewFactory webViewFactory_;

    std::shared_ptr<live::IConfig> config_;
    std::shared_ptr<live::OrbHttpMgr> net_;
    std::shared_ptr<live::IUserinfo> user_;

    WaitingSpinnerWidget* spinner_ = nullptr;
    SignInCookieWatch* cookieWatch_ = nullptr;
    ServiceReplies* replies_ = nullptr;
    FramelessResize* resize_ = nullptr;
    bool tracedSignIn_ = false;
};
