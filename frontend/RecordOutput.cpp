#include "frontend/RecordOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <obs.hpp>

#include "core/Log.h"
#include "frontend/OutputEncoders.h"
#include "frontend/OutputRunner.h"
#include "frontend/RecordFormat.h"

namespace {

// A recording's end is written at stop; quitting waits this long for it.
constexpr int kFinishMs = 15000;
// The muxer writes a fragment at every keyframe (2 s): a file that has not grown for this
// long while the muxer took this much is not being written any more. The muxer only gives up
// on a full disk much later, so the recording is stopped here.
constexpr int kGrowthCheckMs = 2000;
constexpr qint64 kStalledMs = 8000;
constexpr uint64_t kStalledBytes = 256 * 1024;

bool hasContent(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).size() > 0;
}

}  // namespace

RecordOutput::RecordOutput(config_t* profile, ReportFn report, QObject* parent)
    : QObject(parent),
      profile_(profile),
      report_(std::move(report)),
      runner_(new OutputRunner("RecordOutput", this)) {
    connect(runner_, &OutputRunner::started, this, [this] {
        clock_.start();
        lastSize_ = 0;
        bytesAtGrowth_ = 0;
        sinceGrowth_.start();
        growthWatch_.start();
        report_(true, path_);
    });
    growthWatch_.setInterval(kGrowthCheckMs);
    connect(&growthWatch_, &QTimer::timeout, this, &RecordOutput::checkGrowth);
    connect(runner_, &OutputRunner::stopped, this, &RecordOutput::onStopped);
}

RecordOutput::~RecordOutput() {
    shutdown();
}

bool RecordOutput::active() const {
    return runner_->active();
}

void RecordOutput::refuse(const QString& why) {
    live::log::warn("{}: cannot record, {}", "RecordOutput::start", why);
    path_.clear();
    report_(false, QString());
}

// Makes sure the folder exists and a file can be written there, before anything starts:
// the muxer would only find out later, from another process.
QString RecordOutput::prepareFile() {
    const QString dir = QDir::cleanPath(QDir::fromNativeSeparators(
        QString::fromUtf8(config_get_string(profile_, "SimpleOutput", "FilePath"))));
    if (dir.isEmpty() || !QDir().mkpath(dir)) {
        return QString();
    }
    const QString ext = RecordFormat::extension(
        QString::fromUtf8(config_get_string(profile_, "SimpleOutput", "RecFormat")));
    const QString path = RecordFormat::newFilePath(dir, ext, QDateTime::currentDateTime());
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return QString();
    }
    probe.close();
    probe.remove();
    return path;
}

bool RecordOutput::start(std::shared_ptr<OutputEncoders> encoders) {
    if (runner_->active()) {
        live::log::warn("{}: already recording", "RecordOutput::start");
        return false;
    }
    failed_ = false;
    if (!encoders) {
        refuse(QStringLiteral("no encoders"));
        return false;
    }
    const QString path = prepareFile();
    if (path.isEmpty()) {
        refuse(
            QStringLiteral("the folder %1 cannot be written")
                .arg(QString::fromUtf8(config_get_string(profile_, "SimpleOutput", "FilePath"))));
        return false;
    }
    OBSDataAutoRelease settings = obs_data_create();
    obs_data_set_string(settings, "path", path.toUtf8().constData());
    obs_data_set_string(settings, "muxer_settings",
                        RecordFormat::muxerSettings(QFileInfo(path).suffix()).constData());
    OBSOutputAutoRelease output =
        obs_output_create("ffmpeg_muxer", "orb-record", settings, nullptr);
    if (!output) {
        refuse(QStringLiteral("no file output in the engine"));
        return false;
    }
    obs_output_set_video_encoder(output, encoders->video());
    obs_output_set_audio_encoder(output, encoders->audio(), 0);
    path_ = path;
    clock_.invalidate();
    if (!runner_->start(output, std::move(encoders))) {
        refuse(runner_->lastError());
        return false;
    }
    return true;
}

bool RecordOutput::stop() {
    if (!runner_->active()) {
        return false;
    }
    runner_->stop();
    return true;
}

void RecordOutput::shutdown() {
    runner_->shutdown(kFinishMs);
}

void RecordOutput::checkGrowth() {
    obs_output_t* output = runner_->output();
    if (!output || !clock_.isValid()) {
        growthWatch_.stop();
        return;
    }
    const qint64 size = QFileInfo(path_).size();
    const uint64_t fed = obs_output_get_total_bytes(output);
    if (size > lastSize_) {
        lastSize_ = size;
        bytesAtGrowth_ = fed;
        sinceGrowth_.restart();
        return;
    }
    if (sinceGrowth_.elapsed() < kStalledMs || fed - bytesAtGrowth_ < kStalledBytes) {
        return;
    }
    live::log::warn("{}: {} stopped growing at {} bytes: the disk is full or cannot be written",
                    "RecordOutput::checkGrowth", path_, size);
    growthWatch_.stop();
    failed_ = true;
    runner_->stop();
}

void RecordOutput::onStopped(int code, const QString& error) {
    clock_.invalidate();
    growthWatch_.stop();
    failed_ = failed_ || code != OBS_OUTPUT_SUCCESS;
    if (failed_) {
        live::log::warn("{}: recording {} ended with error {} {}", "RecordOutput::onStopped", path_,
                        code, error);
    }
    report_(false, hasContent(path_) ? path_ : QString());
}

void RecordOutput::fill(orbLiveImp::ResourceUtil& util) const {
    util.recordFailed = failed_;
    if (clock_.isValid()) {
        util.recordSeconds = static_cast<uint64_t>(clock_.elapsed() / 1000);
    }
}
