#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "core/Log.h"

// The client's log written into a private folder for one test, readable at any moment.
class LogFile {
public:
    LogFile() {
        live::closeLogger();
        live::initLogger((dir_.path() + QStringLiteral("/orblive_log")).toUtf8().constData(),
                         live::kWarn);
    }
    ~LogFile() { live::closeLogger(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    QString text() const {
        if (auto l = live::logger()) {
            l->flush();
        }
        QFile f(dir_.path() + QStringLiteral("/orblive_log.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    int count(const QString& needle) const { return text().count(needle); }

private:
    QTemporaryDir dir_;
};
