#include "valid_check_config.h"

#include "config_paths.h"
#include "jsettings.h"

namespace {
const char kRoot[] = "validcheck";
const char kGroup[] = "lengthcheck";
}  // namespace

ValidCheckConfig& ValidCheckConfig::instance() {
    static ValidCheckConfig config;
    return config;
}

ValidCheckConfig::ValidCheckConfig() : ValidCheckConfig(ConfigPaths::filePath("validcheck")) {}

ValidCheckConfig::ValidCheckConfig(const std::string& path) {
    if (needsDefaults(path)) {
        writeDefaults(path);
    }
    load(path);
}

bool ValidCheckConfig::needsDefaults(const std::string& path) const {
    JSettings s;
    return s.open(path, kRoot) != 0;
}

void ValidCheckConfig::writeDefaults(const std::string& path) const {
    JSettings s(path, kRoot, JSettings::kOpenFile);
    s.beginGroup(kGroup);
    s.beginGroup("server");
    s.setIntValue("name", 64);
    s.setIntValue("address", 31);
    s.setIntValue("baseid", 26);
    s.endGroup();
    s.beginGroup("apn");
    s.setIntValue("accesspoint", 31);
    s.setIntValue("user", 32);
    s.setIntValue("password", 16);
    s.setIntValue("dialnumber", 14);
    s.setIntValue("total", 48);
    s.endGroup();
    s.beginGroup("cors");
    s.setIntValue("user", 31);
    s.setIntValue("password", 31);
    s.setIntValue("source", 31);
    s.setIntValue("total", 49);
    s.endGroup();
    s.endGroup();
}

void ValidCheckConfig::load(const std::string& path) {
    JSettings s(path, kRoot, JSettings::kOpenFile);
    s.beginGroup(kGroup);
    s.beginGroup("server");
    serverName_ = s.intValue("name", 64);
    serverAddress_ = s.intValue("address", 31);
    serverBaseId_ = s.intValue("baseid", 26);
    s.endGroup();
    s.beginGroup("apn");
    apnAccessPoint_ = s.intValue("accesspoint", 31);
    apnUser_ = s.intValue("user", 32);
    apnPassword_ = s.intValue("password", 16);
    apnDialNumber_ = s.intValue("dialnumber", 14);
    apnTotal_ = s.intValue("total", 48);
    s.endGroup();
    s.beginGroup("cors");
    corsUser_ = s.intValue("user", 31);
    corsPassword_ = s.intValue("password", 31);
    corsSource_ = s.intValue("source", 31);
    corsTotal_ = s.intValue("total", 49);
    s.endGroup();
    s.endGroup();
}

void ValidCheckConfig::apnLimits(int& accessPoint, int& dialNumber, int& user, int& password,
                                 int& total) const {
    accessPoint = apnAccessPoint_;
    dialNumber = apnDialNumber_;
    user = apnUser_;
    password = apnPassword_;
    total = apnTotal_;
}

void ValidCheckConfig::corsLimits(int& user, int& password, int& source, int& total) const {
    user = corsUser_;
    password = corsPassword_;
    source = corsSource_;
    total = corsTotal_;
}

void ValidCheckConfig::serverLimits(int& name, int& baseId, int& address) const {
    name = serverName_;
    baseId = serverBaseId_;
    address = serverAddress_;
}
