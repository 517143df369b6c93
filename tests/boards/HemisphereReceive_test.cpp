// Receive side of both Hemisphere boards: "$BIN" framing in any slicing, the blocks each board
// decodes, "$>J" replies, and the second board's NMEA epoch and RTCM 3 routing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Em_Conversions.h"
#include "Board_Test_Support.h"
#include "support/Nmea_Text.h"
#include "Em_OemHemisphere.h"
#include "Em_OemHemisphere2.h"
#include "Em_OemHemisphere2Data.h"
#include "Em_OemHemisphereData.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace board_test;

void Put_Le(Bytes& b, size_t at, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    }
}
void Put_Double(Bytes& b, size_t at, double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    Put_Le(b, at, u, 8);
}
void Put_Float(Bytes& b, size_t at, float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    Put_Le(b, at, u, 4);
}

// "$BIN", block id, length, data, 16-bit sum, CR LF.
Bytes Bin(int id, const Bytes& data) {
    Bytes f(8, 0);
    std::memcpy(f.data(), "$BIN", 4);
    Put_Le(f, 4, static_cast<uint64_t>(id), 2);
    Put_Le(f, 6, data.size(), 2);
    f.insert(f.end(), data.begin(), data.end());
    uint16_t sum = 0;
    for (unsigned char c : data) {
        sum = static_cast<uint16_t>(sum + c);
    }
    f.push_back(static_cast<unsigned char>(sum));
    f.push_back(static_cast<unsigned char>(sum >> 8));
    f.push_back('\r');
    f.push_back('\n');
    return f;
}

Bytes Position_Data(double latDeg, double lonDeg, float h) {
    Bytes d(32, 0);
    d[1] = 7;
    Put_Double(d, 12, latDeg);
    Put_Double(d, 20, lonDeg);
    Put_Float(d, 28, h);
    return d;
}

// Channel block data with the given satellite numbers (status bit 0x40 on odd ones).
Bytes Channel_Data(const std::vector<int>& sats) {
    Bytes d(300, 0);
    for (size_t i = 0; i < sats.size() && i < 12; ++i) {
        unsigned char* b = d.data() + 12 + i * 24;
        b[1] = static_cast<unsigned char>(sats[i]);
        b[2] = (sats[i] % 2) ? 0x40 : 0;
        b[8] = static_cast<unsigned char>(-5);
        b[9] = 100;
    }
    return d;
}

// Records the id of every block the board hands to its data parser.
struct Counting_Data4 : public Em_OemHemisphereData {
    int Parse_Message(const unsigned char* frame, int id, int length) override {
        ids.push_back(id);
        return Em_OemHemisphereData::Parse_Message(frame, id, length);
    }
    int Count(int id) const { return static_cast<int>(std::count(ids.begin(), ids.end(), id)); }
    std::vector<int> ids;
};

struct Board4 : public Em_OemHemisphere {
    Board4() { Set_Data(new Counting_Data4); }
    Counting_Data4& D() { return *static_cast<Counting_Data4*>(Hemisphere_Data()); }
};
struct Board7 : public Em_OemHemisphere2 {
    Em_OemHemisphere2Data& D() { return *Hemisphere2_Data(); }
};

struct Feed_Case {
    const char* name;
    Bytes bytes;
    int positions;  // block 1 decodes (latitude changes)
    int pending;    // bytes left
};

TEST(HemisphereReceive, FramingTable) {
    const Bytes good = Bin(1, Position_Data(45.0, 10.0, 100.0f));
    Bytes lfcr = good;
    lfcr[lfcr.size() - 2] = '\n';
    lfcr[lfcr.size() - 1] = '\r';
    Bytes badSum = good;
    badSum[badSum.size() - 4] ^= 0x01;
    Bytes huge = good;
    Put_Le(huge, 6, 2037, 2);
    const Bytes gn = Text("$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*59\r\n");
    const std::vector<Feed_Case> cases = {
        {"good frame", good, 1, 0},
        {"LF CR end", Cat({lfcr, good}), 1, 0},
        {"bad sum", Cat({badSum, good}), 1, 0},
        {"L = 2037", Cat({huge, good}), 1, 0},
        {"incomplete", Bytes(good.begin(), good.end() - 1), 0, int(good.size()) - 1},
        {"two frames around $GN", Cat({good, gn, good}), 2, 0},
        {"noise", Cat({Text("\x01\x02xyz$$$BIX"), good, Text("$>JX\r\n")}), 1, 0},
    };
    for (const Feed_Case& c : cases) {
        for (size_t slice : {size_t(1), size_t(3), size_t(255), size_t(4096)}) {
            Board4 b;
            Feed(b, c.bytes, slice);
            EXPECT_EQ(b.D().Count(1), c.positions) << c.name << " / " << slice;
            EXPECT_EQ(Pending(b), c.pending) << c.name << " / " << slice;
            if (c.positions > 0) {
                EXPECT_NEAR(b.D().Latitude, 45.0 * 3.14159265358979323846 / 180.0, 1e-12);
                EXPECT_EQ(b.D().Sats_Used, 7);
            }
        }
    }
}

TEST(HemisphereReceive, TwoFramesInOneFeedLeaveNoStaleBits) {
    Board4 b;
    const Feed_Result r = Feed(b, Cat({Bin(1, Position_Data(1, 2, 3)), Bin(96, Bytes(10, 1))}));
    EXPECT_EQ(r.hits, 1);
    EXPECT_NE(r.mask & HEMI_FLAG_POSITION, 0u);
    // The next step has nothing new: no report, and the bits are not repeated.
    EXPECT_EQ(b.Parse(), 0);
    EXPECT_EQ(Feed(b, Bin(96, Bytes(10, 1))).mask, 0u);
}

TEST(HemisphereReceive, BytesThatOverflowTheInputFirstDecodeWhatIsThere) {
    Bytes a = Position_Data(10.0, 20.0, 1.0f);
    a.resize(1500);
    Bytes bData = Position_Data(30.0, 40.0, 2.0f);
    bData.resize(1500);
    const Bytes first = Bin(1, a);
    const Bytes second = Bin(1, bData);
    Board4 b;
    Feed(b, Bytes(first.begin(), first.begin() + 1000));
    // The rest of the first block and the whole second one do not fit beside what is buffered.
    const Feed_Result r = Feed(b, Cat({Bytes(first.begin() + 1000, first.end()), second}));
    EXPECT_EQ(b.D().Count(1), 2);
    EXPECT_EQ(r.hits, 1);
    EXPECT_NE(r.mask & HEMI_FLAG_POSITION, 0u);
    EXPECT_NEAR(b.D().Latitude, 30.0 * 3.14159265358979323846 / 180.0, 1e-12);
    EXPECT_EQ(Pending(b), 0);
}

TEST(HemisphereReceive, ShortBlocksAreIgnored) {
    struct Row {
        int id;
        int need;
    };
    for (const Row& row : {Row{1, 32}, Row{2, 14}, Row{99, 300}}) {
        Board4 b;
        b.D().Hdop = 9.0;
        const Feed_Result r = Feed(b, Bin(row.id, Bytes(static_cast<size_t>(row.need - 1), 0x41)));
        EXPECT_EQ(r.mask, 0u) << row.id;
        EXPECT_EQ(b.D().Latitude, 0.0) << row.id;
        EXPECT_EQ(b.D().Hdop, 9.0) << row.id;
        EXPECT_EQ(b.D().Channel_Count, 0) << row.id;
    }
    Board7 s;
    Bytes d3(91, 0);
    EXPECT_EQ(Feed(s, Bin(3, d3)).mask, 0u);
    EXPECT_EQ(s.D().Pdop, 0.0);
}

TEST(HemisphereReceive, DopBlock) {
    Bytes d(14, 0);
    Put_Le(d, 0, 0x0000F00F, 4);
    Put_Le(d, 4, 0x00000007, 4);
    Put_Le(d, 10, 15, 2);
    Put_Le(d, 12, 22, 2);
    Board4 b;
    Feed(b, Bin(2, d));
    EXPECT_EQ(b.D().Sat_Gps_Count, 8);
    EXPECT_EQ(b.D().Sats_Used, 3);
    EXPECT_NEAR(b.D().Hdop, 1.5, 1e-12);
    EXPECT_NEAR(b.D().Vdop, 2.2, 1e-12);
}

TEST(HemisphereReceive, ChannelBlockSkipsOutOfRangeSatellitesAndWaitsForGsv) {
    const Bytes block = Bin(99, Channel_Data({0, 5, 38, 7, 37}));
    {
        Board4 b;
        b.D().Sat_Switch_Gps = 0;
        const Feed_Result r = Feed(b, block);
        EXPECT_EQ(b.D().Channel_Count, 3);
        EXPECT_EQ(b.D().Channels[0].Prn, 5);
        EXPECT_EQ(b.D().Channels[0].Elevation, -5);
        EXPECT_EQ(b.D().Channels[0].Azimuth, 200);
        EXPECT_EQ(b.D().Channels[0].Used, 1);
        EXPECT_EQ(b.D().Channels[2].Prn, 37);
        EXPECT_NE(r.mask & GNSS_FLAG_SAT_1, 0u);
    }
    {
        Board4 b;  // deferred reporting on, no GSV mark yet
        const Feed_Result r = Feed(b, block);
        EXPECT_EQ(b.D().Channel_Count, 3);
        EXPECT_EQ(r.mask & GNSS_FLAG_SAT_1, 0u);
        // A complete GSV set marks the table; the next block copies the flags and reports.
        Feed(b, Text("$GPGSV,1,1,02,05,40,083,46,07,17,308,41*7C\r\n"));
        EXPECT_EQ(b.D().Deferred_Gps & 0x8, 0x8u);
        const Feed_Result r2 = Feed(b, block);
        EXPECT_NE(r2.mask & GNSS_FLAG_SAT_1, 0u);
        EXPECT_EQ(b.D().Deferred_Gps, 0u);
        EXPECT_EQ(b.D().Sat_Gps[0].Prn, 5);
        EXPECT_EQ(b.D().Sat_Gps[0].Used, 1);
        EXPECT_EQ(b.D().Sat_Gps[1].Used, 1);
    }
}

TEST(HemisphereReceive, ShowReplyGivesTheMaskWholeOrSplit) {
    const Bytes reply = Text("$>JSHOW,MASK,10\r\n");
    for (size_t split = 1; split < reply.size(); ++split) {
        Board4 b;
        Feed_Result r = Feed(b, Bytes(reply.begin(), reply.begin() + split));
        const Feed_Result r2 = Feed(b, Bytes(reply.begin() + split, reply.end()));
        EXPECT_EQ(b.D().Status_Word, 10) << split;
        EXPECT_EQ(b.D().Elev_Mask, 10) << split;
        EXPECT_NE((r.mask | r2.mask) & GNSS_FLAG_ELEV_MASK, 0u) << split;
        EXPECT_EQ(Pending(b), 0) << split;
    }
    Board4 b;
    const Feed_Result r = Feed(b, Text("$>JI,1234,foo\r\n$>JSHOW,ASC,GPGGA,1\r\n"));
    EXPECT_EQ(r.hits, 1);
    EXPECT_EQ(r.mask, 0u);
    EXPECT_EQ(b.D().Status_Word, 0);
}

TEST(Hemisphere2Receive, GgaRmcGstCompleteOneEpoch) {
    Board7 b;
    const Feed_Result gga =
        Feed(b, Text("$GPGGA,123519,4807.038,N,01131.000,W,4,08,0.9,545.4,M,46.9,M,,*50\r\n"));
    EXPECT_DOUBLE_EQ(b.D().Diff_Age, -1.0);
    EXPECT_NEAR(b.D().Height, 592.3, 1e-9);
    EXPECT_LT(b.D().Longitude, 0.0);
    EXPECT_EQ(b.D().Sol_Code, 11);
    EXPECT_NE(gga.mask & HEMI2_FLAG_QUALITY, 0u);
    EXPECT_NE(gga.mask & GNSS_FLAG_GGA_TEXT, 0u);
    const Feed_Result rmc =
        Feed(b, Text("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"));
    EXPECT_NE(rmc.mask & HEMI2_FLAG_TIME, 0u);
    EXPECT_EQ(b.D().Day, 23);
    EXPECT_EQ(b.D().Month, 3);
    EXPECT_EQ(b.D().Year, 2094);
    EXPECT_NEAR(b.D().Course, 84.4 * 3.14159265358979323846 / 180.0, 1e-12);
    const Bytes gst = Text("$GPGST,123519,1.0,0.5,0.4,30.0,3.0,4.0,10.0*71\r\n");
    const Feed_Result first = Feed(b, gst);
    EXPECT_NE(first.mask & GNSS_FLAG_POSITION, 0u);
    EXPECT_NEAR(b.D().Err_Horz, 5.0 * 0.3, 1e-12);
    EXPECT_NEAR(b.D().Err_Vert, 10.0 * 0.3, 1e-12);
    const Feed_Result second = Feed(b, gst);
    EXPECT_EQ(second.mask & GNSS_FLAG_POSITION, 0u);
    EXPECT_NE(second.mask & GNSS_FLAG_EPOCH_GST, 0u);
}

TEST(Hemisphere2Receive, FixQualityTable) {
    const std::vector<std::pair<std::string, int>> table = {
        {"0", 3}, {"1", 4}, {"2", 10}, {"3", 11}, {"4", 11},
        {"5", 6}, {"6", 0}, {"7", 1},  {"9", 7},  {"", -1}};
    for (const auto& row : table) {
        Board7 b;
        b.D().Sol_Code = -1;
        Feed(b, Text(nmea_test::Sentence("GPGGA,123519,4807.038,N,01131.000,E," + row.first +
                                         ",08,0.9,545.4,M,46.9,M,1.5,0001")));
        EXPECT_EQ(b.D().Sol_Code, row.second) << row.first;
        EXPECT_EQ((b.D().Pending & HEMI2_FLAG_QUALITY) != 0, !row.first.empty()) << row.first;
        EXPECT_DOUBLE_EQ(b.D().Diff_Age, 1.5);
    }
}

TEST(Hemisphere2Receive, RtkReplySetsTheBaseOnlyWhenValid) {
    Board7 b;
    const Feed_Result bad = Feed(b, Text("$>JRTK,17,91.0,10.0,5.0\r\n"));
    EXPECT_EQ(bad.hits, 0);
    EXPECT_EQ(b.D().Ref_X, 0.0);
    EXPECT_EQ(Pending(b), 0);
    EXPECT_EQ(Feed(b, Text("$>JRTK,16,45.0,10.0,5.0\r\n")).hits, 0);
    const Feed_Result good = Feed(b, Text("$>JRTK,17,45.0,-180.0,5.0\r\n"));
    EXPECT_NE(good.mask & HEMI2_FLAG_BASE, 0u);
    const Em_Xyz xyz = Blh_To_Xyz(-180.0 * 3.14159265358979323846 / 180.0,
                                  45.0 * 3.14159265358979323846 / 180.0, 5.0);
    EXPECT_NEAR(b.D().Ref_X, xyz.x, 1e-6);
    EXPECT_NEAR(b.D().Ref_Z, xyz.z, 1e-6);
    const Feed_Result mask = Feed(b, Text("$>JSHOW,MASK,12\r\n"));
    EXPECT_NE(mask.mask & GNSS_FLAG_ELEV_MASK, 0u);
    EXPECT_EQ(b.D().Status_Word, 12);
    // A reply without its line end within 128 bytes is dropped, not waited for forever.
    Board7 l;
    Feed(l, Cat({Text("$>JSHOW,"), Bytes(200, 'A'), Text("$>JSHOW,MASK,9\r\n")}));
    EXPECT_EQ(l.D().Status_Word, 9);
}

TEST(Hemisphere2Receive, TimeBlockDops) {
    Bytes d(92, 0);
    Put_Double(d, 0, 345600.75);
    Put_Le(d, 8, 2300, 2);
    Put_Float(d, 80, 3.0f);
    Put_Float(d, 84, 4.0f);
    Put_Float(d, 88, 12.0f);
    Board7 b;
    const Feed_Result r = Feed(b, Cat({Bin(3, d), Bin(209, Bytes(5, 0))}));
    EXPECT_NE(r.mask & GNSS_FLAG_DOPS, 0u);
    EXPECT_DOUBLE_EQ(b.D().Gps_Seconds, 345600.0);
    EXPECT_EQ(b.D().Gps_Week, 2300);
    EXPECT_DOUBLE_EQ(b.D().Pdop, 5.0);
    EXPECT_DOUBLE_EQ(b.D().Gdop, 13.0);
}

TEST(Hemisphere2Receive, LongRtcmFramesReachTheFrameStore) {
    const Bytes frame = Rtcm3_Frame(300, 1033);  // second byte 0x01
    ASSERT_EQ(frame[1], 0x01);
    for (size_t slice : {size_t(1), size_t(64), size_t(4096)}) {
        Board7 b;
        const Feed_Result r =
            Feed(b, Cat({Text("$GPGGA,1*00\r\n"), frame, Text("$>JI\r\n")}), slice);
        EXPECT_NE(r.mask & GNSS_FLAG_RTCM3, 0u) << slice;
        EXPECT_EQ(b.D().Trsmt->Info.Length, 306) << slice;
        EXPECT_EQ(Pending(b), 0) << slice;
    }
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
