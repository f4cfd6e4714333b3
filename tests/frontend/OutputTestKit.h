#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "frontend/OBSApp.h"
#include "frontend/SceneItemData.h"

// Shared by the output tests: something moving and audible to encode, and a recorder of
// the output and audio events the studio reports to its client.
namespace outputtest {

// The benchmarks' settings: 1280x720 at 30 fps, `kbps` of video and 160 kbps of audio.
void useBenchProfile(OBSApp& app, int kbps);
// Sets "Section/Key=value" entries in the profile of `app` (engine settings a benchmark tries).
void setProfileKeys(OBSApp& app, const QStringList& entries);

// A clip with a moving test picture and a tone, made with ffmpeg; empty on failure.
QString makeToneClip(const QString& path, int seconds = 4);
// Puts that clip, looping, on the current scene of `app` at 640 x 360 output; its name.
QString addMovingPicture(OBSApp* app, const QString& dir);
// Output size and rates for the tests: 640 x 360 at 30 fps, quick reconnects.
void useSmallOutput(OBSApp* app, int retryDelay = 1, int maxRetries = 3);

// Waits until the stream (or the recording) has run `seconds` more by its own clock, which
// a loaded machine slows down together with the picture; false when it stopped.
bool runsFor(OBSApp* app, uint64_t seconds, bool recording = false);

// Records scene ops 5 and 6 as "5 true", "6 false <path>"... and item op 9 levels.
class OutputEvents {
public:
    void attach(OBSApp* app);
    void clear();
    // Waits until an event starting with `prefix` arrived; false after `timeoutMs`.
    bool waitFor(const QString& prefix, int timeoutMs = 15000);
    const QStringList& lines() const { return lines_; }
    // Returns once every report already on its way arrived: the proof that nothing more
    // follows what was seen, without waiting for a guessed time.
    void settle();
    // The path carried by the last "6 false" event.
    QString lastRecordedPath() const;

    QList<orbLiveImp::SceneItemData> levels;
    bool levelsOnMainThread = true;

private:
    QStringList lines_;
};

}  // namespace outputtest
