// Single-frame and chunked replies of the old protocol, decoded into the receiver state.
#include <gtest/gtest.h>

#include <cstring>

#include "Em_OldReceiver.h"
#include "Em_OldTestFrames.h"
#include "Em_OutputInterval.h"

using namespace Brevan2011::BVParse;
using oldtest::Bytes;

namespace {

struct SdCase {
    Bytes payload;
    int level;
    int voltageClass;  // -1: not touched
    std::uint32_t flags;
};

TEST(Em_OldReplies, BatteryTable) {
    const SdCase cases[] = {
        {{0, 64}, 0, -1, 0x40000000},
        {{0, 65}, 0, -1, 0x40000000},
        {{0, 66}, 1, -1, 0x40000000},
        {{0, 74}, 5, -1, 0x40000000},
        {{0, 83}, 10, -1, 0x40000000},
        {{0, 84}, 10, -1, 0x40000000},
        {{0, 0}, 0, -1, 0x40000000},
        {{3, 70}, 12, -1, 0x40000000},
        {{0, 74, 0, 0, 199}, 5, 1, 0x44000000},
        {{0, 74, 0, 0, 205}, 5, 2, 0x44000000},
        {{0, 74, 0, 0, 219}, 5, 3, 0x44000000},
        {{0, 74, 0, 0, 229}, 5, 4, 0x44000000},
        {{0, 74, 0, 0, 239}, 5, 5, 0x44000000},
        {{0, 74, 0, 0, 240}, 5, 6, 0x44000000},
        {{0, 74, 0, 0}, 5, -1, 0x40000000},  // L = 4: no voltage byte
    };
    for (const auto& c : cases) {
        Em_OldReceiver rx;
        rx.voltageClass = -1;
        const Em_OldReport r = rx.Decode_SD(c.payload.data(), c.payload.size());
        EXPECT_EQ(r.category, 2);
        EXPECT_EQ(r.flags, c.flags) << int(c.payload[1]);
        EXPECT_EQ(rx.batteryLevel, c.level) << int(c.payload[1]);
        EXPECT_EQ(rx.voltageClass, c.voltageClass);
    }
    // Under two bytes there is no level code: nothing is reported.
    Em_OldReceiver rx;
    rx.batteryLevel = 7;
    const std::uint8_t one[] = {0};
    EXPECT_EQ(rx.Decode_SD(one, 1).flags, 0u);
    EXPECT_EQ(rx.batteryLevel, 7);
}

Bytes CloseFrame() {
    Bytes payload = oldtest::Text("Close th");
    payload.resize(18, 'x');
    payload.push_back('!');
    payload.push_back(0x0D);
    payload.push_back(0x0A);
    // Tune one free byte so the check byte comes out as 0x83.
    Bytes f = oldtest::Frame("ST", payload);
    payload[10] = static_cast<std::uint8_t>(payload[10] ^ f[6 + 21] ^ 0x83);
    return oldtest::Frame("ST", payload);
}

TEST(Em_OldReplies, CloseAcknowledgement) {
    Em_OldReceiver rx;
    Bytes f = CloseFrame();
    ASSERT_EQ(f[27], 0x83);
    EXPECT_EQ(rx.Decode_ST(f.data(), 21).flags, 0x200u);

    // Any one byte changed (keeping the frame's own check valid) reports nothing.
    for (std::size_t at : {6u, 13u, 24u, 25u, 26u}) {
        Bytes payload(f.begin() + 6, f.begin() + 27);
        payload[at - 6] ^= 0x01;
        Bytes g = oldtest::Frame("ST", payload);
        EXPECT_EQ(rx.Decode_ST(g.data(), 21).flags, 0u) << at;
    }
    Bytes g = f;
    g[28] = 0x0A;  // closing bytes must be CR LF
    EXPECT_EQ(rx.Decode_ST(g.data(), 21).flags, 0u);
    Bytes shortFrame = oldtest::Frame("ST", oldtest::Text("Close th"));
    EXPECT_EQ(rx.Decode_ST(shortFrame.data(), 8).flags, 0u);
}

TEST(Em_OldReplies, StaticPoint) {
    Em_OldReceiver rx;
    Bytes p = {4, 'P', 'T', '0', '1', 0x78, 0x56, 0x34, 0x12, 9, 1};
    EXPECT_EQ(rx.Decode_FB(p.data(), p.size()).flags, 0x400u);
    EXPECT_EQ(rx.staticPoint.nameLength, 4);
    EXPECT_STREQ(rx.staticPoint.name, "PT01");
    EXPECT_EQ(rx.staticPoint.value, 0x12345678u);
    EXPECT_EQ(rx.staticPoint.byte, 9);
    EXPECT_EQ(rx.staticPoint.method, 3);
    for (auto [code, method] : {std::pair{2, 2}, {3, 4}, {0, -1}, {9, -1}}) {
        p[10] = static_cast<std::uint8_t>(code);
        rx.Decode_FB(p.data(), p.size());
        EXPECT_EQ(rx.staticPoint.method, method);
    }
    // A name of 40 bytes does not fit the 32-byte field; value and method past L are missing.
    Bytes longName(60, 'N');
    longName[0] = 40;
    EXPECT_EQ(rx.Decode_FB(longName.data(), longName.size()).flags, 0u);
    EXPECT_STREQ(rx.staticPoint.name, "PT01");
    Bytes cut = {4, 'P', 'T', '0', '2', 1, 2, 3, 4, 5};
    EXPECT_EQ(rx.Decode_FB(cut.data(), cut.size()).flags, 0u);
    Bytes full32(39, 'Q');
    full32[0] = 32;
    EXPECT_EQ(rx.Decode_FB(full32.data(), full32.size()).flags, 0x400u);
    EXPECT_EQ(std::string(rx.staticPoint.name, 32), std::string(32, 'Q'));
}

TEST(Em_OldReplies, BubbleAndStaticTime) {
    Em_OldReceiver rx;
    Bytes p = {0x01, 0x02, 0x03, 0xA4, 5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(rx.Decode_FF(p.data(), p.size()).flags, 0x1u);
    EXPECT_EQ(rx.bubble.words[0], 0x04030201u);
    EXPECT_EQ(rx.bubble.words[1], 0xAu);
    EXPECT_EQ(rx.bubble.words[2], 5u);
    EXPECT_EQ(rx.bubble.words[3], 0xFFFFFFFFu);
    EXPECT_EQ(rx.Decode_FF(p.data(), 11).flags, 0u);

    Bytes t = {1, 0, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(rx.Decode_FH(t.data(), t.size()).flags, 0x80u);
    EXPECT_EQ(rx.staticTime[0], 1u);
    EXPECT_EQ(rx.staticTime[1], 256u);
}

TEST(Em_OldReplies, LongPayloadsAreCut) {
    Em_OldReceiver rx;
    Bytes p(255);
    for (std::size_t i = 0; i < p.size(); ++i) {
        p[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_EQ(rx.Decode_RX(p.data(), p.size()).flags, 0x2000u);
    EXPECT_EQ(rx.rxLength, 200);
    EXPECT_EQ(rx.rxData[199], 199);
    EXPECT_EQ(rx.Decode_VY(p.data(), p.size()).flags, 0x100u);
    EXPECT_EQ(rx.firmwareDb.at(256)[203], 203);
    EXPECT_EQ(rx.Decode_VY(p.data(), 3).flags, 0x100u);
    EXPECT_EQ(rx.firmwareDb.at(256)[3], 0);  // zero-padded
    EXPECT_EQ(rx.Decode_VM(p.data(), 255).flags, 0x1000u);
    EXPECT_EQ(rx.wireless.sourceListLength, 255);
    EXPECT_EQ(rx.Decode_VM(p.data(), 0).flags, 0x1000u);
    EXPECT_EQ(rx.wireless.sourceListLength, 0);
}

TEST(Em_OldReplies, ChunkedFileReplies) {
    Em_OldReceiver rx;
    Bytes a(55, 0xA1), b(20, 0xB2);
    Em_OldReport r = rx.Decode_FM(a.data(), a.size());
    EXPECT_EQ(r.category, 8);
    EXPECT_EQ(r.flags, 0x2u);
    EXPECT_EQ(rx.staticFileDir.length, 55);
    r = rx.Decode_FM(b.data(), b.size());
    EXPECT_EQ(r.flags, 0x4u);
    EXPECT_EQ(rx.staticFileDir.length, 20);
    EXPECT_EQ(rx.staticFileDir.data[0], 0xB2);
    EXPECT_EQ(rx.staticFileDir.data[20], 0);

    EXPECT_EQ(rx.Decode_FW(a.data(), 55).flags, 0x8u);
    EXPECT_EQ(rx.Decode_FW(b.data(), 20).flags, 0x10u);
    EXPECT_EQ(rx.Decode_FJ(a.data(), 55).flags, 0x40u);
    EXPECT_EQ(rx.Decode_FJ(b.data(), 0).flags, 0x80u);
    EXPECT_EQ(rx.basePosList.length, 0);

    Bytes tooLong(56, 1);
    EXPECT_EQ(rx.Decode_FM(tooLong.data(), 56).flags, 0u);
    EXPECT_EQ(rx.staticFileDir.length, 20);

    // Antenna type: cut to 20 characters.
    Bytes ant = oldtest::Text("ANTENNA-TYPE-0123456789-LONG");
    EXPECT_EQ(rx.Decode_FT(ant.data(), ant.size()).flags, 0x20u);
    EXPECT_EQ(std::string(rx.antennaType), "ANTENNA-TYPE-0123456");

    double d = -12.5;
    Bytes dk(8);
    std::memcpy(dk.data(), &d, 8);
    EXPECT_EQ(rx.Decode_FK(dk.data(), 8).flags, 0x100u);
    EXPECT_EQ(rx.basePosDifference, -12.5);
    EXPECT_EQ(rx.Decode_FK(dk.data(), 7).flags, 0u);
    Bytes fc = {1};
    EXPECT_EQ(rx.Decode_FC(fc.data(), 1).flags, 0x1000u);
    EXPECT_EQ(rx.staticStatus, 1);
    EXPECT_EQ(rx.Decode_FC(fc.data(), 0).flags, 0u);
}

TEST(Em_OldReplies, NmeaConfiguration) {
    Bytes p = {247, 1, 0, 0, 42, 0, 1, 2, 3, 4, 5, 6, 7, 11, 13, 99};
    {
        Em_OldReceiver rx;
        // Fewer than 16 bytes: wait for the rest.
        EXPECT_EQ(rx.Decode_RC(p.data(), 10, 3).flags, 0u);
        const Em_OldReport r = rx.Decode_RC(p.data() + 10, 6, 3);
        EXPECT_EQ(r.category, 8);
        EXPECT_EQ(r.flags, 0x800u);
        const NMEAConfigList& c = rx.nmeaConfig;
        EXPECT_EQ(c.port, 2);
        EXPECT_EQ(c.keepAfterRestart, 1);
        EXPECT_EQ(c.value, 42);
        ASSERT_EQ(c.count, 9);
        ASSERT_EQ(c.messages.size(), 9u);
        const std::int32_t bits[] = {1, 64, 16, 32, 256, 2, 512, 1024, 8192};
        const std::int32_t rates[] = {0, 1, 2, 3, 4, 5, 6, 3, 11};
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(c.messages[i].Nmea_Id, bits[i]);
            EXPECT_EQ(c.messages[i].Rate_Id, rates[i]) << i;
        }
    }
    {
        Em_OldReceiver rx;
        EXPECT_EQ(rx.Decode_RC(p.data(), p.size(), 2).flags, 0x800u);
        ASSERT_EQ(rx.nmeaConfig.count, 11);
        EXPECT_EQ(rx.nmeaConfig.messages[9].Nmea_Id, 2048);
        EXPECT_EQ(rx.nmeaConfig.messages[10].Nmea_Id, 4096);
        EXPECT_EQ(rx.nmeaConfig.messages[9].Rate_Id, 13);
        EXPECT_EQ(rx.nmeaConfig.messages[10].Rate_Id, 3);  // 99 is no rate code
    }
    for (auto [board, first] : {std::pair{1, 0x4000}, {4, 0x10000}, {7, 0x10000}}) {
        Em_OldReceiver rx;
        rx.Decode_RC(p.data(), p.size(), board);
        ASSERT_EQ(rx.nmeaConfig.count, 11);
        EXPECT_EQ(rx.nmeaConfig.messages[9].Nmea_Id, first);
    }
}

// A device block with byte i = i, the board id at offset `at` and the bytes given.
Bytes DeviceBlock(const char* id, std::size_t at = 0) {
    Bytes b(128);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b[i] = static_cast<std::uint8_t>(i);
    }
    std::memcpy(b.data() + at, id, 4);
    return b;
}

Em_OldReport FeedSI(Em_OldReceiver& rx, const Bytes& block) {
    Em_OldReport r;
    std::size_t done = 0;
    for (std::size_t part : {50u, 50u, 28u}) {
        EXPECT_EQ(r.flags, 0u) << "reported before the block was complete";
        r = rx.Decode_SI(block.data() + done, part);
        done += part;
    }
    return r;
}

TEST(Em_OldReplies, DeviceBlockFillsEveryByte) {
    Em_OldReceiver rx;
    const Bytes block = DeviceBlock("1907");
    const Em_OldReport r = FeedSI(rx, block);
    EXPECT_EQ(r.category, 2);
    EXPECT_EQ(r.flags, 0x80000000u);

    std::uint8_t expected[118] = {};
    auto copy = [&](std::size_t to, std::size_t from, std::size_t n) {
        std::memcpy(expected + to, block.data() + from, n);
    };
    copy(0, 5, 6);
    copy(22, 0, 4);
    copy(44, 12, 10);
    copy(66, 32, 13);
    copy(79, 46, 1);
    copy(80, 48, 1);
    copy(81, 49, 1);
    copy(82, 50, 1);
    copy(83, 58, 1);
    copy(84, 52, 4);
    copy(89, 56, 1);
    copy(90, 62, 1);
    copy(91, 63, 1);
    copy(92, 112, 10);
    copy(109, 94, 1);
    copy(110, 96, 1);
    copy(111, 97, 1);
    copy(112, 98, 1);
    copy(113, 124, 1);
    expected[114] = 3;
    std::uint8_t actual[118];
    std::memcpy(actual, &rx.device, 118);
    for (int i = 0; i < 118; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "DEVICE_STR byte " << i;
    }
    EXPECT_EQ(Device_BoardType(rx.device), 3);
    EXPECT_EQ(rx.deviceBlockSeen, 1);
    EXPECT_EQ(Get_Output_Interval(), 49);
    // Byte 59 (59) and byte 126 (126) keep the default radio type with its band.
    EXPECT_EQ(rx.radio.radioType, 3);
    EXPECT_EQ(rx.radio.lowerLimit, 450.0);
    EXPECT_EQ(rx.radio.spacing, 12.5);
}

TEST(Em_OldReplies, DeviceBlockBoardTable) {
    struct Case {
        const char* id;
        std::size_t at;
        int type;
        int modelClass;  // expected after the block, starting from 5
    };
    const Case cases[] = {
        {"P53D", 0, 1, 1}, {"1904", 0, 1, 1}, {"1914", 1, 1, 1}, {"1934", 0, 1, 1},
        {"P62D", 0, 1, 1}, {"1908", 0, 1, 2}, {"1918", 1, 1, 2}, {"1907", 0, 3, 5},
        {"1905", 0, 2, 2}, {"P53F", 0, 2, 2}, {"P62F", 1, 2, 2}, {"1915", 0, 2, 2},
        {"6203", 0, 4, 5}, {"P47C", 1, 4, 5},
    };
    for (const auto& c : cases) {
        Em_OldReceiver rx;
        rx.modelClass = 5;
        Bytes block = DeviceBlock(c.id, c.at);
        const Em_OldReport r = FeedSI(rx, block);
        EXPECT_EQ(r.flags, 0x80000000u) << c.id;
        EXPECT_EQ(Device_BoardType(rx.device), c.type) << c.id;
        EXPECT_EQ(rx.modelClass, c.modelClass) << c.id;
    }
    // Byte 90 = 4 wins over any id.
    {
        Em_OldReceiver rx;
        Bytes block = DeviceBlock("1905");
        block[90] = 4;
        EXPECT_EQ(FeedSI(rx, block).flags, 0x80000000u);
        EXPECT_EQ(Device_BoardType(rx.device), 7);
        EXPECT_EQ(rx.modelClass, 2);
    }
    // Unknown id: the record and radio type are filled, nothing is reported.
    {
        Em_OldReceiver rx;
        Bytes block = DeviceBlock("ZZZZ");
        block[59] = 3;
        EXPECT_EQ(FeedSI(rx, block).flags, 0u);
        EXPECT_EQ(Device_BoardType(rx.device), 0);
        EXPECT_EQ(rx.device.model[0], 'Z');
        EXPECT_EQ(rx.radio.radioType, 4);
    }
    // 129 bytes: dropped without a report, and the next block decodes cleanly.
    {
        Em_OldReceiver rx;
        Bytes block = DeviceBlock("1905");
        rx.Decode_SI(block.data(), 100);
        EXPECT_EQ(rx.Decode_SI(block.data(), 29).flags, 0u);
        EXPECT_EQ(rx.deviceBlockSeen, 0);
        EXPECT_EQ(FeedSI(rx, block).flags, 0x80000000u);
    }
}

// A block that lost one of its 55, 55, 18-byte pieces (a line overrun, a frame eaten by a cut
// one) is dropped, and the next block decodes: the assembly does not stay out of step.
TEST(Em_OldReplies, DeviceBlockThatLostAPieceCostsOnlyItself) {
    const Bytes block = DeviceBlock("1905");
    const std::size_t starts[] = {0, 55, 110};
    const std::size_t sizes[] = {55, 55, 18};
    for (int lost = 0; lost < 3; ++lost) {
        Em_OldReceiver rx;
        for (int i = 0; i < 3; ++i) {
            if (i != lost) {
                EXPECT_EQ(rx.Decode_SI(block.data() + starts[i], sizes[i]).flags, 0u) << lost;
            }
        }
        Em_OldReport r;
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 3; ++i) {
                r = rx.Decode_SI(block.data() + starts[i], sizes[i]);
            }
            EXPECT_EQ(r.flags, 0x80000000u) << "lost piece " << lost << ", block " << round;
            EXPECT_EQ(std::memcmp(rx.device.model, "1905", 4), 0) << lost;
        }
    }
}

TEST(Em_OldReplies, DeviceBlockRadioType) {
    struct Case {
        int byte59, byte126, type;
        double lower, upper;
    };
    const Case cases[] = {
        {3, 0, 4, 410.0, 430.0},  {4, 0, 5, 430.0, 450.0}, {9, 0, 3, 450.0, 470.0},
        {3, 3, 7, 455.0, 463.0},  {3, 4, 6, 450.0, 470.0}, {3, 5, 8, 403.0, 473.0},
        {3, 6, 10, 450.0, 470.0}, {3, 7, 9, 455.0, 463.0}, {3, 8, 4, 410.0, 430.0},
    };
    for (const auto& c : cases) {
        Em_OldReceiver rx;
        Bytes block = DeviceBlock("1905");
        block[59] = static_cast<std::uint8_t>(c.byte59);
        block[126] = static_cast<std::uint8_t>(c.byte126);
        FeedSI(rx, block);
        EXPECT_EQ(rx.radio.radioType, c.type) << c.byte59 << "/" << c.byte126;
        EXPECT_EQ(rx.radio.lowerLimit, c.lower);
        EXPECT_EQ(rx.radio.upperLimit, c.upper);
    }
}

}  // namespace
