#include "StudioTestKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QtTest>

#include <obs.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "core/DialogSeam.h"
#include "core/ExitWatchdog.h"
#include "frontend/SceneItems.h"
#include "frontend/SourceFactory.h"

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
    std::optional<ExitWatchdog> teardown;
    {
        OBSApp app(argc, argv);
        g_app = &app;
        live::DialogSeam::setHeadless(true);
        g_initResult = qEnvironmentVariableIsEmpty("DISPLAY") ? 1 : app.init();
        status = run();
        g_app = nullptr;
        // Seen under load here: a thread of the engine's encoder or of a video decoder whose
        // end its joiner never learns of, after every case has passed. The cases' result
        // stands and the output says so; only the leak check below is lost. The program's own
        // bound (OBSApp) is longer, so this one ends it first.
        teardown.emplace(std::chrono::milliseconds(OBSApp::kShutdownLimitMs * 3 / 4), status,
                         "the studio's teardown after the test cases");
    }
    teardown.reset();
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

orbLiveImp::SoureParam param(uint8_t type, const QString& value, bool primary, bool secondary,
                             const QString& name) {
    orbLiveImp::SoureParam p;
    p.type = type;
    p.value = value;
    p.primaryFlag = primary;
    p.secondaryFlag = secondary;
    p.name = name;
    return p;
}

obs_sceneitem_t* item(const QString& name) {
    obs_scene_t* scene = app()->GetMainWindow()->GetCurrentScene();
    obs_sceneitem_t* found = obs_scene_find_source(scene, name.toUtf8().constData());
    obs_scene_release(scene);
    return found;
}

OBSDataAutoRelease settings(const QString& name) {
    OBSSourceAutoRelease source = obs_get_source_by_name(name.toUtf8().constData());
    return source ? obs_source_get_settings(source) : nullptr;
}

QStringList itemNames() {
    QStringList names;
    for (const OBSSceneItem& each : SceneItems::list(app()->GetMainWindow()->currentScene())) {
        names << SceneItems::itemName(each);
    }
    return names;
}

// The items are removed after the enumeration: freeing one inside it would take the
// graphics lock while holding the scene's, the reverse of the render thread's order.
void clearScene() {
    obs_scene_t* scene = app()->GetMainWindow()->GetCurrentScene();
    for (const OBSSceneItem& each : SceneItems::list(scene)) {
        obs_sceneitem_remove(each);
    }
    obs_scene_release(scene);
    QCoreApplication::processEvents();
}

QStringList shownTexts(const QString& kind) {
    QStringList texts;
    for (const live::DialogSeam::Shown& shown : live::DialogSeam::shown()) {
        if (kind.isEmpty() || shown.kind == kind) {
            texts << shown.text;
        }
    }
    return texts;
}

QString screenshotPath(const QString& name) {
    const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

QProcess* startChild(QObject* parent, const QStringList& args, const QString& home) {
    auto* child = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_DATA_HOME", home + "/data");
    child->setProcessEnvironment(env);
    child->start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + args);
    return child;
}

bool waitForLine(QProcess* child, QByteArray& output, const QByteArray& line) {
    (void)QTest::qWaitFor(
        [&] {
            output += child->readAllStandardOutput();
            return output.contains(line) || child->state() == QProcess::NotRunning;
        },
        90000);
    output += child->readAllStandardOutput();
    return output.contains(line);
}

void childSays(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
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

bool Inputs::make() {
    png = makePng(dir.filePath("a.png"), Qt::red);
    png2 = makePng(dir.filePath("b.png"), Qt::green);
    clip = makeClip(dir.filePath("clip.mp4"));
    folder = makeImageFolder(dir.filePath("slides"), 3);
    folder2 = makeImageFolder(dir.filePath("slides2"), 2);
    return !png.isEmpty() && !png2.isEmpty() && !clip.isEmpty() && !folder.isEmpty() &&
           !folder2.isEmpty();
}

std::unique_ptr<QWidget> showWindow(const QString& title) {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(title);
    window->resize(240, 160);
    window->show();
    return window;
}

bool waitExposed(QWidget* window, int timeoutMs) {
    if (QTest::qWaitForWindowExposed(window, timeoutMs)) {
        return true;
    }
    const auto run = [](const QString& program, const QStringList& args) {
        QProcess process;
        process.start(program, args);
        process.waitForFinished(5000);
        return QString::fromLocal8Bit(process.readAll()).simplified();
    };
    const QRect frame = window->frameGeometry();
    qWarning("%s not exposed: visible %d, state 0x%x, frame %d,%d %dx%d | %s | %s | %s",
             qPrintable(window->objectName()), window->isVisible(), int(window->windowState()),
             frame.x(), frame.y(), frame.width(), frame.height(),
             qPrintable(run("xprop", {"-id", QString::number(window->winId()), "WM_STATE",
                                      "_NET_WM_STATE", "WM_HINTS", "_NET_FRAME_EXTENTS"})),
             qPrintable(run("xprop", {"-root", "_NET_ACTIVE_WINDOW", "_NET_CLIENT_LIST"})),
             qPrintable(run("ps", {"-o", "pid,stat,wchan:24,etime,args", "-C", "openbox"})));
    return false;
}

QStringList windowTitles() {
    QStringList titles;
    for (const auto& choice : SourceFactory::choices("xcomposite_input", "capture_window")) {
        titles << choice.first;
    }
    return titles;
}

}  // namespace studiotest
