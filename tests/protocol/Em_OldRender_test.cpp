// The protocol object's renderers for the command builders, and the point record encoding.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "Em_OldPointRecord.h"
#include "Em_OldProtocol.h"

using namespace Brevan2011::BVParse;

namespace {

_STR_CMD Cmd(std::size_t length, unsigned pause, unsigned char first = 'a') {
    _STR_CMD c = {};
    for (std::size_t i = 0; i < length; ++i) {
        c.data[i] = static_cast<unsigned char>(first + i % 26);
    }
    c.length = static_cast<uint32_t>(length);
    c.pause = pause;
    return c;
}

TEST(Em_OldRender, LinkFormFollowsComStatus) {
    Em_OldProtocol p;
    _STR_CMD c = {};
    ASSERT_TRUE(p.Pack_OldFrame("RG,B0", c));
    EXPECT_EQ(c.length, 10u);
    EXPECT_EQ(c.data[4], 0x18);
    p.Set_Com_Status(COM_STATUS_BLUETOOTH);
    ASSERT_TRUE(p.Pack_OldFrame("VM,B1", c, kOldKindCarrier));
    EXPECT_EQ(c.data[4], 0x3B);
    ASSERT_TRUE(p.Pack_OldAtFrame(0x5F, nullptr, 0, c));
    EXPECT_EQ(c.length, 15u);
    EXPECT_EQ(c.data[4], 0x3B);
    // Any other port kind renders nothing.
    p.Set_Com_Status(static_cast<Com_Status>(3));
    _STR_CMD untouched = Cmd(4, 7);
    EXPECT_FALSE(p.Pack_OldFrame("RG,B0", untouched));
    EXPECT_FALSE(p.Wrap_OldCmd_RZ(untouched));
    EXPECT_EQ(untouched.length, 4u);
    EXPECT_EQ(untouched.data[0], 'a');
}

TEST(Em_OldRender, WrapKeepsThePause) {
    Em_OldProtocol p;
    const struct {
        bool (Em_OldProtocol::*wrap)(_STR_CMD&) const;
        const char* letters;
    } forms[] = {
        {&Em_OldProtocol::Wrap_OldCmd_RZ, "RZ"}, {&Em_OldProtocol::Wrap_OldCmd_VD, "VD"},
        {&Em_OldProtocol::Wrap_OldCmd_SS, "SS"}, {&Em_OldProtocol::Wrap_OldCmd_SX, "SX"},
        {&Em_OldProtocol::Wrap_OldCmd_SJ, "SJ"},
    };
    for (const auto& f : forms) {
        _STR_CMD c = Cmd(133, 100);
        ASSERT_TRUE((p.*f.wrap)(c));
        EXPECT_EQ(c.length, 142u);
        EXPECT_EQ(c.pause, 100u);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(c.data) + 2, 2), f.letters);
        EXPECT_EQ(c.data[5], 133);
        EXPECT_EQ(c.data[6], 'a');
    }
    _STR_CMD big = Cmd(300, 10);
    EXPECT_FALSE(p.Wrap_OldCmd(big, 'F', 'Y'));
    EXPECT_EQ(big.length, 300u);
}

TEST(Em_OldRender, SplitIntoChunks) {
    Em_OldProtocol p;
    struct Case {
        std::size_t length;
        std::vector<unsigned> payloads;
        std::vector<unsigned> pauses;
    };
    const Case cases[] = {
        {55, {55}, {7}},
        {56, {55, 1}, {100, 100}},
        {110, {55, 55}, {100, 100}},
        {111, {55, 55, 1}, {100, 100, 100}},
        {0, {0}, {7}},
    };
    for (const auto& c : cases) {
        Cmd_List in = {Cmd(c.length, 7)};
        Cmd_List rz, vl;
        p.Split_OldCmds_RZ(rz, in);
        p.Split_OldCmds_VL(vl, in);
        ASSERT_EQ(rz.size(), c.payloads.size()) << c.length;
        ASSERT_EQ(vl.size(), c.payloads.size()) << c.length;
        std::size_t offset = 0;
        for (std::size_t i = 0; i < rz.size(); ++i) {
            EXPECT_EQ(rz[i].data[2], 'R');
            EXPECT_EQ(rz[i].data[5], c.payloads[i]);
            EXPECT_EQ(rz[i].length, c.payloads[i] + 9);
            EXPECT_EQ(rz[i].pause, c.pauses[i]);
            EXPECT_EQ(vl[i].data[2], 'V');
            EXPECT_EQ(vl[i].data[3], 'L');
            EXPECT_EQ(vl[i].data[4], 0x1B);
            EXPECT_EQ(vl[i].data[5], c.payloads[i]);
            EXPECT_EQ(vl[i].pause, c.pauses[i]);
            if (c.payloads[i] > 0) {
                EXPECT_EQ(rz[i].data[6], 'a' + offset % 26);
                EXPECT_EQ(vl[i].data[6], 'a' + offset % 26);
            }
            offset += c.payloads[i];
        }
    }
    // Several commands keep their order.
    Cmd_List in = {Cmd(3, 1, 'a'), Cmd(60, 2, 'k'), Cmd(4, 3, 'x')};
    Cmd_List out;
    p.Split_OldCmds_RZ(out, in);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].data[6], 'a');
    EXPECT_EQ(out[1].data[6], 'k');
    EXPECT_EQ(out[3].data[6], 'x');
    EXPECT_EQ(out[3].pause, 3u);
}

std::vector<unsigned char> PointRecord(std::size_t size) {
    std::vector<unsigned char> r(size);
    std::iota(r.begin(), r.end(), 0);
    return r;
}

unsigned Sum(const unsigned char* b, std::size_t n) {
    return std::accumulate(b, b + n, 0u) & 0xFFFF;
}

TEST(Em_OldRender, PointRecords) {
    std::vector<unsigned char> rec = PointRecord(120);
    rec[40] = 5;   // t1
    rec[73] = 10;  // t2
    unsigned char out[kPointRecordBuffer] = {};
    int n = Build_PointInfo_Record(rec.data(), rec.size(), out, 6);
    ASSERT_EQ(n, 43 + 5 + 10 + 2);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x0B);
    EXPECT_EQ(out[2], 0xF4);
    EXPECT_EQ(out[3], 43 + 15 - 4);
    EXPECT_EQ(out[4], 6);
    EXPECT_EQ(out[5], 0);
    EXPECT_EQ(out[8], 3);
    EXPECT_EQ(out[9], 8);
    EXPECT_EQ(out[15], 14);
    EXPECT_EQ(out[31], 30);
    EXPECT_EQ(out[40], 39);
    EXPECT_EQ(out[41], 5);
    EXPECT_EQ(out[42], 41);
    EXPECT_EQ(out[47], 74);
    EXPECT_EQ(out[57], 0);
    EXPECT_EQ(out[58] | (out[59] << 8), Sum(out, 58));

    unsigned char out7[kPointRecordBuffer] = {};
    EXPECT_EQ(Build_PointInfo_Record(rec.data(), rec.size(), out7, 7), 47);
    EXPECT_EQ(out7[3], 41);
    EXPECT_EQ(out7[41], 5);  // byte 40 holds t1 here
    EXPECT_EQ(out7[44], 43);
    unsigned char out12[kPointRecordBuffer] = {};
    EXPECT_EQ(Build_PointInfo_Record(rec.data(), rec.size(), out12, 12), 60);
    EXPECT_EQ(out12[41], 80);
    EXPECT_EQ(out12[42], 84);
    EXPECT_EQ(out12[46], 0);
    unsigned char out9[kPointRecordBuffer] = {};
    EXPECT_EQ(Build_PointInfo_Record(rec.data(), rec.size(), out9, 9), 43);
    EXPECT_EQ(out9[3], 0);

    // Unbounded text lengths are refused instead of running past the record or the buffer.
    unsigned char guard[kPointRecordBuffer] = {};
    rec[40] = 33;
    EXPECT_EQ(Build_PointInfo_Record(rec.data(), rec.size(), guard, 6), -1);
    rec[40] = 32;
    rec[73] = 255;
    EXPECT_EQ(Build_PointInfo_Record(rec.data(), rec.size(), guard, 6), -1);
    std::vector<unsigned char> big = PointRecord(400);
    big[40] = 32;
    big[73] = 74;  // 43 + 32 + 74 + 2 = 151
    EXPECT_EQ(Build_PointInfo_Record(big.data(), big.size(), guard, 6), -1);
    big[73] = 73;
    EXPECT_EQ(Build_PointInfo_Record(big.data(), big.size(), guard, 6), 150);
    EXPECT_EQ(Build_PointInfo_Record(nullptr, 120, guard, 6), -1);
    EXPECT_EQ(Build_PointInfo_Record(rec.data(), rec.size(), nullptr, 6), -1);
}

}  // namespace
