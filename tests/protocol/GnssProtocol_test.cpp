#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BVParse/Em_GnssProtocol.h"
#include "Em_NewProtocol.h"
#include "Em_OemProtocol.h"
#include "Em_OldProtocol.h"
#include "support/Fake_Board.h"
#include "support/Scripted_Protocol.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;

namespace {

TEST(GnssProtocol, SplitRawCutsInto512ByteRecords) {
    struct Case {
        unsigned n;
        std::vector<unsigned> lengths;
    };
    const Case cases[] = {
        {1, {1}}, {512, {512}}, {513, {512, 1}}, {1024, {512, 512}}, {1025, {512, 512, 1}},
    };
    for (const auto& c : cases) {
        Scripted_Protocol proto(2);
        std::vector<unsigned char> bytes(c.n);
        for (unsigned i = 0; i < c.n; ++i) {
            bytes[i] = static_cast<unsigned char>(i * 7);
        }
        Cmd_List cmds(1);
        EXPECT_EQ(proto.Split_Raw_Cmds(cmds, bytes.data(), c.n),
                  static_cast<int>(c.lengths.size()));
        ASSERT_EQ(cmds.size(), c.lengths.size() + 1) << c.n;
        unsigned offset = 0;
        for (size_t i = 0; i < c.lengths.size(); ++i) {
            const _STR_CMD& cmd = cmds[i + 1];
            EXPECT_EQ(cmd.length, c.lengths[i]);
            EXPECT_EQ(cmd.pause, 50u);
            EXPECT_EQ(std::memcmp(cmd.data, bytes.data() + offset, cmd.length), 0);
            offset += cmd.length;
        }
    }
    Scripted_Protocol proto(2);
    Cmd_List cmds;
    EXPECT_EQ(proto.Split_Raw_Cmds(cmds, nullptr, 10), 0);
    EXPECT_TRUE(cmds.empty());
}

TEST(GnssProtocol, CommandSlotsReachTheirBoardSlots) {
    Scripted_Protocol proto(2);
    proto.Give_Board(new Scripted_Board(2));
    struct Case {
        int slot;
        std::function<int(Cmd_List&)> call;
        std::string text;
    };
    const std::vector<Case> cases = {
        {20, [&](Cmd_List& c) { return proto.Get_Gnss_Inite(c); }, "cmd 1"},
        {21, [&](Cmd_List& c) { return proto.Get_Gnss_StartBase(c); }, "cmd 12"},
        {22, [&](Cmd_List& c) { return proto.Get_Gnss_StartRover(c); }, "cmd 13"},
        {23, [&](Cmd_List& c) { return proto.Get_Gnss_Reset(c); }, "cmd 14"},
        // the double is dropped on the way
        {24, [&](Cmd_List& c) { return proto.Set_Gnss_ElevDgre(c, 12, 5.0, 4); }, "cmd 6 12 4"},
        {25, [&](Cmd_List& c) { return proto.Set_Gnss_PosFrq(c, GNSS_FRQ_4); }, "cmd 2 4"},
        {26, [&](Cmd_List& c) { return proto.Send_Gnss_Obs(c, GNSS_FRQ_6); }, "cmd 3 6"},
        {27, [&](Cmd_List& c) { return proto.Send_Gnss_Ephemeris(c, GNSS_FRQ_3); }, "cmd 4"},
        {28, [&](Cmd_List& c) { return proto.Send_Gnss_EphemSat(c, 17); }, "cmd 5 17"},
        // the third value is not passed on
        {29, [&](Cmd_List& c) { return proto.Set_Gnss_Nmea(c, 0x41, GNSS_FRQ_1, 99); },
         "cmd 8 65 1"},
        {30, [&](Cmd_List& c) { return proto.Set_Gnss_SatUse(c, 3, false, 8); }, "cmd 7 3 0 8"},
        {31, [&](Cmd_List& c) { return proto.Get_Gnss_ElevMask(c); }, "cmd 10"},
        {32, [&](Cmd_List& c) { return proto.Send_Gnss_UnlogData(c); }, "cmd 11"},
        {35, [&](Cmd_List& c) { return proto.Get_Cmd_PassCom(c, 3); }, "cmd 15 3"},
    };
    for (const auto& c : cases) {
        Cmd_List cmds(2);
        EXPECT_EQ(c.call(cmds), 103) << "slot " << c.slot;
        ASSERT_EQ(cmds.size(), 3u) << "slot " << c.slot;
        EXPECT_EQ(Cmd_Text(cmds[2]), c.text) << "slot " << c.slot;
    }
}

TEST(GnssProtocol, WithoutABoardGettersFallBackAndCommandsDoNothing) {
    Scripted_Protocol proto(2);
    EXPECT_EQ(proto.Board(), nullptr);
    EXPECT_EQ(proto.Board_Type(), 0);
    const std::vector<std::function<double()>> getters = {
        [&] { return proto.Get_Latitude(); }, [&] { return proto.Get_Longitude(); },
        [&] { return proto.Get_Height(); },   [&] { return proto.Get_Err_Vert(); },
        [&] { return proto.Get_Err_Horz(); }, [&] { return proto.Get_Err_Rms(); },
        [&] { return proto.Get_Pdop(); },     [&] { return proto.Get_Vdop(); },
        [&] { return proto.Get_Hdop(); },     [&] { return proto.Get_Tdop(); },
        [&] { return proto.Get_Gdop(); },     [&] { return proto.Get_Speed(); },
        [&] { return proto.Get_Course(); },   [&] { return double(proto.Get_Sol_Code()); },
    };
    for (const auto& get : getters) {
        EXPECT_EQ(get(), 0.0);
    }
    EXPECT_EQ(proto.Get_Diff_Age(), -1.0);

    Cmd_List cmds(1);
    cmds[0].length = 7;
    EXPECT_EQ(proto.Get_Gnss_Inite(cmds), 0);
    EXPECT_EQ(proto.Get_Gnss_StartBase(cmds), 0);
    EXPECT_EQ(proto.Set_Gnss_ElevDgre(cmds, 10, 5.0, 4), 0);
    EXPECT_EQ(proto.Set_Gnss_Nmea(cmds, 1, GNSS_FRQ_1, 0), 0);
    EXPECT_EQ(proto.Get_Cmd_PassCom(cmds, 1), 0);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].length, 7u);

    BASEINFO base;
    std::memset(&base, 0x5A, sizeof(base));
    proto.Get_Base_Info(base);
    EXPECT_EQ(base.Data[0], 0x5A);
    unsigned char gga[4] = {9, 9, 9, 9};
    unsigned len = 77;
    proto.Get_Gga_Text(gga, &len);
    EXPECT_EQ(len, 77u);
    EXPECT_EQ(gga[0], 9);
    SAT_USE use{5, 6};
    EXPECT_EQ(proto.Get_Gnss_SatUse(0, &use), 0u);
    EXPECT_EQ(use.Word1, 5u);
    proto.Set_GNSS_ParseNmea(false);  // nothing to switch
}

TEST(GnssProtocol, GettersReadTheBoardDataParser) {
    Scripted_Protocol proto(1);
    auto* board = new Scripted_Board(4);
    proto.Give_Board(board);
    Em_OemData& d = *board->Data();
    d.Latitude = 0.1;
    d.Longitude = 0.2;
    d.Height = 3;
    d.Err_Vert = 4;
    d.Err_Horz = 5;
    d.Err_Rms = 6;
    d.Pdop = 7;
    d.Vdop = 8;
    d.Hdop = 9;
    d.Tdop = 10;
    d.Gdop = 11;
    d.Speed = 12;
    d.Course = 13;
    d.Sol_Code = 4;
    d.Diff_Age = 1.5;
    const double expected[] = {0.1, 0.2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    const double got[] = {proto.Get_Latitude(), proto.Get_Longitude(), proto.Get_Height(),
                          proto.Get_Err_Vert(), proto.Get_Err_Horz(),  proto.Get_Err_Rms(),
                          proto.Get_Pdop(),     proto.Get_Vdop(),      proto.Get_Hdop(),
                          proto.Get_Tdop(),     proto.Get_Gdop(),      proto.Get_Speed(),
                          proto.Get_Course()};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(got[i], expected[i]) << "slot " << i + 3;
    }
    EXPECT_EQ(proto.Get_Sol_Code(), 4);
    EXPECT_EQ(proto.Get_Diff_Age(), 1.5);

    std::memcpy(d.Gga_Text, "$GPGGA,x\r\n", 10);
    d.Gga_Len = 10;
    unsigned char gga[2048];
    unsigned len = 0;
    proto.Get_Gga_Text(gga, &len);
    EXPECT_EQ(len, 10u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(gga), len), "$GPGGA,x\r\n");
    d.Gga_Len = 100000;  // a corrupt length never reads past the text area
    proto.Get_Gga_Text(gga, &len);
    EXPECT_EQ(len, 2048u);

    d.Sat_Use[0] = 3;
    d.Sat_Use[1] = 9;
    SAT_USE use{0, 0};
    EXPECT_EQ(proto.Get_Gnss_SatUse(0, &use), 9u);
    EXPECT_EQ(use.Word1, 9u);
    EXPECT_EQ(use.Word2, 9u);
    SAT_USE untouched{1, 1};
    EXPECT_EQ(proto.Get_Gnss_SatUse(1, &untouched), 9u);
    EXPECT_EQ(untouched.Word1, 1u);

    proto.Set_GNSS_ParseNmea(false);
    EXPECT_EQ(d.Parse_Nmea, 0);
    proto.Set_GNSS_ParseNmea(true);
    EXPECT_EQ(d.Parse_Nmea, 1);
}

TEST(GnssProtocol, FreshObjectsCarryTheirKindAndDefaults) {
    Em_OldProtocol oldProto;
    Em_OemProtocol oemProto;
    Em_NewProtocol newProto;
    EXPECT_EQ(oldProto.Get_Kind(), 2);
    EXPECT_EQ(oemProto.Get_Kind(), 1);
    EXPECT_EQ(newProto.Get_Kind(), 2);
    for (Em_GnssProtocol* p : std::vector<Em_GnssProtocol*>{&oldProto, &oemProto, &newProto}) {
        EXPECT_EQ(p->Get_Flags(), 0u);
        EXPECT_EQ(p->Get_Com_Status(), COM_STATUS_SERIAL);
        EXPECT_EQ(p->Get_Last_Word(), 0);
        EXPECT_EQ(p->Ring()->Capacity(), 20480);
        EXPECT_EQ(p->Parse_Step(), 0);
        Cmd_List cmds;
        const unsigned char diff[3] = {1, 2, 3};
        p->Send_DiffDataToGnss(cmds, diff, 3);
        // The old protocol object sends "VD" frames, the OEM one passes the bytes on raw and the
        // new one wraps them in a chunked packet.
        EXPECT_FALSE(cmds.empty());
    }
}

// Board factories of the three objects, a table of (type -> driver type or "kept").
TEST(GnssProtocol, BoardFactoriesFollowTheirTables) {
    struct Case {
        int type;
        int oldDriver;
        int oemDriver;  // 0: refused, the driver in place stays
    };
    const Case cases[] = {
        {0, 2, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 0}, {4, 4, 4},
        {5, 2, 5}, {6, 2, 6}, {7, 7, 0}, {8, 2, 0}, {9, 2, 0},
    };
    for (const auto& c : cases) {
        const auto t = static_cast<MAINBD_OEM_TYPE>(c.type);
        Em_OldProtocol oldProto;
        EXPECT_TRUE(oldProto.Create_Board(t));
        EXPECT_EQ(oldProto.Board_Type(), c.oldDriver) << c.type;
        EXPECT_EQ(oldProto.Board()->Cmd()->Out_Port, 1);

        Em_OemProtocol oemProto;
        ASSERT_TRUE(oemProto.Create_Board(MAINBD_HEMISPHERE));
        EXPECT_EQ(oemProto.Create_Board(t), c.oemDriver != 0) << c.type;
        EXPECT_EQ(oemProto.Board_Type(), c.oemDriver != 0 ? c.oemDriver : 4) << c.type;
        if (c.oemDriver != 0) {
            EXPECT_EQ(oemProto.Board()->Cmd()->Out_Port, c.type == 5 ? 1 : 0);
        }

        Em_NewProtocol newProto;
        EXPECT_TRUE(newProto.Create_Board(t));
        EXPECT_EQ(newProto.Board_Type(), 8);
    }
}

}  // namespace
