#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include <util/config-file.h>

#include "frontend/ResourceUtil.h"

class OutputEncoders;
class OutputRunner;

// Records the program to a new file in the profile's "FilePath" folder, in "RecFormat".
// Reports `true` with the file's path once it records, and `false` once when it ended:
// with the path of the file written, or an empty path when no file could be made.
class RecordOutput : public QObject {
    Q_OBJECT
public:
    using ReportFn = std::function<void(bool recording, const QString& path)>;

    RecordOutput(config_t* profile, ReportFn report, QObject* parent = nullptr);
    ~RecordOutput() override;

    bool start(std::shared_ptr<OutputEncoders> encoders);
    bool stop();
    // Finishes a running recording's file before letting go.
    void shutdown();

    const OutputRunner& runner() const { return *runner_; }
    bool active() const;
    const QString& path() const { return path_; }
    void fill(orbLiveImp::ResourceUtil& util) const;

private:
    QString prepareFile();
    void onStopped(int code, const QString& error);
    void refuse(const QString& why);
    void checkGrowth();

    config_t* profile_;
    ReportFn report_;
    OutputRunner* runner_;
    QString path_;
    QElapsedTimer clock_;
    bool failed_ = false;
    // A file that stops growing while the muxer is fed: the disk is full or gone.
    QTimer growthWatch_;
    QElapsedTimer sinceGrowth_;
    qint64 lastSize_ = 0;
    uint64_t bytesAtGrowth_ = 0;
};
