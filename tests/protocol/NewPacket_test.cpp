#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>

#include "BVParse/Em_NewPacket.h"
#include "BVParse/Em_NewRecords.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using NewWire::FromHex;
using NewWire::Hex;

namespace {

std::vector<uint8_t> EncodeOne(uint16_t tag, const void* value) {
    size_t size = Encode_NewItem(nullptr, tag, value);
    std::vector<uint8_t> out(size);
    if (size != 0) {
        EXPECT_EQ(Encode_NewItem(out.data(), tag, value), size);
    }
    return out;
}

std::vector<_STR_CMD> Build(const std::vector<NewItem>& items, uint32_t id = 0) {
    std::vector<_STR_CMD> cmds;
    Build_NewPacket(cmds, items, id);
    return cmds;
}

const uint16_t kOp14 = 14;

}  // namespace

TEST(NewPacketTest, GoldenSingleChunkFrame) {
    const uint16_t nine = 9;
    std::vector<_STR_CMD> cmds = Build({{0x0001, &kOp14}, {0x0410, &nine}});
    ASSERT_EQ(cmds.size(), 1u);
    const _STR_CMD& c = cmds[0];
    EXPECT_EQ(c.length, 38u);
    EXPECT_EQ(c.pause, 0u);
    const uint8_t s = c.data[3];
    std::vector<uint8_t> want = FromHex(
        "24 24 01 00 1F"
        " 04 11 00 00 00 00 00 00 00 00 01 00 0C"
        " 00 01 00 02 00 0E 04 10 00 02 00 09"
        " 00 00 00 00 09 24 0D 0A");
    want[3] = s;
    EXPECT_EQ(Hex(c.data, c.length), Hex(want));
    // Only the significant bytes carry data.
    for (size_t i = c.length; i < sizeof c.data; ++i) {
        ASSERT_EQ(c.data[i], 0) << i;
    }
}

TEST(NewPacketTest, ItemEncodings) {
    EXPECT_EQ(Hex(EncodeOne(0x0451, nullptr)), "04 51 00 00");
    const uint8_t five = 5;
    EXPECT_EQ(Hex(EncodeOne(0x0451, &five)), "04 51 00 01 05");
    const uint32_t word = 0x43D20000;
    EXPECT_EQ(Hex(EncodeOne(0x0703, &word)), "07 03 00 04 43 D2 00 00");

    QX_GSENSOR_VALID_PERIOD_STRUCT sensor{4, 0x1234};
    EXPECT_EQ(Hex(EncodeOne(0x0309, &sensor)), "03 09 00 03 04 12 34");

    QX_GNSS_BASE_SET_STRUCT base{3, 1.0, -2.5, 100.0};
    EXPECT_EQ(Hex(EncodeOne(0x0452, &base)),
              "04 52 00 1A 00 03 3F F0 00 00 00 00 00 00 C0 04 00 00 00 00 00 00"
              " 40 59 00 00 00 00 00 00");

    QX_RADIO_CALLSIGN_STRUCT call{};
    call.b1 = 1;
    call.b2 = 2;
    std::memset(call.text, 'A', sizeof call.text);
    std::vector<uint8_t> item = EncodeOne(0x0718, &call);
    ASSERT_EQ(item.size(), 23u);
    EXPECT_EQ(item[3], 19);
    EXPECT_EQ(item[4 + 2 + 15], 'A');
    EXPECT_EQ(item[4 + 2 + 16], 0) << "the 17th text byte goes out as 0";

    // A value given with a tag the protocol does not list is ignored.
    EXPECT_EQ(Hex(EncodeOne(0x7777, &word)), "77 77 00 00");
    // Tags whose value is required cannot ask.
    EXPECT_EQ(Encode_NewItem(nullptr, 0x0001, nullptr), 0u);
    EXPECT_EQ(Encode_NewItem(nullptr, 0x0404, nullptr), 0u);
    EXPECT_EQ(Encode_NewItem(nullptr, 0x0309, nullptr), 0u);
}

TEST(NewPacketTest, BaseListAndBlockLengths) {
    BASE_POS_LIST_STRUCT list{};
    list.value = 0;
    list.limit = 10;
    list.list.resize(3, BASE_POS_ENTRY{1.0, 2.0, 7});
    std::vector<uint8_t> item = EncodeOne(0x0457, &list);
    ASSERT_EQ(item.size(), 74u);
    EXPECT_EQ(item[3], 70);
    EXPECT_EQ(item[4 + 9], 3) << "count byte";
    EXPECT_EQ(item[4 + 10 + 20 * 2 + 19], 7);
    list.list.resize(255);
    EXPECT_EQ(Encode_NewItem(nullptr, 0x0457, &list), 4u + 10 + 20 * 255);
    list.list.resize(256);
    EXPECT_EQ(Encode_NewItem(nullptr, 0x0457, &list), 0u) << "count would wrap";

    std::vector<uint8_t> bytes = {1, 2, 3};
    QX_BLOCK_DATA_STRUCT block{3, bytes.data()};
    EXPECT_EQ(Hex(EncodeOne(0x1504, &block)), "15 04 00 07 00 00 00 03 01 02 03");
    QX_BLOCK_DATA_STRUCT broken{3, nullptr};
    EXPECT_EQ(Encode_NewItem(nullptr, 0x1504, &broken), 0u);
}

TEST(NewPacketTest, RefusedPacketsAppendNothing) {
    const uint16_t ten = 10;
    // One item only.
    EXPECT_TRUE(Build({{0x0001, &kOp14}}).empty());
    // A required value missing.
    EXPECT_TRUE(Build({{0x0001, &kOp14}, {0x0404, nullptr}}).empty());
    EXPECT_TRUE(Build({{0x0001, nullptr}, {0x0410, &ten}}).empty());
    // Body below 10: two items of 4 bytes each.
    EXPECT_TRUE(Build({{0x0454, nullptr}, {0x0453, nullptr}}).empty());

    // Counts that overflow a 16-bit length, or a body above 65280, send nothing.
    std::vector<uint8_t> big(70000, 0xAB);
    for (uint32_t count : {65532u, 70000u, 65531u, 65267u}) {
        QX_BLOCK_DATA_STRUCT block{count, big.data()};
        std::vector<_STR_CMD> cmds = Build({{0x0001, &kOp14}, {0x1504, &block}});
        EXPECT_TRUE(cmds.empty()) << count;
    }
    // The largest body that is sent: 6 + 4 + 4 + 65266 = 65280.
    QX_BLOCK_DATA_STRUCT block{65266, big.data()};
    std::vector<_STR_CMD> cmds = Build({{0x0001, &kOp14}, {0x1504, &block}});
    std::vector<NewWire::Frame> frames;
    std::string error;
    ASSERT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes.size(), 65280u + 19);
    ASSERT_EQ(frames[0].items.size(), 2u);
    EXPECT_EQ(frames[0].items[1].value.size(), 65270u);
    EXPECT_EQ(cmds.size(), (65299u + 249) / 250);
}

TEST(NewPacketTest, SmallestBodyAndCommandId) {
    std::vector<_STR_CMD> cmds = Build({{0x0001, &kOp14}, {0x7001, nullptr}}, 0x0303);
    std::vector<NewWire::Frame> frames;
    std::string error;
    ASSERT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes.size(), 10u + 19);
    EXPECT_EQ(frames[0].commandId, 0x0303u);
    EXPECT_EQ(frames[0].word, 1u);
    EXPECT_EQ(frames[0].Operation(), 14);
    EXPECT_EQ(frames[0].items[1].tag, 0x7001);
}

TEST(NewChunkPlanTest, EveryLengthUpTo20000) {
    std::vector<size_t> sizes;
    for (size_t t = 1; t <= 20000; ++t) {
        Plan_NewChunks(t, sizes);
        ASSERT_EQ(sizes.size(), (t + 249) / 250) << t;
        ASSERT_EQ(std::accumulate(sizes.begin(), sizes.end(), size_t{0}), t) << t;
        for (size_t k : sizes) {
            ASSERT_GE(k, 1u) << t;
            ASSERT_LE(k, 250u) << t;
        }
    }
    Plan_NewChunks(0, sizes);
    EXPECT_TRUE(sizes.empty());
}

TEST(NewChunkPlanTest, NamedCases) {
    struct Case {
        size_t t;
        std::vector<size_t> sizes;
    };
    const Case cases[] = {
        {249, {249}},      {250, {250}},           {251, {125, 126}},
        {500, {250, 250}}, {501, {167, 167, 167}}, {749, {249, 250, 250}},
    };
    for (const Case& c : cases) {
        std::vector<size_t> sizes;
        Plan_NewChunks(c.t, sizes);
        EXPECT_EQ(sizes, c.sizes) << c.t;
    }
}

TEST(NewChunkPlanTest, SequenceWrapsAcrossFrames) {
    while (Next_NewSequence() != 248) {
    }
    // A 600-byte frame takes three chunks: 249, 250, then 0.
    std::vector<uint8_t> body(581, 0);
    QX_BLOCK_DATA_STRUCT block{571, body.data()};
    std::vector<_STR_CMD> cmds = Build({{0x0001, &kOp14}, {0x1504, &block}});
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].data[3], 249);
    EXPECT_EQ(cmds[1].data[3], 250);
    EXPECT_EQ(cmds[2].data[3], 0);
    // The next frame goes on from there.
    cmds = Build({{0x0001, &kOp14}, {0x0454, nullptr}});
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].data[3], 1);
}
