// Receive side of the STX/ETX board: packet framing in any slicing, the general-output pages
// and their records, the option reply, and NMEA and RTCM 3 between packets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "Em_Conversions.h"
#include "Board_Test_Support.h"
#include "Em_OemStxEtx.h"
#include "Em_OemStxEtxCmd.h"
#include "Em_OemStxEtxData.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace board_test;

Bytes Packet(unsigned char type, const Bytes& data) {
    Cmd_List cmds;
    EXPECT_TRUE(Em_OemStxEtxCmd::Add_Packet(cmds, type, data));
    return Bytes(cmds.at(0).data, cmds.at(0).data + cmds.at(0).length);
}

void Put_Be(Bytes& b, uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
}
void Put_Double(Bytes& b, double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    Put_Be(b, u, 8);
}
void Put_Float(Bytes& b, float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    Put_Be(b, u, 4);
}

Bytes Rec(unsigned char type, const Bytes& body) {
    Bytes r = {type, static_cast<unsigned char>(body.size())};
    r.insert(r.end(), body.begin(), body.end());
    return r;
}

Bytes Time_Rec(uint32_t ms, uint16_t week, unsigned char flags1, unsigned char flags2) {
    Bytes b;
    Put_Be(b, ms, 4);
    Put_Be(b, week, 2);
    b.push_back(9);  // satellites used
    b.push_back(flags1);
    b.push_back(flags2);
    b.push_back(0);
    return Rec(1, b);
}

Bytes Triple_Rec(unsigned char type, double a, double b2, double c) {
    Bytes b;
    Put_Double(b, a);
    Put_Double(b, b2);
    Put_Double(b, c);
    return Rec(type, b);
}

Bytes Page(int page, int last, const Bytes& records) {
    Bytes d = {0, static_cast<unsigned char>(page), static_cast<unsigned char>(last)};
    d.insert(d.end(), records.begin(), records.end());
    return Packet(64, d);
}

Bytes Bad_Sum(Bytes p) {
    p[p.size() - 2] ^= 0x11;
    return p;
}

struct Board : public Em_OemStxEtx {
    Em_OemStxEtxData& D() { return *StxEtx_Data(); }
};

TEST(StxEtxReceive, BadChecksumIsSkippedAndTheNextPacketDecoded) {
    const Bytes good = Page(0, 0, Time_Rec(1000, 2300, 0, 0));
    for (size_t slice : {size_t(1), size_t(5), size_t(4096)}) {
        Board b;
        const Feed_Result r = Feed(b, Cat({Bad_Sum(good), Text("zz\x03"), good}), slice);
        EXPECT_EQ(r.hits, 1) << slice;
        EXPECT_NE(r.mask & STXETX_FLAG_QUALITY, 0u);
        EXPECT_EQ(b.D().Gps_Week, 2300);
        EXPECT_EQ(b.D().Sol_Code, 3);  // bit 2 of flags 1 clear: no fix
        EXPECT_EQ(Pending(b), 0);
    }
}

TEST(StxEtxReceive, PagesDecodeOnceAfterTheLast) {
    const Bytes r1 = Time_Rec(5000, 2300, 0x04, 0x05);
    Board b;
    EXPECT_EQ(Feed(b, Page(0, 2, Bytes(r1.begin(), r1.begin() + 4))).hits, 1);
    EXPECT_EQ(b.D().Gps_Week, 0);  // nothing decoded before the last page
    Feed(b, Page(1, 2, Bytes(r1.begin() + 4, r1.begin() + 8)));
    EXPECT_EQ(b.D().Gps_Week, 0);
    const Feed_Result r = Feed(b, Page(2, 2, Bytes(r1.begin() + 8, r1.end())));
    EXPECT_EQ(b.D().Gps_Week, 2300);
    EXPECT_EQ(b.D().Sol_Code, 11);
    EXPECT_NE(r.mask & STXETX_FLAG_QUALITY, 0u);
    EXPECT_EQ(b.D().Acc_Length, 0);

    Board lost;
    Feed(lost, Page(0, 2, Bytes(r1.begin(), r1.begin() + 4)));
    Feed(lost, Page(2, 2, Bytes(r1.begin() + 8, r1.end())));
    EXPECT_EQ(lost.D().Gps_Week, 0);
    EXPECT_EQ(lost.D().Acc_Length, 0);
    // Page 0 starts afresh after the loss.
    Feed(lost, Page(0, 0, r1));
    EXPECT_EQ(lost.D().Gps_Week, 2300);
}

TEST(StxEtxReceive, ShortGeneralOutputPacketsAreIgnored) {
    for (const Bytes& data : {Bytes{0}, Bytes{0, 0}}) {  // 7- and 8-byte packets
        Board b;
        const Feed_Result r = Feed(b, Packet(64, data));
        EXPECT_EQ(r.hits, 1);
        EXPECT_EQ(r.mask, 0u);
        EXPECT_EQ(b.D().Acc_Length, 0);
    }
}

TEST(StxEtxReceive, EcefRecordBeforePositionKeepsItsEcef) {
    Board b;
    Feed(b, Page(0, 0, Cat({Triple_Rec(3, 1.0, 2.0, 3.0), Triple_Rec(2, 0.5, 1.0, 100.0)})));
    EXPECT_DOUBLE_EQ(b.D().Ecef_X, 1.0);
    EXPECT_DOUBLE_EQ(b.D().Ecef_Z, 3.0);
    EXPECT_DOUBLE_EQ(b.D().Latitude, 0.5);
    // The next reply derives ECEF from the position again.
    Feed(b, Page(0, 0, Triple_Rec(2, 0.5, 1.0, 100.0)));
    const Em_Xyz xyz = Blh_To_Xyz(1.0, 0.5, 100.0);
    EXPECT_NEAR(b.D().Ecef_X, xyz.x, 1e-6);
    // Out of range latitude: no derivation.
    Feed(b, Page(0, 0, Cat({Triple_Rec(3, 7.0, 8.0, 9.0)})));
    Feed(b, Page(0, 0, Triple_Rec(2, 1.6, 1.0, 100.0)));
    EXPECT_DOUBLE_EQ(b.D().Ecef_X, 7.0);
}

TEST(StxEtxReceive, DeltaGivesTheBasePosition) {
    Board b;
    const Feed_Result r = Feed(
        b, Page(0, 0, Cat({Triple_Rec(3, 100.0, 200.0, 300.0), Triple_Rec(6, 1.0, 2.0, 3.0)})));
    EXPECT_NE(r.mask & STXETX_FLAG_BASE, 0u);
    EXPECT_DOUBLE_EQ(b.D().Ref_X, 99.0);
    EXPECT_DOUBLE_EQ(b.D().Ref_Y, 198.0);
    EXPECT_DOUBLE_EQ(b.D().Ref_Z, 297.0);
    EXPECT_FALSE(b.D().Delta_Received);
    const Feed_Result again = Feed(b, Page(0, 0, Triple_Rec(3, 1.0, 1.0, 1.0)));
    EXPECT_EQ(again.mask & STXETX_FLAG_BASE, 0u);
}

TEST(StxEtxReceive, DopsSigmasAndCompleteEpoch) {
    Bytes dops;
    for (float f : {3.0f, 1.0f, 2.0f, 4.0f}) {
        Put_Float(dops, f);
    }
    Bytes sig;
    for (float f : {1.0f, 3.0f, 4.0f, 0.0f, 9.0f, 0.0f, 0.0f, 0.0f, 0.0f}) {
        Put_Float(sig, f);
    }
    sig.push_back(0);
    sig.push_back(0);
    struct Row {
        unsigned char flags2;
        double horz, vert;
    };
    for (const Row& row : {Row{0x00, 5.0, 9.0}, Row{0x05, 1.0, 9.0 * 0.2222222}}) {
        Board b;
        const Feed_Result r =
            Feed(b, Page(0, 0,
                         Cat({Time_Rec(0, 2300, 0x04, row.flags2), Triple_Rec(2, 0.1, 0.2, 3.0),
                              Rec(9, dops), Rec(12, sig)})));
        EXPECT_DOUBLE_EQ(b.D().Gdop, 5.0);
        EXPECT_DOUBLE_EQ(b.D().Vdop, 2.0);
        EXPECT_NEAR(b.D().Err_Horz, row.horz, 1e-6);
        EXPECT_NEAR(b.D().Err_Vert, row.vert, 1e-6);
        EXPECT_NEAR(b.D().Err_Rms, std::sqrt(row.horz * row.horz + row.vert * row.vert) * 0.68,
                    1e-5);
        EXPECT_NE(r.mask & GNSS_FLAG_DOPS, 0u);
        EXPECT_NE(r.mask & GNSS_FLAG_POSITION, 0u);
    }
}

// A fixed-size record of any other length is passed over whole: none of its values land.
TEST(StxEtxReceive, FixedRecordsOfAnotherLengthAreSkipped) {
    struct Row {
        unsigned char type;
        size_t length;
        uint32_t bit;  // what the record sets when decoded (0: none)
    };
    for (const Row& row : {Row{1, 10, GNSS_FLAG_EPOCH_RMC}, Row{2, 24, STXETX_FLAG_POSITION},
                           Row{3, 24, 0}, Row{6, 24, STXETX_FLAG_BASE}, Row{9, 16, GNSS_FLAG_DOPS},
                           Row{12, 38, GNSS_FLAG_EPOCH_GST}}) {
        for (size_t length : {row.length - 1, row.length + 1}) {
            Board b;
            const Feed_Result r = Feed(
                b, Page(0, 0,
                        Cat({Triple_Rec(3, 5.0, 6.0, 7.0), Rec(row.type, Bytes(length, 0x40))})));
            const std::string where =
                "type " + std::to_string(row.type) + " length " + std::to_string(length);
            EXPECT_EQ(r.hits, 1) << where;
            EXPECT_EQ(r.mask & row.bit, 0u) << where;
            EXPECT_DOUBLE_EQ(b.D().Ecef_X, 5.0) << where;
            EXPECT_DOUBLE_EQ(b.D().Latitude, 0.0) << where;
            EXPECT_DOUBLE_EQ(b.D().Pdop, 0.0) << where;
            EXPECT_DOUBLE_EQ(b.D().Err_Vert, 0.0) << where;
            EXPECT_EQ(b.D().Gps_Week, 0) << where;
        }
    }
}

TEST(StxEtxReceive, SatelliteRecordIsBounded) {
    Bytes sats = {40};  // claims 40 entries
    for (int i = 0; i < 24; ++i) {
        const unsigned char system = static_cast<unsigned char>(i % 3);
        sats.insert(sats.end(),
                    {static_cast<unsigned char>(i + 1), system, 0x40, 0, 30, 0, 90, 160, 100, 0});
    }
    sats.resize(250);  // the record holds room for (250 - 1) / 10 = 24 entries
    Board b;
    const Feed_Result r = Feed(b, Page(0, 0, Rec(34, sats)));
    EXPECT_LE(b.D().Sat_Gps_Count, 32);
    EXPECT_EQ(b.D().Sat_Gps_Count + b.D().Sat_Glo_Count + b.D().Sat_Tab4_Count, 24);
    EXPECT_EQ(b.D().Sats_Total, 24);
    EXPECT_EQ(b.D().Sat_Glo[0].Prn, 3 + 37);
    EXPECT_FLOAT_EQ(b.D().Sat_Gps[0].Snr1, 40.0f);
    EXPECT_EQ(b.D().Sat_Gps[0].Used, 1);
    EXPECT_EQ(b.D().Sat_Gps[0].Azimuth, 90);
    EXPECT_NE(r.mask & GNSS_FLAG_OWN_SATS, 0u);

    Board off;
    off.D().Switch[5] = 0;  // the old protocol turns detailed records off
    Feed(off, Page(0, 0, Rec(34, sats)));
    EXPECT_EQ(off.D().Sat_Gps_Count, 0);
}

TEST(StxEtxReceive, TimeZoneCarriesIntoTheNextDay) {
    Board b;
    b.D().Hour_Offset = 8;
    // Week 2300 starts Sunday 2024-02-04; 20:00 UTC on that day.
    Feed(b, Page(0, 0, Time_Rec(20u * 3600u * 1000u, 2300, 0x04, 0x00)));
    EXPECT_EQ(b.D().Day, 5);
    EXPECT_EQ(b.D().Month, 2);
    EXPECT_EQ(b.D().Year, 2024);
    EXPECT_EQ(b.D().Hour, 4);
    EXPECT_EQ(b.D().Sol_Code, 4);
}

TEST(StxEtxReceive, OptionAndIdentityReplies) {
    Bytes opt(49, 0);
    opt[0] = 13;
    opt[2] = 0x01;
    opt[3] = 0x02;
    Board b;
    const Feed_Result r = Feed(b, Packet(75, opt));
    EXPECT_NE(r.mask & GNSS_FLAG_ELEV_MASK, 0u);
    EXPECT_EQ(b.D().Status_Word, 13);
    EXPECT_EQ(b.Get_Status_Word(), 13);
    uint16_t v;
    std::memcpy(&v, b.D().Option + 2, 2);
    EXPECT_EQ(v, 0x0102);

    Board s;
    EXPECT_EQ(Feed(s, Packet(75, Bytes(10, 7))).mask, 0u);  // short: ignored
    EXPECT_EQ(s.D().Status_Word, 0);
    Feed(s, Packet(7, Bytes(30, 'A')));
    EXPECT_EQ(s.D().Identity[4], 'A');
    EXPECT_EQ(Feed(s, Packet(99, Bytes(3, 0))).hits, 0);  // unknown type: consumed, no report
    EXPECT_EQ(Pending(s), 0);
}

TEST(StxEtxReceive, NmeaAndRtcmBetweenPackets) {
    const Bytes gga = Text("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    const Bytes pkt = Page(0, 0, Time_Rec(1000, 2301, 0, 0));
    const Bytes all = Cat({Text("\xFF\xFE"), gga, Rtcm3_Frame(300, 1033), pkt, Text("$GN"), gga});
    for (size_t slice : {size_t(1), size_t(7), size_t(255), size_t(4096)}) {
        Board b;
        const Feed_Result r = Feed(b, all, slice);
        EXPECT_NE(r.mask & GNSS_FLAG_GGA_TEXT, 0u) << slice;
        EXPECT_NE(r.mask & GNSS_FLAG_RTCM3, 0u) << slice;
        EXPECT_EQ(b.D().Trsmt->Info.Msg_No, 1033) << slice;
        EXPECT_EQ(b.D().Trsmt->Info.Length, 306) << slice;
        EXPECT_EQ(b.D().Gps_Week, 2301) << slice;
        EXPECT_EQ(Pending(b), 0) << slice;
    }
}

TEST(StxEtxReceive, GsvSentencesFillTheTables) {
    Board b;
    b.D().Sat_Switch_Gps = 0;
    Feed(b, Text("$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\r\n"
                 "$GPGSV,2,2,08,70,40,083,46,66,17,308,41*73\r\n"
                 "$GPGSV,1,1,01,120,40,083,46*76\r\n"));
    EXPECT_EQ(b.D().Sat_Gps_Count, 4);
    EXPECT_EQ(b.D().Sat_Glo_Count, 2);
    EXPECT_EQ(b.D().Sat_Glo[0].Prn, 43);
    const Feed_Result r = Feed(b, Text("$GPGSV,1,1,01,33,40,083,46*45\r\n"));
    EXPECT_EQ(b.D().Sat_Gps_Count, 0);
    EXPECT_EQ(b.D().Sat_Tab4[0].Prn, 120);
    EXPECT_NE(r.mask & GNSS_FLAG_SAT_4, 0u);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
