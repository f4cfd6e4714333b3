#include <QPushButton>
#include <QSignalBlocker>
#include <QtTest>
#include <memory>

#include "RoomTestMain.h"
#include "frontend/PreviewPacer.h"
#include "room/Console.h"
#include "room/LagWatch.h"
#include "room/Room.h"
#include "shell/Toast.h"

using orbLiveImp::ResourceUtil;

namespace {

constexpr int kFps = 30;
const QString kLagHint = QStringLiteral("降低分辨率或帧率");

// Second-by-second counters: `lagged[i]` frames of second i came late, `skipped[i]` were
// skipped before the encoder; "reset" makes the engine's totals start again at that second.
struct Counters {
    ResourceUtil util;

    void advance(int lagged, int skipped) {
        util.renderedFrames += kFps;
        util.laggedFrames += static_cast<uint64_t>(lagged);
        util.outputFrames += kFps;
        util.skippedFrames += static_cast<uint64_t>(skipped);
    }
};

}  // namespace

// The lag warning: when it speaks, that it speaks once per broadcast, and the room showing it;
// the preview's pacing on the render thread.
class TestEngineLag : public QObject {
    Q_OBJECT

private slots:
    void warns_data() {
        QTest::addColumn<QVector<int>>("lagged");
        QTest::addColumn<QVector<int>>("skipped");
        QTest::addColumn<int>("resetAt");
        QTest::addColumn<int>("restartAt");
        QTest::addColumn<QVector<int>>("warnings");  // the seconds at which feed said so

        const QVector<int> calm(20, 0);
        QTest::newRow("keeping up") << calm << calm << -1 << -1 << QVector<int>{};
        QTest::newRow("10 % late: once the window is full")
            << QVector<int>(20, 3) << calm << -1 << -1 << QVector<int>{10};
        QTest::newRow("4 % late stays quiet")
            << QVector<int>(20, 1) << calm << -1 << -1 << QVector<int>{};
        QVector<int> burst = calm;
        burst[3] = 14;  // under 5 % of a ten-second window
        QTest::newRow("a short hitch stays quiet") << burst << calm << -1 << -1 << QVector<int>{};
        QVector<int> late = calm;
        for (int i = 12; i < 20; ++i) {
            late[i] = 6;
        }
        QTest::newRow("lag that begins later") << late << calm << -1 << -1 << QVector<int>{14};
        QTest::newRow("encoder skipping frames")
            << calm << QVector<int>(20, 3) << -1 << -1 << QVector<int>{10};
        // Totals that start again must not read as billions of late frames.
        QTest::newRow("video reset") << QVector<int>(20, 1) << calm << 8 << -1 << QVector<int>{};
        QTest::newRow("next broadcast warns again")
            << QVector<int>(30, 6) << calm << -1 << 15 << QVector<int>{10, 25};
    }

    void warns() {
        QFETCH(QVector<int>, lagged);
        QFETCH(QVector<int>, skipped);
        QFETCH(int, resetAt);
        QFETCH(int, restartAt);
        QFETCH(QVector<int>, warnings);
        LagWatch watch;
        Counters c;
        c.util.renderedFrames = 5000;  // the engine ran before the broadcast
        c.util.laggedFrames = 700;
        QVector<int> said;
        for (int second = 0; second < lagged.size(); ++second) {
            if (second == resetAt) {
                c = Counters();
            }
            if (second == restartAt) {
                watch.restart();
            }
            c.advance(lagged.value(second), skipped.value(second));
            if (watch.feed(second * 1000LL, c.util)) {
                said << second;
            }
        }
        QCOMPARE(said, warnings);
    }

    // Behind: one frame in the stride for the hold; keeping up again: every frame.
    void pacesPreview() {
        PreviewPacer pacer;
        const uint64_t interval = 33333333;
        const uint64_t light = interval / 4;
        QVERIFY(pacer.next(0, light, interval));
        QVERIFY(pacer.next(0, light, interval));
        int drawn = 0;
        for (int frame = 0; frame < PreviewPacer::kHoldFrames; ++frame) {
            drawn += pacer.next(1, light, interval) ? 1 : 0;
        }
        QCOMPARE(drawn, PreviewPacer::kHoldFrames / PreviewPacer::kBehindStride);
        QVERIFY(pacer.next(1, light, interval));
        QVERIFY(pacer.next(1, light, interval));
        // A heavy average slows it down without any frame counted late.
        int heavyDrawn = 0;
        for (int frame = 0; frame < PreviewPacer::kBehindStride * 2; ++frame) {
            heavyDrawn += pacer.next(1, interval, interval) ? 1 : 0;
        }
        QCOMPARE(heavyDrawn, 2);
    }

    // The room says it in its status text and one toast, and again only in the next broadcast.
    void roomShowsItOncePerBroadcast() {
        auto room = std::make_unique<Room>(nullptr, nullptr, nullptr);
        auto* live = room->console()->findChild<QPushButton*>(QStringLiteral("live"));
        QVERIFY(live);
        const auto setLive = [&](bool on) {
            const QSignalBlocker quiet(live);
            live->setChecked(on);
        };
        Counters c;
        qint64 ms = 0;
        const auto lagFor = [&](int seconds) {
            for (int i = 0; i < seconds; ++i, ms += 1000) {
                c.advance(6, 0);
                room->takeResources(c.util, ms);
            }
        };
        lagFor(12);
        QVERIFY(!room->statusText().contains(kLagHint));  // not live: the audience sees nothing
        QVERIFY(room->findChildren<Toast*>().isEmpty());

        setLive(true);
        lagFor(25);
        QVERIFY2(room->statusText().contains(kLagHint), qPrintable(room->statusText()));
        QCOMPARE(room->findChildren<Toast*>().size(), 1);

        setLive(false);
        lagFor(1);
        QVERIFY(!room->statusText().contains(kLagHint));
        setLive(true);
        lagFor(12);
        QCOMPARE(room->findChildren<Toast*>().size(), 2);
    }
};

ROOM_TEST_MAIN(TestEngineLag)

#include "tst_engine_lag.moc"
