#pragma once

#include <fstream>
#include <string>
#include <thread>

namespace varnok_test {

// The number of threads of this process (from /proc), or -1: the end of a detached thread
// shows here.
inline int processThreadCount() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Threads:", 0) == 0) {
            return std::stoi(line.substr(8));
        }
    }
    return -1;
}

// The count to come back to: taken after one thread has come and gone, so that helper threads a
// runtime starts with the first thread (as ThreadSanitizer does) are already counted.
inline int baselineThreadCount() {
    std::thread([] {}).join();
    return processThreadCount();
}

}  // namespace varnok_test
