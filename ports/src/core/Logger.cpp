#include "BVComm/Logger.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <mutex>

#include "BVComm/Exception.h"

namespace Brevan2011 {
namespace BVCore {

namespace {

constexpr std::size_t kLineBuffer = 1024;

struct Registry {
    MutexHolder lock;
    std::map<int, std::shared_ptr<Logger>> loggers;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::mutex& settingsMutex() {
    static std::mutex m;
    return m;
}

Logger::Clock& clockFunction() {
    static Logger::Clock clock;
    return clock;
}

std::string& logDirectoryValue() {
    static std::string dir;
    return dir;
}

std::string executableDirectory() {
    char buf[PATH_MAX] = {0};
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) {
        return ".";
    }
    std::string path(buf, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::time_t nowUtc() {
    Logger::Clock clock;
    {
        std::lock_guard<std::mutex> guard(settingsMutex());
        clock = clockFunction();
    }
    return clock ? clock() : std::time(nullptr);
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        out.push_back('?');
    } else if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string toNarrow(const std::wstring& text, unsigned int /*codePage*/) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        appendUtf8(out, static_cast<std::uint32_t>(ch));
    }
    return out;
}

void setLogDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> guard(settingsMutex());
    logDirectoryValue() = directory;
}

std::string logDirectory() {
    std::lock_guard<std::mutex> guard(settingsMutex());
    if (logDirectoryValue().empty()) {
        logDirectoryValue() = executableDirectory();
    }
    return logDirectoryValue();
}

std::string logPath(const std::string& fileName) {
    if (fileName.empty() || fileName.find('/') != std::string::npos) {
        return fileName;
    }
    std::string dir = logDirectory();
    if (!dir.empty() && dir.back() != '/') {
        dir.push_back('/');
    }
    return dir + fileName;
}

long tickCount() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long>(ts.tv_sec) * 1000L + static_cast<long>(ts.tv_nsec / 1000000L);
}

Logger::Logger(int id, const std::string& fileName, int level)
    : id_(id), fileName_(fileName), level_(level) {
    hasMutex_ = mutex_.Create() == 0;
    open();
}

Logger::~Logger() {
    close();
}

void Logger::open() {
    bool failed = false;
    if (hasMutex_) {
        mutex_.Lock();
    }
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!fileName_.empty()) {
        stream_ = std::fopen(logPath(fileName_).c_str(), "a+");
        failed = stream_ == nullptr;
    }
    if (hasMutex_) {
        mutex_.Unlock();
    }
    if (failed) {
        const int zero = 0;
        throw Exception("fail to open log file", &zero, &zero);
    }
}

void Logger::close() {
    if (hasMutex_) {
        mutex_.Lock();
    }
    if (stream_ != nullptr) {
        std::fflush(stream_);
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (hasMutex_) {
        mutex_.Unlock();
    }
}

int Logger::create(int id, const std::string& fileName, int level) {
    std::shared_ptr<Logger> logger(new Logger(id, fileName, level));
    Registry& r = registry();
    MutexLock lock(r.lock);
    return r.loggers.emplace(id, std::move(logger)).second ? 1 : 0;
}

void Logger::createDefault() {
    static std::once_flag once;
    std::call_once(once, [] {
        try {
            create(0, "runtime.log", 0);
        } catch (const Exception&) {
            // No logger 0: logging through it writes nothing.
        }
    });
}

void Logger::closeDefault() {
    std::shared_ptr<Logger> logger;
    {
        Registry& r = registry();
        MutexLock lock(r.lock);
        auto it = r.loggers.find(0);
        if (it != r.loggers.end()) {
            logger = it->second;
            r.loggers.erase(it);
        }
    }
    if (logger) {
        logger->close();
    }
}

std::shared_ptr<Logger> Logger::find(int id) {
    createDefault();
    Registry& r = registry();
    MutexLock lock(r.lock);
    auto it = r.loggers.find(id);
    return it == r.loggers.end() ? nullptr : it->second;
}

void Logger::remove(int id) {
    Registry& r = registry();
    MutexLock lock(r.lock);
    r.loggers.erase(id);
}

std::shared_ptr<Logger> Logger::socketLogger(const std::string& fileName, int level) {
    Registry& r = registry();
    MutexLock lock(r.lock);
    auto it = r.loggers.find(1);
    if (it != r.loggers.end()) {
        return it->second;
    }
    try {
        std::shared_ptr<Logger> logger(new Logger(1, fileName, level));
        r.loggers.emplace(1, logger);
        return logger;
    } catch (const Exception&) {
        return nullptr;
    }
}

std::shared_ptr<Logger> Logger::defaultLogger() {
    return find(0);
}

std::shared_ptr<Logger> Logger::socketOrDefault() {
    {
        Registry& r = registry();
        MutexLock lock(r.lock);
        auto it = r.loggers.find(1);
        if (it != r.loggers.end()) {
            return it->second;
        }
    }
    return find(0);
}

void Logger::log(const std::shared_ptr<Logger>& logger, int level, const char* format, ...) {
    if (!logger) {
        return;
    }
    va_list args;
    va_start(args, format);
    logger->vlog(level, format, args);
    va_end(args);
}

void Logger::logW(const std::shared_ptr<Logger>& logger, int level, const wchar_t* format, ...) {
    if (!logger) {
        return;
    }
    va_list args;
    va_start(args, format);
    logger->vlogW(level, format, args);
    va_end(args);
}

void Logger::vlog(int level, const char* format, va_list args) {
    if (format == nullptr || level < this->level()) {
        return;
    }
    char buf[kLineBuffer] = {0};
    std::vsnprintf(buf, sizeof(buf), format, args);
    writeLine(buf, level);
}

void Logger::vlogW(int level, const wchar_t* format, va_list args) {
    if (format == nullptr || level < this->level()) {
        return;
    }
    wchar_t buf[kLineBuffer] = {0};
    // glibc returns -1 on truncation and may leave the buffer unterminated.
    std::vswprintf(buf, kLineBuffer, format, args);
    buf[kLineBuffer - 1] = L'\0';
    writeLine(toNarrow(buf).c_str(), level);
}

void Logger::writeLine(const char* text, int level) {
    const std::string stamp = timeStamp(nowUtc());
    bool failed = true;
    if (hasMutex_) {
        mutex_.Lock();
    }
    if (stream_ != nullptr) {
        failed = std::fprintf(stream_, "%s %s [%d]\n", stamp.c_str(), text, level) < 0 ||
                 std::fflush(stream_) != 0;
    }
    if (hasMutex_) {
        mutex_.Unlock();
    }
    if (failed) {
        // A logger that cannot write leaves the registry; holders of it see no stream.
        {
            Registry& r = registry();
            MutexLock lock(r.lock);
            auto it = r.loggers.find(id_);
            if (it != r.loggers.end() && it->second.get() == this) {
                r.loggers.erase(it);
            }
        }
        close();
    }
}

void Logger::writeSeparator() {
    if (hasMutex_) {
        mutex_.Lock();
    }
    if (stream_ != nullptr) {
        std::fputs("\n--------------------\n", stream_);
        std::fflush(stream_);
    }
    if (hasMutex_) {
        mutex_.Unlock();
    }
}

void Logger::setLevel(int level) {
    level_.store(level);
}

int Logger::level() const {
    return level_.load();
}

std::string Logger::fileName() const {
    std::lock_guard<std::mutex> guard(nameMutex_);
    return fileName_;
}

void Logger::setFileName(const std::string& fileName) {
    std::lock_guard<std::mutex> guard(nameMutex_);
    fileName_ = fileName;
}

std::string Logger::timeStamp(std::time_t utc) {
    // Local time of the receivers' home zone, UTC + 8, with the date carried.
    const std::time_t shifted = utc + 8 * 3600;
    std::tm fields{};
    ::gmtime_r(&shifted, &fields);
    char buf[64] = {0};
    std::snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    return buf;
}

void Logger::setClock(Clock clock) {
    std::lock_guard<std::mutex> guard(settingsMutex());
    clockFunction() = std::move(clock);
}

}  // namespace BVCore
}  // namespace Brevan2011
