#include <gtest/gtest.h>

#include <string>

#include "Em_BoardRegistry.h"
#include "Em_OemNewCmd.h"
#include "Em_OemNewProtocol.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using NewWire::Cat;
using NewWire::F64;
using NewWire::Hex;
using NewWire::U16;
using NewWire::U8;

namespace {

// Item list of a frame as (tag, value hex) pairs, without the operation item.
std::vector<std::pair<uint16_t, std::string>> Items(const NewWire::Frame& f) {
    std::vector<std::pair<uint16_t, std::string>> out;
    for (size_t i = 1; i < f.items.size(); ++i) {
        out.emplace_back(f.items[i].tag, Hex(f.items[i].value));
    }
    return out;
}

std::vector<NewWire::Frame> Frames(const Cmd_List& cmds) {
    std::vector<NewWire::Frame> frames;
    std::string error;
    EXPECT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    for (const auto& f : frames) {
        EXPECT_EQ(f.commandId, 0u);
    }
    return frames;
}

using ItemList = std::vector<std::pair<uint16_t, std::string>>;

}  // namespace

TEST(OemNewProtocolTest, BoardShape) {
    std::unique_ptr<Em_OemBoard> board(Create_Default_Board(8));
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Board_Type(), 8);
    ASSERT_NE(dynamic_cast<Em_OemNewProtocol*>(board.get()), nullptr);
    EXPECT_NE(dynamic_cast<Em_OemNewCmd*>(board->Cmd()), nullptr);
    EXPECT_NE(dynamic_cast<Em_OemNewData*>(board->Data()), nullptr);
    EXPECT_EQ(board->Parse(), 1);
}

TEST(OemNewProtocolTest, InitialiseAndSimpleCommands) {
    Em_OemNewProtocol board;
    Cmd_List cmds;
    board.Cmd()->Get_Gnss_Inite(cmds);
    auto frames = Frames(cmds);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Operation(), 14);
    EXPECT_EQ(Items(frames[0]), (ItemList{{0x0410, "00 09"},
                                          {0x040C, "00 09"},
                                          {0x040D, "00 0B"},
                                          {0x0408, "00 0B"},
                                          {0x040F, "00 0B"}}));

    cmds.clear();
    board.Set_Gnss_ElevDgre(cmds, 300, 0);  // receive slot 5 -> command slot 6
    board.Get_Gnss_ElevMask(cmds);          // 13 -> 10
    board.Send_Gnss_UnlogData(cmds);        // 14 -> 11
    board.Get_Gnss_Reset(cmds);             // 4 -> 14
    frames = Frames(cmds);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].Operation(), 14);
    EXPECT_EQ(Items(frames[0]), (ItemList{{0x0451, "2C"}})) << "low byte of 300";
    EXPECT_EQ(frames[1].Operation(), 15);
    EXPECT_EQ(Items(frames[1]), (ItemList{{0x0451, ""}})) << "a query of length 0";
    EXPECT_EQ(Items(frames[2]), (ItemList{{0x0454, ""}}));
    EXPECT_EQ(Items(frames[3]), (ItemList{{0x0453, ""}}));
}

TEST(OemNewProtocolTest, RateCodes) {
    const std::pair<int, uint16_t> table[] = {{0, 1},  {1, 6}, {2, 7},  {3, 9},   {4, 10}, {5, 11},
                                              {6, 12}, {7, 9}, {11, 8}, {255, 2}, {100, 9}};
    Em_OemNewProtocol board;
    for (const auto& [rate, code] : table) {
        Cmd_List cmds;
        board.Set_Gnss_PosFrq(cmds, static_cast<GNSS_FRQ>(rate));  // 9 -> 2
        board.Send_Gnss_Obs(cmds, static_cast<GNSS_FRQ>(rate));    // 10 -> 3
        auto frames = Frames(cmds);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(Items(frames[0]), (ItemList{{0x0410, Hex(U16(code))}})) << rate;
        EXPECT_EQ(Items(frames[1]), (ItemList{{0x0407, Hex(U16(code))}})) << rate;
    }
}

TEST(OemNewProtocolTest, EmptySlotsAppendNothing) {
    Em_OemNewProtocol board;
    Cmd_List cmds;
    board.Send_Gnss_Ephemeris(cmds, GNSS_FRQ_3);
    board.Send_Gnss_EphemSat(cmds, 3);
    board.Set_Gnss_SatUse(cmds, 3, true, 0);
    board.Set_Gnss_Nmea(cmds, 0xFF, GNSS_FRQ_1);
    board.Set_Nmea_List(cmds, {{1, 2}});
    board.Get_Cmd_PassCom(cmds, 1);
    EXPECT_TRUE(cmds.empty());
}

TEST(OemNewProtocolTest, BaseStartSequence) {
    Em_OemNewProtocol board;
    Cmd_List cmds;
    board.Get_Gnss_StartBase(cmds);  // 2 -> 12
    auto frames = Frames(cmds);
    // Four output switches, the format, the position, the baud rate.
    ASSERT_EQ(frames.size(), 7u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(frames[i].Operation(), 14) << i;
    }
    EXPECT_EQ(frames[6].Operation(), 2);
    EXPECT_EQ(Items(frames[0]), (ItemList{{0x0404, "00 01"}, {0x0454, ""}}));
    EXPECT_EQ(Items(frames[1]), (ItemList{{0x0404, "00 05"}, {0x0454, ""}}));
    EXPECT_EQ(Items(frames[2]), (ItemList{{0x0404, "00 06"}, {0x0454, ""}}));
    EXPECT_EQ(Items(frames[3]), (ItemList{{0x0404, "00 23"}, {0x0454, ""}}));
    EXPECT_EQ(Items(frames[4]), (ItemList{{0x0404, "00 01"}, {0x0405, "00 02"}}));
    const std::string position = Hex(
        Cat({U16(3), F64(0.5441037837884196), F64(2.1187988500159314), F64(37.51200038008392)}));
    EXPECT_EQ(Items(frames[5]), (ItemList{{0x0451, "0A"}, {0x0450, "5F"}, {0x0452, position}}));
    EXPECT_EQ(Items(frames[6]), (ItemList{{0x0104, "00 01"}, {0x0103, "00 06"}}));
}

TEST(OemNewProtocolTest, BaseStartWithSelectorSixAndFormats) {
    Em_OemNewProtocol board;
    board.Cmd()->Base_Cfg.Port_Index = 6;
    board.Cmd()->Base_Cfg.Port_Baud = 2400;
    Cmd_List cmds;
    board.Get_Gnss_StartBase(cmds);
    auto frames = Frames(cmds);
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_EQ(Items(frames[4]), (ItemList{{0x0404, "00 06"}, {0x0405, "00 02"}}));
    EXPECT_EQ(Items(frames[5]), (ItemList{{0x0404, "00 01"}, {0x0405, "00 02"}}));
    EXPECT_EQ(frames[6].items[1].tag, 0x0451);
    EXPECT_EQ(Items(frames[7]), (ItemList{{0x0104, "00 01"}, {0x0103, "00 01"}}));

    const std::pair<int32_t, uint16_t> formats[] = {{3, 2},  {5, 9},  {6, 3}, {7, 6}, {11, 8},
                                                    {12, 4}, {14, 7}, {0, 5}, {4, 5}};
    board.Cmd()->Base_Cfg.Port_Index = 1;
    for (const auto& [word, code] : formats) {
        board.Cmd()->Base_Cfg.Diff_Format = word;
        cmds.clear();
        board.Get_Gnss_StartBase(cmds);
        frames = Frames(cmds);
        ASSERT_EQ(frames.size(), 7u);
        EXPECT_EQ(Items(frames[4]), (ItemList{{0x0404, "00 01"}, {0x0405, Hex(U16(code))}}))
            << word;
    }
    board.Cmd()->Base_Cfg.Port_Baud = 9600;
    cmds.clear();
    board.Get_Gnss_StartBase(cmds);
    frames = Frames(cmds);
    EXPECT_EQ(Items(frames.back()), (ItemList{{0x0104, "00 01"}, {0x0103, "00 03"}}));
}

TEST(OemNewProtocolTest, RoverStart) {
    Em_OemNewProtocol board;
    Cmd_List cmds;
    board.Get_Gnss_StartRover(cmds);  // 3 -> 13
    auto frames = Frames(cmds);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Operation(), 14);
    const std::string mode = Hex(Cat({U16(1), F64(0), F64(0), F64(0)}));
    EXPECT_EQ(Items(frames[0]), (ItemList{{0x0451, "05"}, {0x0450, "5F"}, {0x0452, mode}}));
}

TEST(OemNewProtocolTest, ItemAndSentenceSlots) {
    Em_OemNewProtocol board;
    const uint8_t mask = 12;
    EXPECT_EQ(board.Forward_NewItem(&mask, 0x0451, 1), 1);
    EXPECT_EQ(board.Get_Status_Word(), 12);
    EXPECT_EQ(board.Data()->Update_Mask, 0x4u);
    EXPECT_EQ(board.Forward_NewItem(&mask, 0x0451, 2), 0);
    EXPECT_EQ(board.Data()->Update_Mask, 0u);

    std::string gga(300, 'g');
    EXPECT_EQ(board.Store_NewGgaText(gga.c_str(), 0x0409, 300), 0);
    ASSERT_EQ(board.Store_NewGgaText(gga.c_str(), 0x0408, 300), 1);
    EXPECT_EQ(board.Data()->Update_Mask, 0x1u);
    EXPECT_EQ(board.NewData()->sentenceLength, 260u);
    EXPECT_EQ(std::string(board.NewData()->sentence), std::string(260, 'g'));
}
