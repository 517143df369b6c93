#pragma once

#include <string>
#include <utility>
#include <vector>

#include "jsettings.h"

namespace varnok_test {

// One device of a connectmethods.vnk fixture: name, value and its methods (name, value).
struct MethodsDevice {
    std::string name;
    int value;
    std::vector<std::pair<std::string, int>> methods;
};

// Writes a connectmethods.vnk listing only these devices (all offered).
inline void writeConnectMethods(const std::string& path,
                                const std::vector<MethodsDevice>& devices) {
    JSettings s(path, "connectmethods", JSettings::kOpenFile);
    s.beginWriteArray("devices", static_cast<int>(devices.size()));
    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        const MethodsDevice& d = devices[static_cast<std::size_t>(i)];
        s.setArrayIndex(i);
        s.setStringValue("device", d.name);
        s.setIntValue("data", d.value);
        s.setIntValue("supported", 1);
        s.beginWriteArray("methods", static_cast<int>(d.methods.size()));
        for (int j = 0; j < static_cast<int>(d.methods.size()); ++j) {
            s.setArrayIndex(j);
            s.setStringValue("name", d.methods[static_cast<std::size_t>(j)].first);
            s.setIntValue("method", d.methods[static_cast<std::size_t>(j)].second);
        }
        s.endArray();
    }
    s.endArray();
}

}  // namespace varnok_test
