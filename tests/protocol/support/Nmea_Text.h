// Builds NMEA sentences with their checksum for the parser tests.
#pragma once

#include <cstdio>
#include <string>

namespace nmea_test {

inline unsigned Checksum(const std::string& body) {
    unsigned x = 0;
    for (const char c : body) {
        x ^= static_cast<unsigned char>(c);
    }
    return x;
}

// "$" + body + "*hh" + line end.
inline std::string Sentence(const std::string& body, const char* eol = "\r\n") {
    char cs[4];
    std::snprintf(cs, sizeof(cs), "%02X", Checksum(body));
    return "$" + body + "*" + cs + eol;
}

}  // namespace nmea_test
