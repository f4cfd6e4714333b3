// Sends thousands of requests of the three kinds through the request manager to the demo
// service and prints the rate and how the process's resident memory moved. Run it through
// tools/bench_net.sh.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/OrbHttpMgr.h"

namespace {

long residentKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// BENCH_KINDS picks the kinds: g GET, p form POST, u upload (default "gpu").
const QByteArray& kinds() {
    static const QByteArray k =
        qEnvironmentVariableIsEmpty("BENCH_KINDS") ? QByteArray("gpu") : qgetenv("BENCH_KINDS");
    return k;
}

// Sends `rounds` rounds of requests, at most 60 in flight; false when replies stop coming.
bool run(live::OrbHttpMgr& mgr, int& replies, int rounds) {
    const QString upload = ORB_SOURCE_DIR "/tools/demo_assets/avatar.jpg";
    const int target = replies + kinds().size() * rounds;
    for (int i = 0; i < rounds; ++i) {
        while (mgr.pendingReplies() > 60) {
            QTest::qWait(1);
        }
        const live::OrbHttpMgr::IParamID details(22, 1001 + i % 25);
        if (kinds().contains('g')) {
            mgr.sendReq(live::kTaskGetUser, {});
        }
        if (kinds().contains('p')) {
            mgr.sendReq(live::kTaskDetails, mgr.buildArgs(&details));
        }
        if (kinds().contains('u')) {
            mgr.sendReq(live::kTaskUserImage, {upload});
        }
    }
    QElapsedTimer idle;
    idle.start();
    while (replies < target && idle.elapsed() < 20000) {
        QTest::qWait(5);
    }
    QTest::qWait(50);  // let the finished replies be deleted
    return replies >= target;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    live::DialogSeam::setHeadless(true);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    DemoService service;
    QTemporaryDir dir;
    if (!service.start()) {
        std::fprintf(stderr, "bench_net: demo service did not start\n");
        return 1;
    }
    auto config = std::make_shared<live::IConfig>();
    config->init(DemoService::writeConfigFile(dir.path()));
    live::OrbHttpMgr mgr(config);
    mgr.initSsl();
    mgr.initHttpTask(service.writeNetworkFile(dir.path()));
    mgr.insertCookies(service.signIn());
    int replies = 0;
    QObject::connect(&mgr, &live::OrbHttpMgr::signalReplyInfo, [&replies] { ++replies; });

    if (!run(mgr, replies, 200)) {  // warm-up: connections, caches, allocator
        return 1;
    }
    const long before = residentKiB();
    QElapsedTimer clock;
    clock.start();
    if (!run(mgr, replies, rounds)) {
        std::fprintf(stderr, "bench_net: replies stopped coming\n");
        return 1;
    }
    const double seconds = clock.elapsed() / 1000.0;
    const long after = residentKiB();
    const int sent = kinds().size() * rounds;
    std::printf("requests: %d (kinds %s: g GET, p form POST, u upload)\n", sent,
                kinds().constData());
    std::printf("time: %.2f s, %.0f requests/s\n", seconds, sent / seconds);
    std::printf("resident memory: %ld KiB before, %ld KiB after (%+ld KiB)\n", before, after,
                after - before);
    std::printf("replies still alive: %d, in the reply map: %d\n",
                int(mgr.findChildren<QNetworkReply*>().size()), mgr.pendingReplies());
    return 0;
}
