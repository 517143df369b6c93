#include "Em_RawRecorder.h"

#include <cstdio>
#include <mutex>

namespace Brevan2011 {
namespace BVParse {

namespace {

struct Recorder {
    std::mutex lock;
    std::FILE* file = nullptr;
    std::function<std::time_t()> clock;
};

Recorder& The_Recorder() {
    static Recorder recorder;
    return recorder;
}

}  // namespace

std::string Record_File_Name(std::time_t utc) {
    std::tm t{};
    gmtime_r(&utc, &t);
    char name[96];
    std::snprintf(name, sizeof(name), "%d%d%d%2d%d%d.bin", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour + 8, t.tm_min, t.tm_sec);
    return name;
}

bool Record_Open(const char* path) {
    Recorder& r = The_Recorder();
    std::lock_guard<std::mutex> guard(r.lock);
    if (r.file == nullptr) {
        std::string name;
        if (path != nullptr) {
            name = path;
        } else {
            name = Record_File_Name(r.clock ? r.clock() : std::time(nullptr));
        }
        r.file = std::fopen(name.c_str(), "wb");
    }
    return r.file != nullptr;
}

void Record_Close() {
    Recorder& r = The_Recorder();
    std::lock_guard<std::mutex> guard(r.lock);
    if (r.file != nullptr) {
        std::fclose(r.file);
        r.file = nullptr;
    }
}

void Record_Write(const unsigned char* bytes, size_t n) {
    Recorder& r = The_Recorder();
    std::lock_guard<std::mutex> guard(r.lock);
    if (r.file != nullptr && bytes != nullptr && n > 0) {
        std::fwrite(bytes, 1, n, r.file);
        std::fflush(r.file);
    }
}

bool Record_Is_Open() {
    Recorder& r = The_Recorder();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.file != nullptr;
}

void Record_Set_Clock(std::function<std::time_t()> clock) {
    Recorder& r = The_Recorder();
    std::lock_guard<std::mutex> guard(r.lock);
    r.clock = std::move(clock);
}

}  // namespace BVParse
}  // namespace Brevan2011
