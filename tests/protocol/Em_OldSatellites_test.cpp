// RH satellite messages: chunk assembly, the five layouts and the merge with the board tables.
#include <gtest/gtest.h>

#include <cstring>

#include "Em_OldProtocol.h"
#include "Em_OldReceiver.h"
#include "Em_OldTestFrames.h"
#include "support/Fake_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using oldtest::Bytes;

namespace {

struct SatFixture : ::testing::Test {
    Em_OldReceiver rx;
    Script_Data data;
    Em_OldBoardSats view = Em_OldProtocol::Board_Sats(&data);

    // One RH chunk as it lies in the zeroed frame buffer.
    Em_OldReport Chunk(const Bytes& payload) {
        std::uint8_t frame[64] = {};
        std::memcpy(frame, payload.data(), std::min<std::size_t>(payload.size(), 64));
        return rx.Decode_RH(frame, payload.size(), view);
    }
    // A whole message: 55-byte chunks and a last, shorter one.
    Em_OldReport Message(const Bytes& m) {
        Em_OldReport r;
        std::size_t at = 0;
        while (m.size() - at >= 55) {
            r = Chunk(Bytes(m.begin() + at, m.begin() + at + 55));
            EXPECT_EQ(r.flags, 0u);
            at += 55;
        }
        return Chunk(Bytes(m.begin() + at, m.end()));
    }
};

// Layout B message: n, 1, 8 spare bytes, then 8-byte items.
Bytes LayoutB(const std::vector<int>& prns) {
    Bytes m = {static_cast<std::uint8_t>(prns.size()), 1, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int prn : prns) {
        const Bytes item = {static_cast<std::uint8_t>(prn), 45, 0x01, 0x2C, 160, 0, 0, 0};
        m.insert(m.end(), item.begin(), item.end());
    }
    return m;
}

TEST_F(SatFixture, ChunksAssembleOneMessage) {
    std::vector<int> prns;
    for (int i = 1; i <= 20; ++i) {
        prns.push_back(i);
    }
    Bytes m = LayoutB(prns);  // 170 bytes: 55 + 55 + 55 + 5
    m.resize(175, 0);
    const Em_OldReport r = Message(m);
    EXPECT_EQ(r.category, 1);
    EXPECT_EQ(+data.Sat_Gps_Count, 20);
    EXPECT_EQ(rx.rhBuffer.fill, 0);
    EXPECT_EQ(+data.Sat_Gps[19].Prn, 20);
    EXPECT_EQ(+data.Sat_Gps[0].Azimuth, 300);
    EXPECT_EQ(+data.Sat_Gps[0].Snr1, 40.0f);
    EXPECT_EQ(+data.Sat_Gps[0].Signal, 1);
}

TEST_F(SatFixture, OverlongAssemblyIsCleared) {
    const Bytes full(55, 0x01);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Chunk(full).flags, 0u);
    }
    EXPECT_EQ(rx.rhBuffer.fill, 330);
    EXPECT_EQ(Chunk(full).flags, 0u);  // over 275 before this chunk: cleared, chunk dropped
    EXPECT_EQ(rx.rhBuffer.fill, 0);
    const Em_OldReport r = Chunk(LayoutB({5}));
    EXPECT_EQ(r.flags, 0x48000100u);
    EXPECT_EQ(+data.Sat_Gps_Count, 1);
}

TEST_F(SatFixture, LayoutBGroups) {
    data.Sat_Gps_Count = 9;
    const Em_OldReport r = Message(LayoutB({5, 40, 125, 170}));
    EXPECT_EQ(r.category, 1);
    EXPECT_EQ(r.flags, 0x8000000u | 0x100000u | 0x400000u | 0x200000u | 0x40000000u | 0x100u);
    EXPECT_EQ(+data.Sat_Gps_Count, 1);
    EXPECT_EQ(+data.Sat_Glo_Count, 1);
    EXPECT_EQ(+data.Sat_Tab4_Count, 1);
    EXPECT_EQ(+data.Sat_Bds_Count, 1);
    EXPECT_EQ(+data.Sat_Bds[0].Prn, 170);
    EXPECT_EQ(+data.Sat_Type_Num, 4);
    EXPECT_EQ(rx.groupCount, 4);
    // A PRN in no group is left out; no satellite at all reports nothing but the category.
    const Em_OldReport none = Message(LayoutB({100}));
    EXPECT_EQ(none.flags, 0u);
    EXPECT_EQ(none.category, 1);
    EXPECT_EQ(+data.Sat_Gps_Count, 0);
}

TEST_F(SatFixture, ItemsPastTheBytesReceivedAreNotDecoded) {
    // A count above the items sent: only whole items within the payload count, never the
    // frame buffer's zero padding behind it.
    struct Case {
        Bytes message;
        int gps;
    };
    Bytes cut = LayoutB({1, 2, 3});
    cut[0] = 64;
    cut.resize(20);  // ends inside the second item
    Bytes three = LayoutB({1, 2, 3});
    three[0] = 6;
    Bytes chunked = LayoutB({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});  // 98 bytes: 55 + 43
    chunked[0] = 20;
    const Case cases[] = {{cut, 1}, {three, 3}, {chunked, 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message.size() << " bytes");
        const Em_OldReport r = Message(c.message);
        EXPECT_EQ(r.category, 1);
        EXPECT_EQ(+data.Sat_Gps_Count, c.gps);
        for (int i = 0; i < c.gps; ++i) {
            EXPECT_EQ(+data.Sat_Gps[i].Prn, i + 1);
        }
    }
}

TEST_F(SatFixture, FortyGpsSatellitesStopAt32) {
    Bytes m = {40, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 40; ++i) {
        const Bytes item = {static_cast<std::uint8_t>(i % 32 + 1), 30, 0x10, 0x81, 41, 38, 0};
        m.insert(m.end(), item.begin(), item.end());
    }
    const Em_OldReport r = Message(m);
    EXPECT_EQ(r.flags, 0x8000000u | 0x40000000u | 0x100u);
    EXPECT_EQ(+data.Sat_Gps_Count, 40);  // counted, 32 stored
    EXPECT_EQ(+data.Sat_Gps[31].Prn, 32);
    EXPECT_EQ(+data.Sat_Gps[0].Azimuth, 0x10 + 256);
    EXPECT_EQ(+data.Sat_Gps[0].Used, 0x80);
    EXPECT_EQ(+data.Sat_Gps[0].Snr1, 41.0f);
    EXPECT_EQ(+data.Sat_Gps[0].Snr2, 38.0f);
    EXPECT_EQ(+data.Sat_Glo_Count, 0);
}

TEST_F(SatFixture, LayoutERanges) {
    Bytes m = {6, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int prn : {0, 33, 38, 61, 120, 191}) {
        const Bytes item = {static_cast<std::uint8_t>(prn), 10, 1, 0, 40, 0, 0};
        m.insert(m.end(), item.begin(), item.end());
    }
    const Em_OldReport r = Message(m);
    EXPECT_EQ(+data.Sat_Gps_Count, 0);
    EXPECT_EQ(+data.Sat_Glo_Count, 2);
    EXPECT_EQ(+data.Sat_Tab4_Count, 1);
    EXPECT_EQ(+data.Sat_Bds_Count, 0);
    EXPECT_EQ(r.flags, 0x100000u | 0x400000u | 0x40000000u | 0x100u);
    EXPECT_EQ(+data.Sat_Type_Num, 2);
}

// Layout A message: n, 0, then 3-byte items (PRN, signal byte, SNR).
Bytes LayoutA(const std::vector<std::array<int, 3>>& items) {
    Bytes m = {static_cast<std::uint8_t>(items.size()), 0};
    for (const auto& it : items) {
        m.push_back(static_cast<std::uint8_t>(it[0]));
        m.push_back(static_cast<std::uint8_t>(it[1]));
        m.push_back(static_cast<std::uint8_t>(it[2]));
    }
    return m;
}

TEST_F(SatFixture, LayoutAPairsAndAlternates) {
    const Em_OldReport r = Message(LayoutA({
        {5, 0x42, 40},  // GPS 5, L1, signal bit 6
        {6, 10, 30},    // L2 of another PRN: ignored, 5 stays current
        {5, 10, 35},    // L2 of 5: closes it
        {7, 1, 44},     // L1 of 7
        {8, 2, 45},     // another L1 overwrites the open record
        {8, 9, 41},     // closes 8
        {40, 3, 20},    // GLONASS 40 L1, never closed
        {161, 9, 30},   // BDS: first of a pair, whatever its code
        {162, 1, 31},   // another PRN in between: skipped
        {161, 1, 32},   // second of the pair: closes
        {200, 1, 1},    // in no group
    }));
    EXPECT_EQ(r.category, 1);
    EXPECT_EQ(r.flags, 0x100u);  // board tables empty: only the message bit
    const Em_OldSatGroup& gps = rx.ownGroups[0];
    ASSERT_EQ(gps.count, 2);
    EXPECT_EQ(+gps.sats[0].Prn, 5);
    EXPECT_EQ(+gps.sats[0].Snr1, 40.0f);
    EXPECT_EQ(+gps.sats[0].Snr2, 35.0f);
    EXPECT_EQ(+gps.sats[0].Signal, 2);
    EXPECT_EQ(+gps.sats[0].Status, 0x40);
    EXPECT_EQ(+gps.sats[1].Prn, 8);
    EXPECT_EQ(+gps.sats[1].Snr2, 41.0f);
    EXPECT_EQ(+rx.ownGroups[1].count, 0);
    ASSERT_EQ(rx.ownGroups[2].count, 1);
    EXPECT_EQ(+rx.ownGroups[2].sats[0].Prn, 161);
    EXPECT_EQ(+rx.ownGroups[2].sats[0].Snr1, 30.0f);
    EXPECT_EQ(+rx.ownGroups[2].sats[0].Snr2, 32.0f);
}

TEST_F(SatFixture, MergeWithBoardTables) {
    const Bytes a = LayoutA({{5, 1, 40}, {5, 9, 35}, {7, 1, 44}, {7, 9, 42}});
    auto boardGps = [this](std::vector<int> prns) {
        data.Sat_Gps_Count = static_cast<int>(prns.size());
        for (std::size_t i = 0; i < prns.size(); ++i) {
            data.Sat_Gps[i] = SATLLITE_STR{};
            data.Sat_Gps[i].Prn = prns[i];
            data.Sat_Gps[i].Elevation = 10 + static_cast<int>(i);
        }
    };
    // Switch 0: the group is counted and reported as it is.
    boardGps({3, 5, 7});
    data.Sat_Switch_Gps = 0;
    Em_OldReport r = Message(a);
    EXPECT_EQ(r.flags, 0x8000000u | 0x100u);
    EXPECT_EQ(+data.Sat_Gps_Count, 3);
    EXPECT_EQ(+data.Sat_Type_Num, 1);

    // Switch 1 without the waiting bit: nothing merged, nothing reported for the group.
    data.Sat_Switch_Gps = 1;
    data.Deferred_Gps = 0;
    r = Message(a);
    EXPECT_EQ(r.flags, 0x100u);
    EXPECT_EQ(+data.Sat_Type_Num, 0);

    // Switch 1 with the waiting bit: found records take the own SNRs, moved to the front.
    data.Deferred_Gps = 0x08;
    r = Message(a);
    EXPECT_EQ(r.flags, 0x8000000u | 0x100u);
    ASSERT_EQ(data.Sat_Gps_Count, 2);
    EXPECT_EQ(+data.Sat_Gps[0].Prn, 5);
    EXPECT_EQ(+data.Sat_Gps[0].Elevation, 11);
    EXPECT_EQ(+data.Sat_Gps[0].Snr1, 40.0f);
    EXPECT_EQ(+data.Sat_Gps[0].Snr2, 35.0f);
    EXPECT_EQ(+data.Sat_Gps[1].Prn, 7);
    EXPECT_EQ(+data.Sat_Gps[1].Snr2, 42.0f);
    EXPECT_EQ(data.Deferred_Gps, 0u);

    // SBAS counts when its board table holds 1 to 32 satellites; 40 is out of range.
    data.Sat_Tab4_Count = 2;
    r = Message(a);
    EXPECT_EQ(r.flags, 0x400000u | 0x100u);
    data.Sat_Tab4_Count = 40;
    r = Message(a);
    EXPECT_EQ(r.flags, 0x100u);

    // A board count above 32 is walked only up to 32.
    data.Sat_Gps_Count = 50;
    data.Deferred_Gps = 0x08;
    r = Message(a);
    EXPECT_LE(data.Sat_Gps_Count, 32);
}

TEST_F(SatFixture, LayoutsCAndD) {
    // D refills the own groups and copies the counts to the board; nothing is reported.
    Bytes d = {3, 2, 1};
    for (int prn : {3, 45, 165}) {
        const Bytes item = {static_cast<std::uint8_t>(prn), 20, 0x10, 0x01};
        d.insert(d.end(), item.begin(), item.end());
    }
    Em_OldReport r = Message(d);
    EXPECT_EQ(r.category, 1);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(+rx.ownGroups[0].count, 1);
    EXPECT_EQ(+rx.ownGroups[0].sats[0].Azimuth, 0x110);
    EXPECT_EQ(+rx.ownGroups[1].sats[0].Prn, 45);
    EXPECT_EQ(+rx.ownGroups[2].sats[0].Prn, 165);
    EXPECT_EQ(+data.Sat_Gps_Count, 1);
    EXPECT_EQ(+data.Sat_Glo_Count, 1);
    EXPECT_EQ(+data.Sat_Bds_Count, 1);

    // C sets SNRs on the own satellites (kind 16 the first) and copies them to the board.
    const Bytes c = {3, 2, 0, 3, 44, 16, 3, 39, 2, 45, 30, 16};
    r = Message(c);
    EXPECT_EQ(r.category, 1);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(+rx.ownGroups[0].sats[0].Snr1, 44.0f);
    EXPECT_EQ(+rx.ownGroups[0].sats[0].Snr2, 39.0f);
    EXPECT_EQ(+data.Sat_Gps[0].Prn, 3);
    EXPECT_EQ(+data.Sat_Gps[0].Snr1, 44.0f);
    EXPECT_EQ(+data.Sat_Glo[0].Snr1, 30.0f);

    // An unknown layout byte is dropped without a report.
    const Bytes bad = {1, 2, 7, 3, 44, 16};
    r = Message(bad);
    EXPECT_EQ(r.category, 0);
    const Bytes tooMany = {65, 1};
    EXPECT_EQ(Message(tooMany).category, 0);
}

TEST(Em_OldSatellites, NoBoardConsumesTheFrame) {
    Em_OldProtocol p;
    const Bytes f = oldtest::Frame("RH", LayoutB({5}));
    p.Ring()->Append(f.data(), static_cast<int>(f.size()));
    EXPECT_EQ(p.Parse_Step(), 1);
    EXPECT_EQ(p.Get_Flags(), 0u);
    EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());
}

}  // namespace
