// The one NMEA sentence scanner: where a sentence ends, which check it must pass, and when it
// waits.
#include <gtest/gtest.h>

#include <string>

#include "Em_FrameSpans.h"
#include "support/Nmea_Text.h"

using namespace Brevan2011::BVParse;
using nmea_test::Sentence;

namespace {

Nmea_Span Scan(const std::string& s, bool wait = true) {
    return Scan_Nmea_Sentence(reinterpret_cast<const unsigned char*>(s.data()),
                              static_cast<int>(s.size()), wait);
}

const std::string kBody = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
const std::string kRmcBody = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

}  // namespace

TEST(NmeaSentenceScan, EndsChecksAndWaits) {
    const std::string good = Sentence(kBody);
    const std::string lower = "$" + kBody + "*4f\r\n";  // the true check is 0x47
    std::string wrongDigit = good;
    wrongDigit[20] = '9';  // one latitude digit corrupted, check left as it was
    const std::string noCheck = "$" + kBody + "\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        Nmea_Span::Kind kind;
        int length;
    };
    const Case cases[] = {
        {"CR LF", good, Nmea_Span::Whole, int(good.size())},
        {"LF", Sentence(kBody, "\n") + "$GP", Nmea_Span::Whole, int(good.size()) - 1},
        {"bare CR keeps the next '$'", Sentence(kBody, "\r") + "$GPRMC", Nmea_Span::Whole,
         int(good.size()) - 1},
        {"bare CR at the end waits for the next byte", Sentence(kBody, "\r"), Nmea_Span::Incomplete,
         0},
        {"check characters then the next '$'", Sentence(kBody, "") + "$GPRMC", Nmea_Span::Whole,
         int(good.size()) - 2},
        {"check characters last wait for the next byte", Sentence(kBody, ""), Nmea_Span::Incomplete,
         0},
        {"lower-case check", "$" + kRmcBody + "*6a\r\n", Nmea_Span::Whole,
         int(kRmcBody.size()) + 6},
        {"no check", noCheck, Nmea_Span::Whole, int(noCheck.size())},
        {"corrupted digit", wrongDigit, Nmea_Span::Rejected, int(good.size())},
        {"wrong check", lower, Nmea_Span::Rejected, int(lower.size())},
        {"one check character", "$" + kBody + "*4\r\n", Nmea_Span::Rejected, int(kBody.size()) + 5},
        {"cut short by '$'", "$GPGGA,1235$GPRMC,1", Nmea_Span::Rejected, 11},
        {"'$' inside the check", "$GPGGA,1235*4$GPRMC", Nmea_Span::Rejected, 13},
        {"no end yet", "$" + kBody, Nmea_Span::Incomplete, 0},
        {"check to come", "$" + kBody + "*4", Nmea_Span::Incomplete, 0},
        {"300 bytes wait", "$GPGGA," + std::string(293, 'x'), Nmea_Span::Incomplete, 0},
        {"301 bytes have no end", "$GPGGA," + std::string(294, 'x'), Nmea_Span::No_End, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Nmea_Span s = Scan(c.bytes);
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.length, c.length);
    }
    ASSERT_EQ(nmea_test::Checksum(kRmcBody), 0x6Au);

    // A board's input holds whole messages: its last bytes end a sentence there and then.
    EXPECT_EQ(Scan(Sentence(kBody, "\r"), false).length, int(good.size()) - 1);
    EXPECT_EQ(Scan(Sentence(kBody, ""), false).length, int(good.size()) - 2);
    EXPECT_EQ(Scan(Sentence(kBody, ""), false).kind, Nmea_Span::Whole);
    EXPECT_EQ(Scan("$" + kBody + "*4", false).kind, Nmea_Span::Incomplete);
    ASSERT_EQ(nmea_test::Checksum(kBody), 0x47u);
}

// Bodies of every length up to past several blocks of the wide scan, with the check right,
// one body byte wrong, a '$' or a line end in every place: the span and the check verdict do
// not depend on where the bytes fall.
TEST(NmeaSentenceScan, EveryLengthAndPlace) {
    for (std::size_t len = 0; len <= 80; ++len) {
        std::string body(len, 'A');
        for (std::size_t k = 0; k < len; ++k) {
            body[k] = static_cast<char>("0123456789,.NEGP"[(k * 7 + len) % 16]);
        }
        const std::string good = Sentence(body);
        SCOPED_TRACE(good);
        EXPECT_EQ(Scan(good).kind, Nmea_Span::Whole);
        EXPECT_EQ(Scan(good).length, static_cast<int>(good.size()));
        for (std::size_t k = 0; k < len; ++k) {
            std::string bad = good;
            bad[1 + k] = static_cast<char>(bad[1 + k] ^ 0x01);
            EXPECT_EQ(Scan(bad).kind, Nmea_Span::Rejected) << k;
            EXPECT_EQ(Scan(bad).length, static_cast<int>(bad.size())) << k;
            std::string cut = good;
            cut[1 + k] = '$';
            EXPECT_EQ(Scan(cut).kind, Nmea_Span::Rejected) << k;
            EXPECT_EQ(Scan(cut).length, static_cast<int>(1 + k)) << k;
            // A bare line end inside the body: the sentence ends there, without a check.
            const std::string early = "$" + body.substr(0, k) + "\n" + body.substr(k);
            EXPECT_EQ(Scan(early).kind, Nmea_Span::Whole) << k;
            EXPECT_EQ(Scan(early).length, static_cast<int>(k + 2)) << k;
        }
    }
}
