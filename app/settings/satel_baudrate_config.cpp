#include "satel_baudrate_config.h"

#include "config_paths.h"
#include "jsettings.h"

namespace {

const char kRoot[] = "baudrate";
const char kSteps[] = "steparray";
const char kProtocols[] = "protocolarray";

const int kDefaultProtocols[4] = {5, 6, 8, 9};
const int kDefaultBauds[3][4] = {{1, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 2, 2}};

}  // namespace

SatelBaudrateConfig::SatelBaudrateConfig()
    : SatelBaudrateConfig(ConfigPaths::filePath("satelbaudrate")) {}

SatelBaudrateConfig::SatelBaudrateConfig(const std::string& path) : path_(path) {
    if (isEmpty()) {
        writeDefaults();
    }
}

bool SatelBaudrateConfig::isEmpty() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kSteps);
    s.endArray();
    return n < 1;
}

void SatelBaudrateConfig::writeDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginWriteArray(kSteps, 3);
    for (int i = 0; i < 3; ++i) {
        s.setArrayIndex(i);
        s.setIntValue("step", i);
        s.beginWriteArray(kProtocols, 4);
        for (int j = 0; j < 4; ++j) {
            s.setArrayIndex(j);
            s.setIntValue("protocol", kDefaultProtocols[j]);
            s.setIntValue("baud", kDefaultBauds[i][j]);
        }
        s.endArray();
    }
    s.endArray();
}

void SatelBaudrateConfig::lookup(int step, int protocol, int& baud) const {
    baud = -1;
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kSteps);
    int stepCode = 0;
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        stepCode = s.intValue("step", stepCode);
        if (stepCode != step) {
            continue;
        }
        const int m = s.beginArray(kProtocols);
        int protocolCode = 0;
        for (int j = 0; j < m; ++j) {
            s.setArrayIndex(j);
            protocolCode = s.intValue("protocol", protocolCode);
            if (protocolCode == protocol) {
                baud = s.intValue("baud", baud);
            }
        }
        s.endArray();
    }
    s.endArray();
}
