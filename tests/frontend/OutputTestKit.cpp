#include "OutputTestKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <QtTest>
#include <memory>

#include "frontend/StudioCodes.h"

namespace outputtest {

void useBenchProfile(OBSApp& app, int kbps) {
    config_t* profile = app.GetMainWindow()->Config();
    for (const char* key : {"BaseCX", "OutputCX"}) {
        config_set_uint(profile, "Video", key, 1280);
    }
    for (const char* key : {"BaseCY", "OutputCY"}) {
        config_set_uint(profile, "Video", key, 720);
    }
    config_set_string(profile, "Video", "FPSCommon", "30");
    config_set_uint(profile, "SimpleOutput", "VBitrate", static_cast<uint64_t>(kbps));
    config_set_uint(profile, "SimpleOutput", "ABitrate", 160);
    app.GetMainWindow()->ResetVideo();
}

void setProfileKeys(OBSApp& app, const QStringList& entries) {
    config_t* profile = app.GetMainWindow()->Config();
    for (const QString& entry : entries) {
        const int slash = entry.indexOf(QLatin1Char('/'));
        const int eq = entry.indexOf(QLatin1Char('='));
        if (slash > 0 && eq > slash) {
            config_set_string(profile, entry.left(slash).toUtf8().constData(),
                              entry.mid(slash + 1, eq - slash - 1).toUtf8().constData(),
                              entry.mid(eq + 1).toUtf8().constData());
        }
    }
}

QString makeToneClip(const QString& path, int seconds) {
    QProcess ffmpeg;
    const QString inputs = QStringLiteral(
                               "-v error -y -f lavfi -i testsrc2=duration=%1:size=640x360:rate=30 "
                               "-f lavfi -i sine=frequency=440:duration=%1 -c:v libx264 -preset "
                               "ultrafast -pix_fmt yuv420p -c:a aac -shortest")
                               .arg(seconds);
    ffmpeg.start(QStringLiteral("ffmpeg"), inputs.split(QLatin1Char(' ')) << path);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        return QString();
    }
    return path;
}

QString addMovingPicture(OBSApp* app, const QString& dir) {
    const QString clip = makeToneClip(dir + QStringLiteral("/moving.mp4"));
    if (clip.isEmpty()) {
        return QString();
    }
    orbLiveImp::SoureParam param;
    param.type = 4;
    param.name = QStringLiteral("Moving");
    param.value = clip;
    param.primaryFlag = true;  // loop
    return app->addSceneItem(param);
}

void useSmallOutput(OBSApp* app, int retryDelay, int maxRetries) {
    config_t* profile = app->GetMainWindow()->Config();
    config_set_uint(profile, "Video", "BaseCX", 640);
    config_set_uint(profile, "Video", "BaseCY", 360);
    config_set_uint(profile, "Video", "OutputCX", 640);
    config_set_uint(profile, "Video", "OutputCY", 360);
    config_set_uint(profile, "SimpleOutput", "VBitrate", 800);
    config_set_uint(profile, "SimpleOutput", "ABitrate", 128);
    config_set_uint(profile, "Output", "RetryDelay", static_cast<uint64_t>(retryDelay));
    config_set_uint(profile, "Output", "MaxRetries", static_cast<uint64_t>(maxRetries));
    app->GetMainWindow()->ResetVideo();
}

bool runsFor(OBSApp* app, uint64_t seconds, bool recording) {
    const auto clock = [app, recording] {
        orbLiveImp::ResourceUtil util;
        app->GetMainWindow()->getResourceUtility(util);
        return recording ? util.recordSeconds : util.liveSeconds;
    };
    const uint64_t until = clock() + seconds;
    return QTest::qWaitFor([&] { return clock() >= until; }, int(seconds) * 1000 + 30000);
}

void OutputEvents::attach(OBSApp* app) {
    clear();
    app->OBSWinInit(
        nullptr,
        [this](uint8_t op, const QString& name, QVariant value) {
            if (op == orbLiveImp::kSceneStreaming) {
                lines_.append(QStringLiteral("5 %1").arg(value.toString()));
            } else if (op == orbLiveImp::kSceneRecording) {
                lines_.append(QStringLiteral("6 %1 %2").arg(value.toString(), name));
            }
        },
        [this](const orbLiveImp::SceneItemData& data) {
            if (data.op == orbLiveImp::kItemAudioLevel) {
                levels.append(data);
                levelsOnMainThread =
                    levelsOnMainThread && QThread::currentThread() == qApp->thread();
            }
        });
}

void OutputEvents::clear() {
    QCoreApplication::processEvents();
    lines_.clear();
    levels.clear();
    levelsOnMainThread = true;
}

bool OutputEvents::waitFor(const QString& prefix, int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            for (const QString& line : lines_) {
                if (line.startsWith(prefix)) {
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}

void OutputEvents::settle() {
    // A report crosses the main thread's queue at most twice (the engine's signal, then the
    // relay); markers sent round it more often than that come back after all of them.
    for (int hop = 0; hop < 4; ++hop) {
        auto back = std::make_shared<bool>(false);
        QMetaObject::invokeMethod(
            qApp, [back] { *back = true; }, Qt::QueuedConnection);
        (void)QTest::qWaitFor([back] { return *back; }, 60000);
    }
}

QString OutputEvents::lastRecordedPath() const {
    for (int i = lines_.size() - 1; i >= 0; --i) {
        if (lines_[i].startsWith(QLatin1String("6 false "))) {
            return lines_[i].mid(8);
        }
    }
    return QString();
}

}  // namespace outputtest
