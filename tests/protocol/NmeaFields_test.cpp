// The sentence field splitter and the number reader: the splitter against a plain
// find-the-end-then-cut-at-commas reference, and the decimal fast path against the full
// from_chars conversion, bit for bit, on a table of fields and on every field of the corpus's
// NMEA captures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../boards/RtcmTestFrames.h"
#include "Em_NmeaFields.h"

using namespace Brevan2011::BVParse;
namespace fs = std::filesystem;

namespace {

// The fields as first defined: the text ends at its first '*', CR or LF; nothing when that
// is within the seven-character head; then cut at commas, at most 39 fields.
std::vector<std::string> Reference_Fields(const std::string& s) {
    std::vector<std::string> out;
    const std::size_t end = std::min(s.find_first_of("*\r\n"), s.size());
    if (end <= 7) {
        return out;
    }
    const std::string body = s.substr(7, end - 7);
    std::size_t start = 0;
    while (out.size() < std::size_t(Em_NmeaFields::kMaxFields - 1)) {
        const std::size_t comma = body.find(',', start);
        if (comma == std::string::npos) {
            out.push_back(body.substr(start));
            break;
        }
        out.push_back(body.substr(start, comma - start));
        start = comma + 1;
    }
    return out;
}

void Expect_Same_Fields(const std::string& s) {
    const std::vector<std::string> want = Reference_Fields(s);
    const Em_NmeaFields f(s);
    for (int i = 0; i <= Em_NmeaFields::kMaxFields + 1; ++i) {
        const std::string expected = (i >= 1 && std::size_t(i) <= want.size()) ? want[i - 1] : "";
        ASSERT_EQ(std::string(f[i]), expected) << s << " field " << i;
    }
}

bool Same_Bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<fs::path> Nmea_Captures() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const char* dir : {"gpsd", "pynmeagps"}) {
        for (const auto& e : fs::directory_iterator(fs::path(VARNOK_CORPUS_DIR) / dir, ec)) {
            if (e.path().extension() == ".log") {
                files.push_back(e.path());
            }
        }
    }
    return files;
}

}  // namespace

TEST(NmeaFields, SplitsAsTheReference) {
    const char* cases[] = {
        "",
        "$GPGGA",
        "$GPGGA,",
        "$GPGG*,1,2",
        "$GPGGA*1,2",
        "$GPGGA,*47",
        "$GPGGA,,,,*47\r\n",
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
        "$GPRMC,1,2\r\n3,4",
        "$GPRMC,1,2\n",
        "$GPGSV,1,1,00",
        "$GPXXX,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,"
        "31,32,33,34,35,36,37,38,39,40,41,42*00",
        "$GPXXX,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,"
        "31,32,33,34,35,36,37,38,39",
    };
    for (const char* c : cases) {
        Expect_Same_Fields(c);
    }
    // Fields of every width and an end at every place, so that commas and ends fall on every
    // position of the blocks the splitter reads at once.
    for (std::size_t width = 0; width <= 18; ++width) {
        std::string s = "$GPXXX";
        for (int k = 0; k < 12; ++k) {
            s += "," + std::string(width, char('0' + k % 10));
        }
        for (std::size_t cut = 7; cut <= s.size(); ++cut) {
            for (const char* end : {"", "*", "\r", "\n"}) {
                Expect_Same_Fields(s.substr(0, cut) + end + ",9,9");
            }
        }
    }
}

TEST(NmeaFields, NumbersReadAsTheFullConversion) {
    const char* cases[] = {
        "",
        "0",
        "-0",
        "-0.5",
        "4807.038",
        "12.",
        ".5",
        "-.5",
        "1e5",
        "1E-3",
        "1.5e",
        "12abc",
        "1.2.3",
        "-",
        ".",
        "inf",
        "nan",
        "+5",
        " 7.25",
        "--5",
        "0x10",
        "00012",
        "1,5",
        "545.4M",
        "0.1",
        "0.3",
        "2.675",
        "1.0000000000000002",
        "12345678901234567890",  // 20 digits
        "123456789012345",
        "1234567890123456",
        "0.0000000000000000000001",  // 22 decimals
        "0.00000000000000000000001",
        "99999999999999.9",
        "9007199254740993",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        EXPECT_TRUE(Same_Bits(Nmea_Double(c), Nmea_Double_Full(c)))
            << Nmea_Double(c) << " vs " << Nmea_Double_Full(c);
    }
}

// Every field of every sentence in the NMEA captures: split as the reference, and read to the
// same bits as the full conversion.
TEST(NmeaFields, EveryCorpusFieldAsBefore) {
    const auto files = Nmea_Captures();
    if (files.empty()) {
        GTEST_SKIP() << "corpus missing";
    }
    std::size_t fields = 0;
    for (const auto& path : files) {
        std::vector<std::uint8_t> d;
        ASSERT_TRUE(rtcm_test::Read_File(path.string(), d));
        std::size_t start = 0;
        for (std::size_t i = 0; i <= d.size(); ++i) {
            if (i < d.size() && d[i] != '\n') {
                continue;
            }
            const std::string line(d.begin() + long(start), d.begin() + long(i));
            start = i + 1;
            if (line.size() < 7 || line[0] != '$') {
                continue;
            }
            Expect_Same_Fields(line);
            const Em_NmeaFields f(line);
            for (int k = 1; k < Em_NmeaFields::kMaxFields; ++k) {
                const std::string_view v = f[k];
                ASSERT_TRUE(Same_Bits(Nmea_Double(v), Nmea_Double_Full(v)))
                    << path.filename().string() << ": " << line << " field " << k;
                ++fields;
            }
        }
    }
    EXPECT_GT(fields, 100000u);
}
