// Feeds every kept corpus and regression input to its fuzz entry point, compiled with the
// normal compiler: what once crashed a fuzzer must keep passing. A crash fails the test.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include "fuzz/FuzzRegistry.h"

namespace {

// Feeds every file of `dir` to `entry`; how many there were.
int replayDir(fuzz::Entry entry, const QString& dir) {
    const QDir folder(dir);
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        const QByteArray input = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        entry(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
    }
    return names.size();
}

}  // namespace

int main() {
    QTextStream out(stdout);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        // The scene collection entry would pass without running; that is no replay.
        out << "no X display: the studio engine cannot start\n";
        return 1;
    }
    fuzz::ensureApplication();
    const QString root = QStringLiteral(ORB_SOURCE_DIR "/tests/fuzz/");
    int failures = 0;
    for (auto it = fuzz::entries().cbegin(); it != fuzz::entries().cend(); ++it) {
        const int seeds = replayDir(it.value(), root + QStringLiteral("corpus/") + it.key());
        const int regressions = replayDir(it.value(), root + QStringLiteral("regress/") + it.key());
        out << it.key() << ": " << seeds << " corpus inputs, " << regressions
            << " regression inputs\n";
        if (seeds == 0) {
            out << "  no corpus for " << it.key() << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
