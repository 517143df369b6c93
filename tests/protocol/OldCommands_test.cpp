// Old-protocol command builders for device identity, port and position rate, static recording,
// files, tilt sensor, kinematic points, the base-position list and device blocks: each checked
// against frames written out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Em_OldProtocol.h"
#include "OldCmdDecode.h"

using namespace Brevan2011::BVParse;
using oldcmd::Bytes;
using oldcmd::Decode;
using oldcmd::Hex;
using oldcmd::Raw;

namespace {

using Build = std::function<void(Em_OldProtocol&, Cmd_List&)>;

struct GoldenRow {
    const char* name;
    Build build;
    const char* serial;     // every frame, in order
    const char* bluetooth;  // the same on a Bluetooth link
    std::vector<std::uint32_t> pauses;
};

Bytes Joined(const Cmd_List& cmds) {
    Bytes all;
    for (const auto& c : cmds) {
        const Bytes b = Raw(c);
        all.insert(all.end(), b.begin(), b.end());
    }
    return all;
}

std::vector<std::uint32_t> Pauses(const Cmd_List& cmds) {
    std::vector<std::uint32_t> p;
    for (const auto& c : cmds) {
        p.push_back(c.pause);
    }
    return p;
}

Cmd_List Build_Cmds(const Build& build, Com_Status link = COM_STATUS_SERIAL) {
    Em_OldProtocol p;
    p.Set_Com_Status(link);
    Cmd_List cmds;
    build(p, cmds);
    return cmds;
}

TEST(OldCommands, TextCommandsMatchHandWrittenFramesOnBothLinks) {
    const std::vector<GoldenRow> rows = {
        {"SI",
         [](auto& p, auto& c) { p.Get_DeviceInfo(c); },
         "24 24 53 49 18 00 02 0D 0A",
         "24 24 53 49 38 00 22 0D 0A",
         {200}},
        {"SD",
         [](auto& p, auto& c) { p.Get_Battery(c); },
         "24 24 53 44 18 00 0F 0D 0A",
         "24 24 53 44 38 00 2F 0D 0A",
         {200}},
        {"RG,B200",
         [](auto& p, auto& c) { p.Get_200Data(c, true); },
         "24 24 52 47 18 01 C8 C4 0D 0A",
         "24 24 52 47 38 01 C8 E4 0D 0A",
         {100}},
        {"RG,B0",
         [](auto& p, auto& c) { p.Get_200Data(c, false); },
         "24 24 52 47 18 01 00 0C 0D 0A",
         "24 24 52 47 38 01 00 2C 0D 0A",
         {100}},
        {"SG,B0",
         [](auto& p, auto& c) { p.Get_CloseReceiver(c); },
         "24 24 53 47 18 01 00 0D 0D 0A",
         "24 24 53 47 38 01 00 2D 0D 0A",
         {200}},
        {"RX",
         [](auto& p, auto& c) { p.Send_Gprs_DiffInfo(c); },
         "24 24 52 58 18 00 12 0D 0A",
         "24 24 52 58 38 00 32 0D 0A",
         {200}},
        {"RC",
         [](auto& p, auto& c) { p.Query_NMEA_Output_Config(c); },
         "24 24 52 43 18 00 09 0D 0A",
         "24 24 52 43 38 00 29 0D 0A",
         {200}},
        {"baud 0",
         [](auto& p, auto& c) { p.Get_Cmd_Com_Baudrate(c, 0); },
         "24 24 53 42 18 01 DC D4 0D 0A",
         "24 24 53 42 38 01 DC F4 0D 0A",
         {200}},
        {"baud 1",
         [](auto& p, auto& c) { p.Get_Cmd_Com_Baudrate(c, 1); },
         "24 24 53 42 18 01 EE E6 0D 0A",
         "24 24 53 42 38 01 EE C6 0D 0A",
         {200}},
        {"baud 2",
         [](auto& p, auto& c) { p.Get_Cmd_Com_Baudrate(c, 2); },
         "24 24 53 42 18 01 F7 FF 0D 0A",
         "24 24 53 42 38 01 F7 DF 0D 0A",
         {200}},
        {"baud 3",
         [](auto& p, auto& c) { p.Get_Cmd_Com_Baudrate(c, 3); },
         "24 24 53 42 18 01 FA F2 0D 0A",
         "24 24 53 42 38 01 FA D2 0D 0A",
         {200}},
        {"baud 4",
         [](auto& p, auto& c) { p.Get_Cmd_Com_Baudrate(c, 4); },
         "24 24 53 42 18 01 FD F5 0D 0A",
         "24 24 53 42 38 01 FD D5 0D 0A",
         {200}},
        {"rate 1",
         [](auto& p, auto& c) { p.Get_Cmd_Position_Frq(c, 1); },
         "24 24 53 57 18 02 00 0A 14 0D 0A",
         "24 24 53 57 38 02 00 0A 34 0D 0A",
         {200}},
        {"rate 2",
         [](auto& p, auto& c) { p.Get_Cmd_Position_Frq(c, 2); },
         "24 24 53 57 18 02 00 05 1B 0D 0A",
         "24 24 53 57 38 02 00 05 3B 0D 0A",
         {200}},
        {"rate 11",
         [](auto& p, auto& c) { p.Get_Cmd_Position_Frq(c, 11); },
         "24 24 53 57 18 02 00 02 1C 0D 0A",
         "24 24 53 57 38 02 00 02 3C 0D 0A",
         {200}},
        {"rate 7",
         [](auto& p, auto& c) { p.Get_Cmd_Position_Frq(c, 7); },
         "24 24 53 57 18 02 00 01 1F 0D 0A",
         "24 24 53 57 38 02 00 01 3F 0D 0A",
         {200}},
        {"rate 0 without elevation",
         [](auto& p, auto& c) { p.Get_Cmd_Position_Frq(c, 0); },
         "",
         "",
         {}},
        {"elevation form",
         [](auto& p, auto& c) { p.Get_Cmd_Position_Frq(c, 0, 15); },
         "24 24 53 57 18 02 01 0F 10 0D 0A",
         "24 24 53 57 38 02 01 0F 30 0D 0A",
         {200}},
        {"static start",
         [](auto& p, auto& c) { p.Set_Static_Begin(c, true); },
         "24 24 46 44 18 01 00 1B 0D 0A",
         "24 24 46 44 38 01 00 3B 0D 0A",
         {100}},
        {"static stop",
         [](auto& p, auto& c) { p.Set_Static_Begin(c, false); },
         "24 24 46 44 18 01 01 1A 0D 0A",
         "24 24 46 44 38 01 01 3A 0D 0A",
         {100}},
        {"static status",
         [](auto& p, auto& c) { p.Get_Cmd_Query_Static_Status(c); },
         "24 24 46 43 18 00 1D 0D 0A",
         "24 24 46 43 38 00 3D 0D 0A",
         {200}},
        {"read file",
         [](auto& p, auto& c) { p.Get_Cmd_Read_Static_File(c, 0x01020304u); },
         "24 24 46 57 18 04 04 03 02 01 09 0D 0A",
         "24 24 46 57 38 04 04 03 02 01 29 0D 0A",
         {200}},
        {"delete file",
         [](auto& p, auto& c) { p.Get_Cmd_Delete_Static_File(c, 0x01020304u); },
         "24 24 46 43 18 04 04 03 02 01 1D 0D 0A",
         "24 24 46 43 38 04 04 03 02 01 3D 0D 0A",
         {200}},
        {"bubble 1",
         [](auto& p, auto& c) { p.Set_eBubble_frq(c, GNSS_FRQ_1); },
         "24 24 46 46 18 01 0A 13 0D 0A",
         "24 24 46 46 38 01 0A 33 0D 0A",
         {100}},
        {"bubble 3",
         [](auto& p, auto& c) { p.Set_eBubble_frq(c, GNSS_FRQ_3); },
         "24 24 46 46 18 01 01 18 0D 0A",
         "24 24 46 46 38 01 01 38 0D 0A",
         {100}},
        {"bubble other",
         [](auto& p, auto& c) { p.Set_eBubble_frq(c, GNSS_FRQ_2); },
         "24 24 46 46 18 01 05 1C 0D 0A",
         "24 24 46 46 38 01 05 3C 0D 0A",
         {100}},
        {"calibration",
         [](auto& p, auto& c) { p.Set_eBubble_calibration(c, true, 0x71234); },
         "24 24 46 47 18 03 01 34 12 3D 0D 0A",
         "24 24 46 47 38 03 01 34 12 1D 0D 0A",
         {10}},
        {"static point query",
         [](auto& p, auto& c) { p.Get_Cmd_Static_Point(c); },
         "24 24 46 42 18 00 1C 0D 0A",
         "24 24 46 42 38 00 3C 0D 0A",
         {10}},
        {"antenna query",
         [](auto& p, auto& c) { p.Get_Cmd_Static_AntType(c); },
         "24 24 46 54 18 00 0A 0D 0A",
         "24 24 46 54 38 00 2A 0D 0A",
         {10}},
        {"remove base",
         [](auto& p, auto& c) { p.Get_Cmd_Remove_BasePos_From_List(c, 7); },
         "24 24 46 4C 18 01 07 14 0D 0A",
         "24 24 46 4C 38 01 07 34 0D 0A",
         {100}},
        {"read list",
         [](auto& p, auto& c) { p.Get_Cmd_Read_BasePosition_List(c); },
         "24 24 46 4A 18 01 01 14 0D 0A",
         "24 24 46 4A 38 01 01 34 0D 0A",
         {100}},
        {"clear list",
         [](auto& p, auto& c) { p.Get_Cmd_Clear_BasePosition_List(c); },
         "24 24 46 4A 18 01 02 17 0D 0A",
         "24 24 46 4A 38 01 02 37 0D 0A",
         {100}},
        {"difference query",
         [](auto& p, auto& c) { p.Get_Cmd_Get_BasePosition_Difference(c); },
         "24 24 46 4B 18 01 02 16 0D 0A",
         "24 24 46 4B 38 01 02 36 0D 0A",
         {100}},
        {"file directory",
         [](auto& p, auto& c) { p.Get_Cmd_Static_FileDir(c); },
         "24 24 46 4D 18 00 13 0D 0A 24 24 4B 43 18 01 AA BB 0D 0A",
         "24 24 46 4D 38 00 33 0D 0A 24 24 4B 43 38 01 AA 9B 0D 0A",
         {200, 200}},
    };
    for (const GoldenRow& row : rows) {
        SCOPED_TRACE(row.name);
        const Cmd_List serial = Build_Cmds(row.build, COM_STATUS_SERIAL);
        EXPECT_EQ(Joined(serial), Hex(row.serial));
        EXPECT_EQ(Pauses(serial), row.pauses);
        const Cmd_List bt = Build_Cmds(row.build, COM_STATUS_BLUETOOTH);
        EXPECT_EQ(Joined(bt), Hex(row.bluetooth));
        EXPECT_EQ(Pauses(bt), row.pauses);
    }
}

TEST(OldCommands, BuildersAppendAndSendNothingForAnUnknownPortKind) {
    Em_OldProtocol p;
    Cmd_List cmds(2);
    cmds[0].pause = 7;
    p.Get_DeviceInfo(cmds);
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].pause, 7u);  // what was there stays in front
    EXPECT_EQ(Decode(cmds[2]).letters, "SI");

    p.Set_Com_Status(static_cast<Com_Status>(5));
    Cmd_List none;
    p.Get_DeviceInfo(none);
    p.Get_Cmd_Static_FileDir(none);
    p.Set_eBubble_calibration(none, true, 1);
    EXPECT_TRUE(none.empty());
}

TEST(OldCommands, RecordingStartAndStopSequences) {
    const Cmd_List start =
        Build_Cmds([](auto& p, auto& c) { p.Set_Static_Begin(c, true, 0x1234); });
    const std::vector<std::pair<std::string, Bytes>> startWant = {
        {"SJ", {42, 0}}, {"SJ", {92, 0x34}}, {"SJ", {93, 0x12}}, {"FD", {0}}, {"FH", {1}}};
    ASSERT_EQ(start.size(), startWant.size());
    for (std::size_t i = 0; i < start.size(); ++i) {
        const auto f = Decode(start[i]);
        ASSERT_TRUE(f.ok);
        EXPECT_EQ(f.letters, startWant[i].first);
        EXPECT_EQ(f.payload, startWant[i].second);
        EXPECT_EQ(f.mode, 0x18);
        EXPECT_EQ(f.pause, 100u);
    }
    const Cmd_List stop =
        Build_Cmds([](auto& p, auto& c) { p.Set_Static_Begin(c, false, 0x1234); });
    const std::vector<std::pair<std::string, Bytes>> stopWant = {
        {"SJ", {42, 1}}, {"FD", {1}}, {"FH", {0}}};
    ASSERT_EQ(stop.size(), stopWant.size());
    for (std::size_t i = 0; i < stop.size(); ++i) {
        const auto f = Decode(stop[i]);
        EXPECT_EQ(f.letters, stopWant[i].first);
        EXPECT_EQ(f.payload, stopWant[i].second);
    }
}

TEST(OldCommands, StaticPointSendsItsMethodCodeAndAtMostThirtyTwoNameBytes) {
    Static_Point sp = {};
    sp.nameLength = 2;
    std::memcpy(sp.name, "AB", 2);
    sp.value = 0x11223344u;
    sp.byteField = 0x105;
    const std::vector<std::pair<int, std::uint8_t>> methods = {{2, 2}, {4, 3}, {-1, 1}, {3, 1}};
    for (const auto& m : methods) {
        sp.method = m.first;
        const Cmd_List cmds = Build_Cmds([&](auto& p, auto& c) { p.Set_Static_Point(c, &sp); });
        ASSERT_EQ(cmds.size(), 1u);
        const auto f = Decode(cmds[0]);
        EXPECT_EQ(f.letters, "FA");
        EXPECT_EQ(f.pause, 10u);
        Bytes want = Hex("02 41 42 44 33 22 11 05");
        want.push_back(m.second);
        EXPECT_EQ(f.payload, want) << "method " << m.first;
    }
    EXPECT_EQ(Joined(Build_Cmds([&](auto& p, auto& c) {
                  sp.method = 2;
                  p.Set_Static_Point(c, &sp);
              })),
              Hex("24 24 46 41 18 09 02 41 42 44 33 22 11 05 02 54 0D 0A"));

    // A length byte past the 32-byte name: the name is cut there, never read beyond.
    Static_Point big = {};
    big.nameLength = 200;
    std::memset(big.name, 'n', sizeof big.name);
    const Cmd_List cut = Build_Cmds([&](auto& p, auto& c) { p.Set_Static_Point(c, &big); });
    ASSERT_EQ(cut.size(), 1u);
    const auto f = Decode(cut[0]);
    ASSERT_EQ(f.payload.size(), 1u + 32 + 4 + 2);
    EXPECT_EQ(f.payload[0], 32);
    EXPECT_EQ(f.payload[32], 'n');
    EXPECT_TRUE(Build_Cmds([](auto& p, auto& c) { p.Set_Static_Point(c, nullptr); }).empty());
}

TEST(OldCommands, AntennaTypeFieldsArePaddedToTwenty) {
    const Cmd_List shortText =
        Build_Cmds([](auto& p, auto& c) { p.Set_Static_AnteType(c, "abc"); });
    ASSERT_EQ(shortText.size(), 1u);
    auto f = Decode(shortText[0]);
    EXPECT_EQ(f.letters, "FS");
    EXPECT_EQ(f.pause, 10u);
    Bytes want = Hex("61 62 63");
    want.resize(20, 0);
    EXPECT_EQ(f.payload, want);

    const std::string longText = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
    const Cmd_List longCmd =
        Build_Cmds([&](auto& p, auto& c) { p.Set_Static_AnteType(c, longText.c_str()); });
    f = Decode(longCmd[0]);
    EXPECT_EQ(f.payload, oldcmd::Str(longText));
}

TEST(OldCommands, BasePositionListCarriesLittleEndianDoubles) {
    const Cmd_List add =
        Build_Cmds([](auto& p, auto& c) { p.Get_Cmd_Add_BasePos_To_List(c, 1.0, -2.0, 0.5); });
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(Joined(add), Hex("24 24 46 49 18 18"
                               " 00 00 00 00 00 00 F0 3F"
                               " 00 00 00 00 00 00 00 C0"
                               " 00 00 00 00 00 00 E0 3F"
                               " DF 0D 0A"));
    EXPECT_EQ(add[0].pause, 200u);

    const Cmd_List diff =
        Build_Cmds([](auto& p, auto& c) { p.Get_Cmd_Set_BasePosition_Difference(c, -2.0); });
    EXPECT_EQ(Joined(diff), Hex("24 24 46 4B 18 08 00 00 00 00 00 00 00 C0 DD 0D 0A"));
    EXPECT_EQ(diff[0].pause, 100u);
}

TEST(OldCommands, ListReadAndClearEmptyTheStoredList) {
    for (int which = 0; which < 2; ++which) {
        Em_OldProtocol p;
        Em_OldBlock& list = p.Receiver().basePosList;
        list.length = 55;
        std::memset(list.data, 0x5A, 55);
        Cmd_List cmds;
        if (which == 0) {
            p.Get_Cmd_Read_BasePosition_List(cmds);
        } else {
            p.Get_Cmd_Clear_BasePosition_List(cmds);
        }
        EXPECT_EQ(list.length, 0);
        EXPECT_EQ(list.data[0], 0);
        EXPECT_EQ(list.data[54], 0);
        EXPECT_EQ(cmds.size(), 1u);
    }
}

TEST(OldCommands, DeviceInformationBlockIsOneSxFrame) {
    unsigned char data[128];
    for (int i = 0; i < 128; ++i) {
        data[i] = static_cast<unsigned char>(i);
    }
    const Cmd_List cmds =
        Build_Cmds([&](auto& p, auto& c) { p.Send_DevcInfo_Update_Crs(c, 0xAB1234u, data); });
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].length, 142u);
    EXPECT_EQ(cmds[0].pause, 100u);
    const auto f = Decode(cmds[0]);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.letters, "SX");
    EXPECT_EQ(f.mode, 0x18);
    ASSERT_EQ(f.payload.size(), 133u);
    EXPECT_EQ(Bytes(f.payload.begin(), f.payload.begin() + 6), Hex("00 00 00 12 34 00"));
    EXPECT_EQ(f.payload[132], 127);
    EXPECT_TRUE(
        Build_Cmds([](auto& p, auto& c) { p.Send_DevcInfo_Update_Crs(c, 1, nullptr); }).empty());
}

// Bytes of a point record's common part, as the encoder copies them.
void FillHead(std::uint8_t (&head)[40]) {
    for (int i = 0; i < 40; ++i) {
        head[i] = static_cast<std::uint8_t>(0x80 + i);
    }
}

TEST(OldCommands, PointRecordsGoOutInFyPiecesOfFiftyFive) {
    EndPointInfo end = {};
    FillHead(end.head);
    end.value = 0x04030201u;
    const Cmd_List endCmds = Build_Cmds([&](auto& p, auto& c) { p.Get_Cmd_EndPPKpt(c, &end); });
    ASSERT_EQ(endCmds.size(), 1u);
    auto f = Decode(endCmds[0]);
    EXPECT_EQ(f.letters, "FY");
    EXPECT_EQ(f.pause, 10u);
    ASSERT_EQ(f.payload.size(), 47u);
    EXPECT_EQ(Bytes(f.payload.begin(), f.payload.begin() + 5), Hex("01 0B F4 29 07"));
    EXPECT_EQ(Bytes(f.payload.begin() + 41, f.payload.begin() + 45), Hex("01 02 03 04"));
    unsigned sum = 0;
    for (int i = 0; i < 45; ++i) {
        sum += f.payload[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(f.payload[45], sum & 0xFF);
    EXPECT_EQ(f.payload[46], (sum >> 8) & 0xFF);

    AntPointInfo ant = {};
    FillHead(ant.head);
    ant.kind = 0x1FF;
    ant.value = 0xAABBCCDDu;
    const Cmd_List antCmds = Build_Cmds([&](auto& p, auto& c) { p.Get_Cmd_AntPPKpt(c, &ant); });
    ASSERT_EQ(antCmds.size(), 2u);
    const auto a0 = Decode(antCmds[0]);
    const auto a1 = Decode(antCmds[1]);
    EXPECT_EQ(a0.payload.size(), 55u);
    EXPECT_EQ(a1.payload.size(), 5u);
    EXPECT_EQ(a0.payload[4], 12);
    EXPECT_EQ(a0.payload[41], 0xFF);
    EXPECT_EQ(Bytes(a0.payload.begin() + 42, a0.payload.begin() + 46), Hex("DD CC BB AA"));
    EXPECT_EQ(a1.pause, 10u);

    StartPointInfo start = {};
    FillHead(start.head);
    start.nameLength = 5;
    std::memcpy(start.name, "POINT", 5);
    start.textLength = 10;
    std::memcpy(start.text, "0123456789", 10);
    const Cmd_List startCmds =
        Build_Cmds([&](auto& p, auto& c) { p.Get_Cmd_StartPPKpt(c, &start); });
    ASSERT_EQ(startCmds.size(), 2u);
    EXPECT_EQ(Decode(startCmds[0]).payload.size(), 55u);
    EXPECT_EQ(Decode(startCmds[1]).payload.size(), 5u);  // 43 + 5 + 10 + 2 = 60

    // Nothing for a missing record or one the encoder refuses.
    start.nameLength = 40;
    EXPECT_TRUE(Build_Cmds([&](auto& p, auto& c) { p.Get_Cmd_StartPPKpt(c, &start); }).empty());
    EXPECT_TRUE(Build_Cmds([](auto& p, auto& c) { p.Get_Cmd_StartPPKpt(c, nullptr); }).empty());
    EXPECT_TRUE(Build_Cmds([](auto& p, auto& c) { p.Get_Cmd_EndPPKpt(c, nullptr); }).empty());
    EXPECT_TRUE(Build_Cmds([](auto& p, auto& c) { p.Get_Cmd_AntPPKpt(c, nullptr); }).empty());
}

}  // namespace
