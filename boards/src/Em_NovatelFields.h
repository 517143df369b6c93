// The NovAtel logs' names for the little-endian readers of Em_ByteFields.h, and a bounded
// LSB-first bit reader for the packed range records.
#pragma once

#include <cstdint>
#include <cstring>

#include "Em_ByteFields.h"

namespace Brevan2011 {
namespace BVParse {
namespace Novatel {

inline uint16_t U16(const unsigned char* p) {
    return Le_U16(p);
}
inline uint32_t U32(const unsigned char* p) {
    return Le_U32(p);
}
inline int32_t I32(const unsigned char* p) {
    return Le_I32(p);
}
inline uint64_t U64(const unsigned char* p) {
    return Le_U64(p);
}
inline float F32(const unsigned char* p) {
    return Le_F32(p);
}
inline double F64(const unsigned char* p) {
    return Le_F64(p);
}

// Bit fields numbered from bit 0 = least significant bit of byte 0, as the packed NovAtel
// records number them. A field reaching past the end reads as 0 and marks the reader failed.
class LsbBitReader {
public:
    LsbBitReader(const unsigned char* data, int bytes) : m_data(data), m_bits(bytes * 8) {}

    uint64_t U(int pos, int len) {
        if (m_data == nullptr || pos < 0 || len <= 0 || len > 64 || pos + len > m_bits) {
            m_failed = true;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < len;) {
            const int bit = pos + i;
            const int off = bit & 7;
            int take = 8 - off;
            if (take > len - i) {
                take = len - i;
            }
            const uint64_t chunk = (m_data[bit >> 3] >> off) & ((1u << take) - 1u);
            v |= chunk << i;
            i += take;
        }
        return v;
    }
    int64_t S(int pos, int len) {
        const uint64_t u = U(pos, len);
        if (len >= 64 || len <= 0) {
            return static_cast<int64_t>(u);
        }
        const uint64_t sign = uint64_t(1) << (len - 1);
        return static_cast<int64_t>((u ^ sign) - sign);
    }
    bool Ok() const { return !m_failed; }

private:
    const unsigned char* m_data;
    int m_bits;
    bool m_failed = false;
};

}  // namespace Novatel
}  // namespace BVParse
}  // namespace Brevan2011
