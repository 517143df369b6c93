#include "radio_channels_config.h"

#include <cmath>

#include "config_paths.h"
#include "jsettings.h"

namespace {

const char kRoot[] = "radio";
const char kArray[] = "channel";
constexpr int kRows = 10;

const double kHigh[kRows] = {0,      456.05, 456.55, 457.05, 458.05,
                             459.05, 460.05, 461.05, 462.05, 462.55};
const double kMiddle[kRows] = {0, 430.0, 432.5, 435.0, 437.5, 440.0, 442.5, 445.0, 447.5, 450.0};
const double kLow[kRows] = {0,      415.05, 416.05, 417.05, 418.05,
                            419.05, 420.05, 421.05, 422.05, 423.05};

}  // namespace

RadioChannelsConfig::RadioChannelsConfig()
    : RadioChannelsConfig(ConfigPaths::filePath("radiochannels")) {}

RadioChannelsConfig::RadioChannelsConfig(const std::string& path) : path_(path) {
    if (isEmpty()) {
        writeDefaults();
    }
}

bool RadioChannelsConfig::isEmpty() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kArray);
    s.endArray();
    return n < 1;
}

void RadioChannelsConfig::writeDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginWriteArray(kArray, kRows);
    for (int n = 0; n < kRows; ++n) {
        s.setArrayIndex(n);
        s.setIntValue("number", n);
        s.setDoubleValue("high", kHigh[n]);
        s.setDoubleValue("middle", kMiddle[n]);
        s.setDoubleValue("low", kLow[n]);
    }
    s.endArray();
}

void RadioChannelsConfig::writeDuplexDefaults() const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginWriteArray(kArray, kRows);
    for (int n = 0; n < kRows; ++n) {
        const double middle = n == 0 ? 0.0 : 430.0125 + 2.0 * (n - 1);
        const double columns[3] = {kHigh[n], middle, kLow[n]};
        s.setArrayIndex(n);
        s.setIntValue("number", n);
        for (int band = 0; band < 3; ++band) {
            s.setDoubleValue(columnName(band, 0), columns[band]);
            s.setDoubleValue(columnName(band, 1), columns[band]);
        }
    }
    s.endArray();
}

std::string RadioChannelsConfig::tableName(int band) {
    switch (band) {
        case 0:
            return "high";
        case 1:
            return "middle";
        case 2:
            return "low";
        default:
            return std::string();
    }
}

std::string RadioChannelsConfig::columnName(int band, int direction) {
    // Joined with '_': a space would make an element name the saved file could not parse.
    const std::string table = tableName(band);
    if (table.empty()) {
        return table;
    }
    if (direction == 0) {
        return table + "_receive";
    }
    if (direction == 1) {
        return table + "_send";
    }
    return table;
}

int RadioChannelsConfig::bandOfType(int radioType) {
    switch (radioType) {
        case 1:
        case 3:
        case 6:
        case 7:
            return 0;
        case 5:
            return 1;
        case 2:
        case 4:
            return 2;
        case 8:
            return 3;
        default:
            return 4;
    }
}

int RadioChannelsConfig::bandOfFrequency(double mhz, int radioType) {
    if (radioType != 8) {
        return radioType >= 1 && radioType <= 8 ? bandOfType(radioType) : 4;
    }
    if (mhz >= 410.0 && mhz <= 430.0) {
        return 2;
    }
    if (mhz > 430.0 && mhz <= 450.0) {
        return 1;
    }
    return 0;
}

void RadioChannelsConfig::loadNamed(const std::string& column, std::vector<double>& out) const {
    out.clear();
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kArray);
    double previous = 0.0;
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        previous = s.doubleValue(column, previous);
        out.push_back(previous);
    }
    s.endArray();
}

void RadioChannelsConfig::load(int band, std::vector<double>& out) const {
    loadNamed(tableName(band), out);
}

void RadioChannelsConfig::loadColumn(int band, int direction, std::vector<double>& out) const {
    loadNamed(columnName(band, direction), out);
}

int RadioChannelsConfig::indexOfFrequency(double mhz) const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    const int n = s.beginArray(kArray);
    double previous = 0.0;
    int found = -1;
    for (int i = 0; i < n && found < 0; ++i) {
        s.setArrayIndex(i);
        for (int band = 0; band < 3 && found < 0; ++band) {
            previous = s.doubleValue(tableName(band), previous);
            if (std::fabs(previous - mhz) < 1e-10) {
                found = i;
            }
        }
    }
    s.endArray();
    return found < 0 ? 0 : found;
}
