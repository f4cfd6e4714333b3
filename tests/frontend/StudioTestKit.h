#pragma once

#include <QColor>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>

#include "frontend/OBSApp.h"
#include "support/Require.h"

// Shared by the studio tests: one OBSApp per test process, started on the test display
// with a fresh studio folder, and checked for leaked engine allocations after shutdown.
namespace studiotest {

OBSApp* app();
int initResult();
// Fails the test case when the studio should have started; skips it without a display.
#define STUDIO_REQUIRE()                                                                       \
    do {                                                                                       \
        ORB_REQUIRE(!qEnvironmentVariableIsEmpty("DISPLAY"), "the studio needs an X display"); \
        QCOMPARE(studiotest::initResult(), 0);                                                 \
    } while (false)

// Runs `run` (the tests) between the studio's start and shutdown; returns the exit status,
// failing when the engine reported unfreed allocations.
int runWithStudio(int& argc, char** argv, const std::function<int()>& run);

// Records the client callbacks as text: "scene <op> <name> <value>" and
// "item <op> <scene> <item> <value> [<newName>]".
class EventLog {
public:
    void attach(QWidget* host = nullptr);
    QStringList take();
    // Waits until `count` events arrived (or a generous timeout) and returns them all.
    QStringList waitFor(int count);

private:
    QStringList events_;
};

QString sceneLine(uint8_t op, const QString& name, const QVariant& value = 0);
QString itemLine(uint8_t op, const QString& scene, const QString& item, int value = 0,
                 const QString& newName = QString());

// A material as the client asks for it.
orbLiveImp::SoureParam param(uint8_t type, const QString& value, bool primary = false,
                             bool secondary = false, const QString& name = QString());
// The current scene's item whose source is `name`; null when none. Not referenced: the
// scene holds it.
obs_sceneitem_t* item(const QString& name);
// The names of the current scene's items, top-most first.
QStringList itemNames();
// The settings of the source named `name`; null when there is none.
OBSDataAutoRelease settings(const QString& name);
// Removes every item of the current scene, through the engine.
void clearScene();
// The texts the dialog seam showed, of one kind ("warning"...) or of every kind.
QStringList shownTexts(const QString& kind = QString());
// Where a test saves the screenshot `name`; the folder is made.
QString screenshotPath(const QString& name);

// A second studio in a child process: this test program started with "--child" and
// `args`, with `home` as its home and data folder.
QProcess* startChild(QObject* parent, const QStringList& args, const QString& home);
// Collects the child's output into `output` until it holds `line` (false when the child
// ended first or after a generous time).
bool waitForLine(QProcess* child, QByteArray& output, const QByteArray& line);
// The child's side: one line to the test.
void childSays(const QString& line);

// Test inputs made on the spot.
QString makePng(const QString& path, const QColor& color, int width = 64, int height = 48);
QString makeClip(const QString& path);
QString makeImageFolder(const QString& dir, int count);

// One of each file input, made in a private folder: two pictures, a clip, two folders of
// slides.
struct Inputs {
    QTemporaryDir dir;
    QString png, png2, clip, folder, folder2;
    bool make();
};

// A plain window titled `title`, shown; window capture offers it once the window manager
// mapped it (see windowTitles).
std::unique_ptr<QWidget> showWindow(const QString& title);
// Waits until `window` is on screen; when it is not, prints what Qt and the window manager
// think of it (a window that never maps leaves nothing else to go on).
bool waitExposed(QWidget* window, int timeoutMs = 30000);
// The titles of the windows window capture offers now.
QStringList windowTitles();

}  // namespace studiotest

#define STUDIO_TEST_MAIN(TestClass)                        \
    int main(int argc, char** argv) {                      \
        return studiotest::runWithStudio(argc, argv, [&] { \
            TestClass test;                                \
            return QTest::qExec(&test, argc, argv);        \
        });                                                \
    }
