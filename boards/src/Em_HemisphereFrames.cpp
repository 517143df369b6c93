#include "Em_HemisphereFrames.h"

#include <cstring>

#include "Em_ByteFields.h"

namespace Brevan2011 {
namespace BVParse {

int Hemisphere_Frame_Length(const unsigned char* p, int n) {
    if (p == nullptr || n < 4) {
        return 0;
    }
    if (std::memcmp(p, "$BIN", 4) != 0) {
        return -1;
    }
    if (n < 8) {
        return 0;
    }
    const int len = Le_U16(p + 6);
    if (len > kHemisphereMaxData) {
        return -1;
    }
    const int total = len + 12;
    if (n < total) {
        return 0;
    }
    if (p[total - 2] != '\r' || p[total - 1] != '\n') {
        return -1;
    }
    uint16_t sum = 0;
    for (int i = 0; i < len; ++i) {
        sum = static_cast<uint16_t>(sum + p[8 + i]);
    }
    return sum == Le_U16(p + 8 + len) ? total : -1;
}

int Hemisphere_Line_Length(const unsigned char* p, int n, int limit) {
    const int end = n < limit ? n : limit;
    for (int i = 1; i + 1 < end; ++i) {
        if (p[i] == '\r' && p[i + 1] == '\n') {
            return i + 2;
        }
    }
    return n < limit ? 0 : -1;
}

int Hemisphere_Last_Number(std::string_view line) {
    const std::size_t cr = line.find('\r');
    if (cr != std::string_view::npos) {
        line = line.substr(0, cr);
    }
    const std::size_t comma = line.rfind(',');
    if (comma == std::string_view::npos) {
        return -1;
    }
    int v = 0;
    bool any = false;
    for (std::size_t i = comma + 1; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        any = true;
        v = v * 10 + (line[i] - '0');
        if (v > 100000) {
            return -1;
        }
    }
    return any ? v : -1;
}

}  // namespace BVParse
}  // namespace Brevan2011
