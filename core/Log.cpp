#include "core/Log.h"

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/rotating_file_sink.h>

#include <atomic>
#include <chrono>
#include <string>

namespace live {
namespace {

constexpr size_t kMaxFileSize = 5 * 1024 * 1024;
constexpr size_t kMaxFiles = 3;

// Read from any thread, replaced only on the main thread.
std::shared_ptr<spdlog::logger> g_logger;

std::shared_ptr<spdlog::logger> tryCreate(const std::string& fileName) {
    try {
        return spdlog::rotating_logger_mt("client", fileName, kMaxFileSize, kMaxFiles, false);
    } catch (const spdlog::spdlog_ex&) {
        // A half-registered logger would block the next attempt's name.
        spdlog::drop("client");
        return nullptr;
    }
}

}  // namespace

std::shared_ptr<spdlog::logger> logger() {
    return std::atomic_load(&g_logger);
}

void initLogger(const char* basePathUtf8, int level) {
    const std::string base = basePathUtf8 ? basePathUtf8 : "";
    std::string fileName = base + ".txt";
    const auto lvl = static_cast<spdlog::level::level_enum>(level);
    for (int attempt = 0; attempt < 3; ++attempt) {
        spdlog::set_level(lvl);
        auto created = tryCreate(fileName);
        if (created) {
            created->set_level(lvl);
            created->set_formatter(std::make_unique<spdlog::pattern_formatter>(
                "[%Y-%m-%d %H:%M:%S.%e] [%L] %v", spdlog::pattern_time_type::local, "\r\n"));
            std::atomic_store(&g_logger, created);
            created->critical("client start");
            break;
        }
        fileName = base + "_p" + std::to_string(attempt) + ".txt";
    }
    spdlog::flush_every(std::chrono::seconds(5));
}

void closeLogger() {
    if (auto l = logger()) {
        l->critical("client stop");
    }
    spdlog::flush_every(std::chrono::seconds(3));
    std::atomic_store(&g_logger, std::shared_ptr<spdlog::logger>());
    spdlog::shutdown();
}

}  // namespace live
