#pragma once

#include <string>

// configs/validcheck.vnk: maximum lengths of the texts the network and server pages accept.
// Loaded once; a file that does not open (missing, unreadable, other root) gets the built-in
// values first.
class ValidCheckConfig {
public:
    static ValidCheckConfig& instance();

    ValidCheckConfig();
    explicit ValidCheckConfig(const std::string& path);
    virtual ~ValidCheckConfig() = default;
    ValidCheckConfig(const ValidCheckConfig&) = default;
    ValidCheckConfig& operator=(const ValidCheckConfig&) = default;

    void apnLimits(int& accessPoint, int& dialNumber, int& user, int& password, int& total) const;
    void corsLimits(int& user, int& password, int& source, int& total) const;
    void serverLimits(int& name, int& baseId, int& address) const;

private:
    bool needsDefaults(const std::string& path) const;
    void writeDefaults(const std::string& path) const;
    void load(const std::string& path);

    int apnAccessPoint_ = 31;
    int apnDialNumber_ = 14;
    int apnUser_ = 32;
    int apnPassword_ = 16;
    int apnTotal_ = 48;
    int corsUser_ = 31;
    int corsPassword_ = 31;
    int corsSource_ = 31;
    int corsTotal_ = 49;
    int serverAddress_ = 31;
    int serverName_ = 64;
    int serverBaseId_ = 26;
};
