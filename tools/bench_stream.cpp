// Streams a looping clip through the studio for a while and prints what it cost, as one
// JSON line. Driven by tools/bench_stream.py, which also runs the comparison.
//   bench_stream <rtmp server url> <key> <clip> <seconds> <kbps> [<Section>/<Key>=<value>...]
// The trailing arguments set profile keys before the video is set up (engine settings tried).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <sys/resource.h>
#include <cstdio>

#include "OutputTestKit.h"
#include "frontend/OBSApp.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

namespace {

double cpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssKb() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: bench_stream <server> <key> <clip> <seconds> <kbps>\n");
        return 2;
    }
    OBSApp app(argc, argv);
    if (app.init() != 0) {
        std::fprintf(stderr, "the studio did not start\n");
        return 3;
    }
    const int seconds = QString(argv[4]).toInt();
    outputtest::setProfileKeys(app, QCoreApplication::arguments().mid(6));
    outputtest::useBenchProfile(app, QString(argv[5]).toInt());
    orbLiveImp::SoureParam clip;
    clip.type = 4;
    clip.name = QStringLiteral("Pattern");
    clip.value = QString::fromLocal8Bit(argv[3]);
    clip.primaryFlag = true;
    app.addSceneItem(clip);
    QTest::qWait(1000);  // the clip starts playing

    outputtest::OutputEvents events;
    events.attach(&app);
    app.setRTMPUrl(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const uint32_t laggedBefore = obs_get_lagged_frames();
    const uint32_t renderedBefore = obs_get_total_frames();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    app.ctrlVoice(kStreamStart, 0);
    if (!events.waitFor("5 true")) {
        std::fprintf(stderr, "the server did not take the stream\n");
        return 4;
    }
    double kbsSum = 0.0;
    int kbsSamples = 0;
    orbLiveImp::ResourceUtil util;
    while (clock.elapsed() < seconds * 1000LL) {
        QTest::qWait(1000);
        app.GetMainWindow()->getResourceUtility(util);
        if (util.liveSeconds >= 2) {
            kbsSum += util.kbs;
            ++kbsSamples;
        }
    }
    const double streamed = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    const uint32_t lagged = obs_get_lagged_frames() - laggedBefore;
    const uint32_t rendered = obs_get_total_frames() - renderedBefore;
    app.ctrlVoice(kStreamStop, 0);
    (void)events.waitFor("5 false");

    QJsonObject result{{"seconds", streamed},
                       {"cpu_seconds", cpu},
                       {"frames", static_cast<qint64>(util.originFrame)},
                       {"dropped", static_cast<qint64>(util.lostFrame)},
                       {"lagged", static_cast<qint64>(lagged)},
                       {"rendered", static_cast<qint64>(rendered)},
                       {"kbs", kbsSamples ? kbsSum / kbsSamples : 0.0},
                       {"peak_rss_kb", static_cast<qint64>(peakRssKb())}};
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}
