#include "Em_Crc.h"

#include <array>

namespace Brevan2011 {
namespace BVParse {

namespace {

// Both tables are built at compile time, so no thread ever sees a half-built one.
constexpr std::array<uint32_t, 256> Make_Crc32_Table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        }
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> Make_Crc24Q_Table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 16;
        for (int k = 0; k < 8; ++k) {
            c <<= 1;
            if (c & 0x1000000u) {
                c ^= 0x1864CFBu;
            }
        }
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrc32Table = Make_Crc32_Table();
constexpr std::array<uint32_t, 256> kCrc24QTable = Make_Crc24Q_Table();

}  // namespace

int Check_Crc32(const unsigned char* bytes, int length) {
    if (length <= 0) {
        return 1;
    }
    if (bytes == nullptr) {
        return 0;
    }
    uint32_t crc = 0;
    for (int i = 0; i < length; ++i) {
        crc = kCrc32Table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    }
    return crc == 0 ? 1 : 0;
}

uint32_t Calc_Crc24Q(const unsigned char* bytes, int length) {
    uint32_t crc = 0;
    if (bytes == nullptr) {
        return 0;
    }
    for (int i = 0; i < length; ++i) {
        crc = kCrc24QTable[(bytes[i] ^ (crc >> 16)) & 0xFFu] ^ ((crc & 0xFFFFu) << 8);
    }
    return crc & 0xFFFFFFu;
}

}  // namespace BVParse
}  // namespace Brevan2011
