#include <QImage>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/DialogSeam.h"
#include "net/IUserinfo.h"
#include "net/LogFile.h"
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

    static bool near(QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) < 24 && qAbs(qGreen(a) - qGreen(b)) < 24 &&
               qAbs(qBlue(a) - qBlue(b)) < 24;
    }

private slots:
    void initTestCase() {
        live::DialogSeam::setHeadless(true);
        QVERIFY(demo_.start());
        QVERIFY(demo_.connect());
        dataDir_ = demo_.dir() + "/";
    }

    void refusesAnEmptyNickname() {
        IUserinfo user;
        QCOMPARE(user.setInfo(dataDir_, "", "http://x/a.png", "138"), uint8_t(3));
        QVERIFY(!user.changed());
        QVERIFY(user.avatarUrl().isEmpty());
        QVERIFY(user.phone().isEmpty());
    }

    void namesTheAvatarFileAfterTheAddress_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("file");
        QTest::newRow("png") << "http://h/u/1.png"
                             << "avatar.png";
        // A dot in the host name or in a query string is no extension.
        QTest::newRow("dotted host") << "http://127.0.0.1:8/files/abc"
                                     << "avatar.png";
        QTest::newRow("query") << "http://h/a.jpg?v=2.5"
                               << "avatar.jpg";
    }
    void namesTheAvatarFileAfterTheAddress() {
        QFETCH(QString, url);
        QFETCH(QString, file);
        IUserinfo user;
        QCOMPARE(user.setInfo(dataDir_, "主播", url, "138"), uint8_t(0));
        QCOMPARE(user.avatarFile(), dataDir_ + file);
        QVERIFY(user.changed());
        QVERIFY(!user.hasImage());
    }

    void roundTripsTheServedAvatar_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QRgb>("face");
        QTest::newRow("png") << "static/avatar.png" << QByteArray("png") << qRgb(250, 235, 215);
        QTest::newRow("jpeg") << "static/avatar.jpg" << QByteArray("jpeg") << qRgb(255, 250, 240);
    }
    void roundTripsTheServedAvatar() {
        QFETCH(QString, path);
        QFETCH(QByteArray, format);
        QFETCH(QRgb, face);
        const QString url = service_.baseUrl() + path;
        IUserinfo user;
        QCOMPARE(user.setInfo(dataDir_, "演示主播", url, "13800138000"), uint8_t(0));
        QFile::remove(user.avatarFile());
        const QByteArray bytes = download(url);
        QVERIFY(!bytes.isEmpty());
        user.setImage(bytes);
        QVERIFY(user.hasImage());

        QString nickname, shown;
        user.getDisplay(nickname, shown);
        QCOMPARE(nickname, QString("演示主播"));
        QCOMPARE(shown, user.avatarFile());
        QImageReader reader(shown);
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(62, 62));
        QVERIFY2(near(image.pixel(31, 31), face),
                 qPrintable(QString::number(image.pixel(31, 31), 16)));
        for (const QPoint corner : {QPoint(0, 0), QPoint(61, 0), QPoint(0, 61), QPoint(61, 61)}) {
            const QRgb px = image.pixel(corner);
            if (format == "png") {
                QCOMPARE(qAlpha(px), 0);  // outside the circle
            } else {
                QVERIFY(near(px, qRgb(0, 0, 0)));  // JPEG has no alpha: the cut-off shows black
            }
        }
        QCOMPARE(qAlpha(image.pixel(31, 3)), 255);

        // The same address again: no new download is wanted.
        QCOMPARE(user.setInfo(dataDir_, "演示主播", url, "13800138000"), uint8_t(0));
        QVERIFY(user.hasImage());
    }

    void keepsTheDefaultForABodyThatIsNoImage() {
        LogFile log;
        const QString url = service_.baseUrl() + "static/avatar.png";
        IUserinfo user;
        user.setInfo(dataDir_, "演示主播", url, "");
        user.setImage(download(url));
        QVERIFY(user.hasImage());
        user.setImage("<html><body>404</body></html>");
        QVERIFY(!user.hasImage());
        QVERIFY(!QFile::exists(user.avatarFile()));
        QVERIFY(log.text().contains("[E] live::IUserinfo::setImage: avatar download failed, url: " +
                                    url));
        QString nickname, shown;
        user.getDisplay(nickname, shown);
        QCOMPARE(shown, QString(":/image/userAvahost.png"));
    }

    void clearForgetsAllButThePhone() {
        IUserinfo user;
        user.setInfo(dataDir_, "演示主播", service_.baseUrl() + "static/avatar.png", "138");
        user.setImage(download(service_.baseUrl() + "static/avatar.png"));
        user.clear();
        QString nickname, shown;
        user.getDisplay(nickname, shown);
        QCOMPARE(nickname, QString());
        QCOMPARE(shown, QString(":/image/userAvahost.png"));
        QVERIFY(user.avatarUrl().isEmpty());
        QVERIFY(!user.changed());
        QVERIFY(!user.hasImage());
        QCOMPARE(user.phone(), QString("138"));

        // An avatar that arrives after sign-out is dropped.
        user.setImage(download(service_.baseUrl() + "static/avatar.png"));
        QVERIFY(!user.hasImage());
    }
};

QTEST_MAIN(TestNetUserinfo)
#include "tst_net_userinfo.moc"
