#pragma once

// The process-wide log. Every message is "{}: text" with the operation's tag
// ("Class::function") as its first argument. Until the first initLogger, warnings go to
// standard error and messages are kept, then written into the file after its "client start";
// after closeLogger they are dropped.

#include <QByteArray>
#include <QString>
#include <memory>
#include <string_view>
#include <utility>

#include <spdlog/spdlog.h>

template <>
struct fmt::formatter<QString> : fmt::formatter<std::string_view> {
    template <typename Context>
    auto format(const QString& s, Context& ctx) const {
        const QByteArray utf8 = s.toUtf8();
        return fmt::formatter<std::string_view>::format(
            std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), ctx);
    }
};

template <>
struct fmt::formatter<QByteArray> : fmt::formatter<std::string_view> {
    template <typename Context>
    auto format(const QByteArray& b, Context& ctx) const {
        return fmt::formatter<std::string_view>::format(
            std::string_view(b.constData(), static_cast<size_t>(b.size())), ctx);
    }
};

namespace live {

// Log levels as numbers: 0 trace .. 5 critical.
enum LogLevel { kTrace = 0, kDebug = 1, kInfo = 2, kWarn = 3, kError = 4, kCritical = 5 };

void initLogger(const char* basePathUtf8, int level);
void closeLogger();
std::shared_ptr<spdlog::logger> logger();

namespace log {

template <typename... Args>
void write(int level, spdlog::format_string_t<Args...> fmt, Args&&... args) {
    if (auto l = live::logger()) {
        l->log(static_cast<spdlog::level::level_enum>(level), fmt, std::forward<Args>(args)...);
    }
}
template <typename... Args>
void debug(spdlog::format_string_t<Args...> fmt, Args&&... args) {
    write(kDebug, fmt, std::forward<Args>(args)...);
}
template <typename... Args>
void info(spdlog::format_string_t<Args...> fmt, Args&&... args) {
    write(kInfo, fmt, std::forward<Args>(args)...);
}
template <typename... Args>
void warn(spdlog::format_string_t<Args...> fmt, Args&&... args) {
    write(kWarn, fmt, std::forward<Args>(args)...);
}
template <typename... Args>
void error(spdlog::format_string_t<Args...> fmt, Args&&... args) {
    write(kError, fmt, std::forward<Args>(args)...);
}
template <typename... Args>
void critical(spdlog::format_string_t<Args...> fmt, Args&&... args) {
    write(kCritical, fmt, std::forward<Args>(args)...);
}

}  // namespace log
}  // namespace live
