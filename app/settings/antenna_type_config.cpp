#include "antenna_type_config.h"

#include "config_paths.h"
#include "jsettings.h"
#include "qt_text.h"

namespace {

const char kRoot[] = "antennatype";
const char kArray[] = "antenna";

struct DefaultAntenna {
    const char* name;
    int index;
};

const DefaultAntenna kDefaults[] = {
    {"K45", 28},   {"K33", 27},    {"P53D-OPUS", 5}, {"P62B", 6},      {"P62N", 34},  {"P62R", 7},
    {"P62+S", 16}, {"P74", 17},    {"P74N", 35},     {"P315B", 3},     {"P315R", 4},  {"P315N", 31},
    {"P26", 29},   {"P29", 38},    {"P47", 30},      {"W2", 18},       {"W3", 19},    {"W3N", 32},
    {"W4", 20},    {"W4N", 36},    {"W5", 21},       {"W5N", 37},      {"W6", 39},    {"L814", 22},
    {"L814T", 23}, {"L814TN", 33}, {"L814V", 24},    {"L7", 40},       {"E370GR", 2}, {"H250", 9},
    {"H260G", 25}, {"H370GR", 14}, {"H450GNSS", 1},  {"H650-OLD", 26},
};

// Index to code: a 16-character name filled with spaces and a 4-character radome, or a short
// name.
const char* const kCodes[41] = {
    "Unknown",
    "ZORH450GNSS     NONE",
    "ZORE370GR       ZORD",
    "ZORP315B        NONE",
    "ZORP315R        NONE",
    "ZORP53D-OPUS    NONE",
    "ZORP62B         NONE",
    "ZORP62R         NONE",
    "Unknown",
    "ZOR H250",
    "ZORP53D-OPUS    NONE",
    "ZORP62B         NONE",
    "Unknown",
    "Unknown",
    "ZORH370GR       NONE",
    "ZORE370GR       NONE",
    "ZORP62+S        NONE",
    "ZORP74",
    "ZOR-W2",
    "ZOR-W3",
    "ZOR-W4",
    "ZOR-W5",
    "ZOR-L814",
    "ZOR-L814T",
    "ZOR-L814V",
    "ZOR-H260G",
    "ZOR-H650-OLD",
    "ZORK33",
    "ZORK45",
    "ZORP26",
    "ZORP47",
    "ZORP315N",
    "ZORW3N",
    "ZORL814TN",
    "ZORP62N",
    "ZORP74N",
    "ZORW4N",
    "ZORW5N",
    "ZORP29",
    "ZORW6",
    "ZORL7",
};

}  // namespace

AntennaTypeConfig::AntennaTypeConfig() : AntennaTypeConfig(ConfigPaths::filePath("antennatype")) {}

AntennaTypeConfig::AntennaTypeConfig(const std::string& path) : path_(path) {
    if (needsDefaults()) {
        writeDefaults();
    }
}

bool AntennaTypeConfig::needsDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kArray);
    s.endArray();
    return n < 1;
}

void AntennaTypeConfig::writeDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int count = static_cast<int>(sizeof(kDefaults) / sizeof(kDefaults[0]));
    s.beginWriteArray(kArray, count);
    for (int i = 0; i < count; ++i) {
        s.setArrayIndex(i);
        s.setStringValue("type", kDefaults[i].name);
        s.setIntValue("data", kDefaults[i].index);
    }
    s.endArray();
}

void AntennaTypeConfig::load(QStringList& names, QList<int>& indexes) const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kArray);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        const QString name = fromUtf8String(s.stringValue("type"));
        if (!name.isEmpty()) {
            names.append(name);
            indexes.append(s.intValue("data", 0));
        }
    }
    s.endArray();
}

QString AntennaTypeConfig::antennaCode(int index) {
    if (index < 0 || index > 40) {
        return QString();
    }
    return QString::fromLatin1(kCodes[index]);
}
