#include "config_paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

namespace {

std::mutex& pathMutex() {
    static std::mutex m;
    return m;
}

std::string& configuredDirectory() {
    static std::string dir;
    return dir;
}

std::string executableDirectory() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) {
        return ".";
    }
    std::string exe(buf, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

}  // namespace

std::string ConfigPaths::directory() {
    std::string dir;
    {
        std::lock_guard<std::mutex> lock(pathMutex());
        if (configuredDirectory().empty()) {
            std::string base = executableDirectory();
            configuredDirectory() = base == "/" ? "/configs" : base + "/configs";
        }
        dir = configuredDirectory();
    }
    // Failure shows later as a file that cannot be written; the stores then use defaults.
    ::mkdir(dir.c_str(), 0777);
    return dir;
}

void ConfigPaths::setDirectory(const std::string& dir) {
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/') {
        d.pop_back();
    }
    std::lock_guard<std::mutex> lock(pathMutex());
    configuredDirectory() = d;
}

std::string ConfigPaths::filePath(const std::string& name) {
    return directory() + "/" + name + ".vnk";
}
