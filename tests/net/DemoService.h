#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkCookie>
#include <QProcess>
#include <QString>

// Runs the demo service (tools/demo_service.py) on a free loopback port for one test and
// reads back what it received. The service ends with the test: its standard input is our
// pipe, and it also watches its parent.
class DemoService {
public:
    struct Options {
        bool https = false;
        int rtmpPort = 1935;
        int port = 0;         // 0 picks a free one; a given one restarts a service on its address
        QString rtmpStatUrl;  // the RTMP server's statistics page, for the watch pages
    };

    DemoService() = default;
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    bool start() { return start(Options()); }
    bool start(const Options& options);
    // Closes the service's input; true when it then ended by itself, cleanly.
    bool stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>/" (https with Options::https).
    QString baseUrl() const { return base_; }

    static QString account() { return QStringLiteral("demo"); }
    static QString password() { return QStringLiteral("orb2024"); }
    static QString sampleDir() { return QStringLiteral(ORB_SOURCE_DIR "/data"); }

    // Signs in through the sign-in form and returns the cookies the service set.
    QList<QNetworkCookie> signIn(const QString& name = account(),
                                 const QString& secret = password());
    // The same, against a service another process started at `base`.
    static QList<QNetworkCookie> signInAt(const QString& base);
    // The requests the service received (oldest first), all or those of one path.
    QJsonArray requests(const QString& path = QString());
    QJsonObject lastRequest(const QString& path);
    QJsonArray monitorReports();
    bool reset();

    // A request's header value (case-insensitive name), or a null string when absent.
    static QString header(const QJsonObject& request, const QString& name);
    static QByteArray rawBody(const QJsonObject& request);

    // Writes the sample network task data file into `dir` with the sample's address
    // replaced by this service's; returns its path.
    QString writeNetworkFile(const QString& dir) const;
    // Both deployment files a client reads beside itself, pointing at the service at `base`
    // (which may run in another process); false when either could not be written.
    static bool writeDeployment(const QString& dir, const QString& base);
    // Writes the sample configuration into `dir` with `changes` merged in (null removes).
    static QString writeConfigFile(const QString& dir, const QJsonObject& changes = {});

    // A plain request to the service (no client involved); status and body.
    struct Reply {
        int status = 0;
        QByteArray body;
        QList<QNetworkCookie> cookies;
    };
    Reply fetch(const QString& path, const QByteArray& postBody = QByteArray(),
                const QList<QNetworkCookie>& cookies = {});

private:
    QProcess process_;
    int port_ = 0;
    QString base_;
};
