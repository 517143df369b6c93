#include "program_layout.h"

#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#ifndef VARNOK_INSTALL_BINDIR
#define VARNOK_INSTALL_BINDIR "bin"
#endif
#ifndef VARNOK_INSTALL_DATADIR
#define VARNOK_INSTALL_DATADIR "share"
#endif

namespace {

std::string withoutTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string environmentValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// An XDG base folder: the variable when it is an absolute path (relative ones are invalid and
// ignored), else the default under the home folder.
std::string baseFolder(const std::string& value, const std::string& home, const char* fallback) {
    if (!value.empty() && value.front() == '/') {
        return withoutTrailingSlashes(value);
    }
    const std::string h = withoutTrailingSlashes(home);
    return (h == "/" ? std::string() : h) + "/" + fallback;
}

// <prefix> when dir is <prefix>/<bindir>, else "".
std::string prefixOfBinDir(const std::string& dir) {
    const std::string bindir = withoutTrailingSlashes(VARNOK_INSTALL_BINDIR);
    if (!bindir.empty() && bindir.front() == '/') {
        // An absolute bindir: only that folder counts; the data folder is then absolute too.
        return dir == bindir ? std::string("/") : std::string();
    }
    const std::string tail = "/" + bindir;
    if (dir.size() <= tail.size() ||
        dir.compare(dir.size() - tail.size(), tail.size(), tail) != 0) {
        return std::string();
    }
    return dir.substr(0, dir.size() - tail.size());
}

std::string dataRootOf(const std::string& prefix) {
    const std::string datadir = VARNOK_INSTALL_DATADIR;
    if (!datadir.empty() && datadir.front() == '/') {
        return withoutTrailingSlashes(datadir);
    }
    return (prefix == "/" ? std::string() : prefix) + "/" + datadir;
}

}  // namespace

ProgramLayout::Environment ProgramLayout::Environment::current() {
    Environment env;
    env.home = environmentValue("HOME");
    if (env.home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) {
            env.home = pw->pw_dir ? pw->pw_dir : "";
        }
    }
    env.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
    env.xdgStateHome = environmentValue("XDG_STATE_HOME");
    return env;
}

ProgramLayout ProgramLayout::decide(const std::string& executableDir, const Environment& env) {
    const std::string exeDir = withoutTrailingSlashes(executableDir);
    ProgramLayout layout;
    const std::string prefix = prefixOfBinDir(exeDir);
    if (!prefix.empty()) {
        const std::string dataRoot = dataRootOf(prefix);
        if (isDirectory(dataRoot + "/varnok")) {
            layout.installed = true;
            layout.dataDir = dataRoot + "/varnok";
            layout.iconFile = dataRoot + "/icons/hicolor/64x64/apps/varnok.png";
            layout.configDir =
                baseFolder(env.xdgConfigHome, env.home, ".config") + "/varnok/configs";
            layout.logDir = baseFolder(env.xdgStateHome, env.home, ".local/state") + "/varnok";
            return layout;
        }
    }
    const std::string base = exeDir == "/" ? std::string() : exeDir;
    layout.dataDir = exeDir;
    layout.configDir = base + "/configs";
    layout.iconFile = base + "/Resources/Images/varnok.png";
    layout.logDir = exeDir;
    return layout;
}

const ProgramLayout& ProgramLayout::current() {
    static const ProgramLayout layout = decide(executableDirectory(), Environment::current());
    return layout;
}

std::string ProgramLayout::executableDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) {
        return ".";
    }
    const std::string exe(buf, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

bool ProgramLayout::makeDirectory(const std::string& dir, unsigned mode) {
    if (dir.empty()) {
        return false;
    }
    if (isDirectory(dir)) {
        return true;
    }
    const size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        makeDirectory(dir.substr(0, slash), mode);
    }
    if (::mkdir(dir.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
        return false;
    }
    return isDirectory(dir);
}
