#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A fresh directory under /tmp, removed with its files when the test ends.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/varnok_settings_XXXXXX";
        const char* made = ::mkdtemp(name);
        path_ = made != nullptr ? made : "";
    }
    ~TempDir() { removeTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(path_.c_str())) {
            while (dirent* e = ::readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..") {
                    names.push_back(n);
                }
            }
            ::closedir(d);
        }
        return names;
    }

private:
    static void removeTree(const std::string& path) {
        if (path.empty()) {
            return;
        }
        if (DIR* d = ::opendir(path.c_str())) {
            while (dirent* e = ::readdir(d)) {
                std::string n = e->d_name;
                if (n == "." || n == "..") {
                    continue;
                }
                std::string child = path + "/" + n;
                struct stat st;
                if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                    removeTree(child);
                } else {
                    ::unlink(child.c_str());
                }
            }
            ::closedir(d);
        }
        ::rmdir(path.c_str());
    }

    std::string path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

inline std::string fixturePath(const std::string& name) {
    return std::string(VARNOK_FIXTURES_DIR) + "/settings/" + name;
}

// The layout every saved file starts with.
inline std::string savedHeader() {
    return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
}
