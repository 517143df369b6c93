#pragma once

#include <string>

struct ProgramLayout;

// Where the configs/*.vnk files live: the settings folder of the program's layout (configs/
// beside a program in its build folder, the user's XDG folder for an installed one) unless a
// directory was set (tests set one). The folder is created (mode 0700) when missing.
class ConfigPaths {
public:
    static std::string directory();
    static void setDirectory(const std::string& dir);
    // "<directory>/<name>.vnk"
    static std::string filePath(const std::string& name);
    // A file the program ships (radioconfig.vnk): beside the settings in a build folder, in the
    // data folder of an installed program.
    static std::string shippedFilePath(const std::string& name);
    // True for a path in an installed program's shipped configs folder: such a file is read,
    // never written back.
    static bool isShipped(const std::string& path);
    // Decide as that layout says instead of this process's (tests).
    static void setLayout(const ProgramLayout& layout);
};
