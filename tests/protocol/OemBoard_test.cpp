#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Em_BoardRegistry.h"
#include "Em_OemBoard.h"
#include "support/Em_OemPlainData.h"
#include "Em_OutputInterval.h"
#include "support/Fake_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;

namespace {

// Packed record fields must be read by value: gtest binds its arguments to references.
template <class T>
T V(T value) {
    return value;
}

std::vector<unsigned char> Bytes(size_t n, unsigned char value) {
    return std::vector<unsigned char>(n, value);
}

TEST(OemBoard, AddDataKeepsWhatFitsAndEmptiesOnOverflow) {
    struct Case {
        int buffered;
        int added;
        int expectedFill;
    };
    const Case cases[] = {
        {2000, 48, 2048}, {2000, 49, 0}, {0, 2048, 2048}, {0, 2049, 0}, {10, 0, 10},
    };
    for (const auto& c : cases) {
        Em_OemBoard board;
        const auto first = Bytes(static_cast<size_t>(c.buffered), 0x11);
        board.Add_Data(first.data(), c.buffered);
        const auto more = Bytes(static_cast<size_t>(c.added) + 1, 0x22);
        board.Add_Data(more.data(), c.added);
        EXPECT_EQ(board.Input()->Fill, c.expectedFill) << c.buffered << " + " << c.added;
        if (c.expectedFill == 0) {
            // Emptied means the old bytes are gone too, not just the counters.
            EXPECT_EQ(board.Input()->Data[0], 0);
            EXPECT_EQ(board.Input()->Read, 0);
        } else if (c.added > 0 && c.buffered + c.added == c.expectedFill) {
            EXPECT_EQ(board.Input()->Data[c.expectedFill - 1], 0x22);
        }
    }
    Em_OemBoard board;
    board.Add_Data(nullptr, 5);
    EXPECT_EQ(board.Input()->Fill, 0);
}

TEST(OemBoard, ReadInputCopiesWithoutAdvancing) {
    Em_OemBoard board;
    const unsigned char bytes[] = {1, 2, 3, 4};
    board.Add_Data(bytes, 4);
    unsigned char out[4] = {0};
    EXPECT_EQ(board.Read_Input(out, 4), 1);
    EXPECT_EQ(std::memcmp(out, bytes, 4), 0);
    EXPECT_EQ(board.Read_Input(out, 5), 0);
    EXPECT_EQ(board.Read_Input(out, 0), 0);
    EXPECT_EQ(board.Input()->Read, 0);
}

TEST(OemBoard, BaseParseReturnsOneAndEmptyBoardForwardsNothing) {
    Em_OemBoard board;
    EXPECT_EQ(board.Parse(), 1);
    EXPECT_EQ(board.Board_Type(), 0);
    Cmd_List cmds;
    EXPECT_EQ(board.Get_Gnss_StartBase(cmds), 0);
    EXPECT_EQ(board.Get_Status_Word(), 0);
    EXPECT_TRUE(cmds.empty());
}

TEST(AddTextCmd, KeepsTextsOfOneTo512Characters) {
    struct Case {
        size_t length;
        size_t commands;
    };
    const Case cases[] = {{1, 1}, {512, 1}, {513, 0}, {0, 0}, {4000, 0}};
    for (const auto& c : cases) {
        Em_OemCmd builder;
        Cmd_List cmds;
        const std::string text(c.length, 'x');
        Add_Text_Cmd(&builder, cmds, text.c_str(), 50);
        ASSERT_EQ(cmds.size(), c.commands) << c.length;
        if (c.commands == 1) {
            EXPECT_EQ(cmds[0].length, c.length);
            EXPECT_EQ(cmds[0].pause, 50u);
            EXPECT_EQ(Cmd_Text(cmds[0]), text);
            if (c.length < 512) {
                EXPECT_EQ(cmds[0].data[c.length], 0);
            }
        }
    }
    Em_OemCmd builder;
    Cmd_List cmds;
    Add_Text_Cmd(&builder, cmds, nullptr, 50);
    EXPECT_TRUE(cmds.empty());
}

TEST(OemBoard, ReceiveSlotsReachTheirCommandSlots) {
    Scripted_Board board(2);
    struct Case {
        int receiveSlot;
        std::function<int(Cmd_List&)> call;
        std::string text;
    };
    const std::vector<Case> cases = {
        {2, [&](Cmd_List& c) { return board.Get_Gnss_StartBase(c); }, "cmd 12"},
        {3, [&](Cmd_List& c) { return board.Get_Gnss_StartRover(c); }, "cmd 13"},
        {4, [&](Cmd_List& c) { return board.Get_Gnss_Reset(c); }, "cmd 14"},
        {5, [&](Cmd_List& c) { return board.Set_Gnss_ElevDgre(c, 15, 4); }, "cmd 6 15 4"},
        {6, [&](Cmd_List& c) { return board.Set_Gnss_SatUse(c, 7, true, 2); }, "cmd 7 7 1 2"},
        {7, [&](Cmd_List& c) { return board.Set_Gnss_Nmea(c, 0x101, GNSS_FRQ_2); }, "cmd 8 257 2"},
        {8,
         [&](Cmd_List& c) {
             return board.Set_Nmea_List(c, {{1, 2}, {3, 4}});
         },
         "cmd 9 2"},
        {9, [&](Cmd_List& c) { return board.Set_Gnss_PosFrq(c, GNSS_FRQ_5); }, "cmd 2 5"},
        {10, [&](Cmd_List& c) { return board.Send_Gnss_Obs(c, GNSS_FRQ_1); }, "cmd 3 1"},
        {11, [&](Cmd_List& c) { return board.Send_Gnss_Ephemeris(c, GNSS_FRQ_3); }, "cmd 4"},
        {12, [&](Cmd_List& c) { return board.Send_Gnss_EphemSat(c, 31); }, "cmd 5 31"},
        {13, [&](Cmd_List& c) { return board.Get_Gnss_ElevMask(c); }, "cmd 10"},
        {14, [&](Cmd_List& c) { return board.Send_Gnss_UnlogData(c); }, "cmd 11"},
        {15, [&](Cmd_List& c) { return board.Get_Cmd_PassCom(c, 9); }, "cmd 15 9"},
    };
    for (const auto& c : cases) {
        Cmd_List cmds(1);  // the forwarders append; they never clear the caller's list
        EXPECT_EQ(c.call(cmds), 102) << "receive slot " << c.receiveSlot;
        ASSERT_EQ(cmds.size(), 2u) << "receive slot " << c.receiveSlot;
        EXPECT_EQ(Cmd_Text(cmds[1]), c.text) << "receive slot " << c.receiveSlot;
    }
}

TEST(OemCmd, DefaultSettingsBlocks) {
    Em_OemCmd cmd;
    EXPECT_EQ(cmd.Out_Port, 0);
    EXPECT_EQ(V(cmd.Base_Cfg.Station_Id), 1);
    EXPECT_EQ(std::string(cmd.Base_Cfg.Station_Name), "base");
    EXPECT_EQ(V(cmd.Base_Cfg.Port_Baud), 38400);
    EXPECT_EQ(V(cmd.Base_Cfg.Diff_Format), 3);
    EXPECT_DOUBLE_EQ(V(cmd.Base_Cfg.Latitude), 0.5441037837884196);
    EXPECT_DOUBLE_EQ(V(cmd.Base_Cfg.Height), 37.51200038008392);
    EXPECT_EQ(V(cmd.Base_Cfg.Elev_Mask), 10);
    EXPECT_EQ(V(cmd.Base_Cfg.Pdop_Mask), 95);
    // The whole-record copies of the facade rely on these offsets.
    EXPECT_EQ(offsetof(Base_Config, Diff_Format), 26u);
    EXPECT_EQ(offsetof(Base_Config, Pdop_Mask), 55u);
    EXPECT_EQ(V(cmd.Rover_Cfg.Elev_Mask), 5);
    EXPECT_EQ(V(cmd.Rover_Cfg.Pdop_Mask), 95);
    EXPECT_EQ(V(cmd.Rover_Cfg.Port_Baud), 9600);
    EXPECT_EQ(V(cmd.Rover_Cfg.Diff_Source), 2);
    for (char c : cmd.Rover_Cfg.Ref_Station) {
        EXPECT_EQ(c, 0);
    }
    cmd.Set_Model_Setting(2);  // the base has no model setting and ignores it
}

TEST(OemData, FreshParserIsEmptyWithPresetStores) {
    Em_OemPlainData data;
    EXPECT_DOUBLE_EQ(data.Diff_Age, -1.0);
    EXPECT_EQ(data.Sat_Gps_Count, 0);
    EXPECT_EQ(data.Sat_Glo_Count, 0);
    EXPECT_EQ(data.Sat_Bds_Count, 0);
    EXPECT_EQ(V(data.Sat_Gps[31].Prn), 0);
    EXPECT_EQ(data.Update_Mask, 0u);
    ASSERT_TRUE(data.Stores_Ready);
    EXPECT_EQ(data.Eph_Count, 220);
    EXPECT_EQ(data.Geph_Count, 48);
    EXPECT_EQ(data.Seph_Count, 38);
    ASSERT_TRUE(data.Eph);
    EXPECT_EQ(V(data.Eph[0].sat), 0);
    EXPECT_EQ(V(data.Eph[219].iode), -1);
    EXPECT_EQ(V(data.Eph[219].iodc), -1);
    int32_t second = 0;
    std::memcpy(&second, data.Geph.get() + 47 * Em_OemData::kGloEphSize + 4, 4);
    EXPECT_EQ(second, -1);
    EXPECT_EQ(data.Seph[37 * Em_OemData::kSbsEphSize], 0);
    EXPECT_EQ(data.Work_Cap, 64);
    EXPECT_EQ(data.Work_Len, 0);
    ASSERT_TRUE(data.Trsmt);
    EXPECT_NE(data.Trsmt->Rtcm, nullptr);
    EXPECT_NE(data.Trsmt->Pass, nullptr);
    EXPECT_EQ(data.Trsmt->Rtcm->Kind, 1);
    EXPECT_EQ(data.Trsmt->Pass->Kind, 2);
}

TEST(OemData, DecodeRtcmFrameHandsTheFrameToThePassDecoder) {
    Em_OemPlainData data;
    unsigned char frame[20];
    for (int i = 0; i < 20; ++i) {
        frame[i] = static_cast<unsigned char>(0xD3 + i);
    }
    data.Update_Mask = 0x1001;
    EXPECT_EQ(data.Decode_Rtcm_Frame(1004, frame, 20), 1);
    EXPECT_EQ(data.Update_Mask, GNSS_FLAG_RTCM3);
    EXPECT_EQ(data.Trsmt->Info.Length, 20);
    EXPECT_EQ(data.Trsmt->Info.Msg_No, 1004);
    EXPECT_EQ(data.Trsmt->Info.Selector, 2);
    EXPECT_EQ(std::memcmp(data.Trsmt->Info.Data, frame, 20), 0);

    // Refused frames leave the mask alone.
    data.Update_Mask = 0x1001;
    EXPECT_EQ(data.Decode_Rtcm_Frame(1004, frame, 0), 0);
    EXPECT_EQ(data.Decode_Rtcm_Frame(1004, nullptr, 20), 0);
    std::vector<unsigned char> big(2049, 0xD3);
    EXPECT_EQ(data.Decode_Rtcm_Frame(1004, big.data(), 2049), 0);
    EXPECT_EQ(data.Update_Mask, 0x1001u);
    EXPECT_EQ(data.Trsmt->Info.Length, 20);
    std::vector<unsigned char> max(2048, 0xD3);
    EXPECT_EQ(data.Decode_Rtcm_Frame(1005, max.data(), 2048), 1);
}

TEST(FrameStore, SelectorChoosesTheDecoder) {
    TRSMT_HOLDER holder;
    Init_TrsMt_Holder(&holder);
    const unsigned char frame[] = {0xD3, 0x00, 0x13};
    EXPECT_TRUE(Prc_TrsMt_Frame(&holder, 1005, frame, 3, 2));
    EXPECT_FALSE(Prc_TrsMt_Frame(&holder, 1005, frame, 3, 7));
    EXPECT_EQ(holder.Info.Selector, 7);
    EXPECT_FALSE(Prc_TrsMt_Frame(&holder, 1005, frame, 0, 2));
    Free_TrsMt_Holder(&holder);
    EXPECT_EQ(holder.Rtcm, nullptr);
}

TEST(BoardRegistry, DefaultDriversCarryTheirTypeAndFakesReplaceThem) {
    for (int type = 1; type <= 8; ++type) {
        std::unique_ptr<Em_OemBoard> board(Create_Board(type));
        ASSERT_NE(board, nullptr) << type;
        EXPECT_EQ(board->Board_Type(), type);
        // The real drivers wait for bytes; the other drivers' stand-ins consume nothing.
        EXPECT_EQ(board->Parse(), type == 8 ? 1 : 0);
        ASSERT_NE(board->Cmd(), nullptr);
        ASSERT_NE(board->Data(), nullptr);
        Cmd_List cmds;
        board->Get_Gnss_StartBase(cmds);
        board->Get_Cmd_PassCom(cmds, 1);
        // The real drivers build commands; the NMEA-only boards and the Hemisphere base have none.
        EXPECT_EQ(cmds.empty(), type == 4 || type == 5 || type == 6) << type;
    }
    EXPECT_EQ(Create_Board(0), nullptr);
    EXPECT_EQ(Create_Board(9), nullptr);
    {
        Scoped_Board_Registration fake(2, [] { return new Scripted_Board(2, {{1, 0x8}}); });
        std::unique_ptr<Em_OemBoard> board(Create_Board(2));
        EXPECT_NE(dynamic_cast<Scripted_Board*>(board.get()), nullptr);
    }
    std::unique_ptr<Em_OemBoard> board(Create_Board(2));
    EXPECT_EQ(dynamic_cast<Scripted_Board*>(board.get()), nullptr);
}

TEST(OutputInterval, CodesMapToSeconds) {
    EXPECT_EQ(Get_Output_Interval(), -1);
    const std::pair<int, double> cases[] = {{2, 2},   {5, 5},    {10, 10},  {15, 15}, {30, 30},
                                            {60, 60}, {250, .5}, {251, .2}, {-1, 1},  {3, 1}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(Output_Interval_Seconds(c.first), c.second) << c.first;
    }
}

}  // namespace
