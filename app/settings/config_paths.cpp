#include "config_paths.h"

#include <mutex>
#include <optional>

#include "program_layout.h"

namespace {

std::mutex& pathMutex() {
    static std::mutex m;
    return m;
}

std::string& configuredDirectory() {
    static std::string dir;
    return dir;
}

std::optional<ProgramLayout>& layoutOverride() {
    static std::optional<ProgramLayout> layout;
    return layout;
}

// Under pathMutex.
const ProgramLayout& layout() {
    return layoutOverride() ? *layoutOverride() : ProgramLayout::current();
}

std::string shippedDirectory() {
    {
        std::lock_guard<std::mutex> lock(pathMutex());
        if (layout().installed) {
            return layout().dataDir + "/configs";
        }
    }
    return ConfigPaths::directory();
}

}  // namespace

std::string ConfigPaths::directory() {
    std::string dir;
    {
        std::lock_guard<std::mutex> lock(pathMutex());
        if (configuredDirectory().empty()) {
            configuredDirectory() = layout().configDir;
        }
        dir = configuredDirectory();
    }
    // Settings may hold credentials: the folder is the user's alone. Failure shows later as a
    // file that cannot be written; the stores then use defaults.
    ProgramLayout::makeDirectory(dir, 0700);
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

std::string ConfigPaths::shippedFilePath(const std::string& name) {
    return shippedDirectory() + "/" + name + ".vnk";
}

bool ConfigPaths::isShipped(const std::string& path) {
    std::lock_guard<std::mutex> lock(pathMutex());
    if (!layout().installed) {
        return false;
    }
    const std::string dir = layout().dataDir + "/configs/";
    return path.compare(0, dir.size(), dir) == 0;
}

void ConfigPaths::setLayout(const ProgramLayout& l) {
    std::lock_guard<std::mutex> lock(pathMutex());
    layoutOverride() = l;
    configuredDirectory().clear();
}
