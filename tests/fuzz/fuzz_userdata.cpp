// The user data file loader, and a save and reload of whatever it accepted.
#include "core/RuntimeData.h"
#include "fuzz/FuzzTarget.h"

ORB_FUZZ_TARGET(userdata) {
    live::RuntimeData first;
    first.load(fuzz::scratchFile("user.json", fuzz::bytes(data, size)));
    first.isLastDateToday();
    first.checkVersion(QStringLiteral("1.0.0"));
    first.dirty = true;
    const QString saved = fuzz::scratchFile("saved.json", QByteArray());
    first.save(saved);
    live::RuntimeData second;
    second.load(saved);
    return 0;
}
