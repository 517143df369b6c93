#include "BVDevice/ThreadTrace.h"

#include <cstdio>
#include <mutex>

#include "BVComm/Logger.h"
#include "BVComm/PortPaths.h"

namespace Brevan2011 {
namespace BVDevice {

namespace {

int channelIndex(int channel) {
    return channel >= ThreadTrace::kRead && channel <= ThreadTrace::kWrite ? channel
                                                                           : ThreadTrace::kMain;
}

std::mutex& channelMutex(int channel) {
    static std::mutex mutexes[4];
    return mutexes[channelIndex(channel)];
}

}  // namespace

const char* ThreadTrace::fileName(int channel) {
    switch (channelIndex(channel)) {
        case kRead:
            return "Read_Thread_Record.txt";
        case kParse:
            return "Parse_Thread_Record.txt";
        case kWrite:
            return "Write_Thread_Record.txt";
        default:
            return "Main_Thread_Record.txt";
    }
}

std::string ThreadTrace::path(int channel) {
    std::string dir = BVComm::LogDirectory();
    if (!dir.empty() && dir.back() != '/') {
        dir.push_back('/');
    }
    return dir + fileName(channel);
}

void ThreadTrace::record(const char* text, int channel) {
    if (text == nullptr) {
        return;
    }
    const std::string file = path(channel);
    std::lock_guard<std::mutex> guard(channelMutex(channel));
    std::FILE* f = std::fopen(file.c_str(), "a+");
    if (f == nullptr) {
        return;  // tracing must never stop a session
    }
    std::fprintf(f, "%ld,%s", BVCore::tickCount(), text);
    std::fclose(f);
}

}  // namespace BVDevice
}  // namespace Brevan2011
