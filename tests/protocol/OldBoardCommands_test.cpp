// Old-protocol main-board slots and NMEA output with a recording fake board: which board
// commands pass through in "RZ" frames (or go direct on board type 3), and the old protocol's
// own frames around them in their order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Em_BoardRegistry.h"
#include "Em_OldProtocol.h"
#include "OldCmdDecode.h"
#include "support/Fake_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using oldcmd::Bytes;
using oldcmd::Decode;
using oldcmd::Hex;
using oldcmd::Raw;

namespace {

// What one command is, in a form a table can hold: "RZ:cmd 12" for a pass-through frame,
// "raw:cmd 12" for a board command that went direct, "RG" with payload for an own frame.
struct Seen {
    std::string what;
    Bytes payload;
    std::uint32_t pause;
};

bool operator==(const Seen& a, const Seen& b) {
    return a.what == b.what && a.payload == b.payload && a.pause == b.pause;
}
std::ostream& operator<<(std::ostream& o, const Seen& s) {
    o << s.what << " [";
    for (auto b : s.payload) {
        o << static_cast<int>(b) << " ";
    }
    return o << "] " << s.pause;
}

std::vector<Seen> Look(const Cmd_List& cmds) {
    std::vector<Seen> out;
    for (const auto& c : cmds) {
        const auto f = Decode(c);
        if (!f.ok) {
            out.push_back({"raw:" + Cmd_Text(c), {}, c.pause});
        } else if (f.letters == "RZ") {
            out.push_back({"RZ:" + std::string(f.payload.begin(), f.payload.end()), {}, c.pause});
        } else {
            out.push_back({f.letters, f.payload, c.pause});
        }
    }
    return out;
}

// A fake board that reports `reported` as its type; made through the registry slot the old
// protocol's factory asks for that type.
class Board_Rig {
public:
    explicit Board_Rig(int reported, std::function<Em_OemBoard*()> make = nullptr) {
        const bool own =
            reported == 1 || reported == 2 || reported == 3 || reported == 4 || reported == 7;
        const int driver = own ? reported : 2;
        if (!make) {
            make = [reported] { return new Scripted_Board(reported); };
        }
        m_reg = std::make_unique<Scoped_Board_Registration>(driver, make);
        proto.Create_Board(static_cast<MAINBD_OEM_TYPE>(reported));
    }
    Em_OldProtocol proto;

private:
    std::unique_ptr<Scoped_Board_Registration> m_reg;
};

const Seen kMarker{"raw:X", {}, 1};

Cmd_List WithMarker() {
    Cmd_List cmds(1);
    cmds[0].data[0] = 'X';
    cmds[0].length = 1;
    cmds[0].pause = 1;
    return cmds;
}

TEST(OldBoardCommands, PassThroughFrameWrittenOutByHand) {
    for (Com_Status link : {COM_STATUS_SERIAL, COM_STATUS_BLUETOOTH}) {
        Board_Rig rig(1);
        rig.proto.Set_Com_Status(link);
        Cmd_List cmds;
        rig.proto.Get_Gnss_Inite(cmds);
        ASSERT_EQ(cmds.size(), 1u);
        EXPECT_EQ(Raw(cmds[0]),
                  Hex(link == COM_STATUS_SERIAL ? "24 24 52 5A 18 05 63 6D 64 20 31 6E 0D 0A"
                                                : "24 24 52 5A 38 05 63 6D 64 20 31 4E 0D 0A"));
        EXPECT_EQ(cmds[0].pause, 50u);  // a short board command keeps its own pause
    }
}

TEST(OldBoardCommands, StartBaseOnEmptyAndFilledLists) {
    const Seen rg{"RG", {0}, 100};
    const Seen sj100{"SJ", {96, 3}, 100};
    const Seen rk{"RK", {0}, 3000};
    const Seen sj3000{"SJ", {96, 3}, 3000};
    const Seen st{"ST", {1}, 3000};
    const Seen base{"RZ:cmd 12", {}, 50};
    struct Row {
        int type;
        std::vector<Seen> empty;
        std::vector<Seen> filled;
    };
    const std::vector<Row> rows = {
        {1, {rg, sj100, base}, {rg, kMarker, sj100, base}},
        {4, {rg, sj100, base}, {rg, kMarker, sj100, base}},
        {7, {rg, sj100, base}, {rg, kMarker, sj100, base}},
        {2, {rk, base, sj3000, st}, {rk, kMarker, base, sj3000, st}},
        {3, {{"raw:cmd 12", {}, 50}}, {kMarker, {"raw:cmd 12", {}, 50}}},
        {5, {}, {kMarker}},
        {6, {}, {kMarker}},
        {9, {}, {kMarker}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        Board_Rig rig(row.type);
        Cmd_List empty;
        rig.proto.Get_Gnss_StartBase(empty);
        EXPECT_EQ(Look(empty), row.empty);
        Cmd_List filled = WithMarker();
        rig.proto.Get_Gnss_StartBase(filled);
        EXPECT_EQ(Look(filled), row.filled);
    }
}

TEST(OldBoardCommands, StartRoverOnTheNovAtelBoardSetsTheRoverMode) {
    const std::vector<std::pair<int, int>> modes = {{3, 0x20}, {4, 0x40},  {5, 0xA0},
                                                    {7, 0x60}, {14, 0x60}, {9, 0x80}};
    for (int mask : {10, 95}) {
        const int e = mask > 90 ? 13 : mask;
        for (const auto& m : modes) {
            SCOPED_TRACE(::testing::Message() << "mask " << mask << " mode " << m.first);
            Board_Rig rig(2);
            rig.proto.Board()->Cmd()->Rover_Cfg.Elev_Mask = static_cast<unsigned char>(mask);
            rig.proto.Board()->Cmd()->Board_Mode = m.first;
            Cmd_List cmds;
            rig.proto.Get_Gnss_StartRover(cmds);
            const std::vector<Seen> want = {
                {"SJ", {0x38, static_cast<std::uint8_t>(e)}, 200},
                {"RZ:cmd 6 " + std::to_string(e) + " 4", {}, 50},
                {"SW", {1, static_cast<std::uint8_t>(e)}, 200},
                {"RM", {static_cast<std::uint8_t>(m.second | e)}, 2000},
            };
            EXPECT_EQ(Look(cmds), want);
        }
    }
}

TEST(OldBoardCommands, StartRoverOnOtherBoards) {
    const Seen rover{"RZ:cmd 13", {}, 50};
    const std::vector<Seen> elev = {
        {"SJ", {0x38, 5}, 200}, {"RZ:cmd 6 5 4", {}, 50}, {"SW", {1, 5}, 200}};
    struct Row {
        int type;
        std::vector<Seen> want;
    };
    std::vector<Seen> withElev = {rover};
    withElev.insert(withElev.end(), elev.begin(), elev.end());
    const std::vector<Row> rows = {
        {1, withElev}, {4, withElev}, {7, {rover}}, {3, {{"raw:cmd 13", {}, 50}}},
        {5, {}},       {6, {}},       {9, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        Board_Rig rig(row.type);
        Cmd_List cmds;
        rig.proto.Get_Gnss_StartRover(cmds);
        EXPECT_EQ(Look(cmds), row.want);
    }
}

TEST(OldBoardCommands, ResetPutsRestartInFrontOnUnframedBoards) {
    const Seen rk{"RK", {255}, 3000};
    struct Row {
        int type;
        std::vector<Seen> want;
    };
    const std::vector<Row> rows = {
        {1, {kMarker, {"RZ:cmd 14", {}, 50}}},
        {2, {kMarker, {"RZ:cmd 14", {}, 50}}},
        {4, {kMarker, {"RZ:cmd 14", {}, 50}}},
        {7, {kMarker, {"RZ:cmd 14", {}, 50}}},
        {3, {rk, kMarker, {"raw:cmd 14", {}, 50}}},
        {5, {rk, kMarker}},
        {6, {rk, kMarker}},
        {9, {rk, kMarker}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        Board_Rig rig(row.type);
        Cmd_List cmds = WithMarker();
        rig.proto.Get_Gnss_Reset(cmds);
        EXPECT_EQ(Look(cmds), row.want);
    }
}

TEST(OldBoardCommands, ElevationMaskOnEveryBoardType) {
    for (int type : {1, 2, 3, 4, 5, 6, 7, 9}) {
        SCOPED_TRACE(type);
        Board_Rig rig(type);
        Cmd_List cmds;
        rig.proto.Set_Gnss_ElevDgre(cmds, 12, 5.0, 4);
        std::vector<Seen> want = {{"SJ", {0x38, 12}, 200}};
        if (type == 3) {
            want.push_back({"raw:cmd 6 12 1", {}, 50});
        } else if (type != 5 && type != 6 && type != 9) {
            want.push_back({"RZ:cmd 6 12 4", {}, 50});
        }
        want.push_back({"SW", {1, 12}, 200});
        EXPECT_EQ(Look(cmds), want);
    }
    // Without a board driver the old protocol's own frames still go.
    Em_OldProtocol bare;
    Cmd_List cmds;
    bare.Set_Gnss_ElevDgre(cmds, 7, 5.0, 4);
    EXPECT_EQ(Look(cmds), (std::vector<Seen>{{"SJ", {0x38, 7}, 200}, {"SW", {1, 7}, 200}}));
}

TEST(OldBoardCommands, PlainSlotsFollowTheBoardRoute) {
    struct Slot {
        const char* name;
        std::function<void(Em_OldProtocol&, Cmd_List&)> run;
        std::string text;
    };
    const std::vector<Slot> slots = {
        {"initialise", [](auto& p, auto& c) { p.Get_Gnss_Inite(c); }, "cmd 1"},
        {"position rate", [](auto& p, auto& c) { p.Set_Gnss_PosFrq(c, GNSS_FRQ_5); }, "cmd 2 5"},
        {"observations", [](auto& p, auto& c) { p.Send_Gnss_Obs(c, GNSS_FRQ_2); }, "cmd 3 2"},
        {"nmea", [](auto& p, auto& c) { p.Set_Gnss_Nmea(c, 0x41, GNSS_FRQ_1, 9); }, "cmd 8 65 1"},
        {"mask query", [](auto& p, auto& c) { p.Get_Gnss_ElevMask(c); }, "cmd 10"},
        {"unlog", [](auto& p, auto& c) { p.Send_Gnss_UnlogData(c); }, "cmd 11"},
    };
    for (const Slot& slot : slots) {
        for (int type : {1, 2, 3, 4, 5, 6, 7, 9}) {
            SCOPED_TRACE(::testing::Message() << slot.name << ", type " << type);
            Board_Rig rig(type);
            Cmd_List cmds;
            slot.run(rig.proto, cmds);
            std::vector<Seen> want;
            if (type == 3) {
                want.push_back({"raw:" + slot.text, {}, 50});
            } else if (type != 5 && type != 6 && type != 9) {
                want.push_back({"RZ:" + slot.text, {}, 50});
            }
            EXPECT_EQ(Look(cmds), want);
        }
    }
}

// A board whose initialise command is 120 bytes long.
class Long_Cmd : public Em_OemCmd {
public:
    int Get_Gnss_Inite(Cmd_List& c) override {
        Add_Text(c, std::string(55, 'a') + std::string(55, 'b') + std::string(10, 'c'), 50);
        return 7;
    }
};
class Long_Board : public Em_OemBoard {
public:
    explicit Long_Board(int type) {
        Set_Board_Type(type);
        Set_Cmd(new Long_Cmd);
        Set_Data(new Script_Data);
    }
};

TEST(OldBoardCommands, LongBoardCommandIsSplitIntoRzPieces) {
    Board_Rig rig(2, [] { return new Long_Board(2); });
    Cmd_List cmds;
    EXPECT_EQ(rig.proto.Get_Gnss_Inite(cmds), 7);
    EXPECT_EQ(Look(cmds), (std::vector<Seen>{{"RZ:" + std::string(55, 'a'), {}, 100},
                                             {"RZ:" + std::string(55, 'b'), {}, 100},
                                             {"RZ:" + std::string(10, 'c'), {}, 100}}));
}

TEST(OldBoardCommands, DifferentialDataInVdFrames) {
    Em_OldProtocol p;
    Cmd_List cmds;
    const unsigned char three[3] = {1, 2, 3};
    p.Send_DiffDataToGnss(cmds, three, 0);
    p.Send_DiffDataToGnss(cmds, three, 3);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(Raw(cmds[0]), Hex("24 24 56 44 18 00 0A 0D 0A"));
    EXPECT_EQ(Raw(cmds[1]), Hex("24 24 56 44 18 03 01 02 03 09 0D 0A"));

    std::vector<unsigned char> data(111);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<unsigned char>(i);
    }
    const std::vector<std::pair<unsigned, std::vector<std::size_t>>> rows = {
        {0, {0}}, {55, {55}}, {56, {55, 1}}, {110, {55, 55}}, {111, {55, 55, 1}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        Cmd_List out;
        p.Send_DiffDataToGnss(out, data.data(), row.first);
        ASSERT_EQ(out.size(), row.second.size());
        Bytes joined;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const auto f = Decode(out[i]);
            EXPECT_EQ(f.letters, "VD");
            EXPECT_EQ(f.payload.size(), row.second[i]);
            EXPECT_EQ(f.pause, 10u);
            joined.insert(joined.end(), f.payload.begin(), f.payload.end());
        }
        EXPECT_EQ(joined, Bytes(data.begin(), data.begin() + row.first));
    }
    Cmd_List none;
    p.Send_DiffDataToGnss(none, nullptr, 5);
    EXPECT_TRUE(none.empty());
}

std::vector<_set_nmea> List(std::initializer_list<std::pair<int, int>> entries) {
    std::vector<_set_nmea> out;
    for (const auto& e : entries) {
        out.push_back({e.first, e.second});
    }
    return out;
}

TEST(OldBoardCommands, ThreeArgumentNmeaMask) {
    const std::vector<std::pair<int, std::uint32_t>> bits = {
        {0x1, 0x1},      {0x40, 0x2},     {0x10, 0x4},      {0x20, 0x8},      {0x100, 0x10},
        {0x2, 0x20},     {0x200, 0x40},   {0x400, 0x80},    {0x800, 0x100},   {0x1000, 0x200},
        {0x2000, 0x400}, {0x4000, 0x800}, {0x8000, 0x1000}, {0x10000, 0x100}, {0x20000, 0x200},
        {0x40000, 0},    {0x41, 0x1},
    };
    for (const auto& b : bits) {
        EXPECT_EQ(Em_OldProtocol::Nmea_Mask(List({{b.first, 1}})), b.second) << b.first;
    }
    EXPECT_EQ(Em_OldProtocol::Nmea_Mask(List({{0x800, 1}, {0x10000, 1}})), 0x100u);

    for (int type : {2, 3, 5}) {
        SCOPED_TRACE(type);
        Board_Rig rig(type);
        Cmd_List cmds;
        rig.proto.Set_Velta_NMEA(cmds, List({{0x1, 1}, {0x800, 2}, {0x10000, 1}}), 5);
        std::vector<Seen> want;
        if (type == 2) {
            want.push_back({"RZ:cmd 9 3", {}, 50});
        } else if (type == 3) {
            want.push_back({"raw:cmd 9 3", {}, 50});
        }
        want.push_back({"RF", Hex("01 01 05"), 100});
        EXPECT_EQ(Look(cmds), want);
    }
}

TEST(OldBoardCommands, FourArgumentNmeaRateTable) {
    const auto list = List({{0x1, 1},
                            {0x40, 2},
                            {0x10, 0},
                            {0x20, 4},
                            {0x100, 5},
                            {0x2, 6},
                            {0x200, 7},
                            {0x400, 8},
                            {0x2000, 9},
                            {0x800, 10},
                            {0x1000, 11},
                            {0x4000, 12},
                            {0x10000, 13}});
    struct Row {
        int type;
        std::uint32_t mask;
        std::uint8_t r10, r11;
    };
    // 0x800/0x1000 count on type 2, 0x4000 on type 1, 0x10000 on types 4 and 7.
    const std::vector<Row> rows = {
        {2, 0x7FB, 10, 11}, {1, 0xCFB, 12, 0}, {4, 0x5FB, 13, 0},
        {7, 0x5FB, 13, 0},  {3, 0x4FB, 0, 0},  {5, 0x4FB, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        Board_Rig rig(row.type);
        Cmd_List cmds;
        rig.proto.Set_Velta_NMEA(cmds, list, 3, true);
        const Bytes rf = {static_cast<std::uint8_t>(row.mask >> 8),
                          static_cast<std::uint8_t>(row.mask), 3};
        Bytes rd = {1,
                    static_cast<std::uint8_t>(row.mask >> 8),
                    static_cast<std::uint8_t>(row.mask),
                    3,
                    1,
                    2,
                    0,
                    4,
                    5,
                    6,
                    7,
                    8,
                    9,
                    row.r11,
                    row.r10};
        std::vector<Seen> want = {{"RF", rf, 100}, {"RD", rd, 100}};
        if (row.type == 3) {
            want.push_back({"raw:cmd 9 13", {}, 50});
        } else if (row.type != 5) {
            want.push_back({"RZ:cmd 9 13", {}, 50});
        }
        EXPECT_EQ(Look(cmds), want);
    }

    // Flag clear, the rate code's low byte, and a zero rate that stores 0 without a mask bit.
    Board_Rig rig(5);
    Cmd_List cmds;
    rig.proto.Set_Velta_NMEA(cmds, List({{0x1, 0x1FF}, {0x2000, 0}}), 1, false);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(Decode(cmds[1]).payload, Hex("00 00 01 01 FF 00 00 00 00 00 00 00 00 00 00"));
}

}  // namespace
