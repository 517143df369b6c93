// Sentences of every length around the reader's first look-ahead and up to the longest
// allowed reach the board whole, in any slicing; a longer one never does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "support/Nmea_Text.h"
#include "support/Recording_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;

namespace {

// A checked GGA sentence of exactly `length` bytes through its CR LF.
std::string Gga_Of_Length(size_t length) {
    std::string body = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const size_t fixed = 1 + 3 + 2;  // '$', "*hh", CR LF
    body.append(length - fixed - body.size(), '0');
    return nmea_test::Sentence(body);
}

}  // namespace

TEST(OemProtocolLookahead, SentencesAroundTheFirstLookAndUpToTheLongest) {
    for (size_t length : {100u, 126u, 127u, 128u, 129u, 130u, 200u, 299u, 300u, 302u}) {
        const std::string s = Gga_Of_Length(length);
        ASSERT_EQ(s.size(), length);
        const std::string after = Gga_Of_Length(90);
        const std::string stream = s + after + std::string(310, 'z');
        for (size_t slice : {size_t(1), size_t(7), size_t(2048)}) {
            SCOPED_TRACE("length " + std::to_string(length) + ", slice " + std::to_string(slice));
            Scoped_Recording_Board scope(MAINBD_NMEA2);
            Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
            for (size_t at = 0; at < stream.size(); at += slice) {
                const size_t n = std::min(slice, stream.size() - at);
                gnss.RcvData(reinterpret_cast<const unsigned char*>(stream.data()) + at,
                             static_cast<unsigned>(n));
                gnss.ParseData();
            }
            const auto& got =
                dynamic_cast<Recording_Board*>(gnss.Get_Protocol()->Board())->Messages;
            const std::vector<std::string> want = length <= 300 ? std::vector<std::string>{s, after}
                                                                : std::vector<std::string>{after};
            EXPECT_EQ(got, want);
        }
    }
}
