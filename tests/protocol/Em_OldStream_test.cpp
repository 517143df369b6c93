// A hand-built old-protocol stream through Em_Gnss, and replies interleaved with each other.
#include <gtest/gtest.h>

#include <random>

#include "BVParse/Em_Gnss.h"
#include "Em_OemBoard.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"

using namespace Brevan2011::BVParse;
using oldtest::AtReply;
using oldtest::Bytes;
using oldtest::Frame;

namespace {

using Step = std::pair<int, std::uint32_t>;

void Collect(Msg_Type category, uint32_t flags, const void* user) {
    auto* seen = static_cast<std::vector<Step>*>(const_cast<void*>(user));
    seen->emplace_back(category, flags);
}

Bytes DeviceBlock() {
    Bytes b(128);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b[i] = static_cast<std::uint8_t>(i);
    }
    std::memcpy(b.data(), "1905", 4);
    return b;
}

Bytes SatMessage() {
    Bytes m = {8, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int prn : {5, 40, 125, 170, 6, 7, 41, 171}) {
        const Bytes item = {static_cast<std::uint8_t>(prn), 30, 0, 90, 160, 120, 0, 0};
        m.insert(m.end(), item.begin(), item.end());
    }
    return m;  // 74 bytes: a chunk of 55 and one of 19
}

Bytes Network() {
    Bytes d(110, 0);
    d[13 - 7] = 'U';
    d[72 - 7] = 3;
    d[73 - 7] = 'x', d[74 - 7] = 'y', d[75 - 7] = 'z';
    return AtReply('Y', d);
}

Bytes Slice(const Bytes& b, std::size_t from, std::size_t to) {
    return Bytes(b.begin() + from, b.begin() + to);
}

TEST(Em_OldStream, HandBuiltStreamThroughEmGnss) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> byte(0, 255);
    auto noise = [&](std::size_t n) {
        Bytes b;
        for (std::size_t i = 0; i < n; ++i) {
            b.push_back(static_cast<std::uint8_t>(byte(rng)));
        }
        return b;
    };
    const Bytes block = DeviceBlock();
    const Bytes sats = SatMessage();
    const Bytes net = Network();
    const std::vector<Bytes> parts = {
        noise(17),
        Frame("SD", {1, 74, 0, 0, 205}),
        Frame("SI", Slice(block, 0, 50)),
        Frame("RH", Slice(sats, 0, 55)),
        Frame("SI", Slice(block, 50, 100)),
        noise(23),
        Frame("SI", Slice(block, 100, 128)),
        Frame("RH", Slice(sats, 55, 74)),
        Frame("VI", Slice(net, 0, 60)),
        noise(9),
        Frame("VI", Slice(net, 60, 120)),
        Frame("FW", Bytes(55, 0x11)),
        Frame("FW", Bytes(20, 0x22)),
        Frame("RC", {238, 0, 0, 0, 7, 1, 2, 4, 5, 6, 11, 13, 0, 1, 2, 4}),
        noise(31),
        Bytes(300, 0),
    };
    Bytes stream;
    for (const Bytes& p : parts) {
        stream.insert(stream.end(), p.begin(), p.end());
    }

    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    std::vector<Step> seen;
    const _CALLBACKS_RECEIVER callbacks = {&Collect, nullptr};
    gnss.Reg_Callbacks(&callbacks, &seen);
    for (std::size_t at = 0; at < stream.size(); at += 7) {
        const std::size_t n = std::min<std::size_t>(7, stream.size() - at);
        gnss.RcvData(stream.data() + at, static_cast<unsigned>(n));
        gnss.ParseData();
    }

    const std::vector<Step> expected = {
        {2, 0x44000000u},
        {2, 0x80000000u},
        {1, 0x8000000u | 0x100000u | 0x400000u | 0x200000u | 0x40000000u | 0x100u},
        {2, 0x20000000u},
        {8, 0x8u},
        {8, 0x10u},
        {8, 0x800u},
    };
    EXPECT_EQ(seen, expected);

    auto* p = dynamic_cast<Em_OldProtocol*>(gnss.Get_Protocol());
    ASSERT_NE(p, nullptr);
    const Em_OldReceiver& rx = p->Receiver();
    EXPECT_EQ(rx.batteryLevel, 5);
    EXPECT_EQ(rx.voltageClass, 2);
    EXPECT_EQ(Device_BoardType(rx.device), 2);
    EXPECT_EQ(rx.modelClass, 2);
    const Em_OemData* d = p->Board()->Data();
    EXPECT_EQ(d->Sat_Gps_Count, 3);
    EXPECT_EQ(d->Sat_Glo_Count, 2);
    EXPECT_EQ(d->Sat_Bds_Count, 2);
    EXPECT_EQ(d->Sat_Tab4_Count, 1);
    EXPECT_EQ(d->Sat_Type_Num, 4);
    EXPECT_EQ(rx.wireless.protocol, 0);
    EXPECT_EQ(rx.wireless.textC, "xyz");
    EXPECT_EQ(rx.staticFileData.length, 20);
    EXPECT_EQ(rx.staticFileData.data[0], 0x22);
    EXPECT_EQ(rx.nmeaConfig.port, 1);
    EXPECT_EQ(rx.nmeaConfig.count, 11);
    EXPECT_EQ(rx.nmeaConfig.messages[10].Rate_Id, 4);
    EXPECT_EQ(p->Ring()->Mark(), p->Ring()->Fill());
}

struct Interleave : ::testing::Test {
    Em_OldProtocol p;
    std::vector<Step> seen;
    void SetUp() override { p.Create_Board(MAINBD_NOVATEL); }
    void Feed(const Bytes& f) {
        p.Ring()->Append(f.data(), static_cast<int>(f.size()));
        while (p.Parse_Step() != 0) {
            if (p.Get_Flags() != 0) {
                seen.emplace_back(p.Get_Category(), p.Get_Flags());
            }
        }
    }
};

TEST_F(Interleave, RepliesBetweenSatelliteChunksKeepTheirBytes) {
    const Bytes sats = SatMessage();
    const Bytes block = DeviceBlock();
    Feed(Frame("RH", Slice(sats, 0, 55)));
    Feed(Frame("SI", Slice(block, 0, 64)));
    Feed(Frame("FW", Bytes(55, 0x33)));
    Feed(Frame("SI", Slice(block, 64, 128)));
    Feed(Frame("RH", Slice(sats, 55, 74)));
    const std::vector<Step> expected = {
        {8, 0x8u},
        {2, 0x80000000u},
        {1, 0x8000000u | 0x100000u | 0x400000u | 0x200000u | 0x40000000u | 0x100u},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(p.Receiver().staticFileData.length, 55);
    EXPECT_EQ(p.Receiver().staticFileData.data[54], 0x33);
    EXPECT_EQ(p.Board()->Data()->Sat_Gps_Count, 3);
    EXPECT_EQ(std::string(p.Receiver().device.model, 4), "1905");
}

TEST_F(Interleave, LostSatelliteChunkLeavesTheNextFileChunk) {
    const Bytes sats = SatMessage();
    Feed(Frame("RH", Slice(sats, 0, 55)));
    Feed(Frame("RH", Slice(sats, 0, 55)));
    // The last RH chunk is lost; the file chunk that follows is the receiver's own.
    Feed(Frame("FW", Bytes(20, 0x44)));
    EXPECT_EQ(seen, (std::vector<Step>{{8, 0x10u}}));
    EXPECT_EQ(p.Receiver().staticFileData.length, 20);
    EXPECT_EQ(p.Receiver().staticFileData.data[19], 0x44);
    EXPECT_EQ(p.Receiver().staticFileData.data[20], 0);
    EXPECT_EQ(p.Receiver().rhBuffer.fill, 110);
    // An unknown frame ends the stale assembly.
    Feed(Frame("ZZ", {}));
    EXPECT_EQ(p.Receiver().rhBuffer.fill, 0);
}

TEST_F(Interleave, NetworkSettingsSplitAroundOtherReplies) {
    const Bytes net = Network();
    Feed(Frame("VI", Slice(net, 0, 50)));
    Feed(Frame("SD", {0, 84}));
    Feed(Frame("FM", Bytes(10, 1)));
    Feed(Frame("VI", Slice(net, 50, 120)));
    const std::vector<Step> expected = {{2, 0x40000000u}, {8, 0x4u}, {2, 0x20000000u}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(p.Receiver().wireless.textC, "xyz");
}

}  // namespace
