#include <QImage>
#include <QImageReader>
#include <QtTest>
#include <memory>

#include "core/DialogSeam.h"
#include "net/IUserinfo.h"
#include "support/DemoClient.h"

using live::IUserinfo;

class TestNetUserinfo : public QObject {
    Q_OBJECT

private:
    DemoClient demo_;
    DemoService& service_ = demo_.service;
    QString dataDir_;

    // The avatar bytes as the client downloads them: task 23 through the request manager.
    QByteArray download(const QString& url) {
        const int before = demo_.replies->size();
        demo_.net->getByUrl(live::kTaskAvatarDownload, url);
        const QByteArray body = demo_.waitReplies(before + 1);
        const bool got = demo_.replies->size() == before + 1 &&
                         demo_.replyType(before) == live::kTaskAvatarDownload;
        return got ? body : QByteArray();
    }

private slots:
    void initTestCase() {
        live::DialogSeam::setHeadless(true);
        QVERIFY(demo_.start());
        QVERIFY(demo_.connect());
        dataDir_ = demo_.dir() + "/";
    }

    // An empty nickname is refused and nothing is kept; a dot in the host name or in a
    // query string is no extension.
    void namesTheAvatarFileAfterTheAddress_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("file");
        QTest::newRow("no nickname") << "http://x/a.png" << QString();
        QTest::newRow("dotted host") << "http://127.0.0.1:8/files/abc"
                                     << "avatar.png";
        QTest::newRow("query") << "http://h/a.jpg?v=2.5"
                               << "avatar.jpg";
    }
    void namesTheAvatarFileAfterTheAddress() {
        QFETCH(QString, url);
        QFETCH(QString, file);
        IUserinfo user;
        QCOMPARE(user.setInfo(dataDir_, file.isEmpty() ? "" : "主播", url, "138"),
                 uint8_t(file.isEmpty() ? 3 : 0));
        QCOMPARE(user.changed(), !file.isEmpty());
        QCOMPARE(user.avatarUrl().isEmpty(), file.isEmpty());
        if (!file.isEmpty()) {
            QCOMPARE(user.avatarFile(), dataDir_ + file);
        }
    }

    // The served picture comes back cut to a 62-pixel circle, in its own format.
    void roundTripsTheServedAvatar_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "static/avatar.png" << QByteArray("png");
        QTest::newRow("jpeg") << "static/avatar.jpg" << QByteArray("jpeg");
    }
    void roundTripsTheServedAvatar() {
        QFETCH(QString, path);
        QFETCH(QByteArray, format);
        const QString url = service_.baseUrl() + path;
        IUserinfo user;
        QCOMPARE(user.setInfo(dataDir_, "演示主播", url, "13800138000"), uint8_t(0));
        QFile::remove(user.avatarFile());
        user.setImage(download(url));
        QVERIFY(user.hasImage());

        QString nickname, shown;
        user.getDisplay(nickname, shown);
        QCOMPARE(shown, user.avatarFile());
        QImageReader reader(shown);
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(62, 62));
        QCOMPARE(qAlpha(image.pixel(0, 0)) == 0, format == "png");  // outside the circle

        // The same address again: no new download is wanted.
        QCOMPARE(user.setInfo(dataDir_, "演示主播", url, "13800138000"), uint8_t(0));
        QVERIFY(user.hasImage());
    }

    // A body that is no picture leaves the default; sign-out forgets all but the phone and
    // drops an avatar that arrives after it.
    void keepsTheDefaultAndForgetsAtSignOut() {
        const QString url = service_.baseUrl() + "static/avatar.png";
        IUserinfo user;
        user.setInfo(dataDir_, "演示主播", url, "138");
        user.setImage(download(url));
        user.setImage("<html><body>404</body></html>");
        QVERIFY(!user.hasImage());
        QVERIFY(!QFile::exists(user.avatarFile()));
        QString nickname, shown;
        user.getDisplay(nickname, shown);
        QCOMPARE(shown, QString(":/image/userAvahost.png"));

        user.setImage(download(url));
        user.clear();
        user.getDisplay(nickname, shown);
        QCOMPARE(nickname, QString());
        QCOMPARE(shown, QString(":/image/userAvahost.png"));
        QCOMPARE(user.phone(), QString("138"));
        user.setImage(download(url));
        QVERIFY(!user.hasImage());
    }
};

QTEST_MAIN(TestNetUserinfo)
#include "tst_net_userinfo.moc"
