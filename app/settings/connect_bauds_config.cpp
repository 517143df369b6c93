#include "connect_bauds_config.h"

#include "config_paths.h"
#include "jsettings.h"

namespace {
const char kRoot[] = "connectbauds";
const int kDefaultBauds[] = {9600, 19200, 38400, 57600, 115200};
constexpr int kDefaultPorts = 9;
}  // namespace

ConnectBaudsConfig::ConnectBaudsConfig()
    : ConnectBaudsConfig(ConfigPaths::filePath("connectbauds")) {}

ConnectBaudsConfig::ConnectBaudsConfig(const std::string& path) : path_(path) {
    if (needsDefaults()) {
        writeDefaults();
    }
    load();
}

bool ConnectBaudsConfig::needsDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int bauds = s.beginArray("bauds");
    s.endArray();
    const int ports = s.beginArray("ports");
    s.endArray();
    return bauds <= 0 || ports <= 0;
}

void ConnectBaudsConfig::writeDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginWriteArray("bauds", 5);
    for (int i = 0; i < 5; ++i) {
        s.setArrayIndex(i);
        s.setIntValue("baud", kDefaultBauds[i]);
    }
    s.endArray();
    s.beginWriteArray("ports", kDefaultPorts);
    for (int i = 0; i < kDefaultPorts; ++i) {
        s.setArrayIndex(i);
        s.setIntValue("port", i + 1);
    }
    s.endArray();
}

void ConnectBaudsConfig::load() {
    bauds_.clear();
    ports_.clear();
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int bauds = s.beginArray("bauds");
    for (int i = 0; i < bauds; ++i) {
        s.setArrayIndex(i);
        const int b = s.intValue("baud", -1);
        if (b > 0) {
            bauds_.append(b);
        }
    }
    s.endArray();
    const int ports = s.beginArray("ports");
    for (int i = 0; i < ports; ++i) {
        s.setArrayIndex(i);
        const int p = s.intValue("port", -1);
        if (p >= 0) {
            ports_.append(p);
        }
    }
    s.endArray();
}
