// The engine board (type 3): its NovAtel commands inside command-mode frames, the engine's
// start, restart and failure paths through the fake plug-in, and the engine logs 41, 911, 912,
// 913 with the solution applied by the next parse step.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Em_GnssEngineLoader.h"
#include "Em_OemComEngine.h"
#include "Em_OemComEngineCmd.h"
#include "Em_OemComEngineData.h"
#include "Em_NovatelFields.h"
#include "Fake_Engine_Handle.h"
#include "Novatel_Test_Log.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace novatel_test;
using engine_test::Fake_Engine_Handle;

const std::string kOpen = "$$IM\x18\x01\x01\x1C\r\n";
const std::string kClose = "$$IM\x18\x01\x02\x1F\r\n";

std::vector<std::string> Texts(const Cmd_List& cmds) {
    std::vector<std::string> out;
    for (const _STR_CMD& c : cmds) {
        EXPECT_EQ(c.pause, 50u);
        out.push_back(std::string(reinterpret_cast<const char*>(c.data), c.length));
    }
    return out;
}

typedef std::vector<std::string> Lines;

struct Board : public Em_OemComEngine {
    Em_OemComEngineData& D() { return *Engine_Data(); }
    Em_OemComEngineCmd& C() { return *static_cast<Em_OemComEngineCmd*>(Cmd()); }
    uint32_t Feed(const Bytes& bytes) {
        Add_Data(bytes.data(), static_cast<int>(bytes.size()));
        uint32_t mask = 0;
        for (int guard = 0; Parse() != 0 && guard < 100; ++guard) {
            mask |= Data()->Update_Mask;
        }
        return mask;
    }
};

TEST(EngineCmd, FramedCommands) {
    Board b;
    Cmd_List cmds;
    b.Cmd()->Get_Gnss_Inite(cmds);
    EXPECT_EQ(Texts(cmds), (Lines{kOpen, "unlogall\r\n", "log bestposb ontime 1\r\n",
                                  "log satmsgb ontime 5\r\n", "log psrdopb ontime 5\r\n", kClose}));
    cmds.clear();
    b.Set_Gnss_ElevDgre(cmds, 12, 1);
    b.Set_Gnss_ElevDgre(cmds, 12, 4);
    EXPECT_EQ(Texts(cmds),
              (Lines{kOpen, "ecutoff 12\r\n", kClose, kOpen, "gloecutoff 12\r\n", kClose}));
    cmds.clear();
    b.Get_Gnss_ElevMask(cmds);
    b.Send_Gnss_UnlogData(cmds);
    b.Get_Gnss_Reset(cmds);
    EXPECT_EQ(Texts(cmds), (Lines{kOpen, "log psrdopb\r\n", kClose, kOpen, "unlogall\r\n", kClose,
                                  kOpen, "freset\r\n", kClose}));
    cmds.clear();
    b.Set_Gnss_PosFrq(cmds, GNSS_FRQ_0);
    b.Set_Gnss_SatUse(cmds, 7, false, 0);
    b.Send_Gnss_Obs(cmds, GNSS_FRQ_1);
    b.Send_Gnss_Ephemeris(cmds, GNSS_FRQ_3);
    b.Set_Gnss_Nmea(cmds, 0xFF, GNSS_FRQ_1);
    b.Get_Cmd_PassCom(cmds, 1);
    EXPECT_EQ(Texts(cmds), (Lines{"log bestposb ontime 1\r\n", "lockout 7\r\n"}));
}

TEST(EngineCmd, BaseSetUpByFormatAndSelector) {
    Board b;
    b.C().Base_Cfg.Diff_Format = 7;
    b.C().Base_Cfg.Output_Select = 2;
    Cmd_List cmds;
    b.Get_Gnss_StartBase(cmds);
    EXPECT_EQ(
        Texts(cmds),
        (Lines{"ecutoff 10\r\n", "rtkelevmask user 10\r\n", "gloecutoff 5.0\r\n",
               "fix position 31.17485043 121.39823174 37.512\r\n", kOpen, "unlogall com2\r\n",
               "log com2 rtcmdata1004b ontime 1\r\n", "log com2 rtcmdata1005b ontime 5\r\n",
               "log gprs rtcmdata1004b ontime 1\r\n", "log gprs rtcmdata1005b ontime 5\r\n"}));
    struct Row {
        int format, selector;
        Lines tail;
    };
    for (const Row& row :
         {Row{3, 0, {"log com2 cmrdatarefb ontime 5\r\n", "log com2 cmrdataobsb ontime 1\r\n"}},
          Row{4, 1, {"log gprs rtcmdata3b ontime 5\r\n", "log gprs rtcmdata1819b ontime 1\r\n"}},
          Row{5, 0, {}}, Row{6, 7, {}}}) {
        Board x;
        x.C().Base_Cfg.Diff_Format = row.format;
        x.C().Base_Cfg.Output_Select = row.selector;
        Cmd_List c;
        x.Get_Gnss_StartBase(c);
        const Lines t = Texts(c);
        ASSERT_EQ(t.size(), 6u + row.tail.size()) << row.format;
        EXPECT_EQ(Lines(t.begin() + 6, t.end()), row.tail) << row.format;
    }
}

TEST(EngineBoard, RoverStartsTheEngineOnceThenRestartsIt) {
    Fake_Engine_Handle fake;
    ASSERT_TRUE(fake.Ok());
    {
        Board b;
        b.C().Rover_Cfg.Diff_Format = 4;
        Cmd_List cmds;
        b.Get_Gnss_StartRover(cmds);
        EXPECT_EQ(Texts(cmds),
                  (Lines{kOpen, "rtksource rtcm\r\n", "unlogall\r\n",
                         "set diffmatchmode asynch\r\n", "log rawephemb onchanged\r\n",
                         "log diffmsgb ontime 1\r\n", "log refstationb ontime 5\r\n", kClose}));
        EXPECT_EQ(fake.Calls(),
                  "20:8 7 5:0,Base 5:1,Rover 6:0,5,1,0,1000,0,0,0,0,10,0,1,0,0,0,0,0,1,0,0,0,0,0,0 "
                  "12");
        EXPECT_NE(b.D().Engine(), nullptr);
        fake.Reset(1);
        cmds.clear();
        b.Get_Gnss_StartRover(cmds);
        EXPECT_EQ(cmds.size(), 8u);
        EXPECT_EQ(fake.Calls(), "11:0,3");
        EXPECT_EQ(fake.Live(), 1);
        fake.Reset(1);
    }
    EXPECT_EQ(fake.Calls(), "8:0 2");
    EXPECT_EQ(fake.Live(), 0);
}

TEST(EngineBoard, EngineWithoutChannelsIsStoppedAtOnce) {
    Fake_Engine_Handle fake;
    ASSERT_TRUE(fake.Ok());
    fake.Reset(0);
    {
        Board b;
        Cmd_List cmds;
        b.Get_Gnss_StartRover(cmds);
        EXPECT_EQ(cmds.size(), 8u);
        EXPECT_EQ(fake.Calls(), "20:8 8:0 2");
        EXPECT_EQ(b.D().Engine(), nullptr);
        EXPECT_EQ(fake.Live(), 0);
    }
    EXPECT_EQ(fake.Calls(), "20:8 8:0 2");
}

TEST(EngineBoard, WithoutTheLibraryCommandsAndLogsStillWork) {
    Em_GnssEngineLoader::Set_Path("/nonexistent/libno_engine.so");
    Board b;
    Cmd_List cmds;
    b.Get_Gnss_StartRover(cmds);
    EXPECT_EQ(cmds.size(), 8u);
    EXPECT_EQ(b.D().Engine(), nullptr);
    Best_Pos p;
    p.hgt = 20.0;
    const uint32_t mask = b.Feed(Make_Log(42, Best_Pos_Body(p)));
    EXPECT_NE(mask & GNSS_FLAG_POSITION, 0u);
    EXPECT_DOUBLE_EQ(b.D().Height, 20.0);  // above mean sea level, undulation left out
    Em_GnssEngineLoader::Set_Path("");

    setenv(Em_GnssEngineLoader::kEnvironment, "/tmp/from_env.so", 1);
    EXPECT_EQ(Em_GnssEngineLoader::Path(), "/tmp/from_env.so");
    unsetenv(Em_GnssEngineLoader::kEnvironment);
    EXPECT_EQ(Em_GnssEngineLoader::Path(), Em_GnssEngineLoader::kDefaultPath);
}

// MSB-first bit field writer for navigation subframes.
void Set_Bits(unsigned char* p, int pos, int len, uint64_t v) {
    for (int i = 0; i < len; ++i) {
        const int bit = pos + i;
        const bool on = (v >> (len - 1 - i)) & 1u;
        if (on) {
            p[bit / 8] |= static_cast<unsigned char>(0x80 >> (bit % 8));
        } else {
            p[bit / 8] &= static_cast<unsigned char>(~(0x80 >> (bit % 8)));
        }
    }
}

Bytes Raw_Eph_Log(uint32_t sat, uint16_t headerWeek) {
    Bytes body(102, 0);
    Put32(body, 0, sat);
    unsigned char* s1 = body.data() + 12;
    unsigned char* s2 = s1 + 30;
    unsigned char* s3 = s2 + 30;
    Set_Bits(s1, 48, 10, 252);
    Set_Bits(s1, 60, 4, 2);       // URA index 2: 4 m
    Set_Bits(s1, 176, 16, 7200);  // toc / 16
    Set_Bits(s2, 184, 32, static_cast<uint64_t>(5153.6 * 524288.0));
    Set_Bits(s2, 216, 16, 7200);
    Set_Bits(s3, 112, 32, 0x20000000);  // i0 = 0.25 semicircles
    Log_Header h;
    h.id = 41;
    h.week = headerWeek;
    return Make_Log(h, body);
}

TEST(EngineBoard, RawEphemerisGoesToTheEngineWithTheResolvedWeek) {
    Fake_Engine_Handle fake;
    ASSERT_TRUE(fake.Ok());
    Board b;
    Cmd_List cmds;
    b.Get_Gnss_StartRover(cmds);
    fake.Reset(1);
    b.Feed(Raw_Eph_Log(5, 2300));
    EXPECT_EQ(fake.Calls(), "9:5,2300");
    const Engine_Ephemeris& e = b.D().Last_Ephemeris;
    EXPECT_EQ(e.Week, 2300);
    EXPECT_EQ(e.Ura, 4);
    EXPECT_DOUBLE_EQ(e.Toe, 115200.0);
    EXPECT_DOUBLE_EQ(e.Toc, 115200.0);
    EXPECT_NEAR(e.Sqrt_A, 5153.6, 1e-5);
    EXPECT_NEAR(e.I0, 0.25 * 3.1415926535897932, 1e-12);
    EXPECT_EQ(e.Valid, 1);
    fake.Reset(1);
    b.Feed(Raw_Eph_Log(63, 2300));
    b.Feed(Raw_Eph_Log(0, 2300));
    EXPECT_EQ(fake.Calls(), "");
}

Bytes Sat_List_Log(int count, const std::vector<int>& numbers, int bodyBytes = -1) {
    Bytes body(static_cast<size_t>(bodyBytes >= 0 ? bodyBytes : 6 + 12 * int(numbers.size())), 0);
    body[0] = static_cast<unsigned char>(count);
    for (size_t i = 0; i < numbers.size() && 6 + 12 * i + 12 <= body.size(); ++i) {
        unsigned char* e = body.data() + 6 + 12 * i;
        e[0] = static_cast<unsigned char>(numbers[i]);
        e[1] = 0x2C;  // azimuth 300
        e[2] = 0x01;
        e[3] = 45;
        e[4] = 1;
        e[5] = 44;
        e[9] = 38;
    }
    return Make_Log(911, body);
}

TEST(EngineBoard, SatelliteList) {
    Board b;
    uint32_t mask = b.Feed(Sat_List_Log(3, {7, 40, 145}));
    EXPECT_EQ(b.D().Sat_Gps_Count, 1);
    EXPECT_EQ(b.D().Sat_Bds_Count, 1);
    EXPECT_EQ(b.D().Sat_Gps[0].Prn, 7);
    EXPECT_EQ(b.D().Sat_Gps[0].Azimuth, 300);
    EXPECT_EQ(b.D().Sat_Gps[0].Elevation, 45);
    EXPECT_FLOAT_EQ(b.D().Sat_Gps[0].Snr2, 38.0f);
    EXPECT_EQ(b.D().Sat_Bds[0].Prn, 5);
    EXPECT_NE(mask & GNSS_FLAG_SAT_1, 0u);
    EXPECT_NE(mask & GNSS_FLAG_SAT_3, 0u);

    mask = b.Feed(Sat_List_Log(25, std::vector<int>(25, 3)));
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(b.D().Sat_Gps[0].Prn, 7);
    // A count the body cannot hold is ignored.
    mask = b.Feed(Sat_List_Log(4, {1, 2}));
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(b.D().Sat_Gps_Count, 1);
}

TEST(EngineBoard, CompactObservations) {
    Fake_Engine_Handle fake;
    ASSERT_TRUE(fake.Ok());
    Board b;
    Cmd_List cmds;
    b.Get_Gnss_StartRover(cmds);
    fake.Reset(1);

    Bytes body(16 + 22 * 3, 0);
    body[0] = 3;
    body[1] = 9;
    Put32(body, 6, static_cast<uint32_t>(-25000000));  // -2.5
    Put32(body, 12, 0xABCD);
    auto entry = [&](int i, int sat, bool first, bool second, int32_t c, int16_t f1, int16_t d,
                     int16_t f2) {
        unsigned char* e = body.data() + 16 + 22 * i;
        e[0] = static_cast<unsigned char>(sat);
        e[1] = 30;
        e[2] = 0x10;
        e[4] = first;
        e[5] = 45;
        Put32(body, 16 + 22 * i + 6, static_cast<uint32_t>(c));
        Put16(body, 16 + 22 * i + 10, static_cast<uint16_t>(f1));
        e[13] = 0x77;
        e[14] = second;
        e[15] = 40;
        Put16(body, 16 + 22 * i + 16, static_cast<uint16_t>(d));
        Put16(body, 16 + 22 * i + 18, static_cast<uint16_t>(f2));
    };
    entry(0, 12, true, true, 8000000, 128, 80, -256);
    entry(1, 70, true, true, 1, 1, 1, 1);   // outside 1-62: skipped whole
    entry(2, 20, false, true, 1, 1, 1, 1);  // first frequency absent: not stored
    Log_Header h;
    h.id = 912;
    h.week = 2300;
    h.millis = 345600500;
    b.Feed(Make_Log(h, body));
    EXPECT_EQ(fake.Calls(), "3:1");
    const Engine_Observation& o = b.D().Last_Observation;
    ASSERT_EQ(o.Count, 1);
    EXPECT_EQ(o.Week, 2300);
    EXPECT_DOUBLE_EQ(o.Seconds, 345600.5);
    EXPECT_DOUBLE_EQ(o.Clock, -2.5);
    EXPECT_EQ(o.Word, 0xABCDu);
    EXPECT_EQ(o.Head[0], 9);
    const double r = 8000000 * 0.125 * 0.1902936727984;
    EXPECT_DOUBLE_EQ(o.Sats[0].P1, -r);
    EXPECT_DOUBLE_EQ(o.Sats[0].L1, -(0.5 + r * 5.255035468569757));
    EXPECT_DOUBLE_EQ(o.Sats[0].P2, -(r + 80 * 0.0237867090998));
    EXPECT_DOUBLE_EQ(o.Sats[0].L2, -(-1.0 + r * 4.094832832651982));
    EXPECT_EQ(o.Sats[0].Status1, 0x77);
    EXPECT_EQ(b.D().Sat_Gps_Count, 1);
    EXPECT_EQ(b.D().Sat_Gps[0].Prn, 12);
    EXPECT_EQ(b.D().Sat_Gps[0].Azimuth, 16);

    Bytes tooMany(16 + 22 * 29, 0);
    tooMany[0] = 29;
    fake.Reset(1);
    b.Feed(Make_Log(912, tooMany));
    EXPECT_EQ(b.D().Last_Observation.Count, 0);
    EXPECT_EQ(fake.Calls(), "");

    Bytes aux(28, 0);
    Put32(aux, 0, 77);
    b.Feed(Make_Log(913, aux));
    b.Feed(Make_Log(913, Bytes(27, 0)));  // short: ignored
    EXPECT_EQ(fake.Calls(), "4:77");
}

TEST(EngineBoard, SolutionIsAppliedByTheNextStep) {
    Fake_Engine_Handle fake;
    ASSERT_TRUE(fake.Ok());
    Board b;
    Cmd_List cmds;
    b.Get_Gnss_StartRover(cmds);
    Best_Pos p;
    p.undulation = 10.0f;
    b.Feed(Make_Log(42, Best_Pos_Body(p)));

    Engine_Solution s{};
    s.Type = 4;
    s.Latitude = 0.5;
    s.Longitude = -1.0;
    s.Height = 110.0;
    s.Var_Lat = 0.04;
    s.Var_Lon = 0.09;
    s.Var_Height = 0.16;
    s.Seconds = 1000.25;
    s.Horz_Accuracy = 0.7;
    ASSERT_TRUE(fake.Notify(s));
    EXPECT_EQ(b.Parse(), 1);
    EXPECT_EQ(b.Data()->Update_Mask & ENGINE_FLAG_SOLUTION, ENGINE_FLAG_SOLUTION);
    EXPECT_DOUBLE_EQ(b.D().Latitude, 0.5);
    EXPECT_DOUBLE_EQ(b.D().Longitude, -1.0);
    EXPECT_DOUBLE_EQ(b.D().Height, 100.0);
    EXPECT_NEAR(b.D().Err_Lat, 0.2, 1e-6);
    EXPECT_NEAR(b.D().Err_Vert, 0.4, 1e-6);
    EXPECT_EQ(b.D().Sol_Code, 11);
    EXPECT_DOUBLE_EQ(b.D().Horz_Accuracy, 0.7);
    EXPECT_EQ(Novatel::U32(b.D().Pos_Body + 4), 50u);
    EXPECT_EQ(Novatel::U32(b.D().Pos_Header + 16), 1000250u);
    EXPECT_NEAR(Novatel::F64(b.D().Pos_Body + 8), 0.5 * 180.0 / 3.1415926535897932, 1e-9);
    // Reported once only.
    EXPECT_EQ(b.Parse(), 0);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
