// Golden packets of the STX/ETX board's command builder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Board_Test_Support.h"
#include "Em_OemStxEtx.h"
#include "Em_OemStxEtxCmd.h"
#include "Em_OutputInterval.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace board_test;

struct Record {
    int type;
    Bytes bytes;
};

// The records of a configuration-file packet, after checking its frame and file header.
std::vector<Record> File_Records(const _STR_CMD& c, int factory) {
    EXPECT_EQ(StxEtx_Packet_Length(c.data, static_cast<int>(c.length)), static_cast<int>(c.length));
    EXPECT_EQ(c.data[2], 100);
    EXPECT_EQ(c.data[c.length - 1], 0x03);
    const unsigned char* d = c.data + 4;
    const int n = c.data[3];
    EXPECT_EQ(Hex(d, 7),
              Hex(Bytes{0, 0, 0, 3, 6, 1, static_cast<unsigned char>(factory)}.data(), 7));
    std::vector<Record> out;
    for (int at = 7; at + 2 <= n;) {
        const int len = d[at + 1];
        out.push_back({d[at], Bytes(d + at + 2, d + at + 2 + len)});
        at += len + 2;
    }
    return out;
}

std::string Render(const std::vector<Record>& rs) {
    std::string s;
    for (const Record& r : rs) {
        s += std::to_string(r.type) + ":" + Hex(r.bytes.data(), r.bytes.size()) + "\n";
    }
    return s;
}

class Interval_Guard {
public:
    explicit Interval_Guard(int32_t code) : m_old(Get_Output_Interval()) {
        Set_Output_Interval(code);
    }
    ~Interval_Guard() { Set_Output_Interval(m_old); }

private:
    int32_t m_old;
};

TEST(StxEtxCmd, OptionsRequestIsTheGoldenPacket) {
    Em_OemStxEtxCmd b;
    Cmd_List cmds;
    b.Get_Gnss_ElevMask(cmds);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(Hex(cmds[0]), "02 00 4A 00 4A 03");
    EXPECT_EQ(cmds[0].pause, 100u);
}

TEST(StxEtxCmd, ChecksumWrapsOverFullData) {
    Cmd_List cmds;
    const Bytes data(255, 0xFF);
    ASSERT_TRUE(Em_OemStxEtxCmd::Add_Packet(cmds, 100, data));
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].length, 261u);
    // 0x00 + 0x64 + 0xFF + 255 * 0xFF, modulo 256.
    EXPECT_EQ(cmds[0].data[259], static_cast<unsigned char>((0x64 + 0xFF + 255 * 0xFF) & 0xFF));
    EXPECT_EQ(StxEtx_Packet_Length(cmds[0].data, 261), 261);
    EXPECT_FALSE(Em_OemStxEtxCmd::Add_Packet(cmds, 100, Bytes(256, 0)));
    EXPECT_EQ(cmds.size(), 1u);
}

TEST(StxEtxCmd, StartBaseFile) {
    Em_OemStxEtxCmd b;
    b.Base_Cfg.Port_Index = 0;
    b.Base_Cfg.Port_Baud = 9600;
    b.Base_Cfg.Station_Id = 0x2A5;  // bits 8-9: 2, low byte 0xA5, low 5 bits 5
    std::memset(b.Base_Cfg.Station_Name, 0, sizeof b.Base_Cfg.Station_Name);
    std::memcpy(b.Base_Cfg.Station_Name, "BS1", 3);
    b.Base_Cfg.Latitude = 0.5;
    b.Base_Cfg.Longitude = -1.0;
    b.Base_Cfg.Height = 2.0;
    b.Base_Cfg.Elev_Mask = 12;
    b.Base_Cfg.Pdop_Mask = 20;
    b.Base_Cfg.Diff_Format = 7;
    Cmd_List cmds;
    b.Get_Gnss_StartBase(cmds);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(static_cast<int>(b.Base_Cfg.Port_Index), 1);
    EXPECT_EQ(static_cast<int>(b.Base_Cfg.Port_Baud), 38400);
    EXPECT_EQ(Render(File_Records(cmds[0], 1)),
              "1:0C 01 14 00 00 00 00 00\n"
              "2:01 05 00 00\n"
              "3:00 00 42 53 31 20 20 20 20 20 "
              "3F E0 00 00 00 00 00 00 BF F0 00 00 00 00 00 00 40 00 00 00 00 00 00 00 "
              "02 A5 05\n"
              "7:04 01 03 00 07 01 00 00\n"
              "7:03 01 03 00 21\n");
}

TEST(StxEtxCmd, CorrectionOutputByDifferentialType) {
    const std::vector<std::pair<int, std::string>> table = {
        {3, "02 01 03 00 02"},  {7, "03 01 03 00 21"},  {8, "03 01 03 00 01"},
        {9, "03 01 03 00 09"},  {10, "03 01 03 00 11"}, {12, "02 01 03 00 03"},
        {14, "03 01 03 00 31"}, {5, "02 01 03 00 00"},
    };
    for (const auto& row : table) {
        Em_OemStxEtxCmd b;
        b.Base_Cfg.Diff_Format = row.first;
        Cmd_List cmds;
        b.Get_Gnss_StartBase(cmds);
        const std::vector<Record> rs = File_Records(cmds.at(0), 1);
        ASSERT_FALSE(rs.empty());
        EXPECT_EQ(Hex(rs.back().bytes.data(), rs.back().bytes.size()), row.second) << row.first;
    }
}

struct Rover_Case {
    int mode;
    int raw;
    std::vector<std::string> packets;  // "type:data|pause", the initialisation file left out
};

std::string Packet_Line(const _STR_CMD& c) {
    return std::to_string(c.data[2]) + ":" + Hex(c.data + 4, c.data[3]) + "|" +
           std::to_string(c.pause);
}

TEST(StxEtxCmd, StartRoverSequences) {
    const std::vector<Rover_Case> cases = {
        {4,
         1,
         {"74:|100",
          "100:00 00 00 03 06 01 00 01 08 05 01 5F 00 00 00 00 00 10 06 00 03 0D 40 FF FF|100",
          "132:84 82|50", "89:00 02 00|50", "78:01 05 00 0A 04 00 61|50",
          "78:02 00 02 00 00 00 00 00 00|50", "73:02 01 05 00 01 00|50", "36:02 01 05 00 01 00|50",
          "83:0E 00 00|500"}},
        {3,
         0,
         {"74:|100", "100:00 00 00 03 06 01 00 01 08 05 01 5F 00 00 00 00 00 19 03 FF 00 00|100",
          "132:84 82|50", "89:00 02 00|50", "73:02 01 17 00 01 00|50", "163:00 00 00|50",
          "163:04 78 00|50", "163:04 7A 00|50", "163:04 7C 00|50", "163:04 7E 00|50",
          "163:04 83 00|50", "163:04 86 00|500"}},
    };
    for (const Rover_Case& c : cases) {
        Em_OemStxEtxCmd b;
        b.Board_Mode = c.mode;
        b.Raw_Flag = c.raw;
        b.Rover_Cfg.Seq_Counter = 7;  // the set-up starts the counter again at 1
        Cmd_List cmds;
        b.Get_Gnss_StartRover(cmds);
        ASSERT_EQ(cmds.size(), c.packets.size() + 1) << c.mode;
        for (size_t i = 0; i < c.packets.size(); ++i) {
            EXPECT_EQ(Packet_Line(cmds[i]), c.packets[i]) << c.mode << " packet " << i;
        }
        Cmd_List init;
        b.Get_Gnss_Inite(init);
        EXPECT_EQ(Hex(cmds.back()), Hex(init.at(0)));
    }
}

TEST(StxEtxCmd, RoverStationFilterTakesTheStationNumber) {
    Em_OemStxEtxCmd b;
    std::memcpy(b.Rover_Cfg.Ref_Station, "300", 4);
    b.Board_Mode = 4;
    Cmd_List cmds;
    b.Get_Gnss_StartRover(cmds);
    EXPECT_EQ(Render(File_Records(cmds.at(1), 0)),
              "1:05 01 5F 00 00 00 00 00\n16:00 03 0D 40 2C 01\n");
    b.Board_Mode = 3;
    cmds.clear();
    b.Get_Gnss_StartRover(cmds);
    EXPECT_EQ(Render(File_Records(cmds.at(1), 0)), "1:05 01 5F 00 00 00 00 00\n25:2C 00 00\n");
}

TEST(StxEtxCmd, InitialisationAndRatesFollowTheOutputInterval) {
    Interval_Guard guard(250);
    Em_OemStxEtxCmd b;
    b.Out_Port = 1;
    Cmd_List cmds;
    b.Get_Gnss_Inite(cmds);
    EXPECT_EQ(Render(File_Records(cmds.at(0), 1)),
              "7:04 01 0B 00 07 01 00 00\n"
              "7:0A 01 03 00 01 00 00 00\n7:0A 01 03 00 03 00 00 00\n"
              "7:0A 01 03 00 06 00 00 00\n7:0A 01 03 00 09 00 00 00\n"
              "7:0A 01 03 00 02 00 00 00\n7:0A 01 03 00 0C 00 00 00\n"
              "7:0A 01 05 00 22 00 00 00\n7:08 01 03 00\n");
    cmds.clear();
    b.Raw_Flag = 1;
    b.Set_Gnss_PosFrq(cmds, GNSS_FRQ_2);
    EXPECT_EQ(Render(File_Records(cmds.at(0), 0)),
              "7:04 01 0B 00 07 00 00 00\n"
              "7:0A 01 02 00 01 00 00 00\n7:0A 01 02 00 03 00 00 00\n"
              "7:0A 01 02 00 06 00 00 00\n7:0A 01 02 00 09 00 00 00\n"
              "7:0A 01 02 00 02 00 00 00\n7:0A 01 02 00 0C 00 00 00\n");
    const std::vector<std::pair<int, int>> codes = {{2, 4},  {5, 5},    {10, 6},  {15, 12}, {30, 7},
                                                    {60, 8}, {250, 11}, {251, 2}, {-1, 3},  {7, 3}};
    for (const auto& c : codes) {
        Set_Output_Interval(c.first);
        EXPECT_EQ(Em_OemStxEtxCmd::Raw_Rate_Code(), c.second) << c.first;
    }
}

TEST(StxEtxCmd, SmallRequests) {
    Em_OemStxEtxCmd b;
    Cmd_List cmds;
    b.Set_Gnss_Nmea(cmds, 0x3, GNSS_FRQ_1);
    EXPECT_EQ(Render(File_Records(cmds.at(0), 0)), "7:06 00 01 00\n7:2C 00 01 00\n");

    cmds.clear();
    b.Send_Gnss_EphemSat(cmds, 0);
    b.Send_Gnss_EphemSat(cmds, 33);
    EXPECT_TRUE(cmds.empty());
    b.Send_Gnss_EphemSat(cmds, 32);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(Hex(cmds[0]), "02 00 54 03 01 20 00 78 03");
    cmds.clear();
    b.Send_Gnss_Ephemeris(cmds, GNSS_FRQ_3);
    EXPECT_EQ(cmds.size(), 32u);

    cmds.clear();
    b.Set_Gnss_ElevDgre(cmds, 15, 4);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].pause, 500u);
    EXPECT_EQ(Render(File_Records(cmds[0], 0)), "1:0F 01 5F 00 00 00 00 00\n");

    cmds.clear();
    b.Send_Gnss_UnlogData(cmds);
    EXPECT_EQ(Render(File_Records(cmds.at(0), 0)), "7:FF 00 00 00\n");

    cmds.clear();
    b.Get_Gnss_Reset(cmds);
    EXPECT_EQ(Hex(cmds.at(0)), "02 00 58 07 FF 03 52 45 53 45 54 E4 03");

    cmds.clear();
    b.Set_Gnss_SatUse(cmds, 3, true, 0);
    b.Get_Cmd_PassCom(cmds, 1);
    EXPECT_TRUE(cmds.empty());
}

TEST(StxEtxCmd, NmeaListTakesFirstKnownBitAndStaysWithinOneByteLength) {
    Em_OemStxEtxCmd b;
    Cmd_List cmds;
    b.Set_Nmea_List(cmds, {{0x30, 2}, {0x1000, 1}, {0x8001, 3}});
    EXPECT_EQ(Render(File_Records(cmds.at(0), 0)), "7:26 00 02 00\n7:06 00 03 00\n");

    std::vector<_set_nmea> many(50, _set_nmea{0x1, 1});
    cmds.clear();
    b.Set_Nmea_List(cmds, many);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_LE(cmds[0].data[3], 255);
    EXPECT_EQ(File_Records(cmds[0], 0).size(), 41u);  // (255 - 7) / 6 records fit
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
