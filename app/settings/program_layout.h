#pragma once

#include <string>

// Where the program's files live. A program run from its build folder keeps everything beside
// itself: configs/, translates/, Resources/Images/varnok.png and its logs. An installed
// program (its binary in <prefix>/bin, its data in <prefix>/share/varnok) reads what it ships
// from the data folder and keeps the user's settings and logs in the user's XDG folders.
struct ProgramLayout {
    // The parts of the environment the decision reads.
    struct Environment {
        std::string home;
        std::string xdgConfigHome;
        std::string xdgStateHome;
        // HOME (else the password database), XDG_CONFIG_HOME and XDG_STATE_HOME.
        static Environment current();
    };

    bool installed = false;
    // The settings the program writes: configs/*.vnk.
    std::string configDir;
    // Read-only files shipped with the program: configs/ (radioconfig.vnk) and translates/.
    std::string dataDir;
    std::string iconFile;
    std::string logDir;

    // The one decision between build folder and installed program. Installed: executableDir
    // is <prefix>/bin and <prefix>/share/varnok exists.
    static ProgramLayout decide(const std::string& executableDir, const Environment& env);
    // This process's layout, decided on first use from /proc/self/exe and the environment.
    static const ProgramLayout& current();
    static std::string executableDirectory();

    // Creates dir and any missing parent with the given mode; true when it exists afterwards.
    static bool makeDirectory(const std::string& dir, unsigned mode);
};
