// Feeds every kept corpus and regression input to its fuzz entry point, compiled with the
// normal compiler: what once crashed a fuzzer must keep passing. A crash fails the test.
// With arguments "<target> <file>..." it replays just those files (to debug one finding).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include "fuzz/FuzzRegistry.h"

namespace {

int replay(fuzz::Entry entry, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 1;
    }
    const QByteArray input = file.readAll();
    entry(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
    return 0;
}

int replayDir(fuzz::Entry entry, const QString& dir, int* count) {
    int failures = 0;
    const QDir folder(dir);
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        failures += replay(entry, folder.filePath(name));
        ++*count;
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    QTextStream out(stdout);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        // The scene collection entry would pass without running; that is no replay.
        out << "no X display: the studio engine cannot start\n";
        return 1;
    }
    fuzz::ensureApplication();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2) {
        const fuzz::Entry entry = fuzz::entries().value(args[1]);
        int failures = entry ? 0 : 1;
        for (int i = 2; entry && i < args.size(); ++i) {
            failures += replay(entry, args[i]);
        }
        return failures == 0 ? 0 : 1;
    }
    const QString root = QStringLiteral(ORB_SOURCE_DIR "/tests/fuzz/");
    int failures = 0;
    for (auto it = fuzz::entries().cbegin(); it != fuzz::entries().cend(); ++it) {
        int seeds = 0;
        int regressions = 0;
        failures += replayDir(it.value(), root + QStringLiteral("corpus/") + it.key(), &seeds);
        failures +=
            replayDir(it.value(), root + QStringLiteral("regress/") + it.key(), &regressions);
        out << it.key() << ": " << seeds << " corpus inputs, " << regressions
            << " regression inputs\n";
        if (seeds == 0) {
            out << "  no corpus for " << it.key() << "\n";
            ++failures;
        }
    }
    (void)argc;
    (void)argv;
    return failures == 0 ? 0 : 1;
}
