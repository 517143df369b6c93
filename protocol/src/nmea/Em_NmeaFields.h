// Field access for one NMEA 0183 sentence: fields are cut at commas after the seven-character
// head ("$GPGGA,"), the last one ending at the '*' that opens the checksum (or at the line
// end). A field past the last reads as empty; nothing is read past the text.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Brevan2011 {
namespace BVParse {

// Byte classes of the field cut: 1 a comma, 2 an end ('*', CR, LF), 0 anything else.
struct Nmea_Field_Classes {
    static constexpr unsigned char kComma = 1;
    static constexpr unsigned char kEnd = 2;
    unsigned char of[256];
    constexpr Nmea_Field_Classes() : of() {
        of[static_cast<unsigned char>(',')] = kComma;
        of[static_cast<unsigned char>('*')] = kEnd;
        of[static_cast<unsigned char>('\r')] = kEnd;
        of[static_cast<unsigned char>('\n')] = kEnd;
    }
};

class Em_NmeaFields {
public:
    static constexpr int kMaxFields = 40;

    // One pass over the text; the field table is written only as far as it is filled.
    explicit Em_NmeaFields(std::string_view sentence) : text_(sentence.data()) {
        const std::size_t n = sentence.size();
        const std::size_t head = n < 7 ? n : 7;
        for (std::size_t i = 0; i < head; ++i) {
            if (Ends(sentence[i])) {
                return;
            }
        }
        if (n <= 7 || Ends(sentence[7])) {
            return;
        }
        count_ = 1;  // field 0 is the head, never read
        std::size_t start = 7;
        std::size_t i = 7;
        const char* p = sentence.data();
#if defined(__SSE2__)
        // Sixteen bytes at a time: the commas and ends of a block, in order.
        const __m128i comma = _mm_set1_epi8(',');
        const __m128i star = _mm_set1_epi8('*');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        while (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i ends =
                _mm_or_si128(_mm_cmpeq_epi8(v, star),
                             _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
            unsigned hits = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_or_si128(ends, _mm_cmpeq_epi8(v, comma))));
            while (hits != 0) {
                const std::size_t k = i + static_cast<std::size_t>(__builtin_ctz(hits));
                hits &= hits - 1;
                Add(start, k);
                if (p[k] != ',') {
                    return;
                }
                start = k + 1;
                if (count_ == kMaxFields) {
                    return;
                }
            }
            i += 16;
        }
#endif
        for (;;) {
            // The bytes of a field in a tight loop; only a comma or an end stops it.
            while (i < n && kClass.of[static_cast<unsigned char>(p[i])] == 0) {
                ++i;
            }
            if (i >= n || kClass.of[static_cast<unsigned char>(p[i])] == kEnd) {
                break;
            }
            Add(start, i);
            start = ++i;
            if (count_ == kMaxFields) {
                return;
            }
        }
        Add(start, i);
    }

    // Field 1 is the first after the head.
    std::string_view operator[](int i) const {
        return (i >= 1 && i < count_) ? std::string_view(text_ + start_[i], length_[i])
                                      : std::string_view();
    }

private:
    static bool Ends(char c) {
        return c == '*' || c == '\r' || c == '\n';
    }

    static constexpr unsigned char kEnd = Nmea_Field_Classes::kEnd;
    static constexpr Nmea_Field_Classes kClass{};

    void Add(std::size_t from, std::size_t to) {
        start_[count_] = static_cast<uint32_t>(from);
        length_[count_] = static_cast<uint32_t>(to - from);
        ++count_;
    }

    const char* text_;
    uint32_t start_[kMaxFields];
    uint32_t length_[kMaxFields];
    int count_ = 0;
};

// Text-to-number as the C conversions read it (leading blanks, a sign, digits up to the first
// other character; nothing gives 0), but locale-independent: a comma-decimal locale must not
// turn "4807.038" into 4807.
inline std::string_view Nmea_Number_Text(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    if (i < s.size() && s[i] == '+') {
        ++i;
    }
    return s.substr(i);
}

inline int Nmea_Int(std::string_view s) {
    s = Nmea_Number_Text(s);
    long v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || v > 2147483647L || v < -2147483647L) {
        return 0;
    }
    return static_cast<int>(v);
}

// The whole conversion; Nmea_Double gives the same bits, faster for the common fields.
inline double Nmea_Double_Full(std::string_view s) {
    s = Nmea_Number_Text(s);
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    return r.ec == std::errc() ? v : 0.0;
}

// Plain decimals ("-4807.038", "12.", ".5") of at most 15 digits and 22 fraction digits: the
// digits and the power of ten are both exact doubles, so one correctly rounded division gives
// the correctly rounded value, as from_chars does. Anything else (an exponent, "inf", more
// digits) goes through from_chars.
inline double Nmea_Double(std::string_view s) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const std::string_view t = Nmea_Number_Text(s);
    std::size_t i = 0;
    const bool negative = i < t.size() && t[i] == '-';
    i += negative ? 1 : 0;
    uint64_t digits = 0;
    int count = 0;
    int fraction = -1;  // digits after the point, once one is met
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<uint64_t>(c - '0');
            ++count;
            fraction += fraction >= 0 ? 1 : 0;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    const bool exponent = i < t.size() && (t[i] == 'e' || t[i] == 'E');
    const int scale = fraction < 0 ? 0 : fraction;
    if (count == 0 || count > 15 || scale > 22 || exponent) {
        return Nmea_Double_Full(s);
    }
    const double v = static_cast<double>(digits) / kPow10[scale];
    return negative ? -v : v;
}

inline int Nmea_Count_Commas(std::string_view s) {
    const void* star = s.empty() ? nullptr : std::memchr(s.data(), '*', s.size());
    const char* end = star != nullptr ? static_cast<const char*>(star) : s.data() + s.size();
    return static_cast<int>(std::count(s.data(), end, ','));
}

}  // namespace BVParse
}  // namespace Brevan2011
