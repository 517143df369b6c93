#include "settings_text.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>

namespace SettingsText {

namespace {

locale_t cLocale() {
    // Created once and never freed: strtod_l needs it for the whole run.
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

bool isTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameStart(unsigned char c) {
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

bool isNameChar(unsigned char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

}  // namespace

std::string formatDouble(double value) {
    // Fixed notation of DBL_MAX takes 309 digits plus sign, point and 16 decimals.
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, 16);
    if (res.ec != std::errc()) {
        return "0.0000000000000000";
    }
    return std::string(buf, res.ptr);
}

double parseDouble(const std::string& text) {
    locale_t loc = cLocale();
    if (loc == static_cast<locale_t>(nullptr)) {
        return 0.0;
    }
    char* end = nullptr;
    double v = strtod_l(text.c_str(), &end, loc);
    if (end == text.c_str()) {
        return 0.0;
    }
    return v;
}

int32_t parseInt32(const std::string& text) {
    // strtoll: no digits give 0, overflow saturates; the result is then held to the 32-bit range,
    // so a value too large for the settings' int fields reads as the nearest one that fits.
    errno = 0;
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > INT32_MAX) {
        return INT32_MAX;
    }
    if (v < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(v);
}

std::string trim(const std::string& text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && isTrimmed(text[b])) {
        ++b;
    }
    while (e > b && isTrimmed(text[e - 1])) {
        --e;
    }
    return text.substr(b, e - b);
}

std::vector<std::string> splitKey(const std::string& key) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t slash = key.find('/', start);
        if (slash == std::string::npos) {
            parts.push_back(trim(key.substr(start)));
            break;
        }
        parts.push_back(trim(key.substr(start, slash - start)));
        start = slash + 1;
    }
    return parts;
}

bool isXmlName(const std::string& name) {
    if (name.empty() || !isNameStart(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    for (char c : name) {
        if (!isNameChar(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace SettingsText
