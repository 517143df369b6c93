#pragma once

#include <string>

// Where the configs/*.vnk files live: "configs" beside the executable unless a directory was
// set (tests set one). The directory is created when missing.
class ConfigPaths {
public:
    static std::string directory();
    static void setDirectory(const std::string& dir);
    // "<directory>/<name>.vnk"
    static std::string filePath(const std::string& name);
};
