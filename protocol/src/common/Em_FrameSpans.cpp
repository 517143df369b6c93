#include "Em_FrameSpans.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Em_Crc.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

int Hex_Digit(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

struct Nmea_Stops {
    bool stop[256];
    constexpr Nmea_Stops() : stop() {
        stop[static_cast<unsigned char>('\n')] = true;
        stop[static_cast<unsigned char>('\r')] = true;
        stop[static_cast<unsigned char>('$')] = true;
        stop[static_cast<unsigned char>('*')] = true;
    }
};
constexpr Nmea_Stops kNmeaStops;

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

// Whether any byte of w equals c (exact: the borrow trick has no false negatives).
inline uint64_t Has_Byte(uint64_t w, unsigned char c) {
    const uint64_t v = w ^ (kOnes * c);
    return (v - kOnes) & ~v & kHighs;
}

// Whether the "*hh" at p[star] matches x, the XOR of the sentence between '$' and '*'.
bool Checksum_Matches(const unsigned char* p, int star, int end, unsigned char x) {
    if (star + 2 >= end) {
        return false;
    }
    const int hi = Hex_Digit(p[star + 1]);
    const int lo = Hex_Digit(p[star + 2]);
    if (hi < 0 || lo < 0) {
        return false;
    }
    return x == ((hi << 4) | lo);
}

}  // namespace

Nmea_Span Scan_Nmea_Sentence(const unsigned char* p, int n, bool wait_at_end) {
    const int limit = n < Nmea_Span::kMaxLength ? n : Nmea_Span::kMaxLength;
    int star = -1;
    int end = 0;
    unsigned char x = 0;  // of the bytes before the '*', taken in the same pass
    int i = 1;
    // The run up to the first byte that ends, cuts or checks the sentence: sixteen or eight
    // bytes at a time while none of them stops it, then byte by byte.
    uint64_t wide = 0;
#if defined(__SSE2__)
    __m128i block_sum = _mm_setzero_si128();
    while (i + 16 <= limit) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')),
                                                        _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))),
                                           _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('$')),
                                                        _mm_cmpeq_epi8(v, _mm_set1_epi8('*'))));
        if (_mm_movemask_epi8(stops) != 0) {
            break;
        }
        block_sum = _mm_xor_si128(block_sum, v);
        i += 16;
    }
    uint64_t halves[2];
    std::memcpy(halves, &block_sum, sizeof(halves));
    wide = halves[0] ^ halves[1];
#endif
    while (i + 8 <= limit) {
        uint64_t w;
        std::memcpy(&w, p + i, sizeof(w));
        if ((Has_Byte(w, '\n') | Has_Byte(w, '\r') | Has_Byte(w, '$') | Has_Byte(w, '*')) != 0) {
            break;
        }
        wide ^= w;
        i += 8;
    }
    for (int k = 0; k < 8; ++k) {
        x ^= static_cast<unsigned char>(wide >> (8 * k));
    }
    while (i < limit && !kNmeaStops.stop[p[i]]) {
        x ^= p[i++];
    }
    for (; i < limit; ++i) {
        const unsigned char c = p[i];
        x ^= star < 0 ? c : 0;
        if (star >= 0 && i == star + 3 && c != '\r' && c != '\n') {
            end = i;  // no line end follows the check characters
            break;
        }
        if (c == '\n') {
            end = i + 1;
            break;
        }
        if (c == '\r') {
            // A bare CR ends the sentence too; the byte after it says whether an LF belongs.
            if (i + 1 >= n && wait_at_end) {
                break;
            }
            end = (i + 1 < n && p[i + 1] == '\n') ? i + 2 : i + 1;
            break;
        }
        if (c == '$') {
            return Nmea_Span{Nmea_Span::Rejected, i};
        }
        if (c == '*' && star < 0) {
            star = i;
            x ^= c;
        }
    }
    if (end == 0 && !wait_at_end && star >= 0 && star + 3 == n) {
        end = n;
    }
    if (end == 0) {
        return n <= Nmea_Span::kMaxLength ? Nmea_Span{Nmea_Span::Incomplete, 0}
                                          : Nmea_Span{Nmea_Span::No_End, 0};
    }
    if (star >= 0 && !Checksum_Matches(p, star, end, x)) {
        return Nmea_Span{Nmea_Span::Rejected, end};
    }
    return Nmea_Span{Nmea_Span::Whole, end};
}

int Rtcm3_Frame_Length(const unsigned char* p, int n) {
    if (p == nullptr || n < 2) {
        return 0;
    }
    if (!Is_Rtcm3_Lead(p)) {
        return -1;
    }
    if (n < 3) {
        return 0;
    }
    const int body = ((p[1] & 0x03) << 8) | p[2];
    if (n < body + 6) {
        return 0;
    }
    const uint32_t crc = (static_cast<uint32_t>(p[body + 3]) << 16) |
                         (static_cast<uint32_t>(p[body + 4]) << 8) | p[body + 5];
    return Calc_Crc24Q(p, body + 3) == crc ? body + 6 : -1;
}

int StxEtx_Packet_Length(const unsigned char* p, int n) {
    if (p == nullptr || n < 1 || p[0] != 0x02) {
        return -1;
    }
    if (n < 4) {
        return 0;
    }
    const int total = p[3] + 6;
    if (n < total) {
        return 0;
    }
    unsigned sum = 0;
    for (int i = 1; i < total - 2; ++i) {
        sum += p[i];
    }
    return (sum & 0xFF) == p[total - 2] ? total : -1;
}

}  // namespace BVParse
}  // namespace Brevan2011
