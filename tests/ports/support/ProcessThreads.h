#pragma once

#include <fstream>
#include <string>

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

}  // namespace varnok_test
