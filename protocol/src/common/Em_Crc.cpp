#include "Em_Crc.h"

#include <array>
#include <cstddef>

namespace Brevan2011 {
namespace BVParse {

namespace {

// All tables are built at compile time, so no thread ever sees a half-built one. Eight tables
// per check let the loops take eight bytes a step (slicing-by-8).
using Crc_Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Crc_Tables Make_Crc32_Tables() {
    Crc_Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        }
        t[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k) {
        for (uint32_t i = 0; i < 256; ++i) {
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
        }
    }
    return t;
}

// CRC-24Q kept in the top 24 bits of a 32-bit register, so the steps are those of an
// unreflected 32-bit CRC.
constexpr uint32_t kCrc24QPoly = 0x864CFBu << 8;

constexpr Crc_Tables Make_Crc24Q_Tables() {
    Crc_Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int k = 0; k < 8; ++k) {
            c = (c & 0x80000000u) ? ((c << 1) ^ kCrc24QPoly) : (c << 1);
        }
        t[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k) {
        for (uint32_t i = 0; i < 256; ++i) {
            t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
        }
    }
    return t;
}

constexpr Crc_Tables kCrc32 = Make_Crc32_Tables();
constexpr Crc_Tables kCrc24Q = Make_Crc24Q_Tables();

uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t Be32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

}  // namespace

int Check_Crc32(const unsigned char* bytes, int length) {
    if (length <= 0) {
        return 1;
    }
    if (bytes == nullptr) {
        return 0;
    }
    uint32_t crc = 0;
    int i = 0;
    for (; i + 8 <= length; i += 8) {
        const uint32_t a = crc ^ Le32(bytes + i);
        const uint32_t b = Le32(bytes + i + 4);
        crc = kCrc32[7][a & 0xFFu] ^ kCrc32[6][(a >> 8) & 0xFFu] ^ kCrc32[5][(a >> 16) & 0xFFu] ^
              kCrc32[4][a >> 24] ^ kCrc32[3][b & 0xFFu] ^ kCrc32[2][(b >> 8) & 0xFFu] ^
              kCrc32[1][(b >> 16) & 0xFFu] ^ kCrc32[0][b >> 24];
    }
    for (; i < length; ++i) {
        crc = kCrc32[0][(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    }
    return crc == 0 ? 1 : 0;
}

uint32_t Calc_Crc24Q(const unsigned char* bytes, int length) {
    uint32_t crc = 0;
    if (bytes == nullptr) {
        return 0;
    }
    int i = 0;
    for (; i + 8 <= length; i += 8) {
        const uint32_t a = crc ^ Be32(bytes + i);
        const uint32_t b = Be32(bytes + i + 4);
        crc = kCrc24Q[7][a >> 24] ^ kCrc24Q[6][(a >> 16) & 0xFFu] ^ kCrc24Q[5][(a >> 8) & 0xFFu] ^
              kCrc24Q[4][a & 0xFFu] ^ kCrc24Q[3][b >> 24] ^ kCrc24Q[2][(b >> 16) & 0xFFu] ^
              kCrc24Q[1][(b >> 8) & 0xFFu] ^ kCrc24Q[0][b & 0xFFu];
    }
    for (; i < length; ++i) {
        crc = (crc << 8) ^ kCrc24Q[0][(crc >> 24) ^ bytes[i]];
    }
    return crc >> 8;
}

}  // namespace BVParse
}  // namespace Brevan2011
