// The network task data loader (data/network.json) and the addresses it yields.
#include <memory>

#include "core/IConfig.h"
#include "fuzz/FuzzTarget.h"
#include "net/OrbHttpMgr.h"

ORB_FUZZ_TARGET(tasks) {
    fuzz::ensureApplication();
    static const auto config = [] {
        auto c = std::make_shared<live::IConfig>();
        c->init(QStringLiteral(ORB_SOURCE_DIR "/data/config.json"));
        return c;
    }();
    live::OrbHttpMgr mgr(config);
    if (mgr.initHttpTask(fuzz::scratchFile("network.json", fuzz::bytes(data, size))) != 0) {
        return 0;
    }
    for (uint8_t type = 0; type <= live::kTaskNone; ++type) {
        mgr.getUrl(type);
        mgr.buildQuery(type, {QStringLiteral("1"), QStringLiteral("%2"), QString()});
    }
    return 0;
}
