#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "BVComm/Mutex.h"

namespace Brevan2011 {
namespace BVCore {

// Wide text to UTF-8 (wchar_t holds UTF-32 code points here). The code page is kept for the
// callers' sake; UTF-8 is the only narrow encoding used.
std::string toNarrow(const std::wstring& text, unsigned int codePage = 0);

// Where logs and traces go: the executable's folder unless set.
void setLogDirectory(const std::string& directory);
std::string logDirectory();
// A base name (no slash) is placed in the log directory; other paths stay as given.
std::string logPath(const std::string& fileName);

// Milliseconds of CLOCK_MONOTONIC: the one monotonic clock of the logs, traces and ports.
long tickCount();

// Appends time-stamped lines to one file. Loggers live in a registry by id: 0 is "runtime.log",
// 1 the socket log. A logger that fails to write removes itself from the registry.
class Logger {
public:
    using Clock = std::function<std::time_t()>;

    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Registers a new logger; 1 when registered, 0 when the id is taken.
    // Throws Exception ("fail to open log file") when the file cannot be opened.
    static int create(int id, const std::string& fileName, int level);
    // Logger 0 on "runtime.log"; made once, on the first lookup by id. A failure leaves none.
    static void createDefault();
    static void closeDefault();
    static std::shared_ptr<Logger> socketLogger(const std::string& fileName, int level);
    static std::shared_ptr<Logger> defaultLogger();
    static std::shared_ptr<Logger> socketOrDefault();
    static std::shared_ptr<Logger> find(int id);
    // Drops a logger from the registry; writers that still hold it finish safely.
    static void remove(int id);

    static void log(const std::shared_ptr<Logger>& logger, int level, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    static void logW(const std::shared_ptr<Logger>& logger, int level, const wchar_t* format, ...);
    void vlog(int level, const char* format, va_list args);
    void vlogW(int level, const wchar_t* format, va_list args);

    void writeSeparator();
    void setLevel(int level);
    int level() const;
    int id() const { return id_; }
    std::string fileName() const;
    void setFileName(const std::string& fileName);

    // "%04d-%02d-%02d %02d:%02d:%02d" of UTC + 8 hours, the date carried along.
    static std::string timeStamp(std::time_t utc);
    // Replaces the UTC clock (tests); an empty function restores the system clock.
    static void setClock(Clock clock);

private:
    Logger(int id, const std::string& fileName, int level);
    void open();
    void writeLine(const char* text, int level);
    void close();

    const int id_;
    std::FILE* stream_ = nullptr;
    SystemMutex mutex_;
    bool hasMutex_ = false;
    mutable std::mutex nameMutex_;
    std::string fileName_;
    std::atomic<int> level_{0};
};

}  // namespace BVCore
}  // namespace Brevan2011
