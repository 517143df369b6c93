// Field access for one NMEA 0183 sentence: fields are cut at commas after the seven-character
// head ("$GPGGA,"), the last one ending at the '*' that opens the checksum (or at the line
// end). A field past the last reads as empty; nothing is read past the text.
#pragma once

#include <charconv>
#include <cstdint>
#include <string_view>

namespace Brevan2011 {
namespace BVParse {

class Em_NmeaFields {
public:
    static constexpr int kMaxFields = 40;

    explicit Em_NmeaFields(std::string_view sentence) {
        std::size_t end = sentence.size();
        for (std::size_t i = 0; i < sentence.size(); ++i) {
            const char c = sentence[i];
            if (c == '*' || c == '\r' || c == '\n') {
                end = i;
                break;
            }
        }
        if (end <= 7) {
            return;
        }
        const std::string_view body = sentence.substr(7, end - 7);
        std::size_t start = 0;
        count_ = 1;  // field 0 is the head, never read
        while (count_ < kMaxFields) {
            const std::size_t comma = body.find(',', start);
            if (comma == std::string_view::npos) {
                fields_[count_++] = body.substr(start);
                break;
            }
            fields_[count_++] = body.substr(start, comma - start);
            start = comma + 1;
        }
    }

    // Field 1 is the first after the head.
    std::string_view operator[](int i) const {
        return (i >= 1 && i < count_) ? fields_[i] : std::string_view();
    }

private:
    std::string_view fields_[kMaxFields];
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

inline double Nmea_Double(std::string_view s) {
    s = Nmea_Number_Text(s);
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    return r.ec == std::errc() ? v : 0.0;
}

inline int Nmea_Count_Commas(std::string_view s) {
    int n = 0;
    for (const char c : s) {
        if (c == '*') {
            break;
        }
        n += (c == ',');
    }
    return n;
}

}  // namespace BVParse
}  // namespace Brevan2011
