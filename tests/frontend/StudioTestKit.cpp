#include "StudioTestKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <obs.h>

#include <cstdio>
#include <memory>

#include "core/DialogSeam.h"

namespace studiotest {
namespace {

OBSApp* g_app = nullptr;
int g_initResult = 1;

void removeStudioFolder() {
    // Named as the application names itself; the app object does not exist yet.
    const QString data = qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + "/.local/share");
    QDir(data + "/kelvarin/orblive/studio").removeRecursively();
}

}  // namespace

OBSApp* app() {
    return g_app;
}

int initResult() {
    return g_initResult;
}

int runWithStudio(int& argc, char** argv, const std::function<int()>& run) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    removeStudioFolder();
    int status = 0;
    {
        OBSApp app(argc, argv);
        g_app = &app;
        live::DialogSeam::setHeadless(true);
        g_initResult = qEnvironmentVariableIsEmpty("DISPLAY") ? 1 : app.init();
        status = run();
        g_app = nullptr;
    }
    const long leaks = bnum_allocs();
    if (g_initResult == 0 && leaks != 0) {
        std::fprintf(stderr, "FAIL: %ld engine allocations not freed at shutdown\n", leaks);
        return status + 1;
    }
    return status;
}

void EventLog::attach(QWidget* host) {
    events_.clear();
    app()->OBSWinInit(
        host,
        [this](uint8_t op, const QString& name, QVariant value) {
            events_.append(sceneLine(op, name, value));
        },
        [this](const orbLiveImp::SceneItemData& d) {
            events_.append(itemLine(d.op, d.sceneName, d.itemName, d.value, d.newName));
        });
}

QStringList EventLog::take() {
    QCoreApplication::processEvents();
    QStringList taken = events_;
    events_.clear();
    return taken;
}

QStringList EventLog::waitFor(int count) {
    (void)QTest::qWaitFor([&] { return events_.size() >= count; }, 10000);
    // Anything arriving late beyond the expected count shows up in the comparison.
    QCoreApplication::processEvents();
    return take();
}

QString sceneLine(uint8_t op, const QString& name, const QVariant& value) {
    return QStringLiteral("scene %1 %2 %3").arg(op).arg(name, value.toString());
}

QString itemLine(uint8_t op, const QString& scene, const QString& item, int value,
                 const QString& newName) {
    QString line = QStringLiteral("item %1 %2 %3 %4").arg(op).arg(scene, item).arg(value);
    if (!newName.isEmpty()) {
        line += QLatin1Char(' ') + newName;
    }
    return line;
}

QString makePng(const QString& path, const QColor& color, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, "PNG") ? path : QString();
}

QString makeClip(const QString& path) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-y", "-f", "lavfi", "-i",
                  "testsrc=duration=2:size=320x240:rate=15", "-pix_fmt", "yuv420p", path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        return QString();
    }
    return path;
}

QString makeImageFolder(const QString& dir, int count) {
    QDir().mkpath(dir);
    for (int i = 0; i < count; ++i) {
        const QColor color = QColor::fromHsv((i * 70) % 360, 200, 220);
        if (makePng(dir + QStringLiteral("/slide%1.png").arg(i), color, 80, 60).isEmpty()) {
            return QString();
        }
    }
    return dir;
}

}  // namespace studiotest
