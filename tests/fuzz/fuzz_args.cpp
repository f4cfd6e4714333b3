// The argument and query builder with arbitrary parameter records of any task id.
#include <QStringList>
#include <memory>

#include "core/IConfig.h"
#include "fuzz/FuzzTarget.h"
#include "net/OrbHttpMgr.h"

using live::OrbHttpMgr;

namespace {

OrbHttpMgr& manager() {
    static OrbHttpMgr* mgr = [] {
        fuzz::ensureApplication();
        auto config = std::make_shared<live::IConfig>();
        config->init(QStringLiteral(ORB_SOURCE_DIR "/data/config.json"));
        config->setCookieValue(2, "cookie-value");
        auto* m = new OrbHttpMgr(config);
        m->initHttpTask(QStringLiteral(ORB_SOURCE_DIR "/data/network.json"));
        return m;
    }();
    return *mgr;
}

QStringList buildFrom(fuzz::Reader& in, uint8_t type) {
    switch (in.byte() % 4) {
        case 0: {
            OrbHttpMgr::IParamValue p(type, in.text());
            return manager().buildArgs(&p);
        }
        case 1: {
            OrbHttpMgr::IParamListTask p(type, in.byte(), in.integer(), in.integer(), in.integer(),
                                         in.text());
            return manager().buildArgs(&p);
        }
        case 2: {
            OrbHttpMgr::IParamID p(type, in.integer());
            return manager().buildArgs(&p);
        }
        default: {
            const int taskId = in.integer();
            const float kbs = float(in.integer()) / float(in.byte() + 1);
            const float cpu = float(in.integer()) / 7.0f;
            const float fps = float(in.integer()) / 3.0f;
            const uint64_t origin = uint64_t(uint32_t(in.integer())) << 16;
            OrbHttpMgr::IParamMonitor p(type, taskId, kbs, cpu, fps, origin, uint32_t(in.integer()),
                                        in.text());
            return manager().buildArgs(&p);
        }
    }
}

}  // namespace

ORB_FUZZ_TARGET(args) {
    fuzz::Reader in(data, size);
    const uint8_t type = in.byte();
    QStringList args = buildFrom(in, type);
    // Callers may add or drop values; the builder must cope with any count.
    for (int extra = in.byte() % 8; extra > 0; --extra) {
        args.append(in.text(16));
    }
    manager().buildQuery(type, args);
    manager().buildQuery(type, args.mid(0, in.byte() % 4));
    return 0;
}
