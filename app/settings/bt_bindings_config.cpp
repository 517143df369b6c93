#include "bt_bindings_config.h"

#include "config_paths.h"
#include "jsettings.h"
#include "qt_text.h"

namespace {

const char kRoot[] = "btbindings";
const char kGroup[] = "btbind";
const char kArray[] = "devices";

// Unsigned decimal: leading white space, then digits; anything else gives 0.
quint64 parseAddress(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    quint64 value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const quint64 digit = static_cast<quint64>(text[i] - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            return 0;
        }
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

BtBindingsConfig::BtBindingsConfig() : BtBindingsConfig(ConfigPaths::filePath("btbindings")) {}

BtBindingsConfig::BtBindingsConfig(const std::string& path) : path_(path) {}

void BtBindingsConfig::load(QStringList& names, QList<quint64>& addresses) const {
    names.clear();
    addresses.clear();
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginGroup(kGroup);
    const int n = s.beginArray(kArray);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        names.append(fromUtf8String(s.stringValue("name")));
        addresses.append(parseAddress(s.stringValue("address")));
    }
    s.endArray();
    s.endGroup();
}

void BtBindingsConfig::save(const QStringList& names, const QList<quint64>& addresses) const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginGroup(kGroup);
    s.beginWriteArray(kArray, static_cast<int>(addresses.size()));
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        s.setArrayIndex(static_cast<int>(i));
        s.setStringValue("address", std::to_string(addresses[i]));
        s.setStringValue("name", i < names.size() ? toUtf8String(names[i]) : std::string());
    }
    s.endArray();
    s.endGroup();
}
