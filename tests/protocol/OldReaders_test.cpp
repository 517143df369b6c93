// Readers of stored old-protocol state: wireless information with its capability bytes, the
// firmware debug block, and the radio's band and capability words.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "Em_OldProtocol.h"

using namespace Brevan2011::BVParse;

namespace {

TEST(OldReaders, RadioRecordsFollowTheTypeTable) {
    struct Row {
        int type;
        int device, modem;
        int result;
        double upper, lower, spacing;
        std::int32_t switchWord;
        std::uint32_t a, b, c, d;
    };
    const std::vector<Row> rows = {
        {1, 1, 1, 2, 467.0, 455.0, 50.0, 0, 0x72000000u, 0x01000000u, 0x03220000u, 0},
        {6, 1, 1, 2, 470.0, 450.0, 12.5, 1, 0x70000000u, 0x03000000u, 0x0B000000u, 15},
        {8, 1, 1, 2, 473.0, 403.0, 12.5, 1, 0xE1000000u, 0x03000000u, 0x0BD10000u, 7},
        {10, 1, 1, 2, 470.0, 450.0, 12.5, 1, 0x70000000u, 0x03000000u, 0x0B220000u, 15},
        {8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {8, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
        {11, 1, 1, -1, 0, 0, 0, 0, 0x72000000u, 0x01000000u, 0x03220000u, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "type " << row.type << " device " << row.device << " modem " << row.modem);
        Em_OldProtocol p;
        p.Receiver().radio.radioType = row.type;
        p.Receiver().deviceBlockSeen = static_cast<std::uint8_t>(row.device);
        p.Receiver().modemVersionSeen = static_cast<std::uint8_t>(row.modem);

        Radio_Info info;
        std::memset(&info, 0xEE, sizeof info);
        Radio_Info untouched = info;
        EXPECT_EQ(p.Get_Radio_Info(info), row.result);
        Radio_Range range;
        std::memset(&range, 0xEE, sizeof range);
        const Radio_Range rangeUntouched = range;
        EXPECT_EQ(p.Get_Radio_Range(range), row.result);

        if (row.result == 2) {
            EXPECT_EQ(info.upper, row.upper);
            EXPECT_EQ(info.lower, row.lower);
            EXPECT_EQ(info.spacing, row.spacing);
            EXPECT_EQ(info.radioType, row.type);
            EXPECT_EQ(info.switchWord, row.switchWord);
            EXPECT_EQ(range.upper, row.upper);
            EXPECT_EQ(range.lower, row.lower);
            EXPECT_EQ(range.spacing, row.spacing);
        } else if (row.result == -1) {
            // Only the four capability words, with the values of types 1 to 5.
            untouched.wordA = row.a;
            untouched.wordB = row.b;
            untouched.wordC = row.c;
            untouched.wordD = row.d;
            EXPECT_EQ(std::memcmp(&info, &untouched, sizeof info), 0);
            EXPECT_EQ(std::memcmp(&range, &rangeUntouched, sizeof range), 0);
        } else {
            EXPECT_EQ(std::memcmp(&info, &untouched, sizeof info), 0);
            EXPECT_EQ(std::memcmp(&range, &rangeUntouched, sizeof range), 0);
        }
        if (row.result == 2 || row.result == -1) {
            EXPECT_EQ(info.wordA, row.a);
            EXPECT_EQ(info.wordB, row.b);
            EXPECT_EQ(info.wordC, row.c);
            EXPECT_EQ(info.wordD, row.d);
        }
    }
}

TEST(OldReaders, CapabilityBytesFollowTheModemVersion) {
    struct Row {
        bool seen;
        int major, minor;
        int layout;
        std::uint8_t byte2, byte6;
    };
    const std::vector<Row> rows = {
        {false, 3, 69, 1, 0x00, 3}, {true, 2, 87, 0, 0x69, 3}, {true, 2, 88, 0, 0x7D, 7},
        {true, 3, 58, 0, 0x69, 3},  {true, 3, 59, 0, 0x7D, 7}, {true, 3, 69, 0, 0x7F, 7},
        {true, 2, 87, 1, 0xE9, 3},  {true, 2, 88, 1, 0xFD, 7}, {true, 3, 58, 1, 0xE9, 3},
        {true, 3, 59, 1, 0xFD, 7},  {true, 3, 69, 1, 0xFF, 7}, {true, 4, 10, 0, 0x69, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.major << "." << row.minor << " layout "
                                          << row.layout << " seen " << row.seen);
        Em_OldProtocol p;
        p.Receiver().modemVersionSeen = row.seen ? 1 : 0;
        p.Receiver().wireless.modemMajor = row.major;
        p.Receiver().wireless.modemMinor = row.minor;
        p.Receiver().wireless.layoutFlag = static_cast<std::uint8_t>(row.layout);
        WirelessInfo info;
        std::memset(&info, 0xEE, sizeof info);
        p.GetInfo_Gprs_Info(info);
        const std::array<std::uint8_t, 8> want = {0, 0, row.byte2, 0, 0, 0, row.byte6, 0};
        EXPECT_EQ(std::memcmp(info.capability, want.data(), 8), 0)
            << static_cast<int>(info.capability[2]) << " " << static_cast<int>(info.capability[6]);
    }
}

TEST(OldReaders, WirelessInfoCopiesTheRecordAndCutsLongTexts) {
    Em_OldProtocol p;
    Em_OldWirelessRecord& w = p.Receiver().wireless;
    w.serverAddress = 0x01020304u;
    w.serverNameLength = 6;
    std::memcpy(w.serverName, "caster", 6);
    w.serverPort = 2101;
    w.protocol = 3;
    w.loginFlag = 1;
    w.textC = "BASE01";
    w.loginText1 = std::string(200, '1');
    w.loginText2 = "two";
    w.textB = std::string(55, 'B');
    w.textA = std::string(200, 'A');
    WirelessInfo info;
    std::memset(&info, 0xEE, sizeof info);
    p.GetInfo_Gprs_Info(info);
    EXPECT_EQ(info.server.address, 0x01020304u);
    EXPECT_EQ(info.server.count, 6);
    EXPECT_EQ(std::string(info.server.name), "caster");
    EXPECT_EQ(info.port, 2101);
    EXPECT_EQ(info.protocol, 3);
    EXPECT_EQ(info.loginFlag, 1);
    EXPECT_EQ(std::string(info.textC), "BASE01");
    EXPECT_EQ(std::string(info.loginText1), std::string(54, '1'));
    EXPECT_EQ(std::string(info.loginText2), "two");
    EXPECT_EQ(std::string(info.textB), std::string(54, 'B'));
    EXPECT_EQ(std::string(info.textA), std::string(54, 'A'));

    w.textC = std::string(200, 'C');
    p.GetInfo_Gprs_Info(info);
    EXPECT_EQ(std::string(info.textC), std::string(19, 'C'));
    // The base-id text lies at byte 52 of the 300-byte record, as the program reads it.
    EXPECT_EQ(reinterpret_cast<const char*>(&info)[52], 'C');
}

TEST(OldReaders, FirmwareDebugBlockIsTakenOnce) {
    Em_OldProtocol p;
    std::array<std::uint8_t, 204> block;
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i + 1);
    }
    p.Receiver().firmwareDb[256] = block;
    p.Receiver().firmwareDb[7] = block;
    FIRMWARE_DEBUG out;
    std::memset(&out, 0xEE, sizeof out);
    p.Get_FirmWare_Db(12345, out);  // the key is 256 whatever is asked
    EXPECT_EQ(std::memcmp(out.Data, block.data(), 204), 0);
    EXPECT_EQ(p.Receiver().firmwareDb.count(256), 0u);
    EXPECT_EQ(p.Receiver().firmwareDb.count(7), 1u);
    p.Get_FirmWare_Db(256, out);
    EXPECT_EQ(out.Data[0], 0);
    EXPECT_EQ(out.Data[203], 0);
}

}  // namespace
