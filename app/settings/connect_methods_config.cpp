#include "connect_methods_config.h"

#include "config_paths.h"
#include "jsettings.h"
#include "qt_text.h"

namespace {

const char kRoot[] = "connectmethods";

struct DefaultMethod {
    const char* name;
    int code;
};

struct DefaultDevice {
    const char* name;
    int code;
    int supported;
    int methodCount;
    DefaultMethod methods[4];
};

const DefaultDevice kDevices[] = {
    {"Pocket GNSS", 1, 1, 4, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"WIFI", 2}}},
    {"P47 Series", 2, 1, 3, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"", 0}}},
    {"D38K Series", 3, 0, 4, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"Server", 102}}},
    {"Survey RTK", 0, 1, 3, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"", 0}}},
    {"P62+/P315+", 4, 0, 3, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"", 0}}},
    {"Marine RTK", 5, 0, 3, {{"Port", 0}, {"ZOR BT", 1}, {"Sys. BT", 101}, {"", 0}}},
};

const char* const kDefaultChannels[] = {"192.168.1.1", "192.168.200.1"};

}  // namespace

ConnectMethodsConfig& ConnectMethodsConfig::instance() {
    static ConnectMethodsConfig config;
    return config;
}

ConnectMethodsConfig::ConnectMethodsConfig()
    : ConnectMethodsConfig(ConfigPaths::filePath("connectmethods")) {}

ConnectMethodsConfig::ConnectMethodsConfig(const std::string& path) : path_(path) {
    if (needsDefaults()) {
        writeDefaults();
    }
    load();
}

bool ConnectMethodsConfig::needsDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray("devices");
    s.endArray();
    return n < 1;
}

void ConnectMethodsConfig::writeDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int count = static_cast<int>(sizeof(kDevices) / sizeof(kDevices[0]));
    s.beginWriteArray("devices", count);
    for (int i = 0; i < count; ++i) {
        const DefaultDevice& d = kDevices[i];
        s.setArrayIndex(i);
        s.setStringValue("device", d.name);
        s.setIntValue("data", d.code);
        s.setIntValue("supported", d.supported);
        s.beginWriteArray("methods", d.methodCount);
        for (int j = 0; j < d.methodCount; ++j) {
            s.setArrayIndex(j);
            s.setStringValue("name", d.methods[j].name);
            s.setIntValue("method", d.methods[j].code);
        }
        s.endArray();
    }
    s.endArray();
    s.beginGroup("K45");
    s.beginWriteArray("channels", 2);
    for (int i = 0; i < 2; ++i) {
        s.setArrayIndex(i);
        s.setStringValue("channel", kDefaultChannels[i]);
    }
    s.endArray();
    s.endGroup();
}

void ConnectMethodsConfig::load() {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray("devices");
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        const QString name = fromUtf8String(s.stringValue("device"));
        const bool supported = s.intValue("supported", 0) != 0;
        const int code = s.intValue("data", -1);
        if (!name.isEmpty() && supported) {
            deviceNames_.append(name);
            deviceCodes_.append(code);
        }
        QStringList names;
        QList<int> codes;
        const int m = s.beginArray("methods");
        for (int j = 0; j < m; ++j) {
            s.setArrayIndex(j);
            const QString method = fromUtf8String(s.stringValue("name"));
            if (!method.isEmpty()) {
                names.append(method);
                codes.append(s.intValue("method", 0));
            }
        }
        s.endArray();
        methodNames_.insert(code, names);
        methodCodes_.insert(code, codes);
    }
    s.endArray();

    wifiAddresses_.clear();
    s.beginGroup("K45");
    const int channels = s.beginArray("channels");
    for (int i = 0; i < channels; ++i) {
        s.setArrayIndex(i);
        const QString address = fromUtf8String(s.stringValue("channel"));
        if (!address.isEmpty()) {
            wifiAddresses_.append(address);
        }
    }
    s.endArray();
    s.endGroup();
}

void ConnectMethodsConfig::devices(QStringList& names, QList<int>& codes) const {
    names = deviceNames_;
    codes = deviceCodes_;
}

void ConnectMethodsConfig::methodsOf(int code, QStringList& names, QList<int>& codes) {
    names = methodNames_[code];
    codes = methodCodes_[code];
}

void ConnectMethodsConfig::channels(QStringList& addresses) const {
    if (wifiAddresses_.isEmpty()) {
        for (const char* a : kDefaultChannels) {
            addresses.append(QString::fromLatin1(a));
        }
        return;
    }
    addresses = wifiAddresses_;
}
