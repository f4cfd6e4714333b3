#include "core/Log.h"

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/ringbuffer_sink.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <atomic>
#include <chrono>
#include <string>

namespace live {
namespace {

constexpr size_t kMaxFileSize = 5 * 1024 * 1024;
constexpr size_t kMaxFiles = 3;
constexpr size_t kEarlyMessages = 200;

// Read from any thread, replaced only on the main thread.
std::shared_ptr<spdlog::logger> g_logger;
std::atomic<bool> g_started{false};

// Until the file log opens, messages go to standard error and are kept for the file: a
// failure before it (no display, no engine) is exactly what the log must explain.
struct EarlyLog {
    std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> kept =
        std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(kEarlyMessages);
    std::shared_ptr<spdlog::logger> logger;
    EarlyLog() {
        auto stderrSink = std::make_shared<spdlog::sinks::stderr_sink_mt>();
        stderrSink->set_level(spdlog::level::warn);
        logger =
            std::make_shared<spdlog::logger>("early", spdlog::sinks_init_list{stderrSink, kept});
        logger->set_level(spdlog::level::info);
    }
};

EarlyLog& early() {
    static EarlyLog log;
    return log;
}

void writeEarly(spdlog::logger& to) {
    for (const auto& message : early().kept->last_raw()) {
        if (to.should_log(message.level)) {
            for (const auto& sink : to.sinks()) {
                sink->log(message);
            }
        }
    }
}

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
    if (auto l = std::atomic_load(&g_logger)) {
        return l;
    }
    return g_started ? nullptr : early().logger;
}

void initLogger(const char* basePathUtf8, int level) {
    const std::string base = basePathUtf8 ? basePathUtf8 : "";
    std::string fileName = base + ".txt";
    const auto lvl = static_cast<spdlog::level::level_enum>(level);
    const bool first = !g_started.exchange(true);
    for (int attempt = 0; attempt < 3; ++attempt) {
        spdlog::set_level(lvl);
        auto created = tryCreate(fileName);
        if (created) {
            created->set_level(lvl);
            created->set_formatter(std::make_unique<spdlog::pattern_formatter>(
                "[%Y-%m-%d %H:%M:%S.%e] [%L] %v", spdlog::pattern_time_type::local, "\r\n"));
            std::atomic_store(&g_logger, created);
            created->critical("client start");
            if (first) {
                writeEarly(*created);
            }
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
