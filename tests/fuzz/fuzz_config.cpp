// The configuration file parser (data/config.json).
#include "core/IConfig.h"
#include "fuzz/FuzzTarget.h"

ORB_FUZZ_TARGET(config) {
    live::IConfig config;
    if (config.parseConfig(fuzz::bytes(data, size)) != 0) {
        return 0;
    }
    for (uint8_t i = 0; i < 8; ++i) {
        config.getName(i);
        config.getPath(i);
        config.getCookieName(i);
        config.setCookieValue(i, "v");
    }
    QByteArray name;
    QByteArray value;
    config.getCookie(name, value);
    config.getType();
    return 0;
}
