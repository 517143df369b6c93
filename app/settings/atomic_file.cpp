#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace AtomicFile {

namespace {

// Reads the umask without changing it: umask() would race with threads creating files.
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "Umask:") == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool write(const std::string& path, const std::string& bytes) {
    return write(path, bytes, -1);
}

bool write(const std::string& path, const std::string& bytes, int forcedMode) {
    if (path.empty() || path.back() == '/') {
        return false;
    }
    const std::string dir = directoryOf(path);
    std::string tmpl = dir + "/." + baseNameOf(path) + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');

    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    const std::string tmpPath(name.data());

    mode_t mode = 0666 & ~currentUmask();
    struct stat st;
    if (forcedMode >= 0) {
        mode = static_cast<mode_t>(forcedMode) & 07777;
    } else if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }

    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) {
        ok = false;
    }
    if (ok && ::rename(tmpPath.c_str(), path.c_str()) != 0) {
        ok = false;
    }
    if (!ok) {
        ::unlink(tmpPath.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here does not undo the replacement.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace AtomicFile
