// Golden "$J" commands of both Hemisphere boards.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>
#include <vector>

#include "Board_Test_Support.h"
#include "Em_OemHemisphere2Cmd.h"
#include "Em_OemHemisphereCmd.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace board_test;

std::vector<std::string> Texts(const Cmd_List& cmds) {
    std::vector<std::string> out;
    for (const _STR_CMD& c : cmds) {
        EXPECT_EQ(c.pause, 50u);
        out.push_back(Cmd_Text(c));
    }
    return out;
}

template <class Builder>
std::vector<std::string> Build(const std::function<void(Builder&, Cmd_List&)>& f) {
    Builder b;
    Cmd_List cmds;
    f(b, cmds);
    return Texts(cmds);
}

typedef std::vector<std::string> Lines;

TEST(HemisphereCmd, RatesMasksAndSimpleCommands) {
    using B = Em_OemHemisphereCmd;
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Set_Gnss_PosFrq(c, GNSS_FRQ_11); }),
              Lines{"$JASC,GPGGA,2\r\n"});
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Set_Gnss_PosFrq(c, GNSS_FRQ_3); }),
              Lines{"$JASC,GPGGA,1\r\n"});
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Set_Gnss_Nmea(c, 0x30, GNSS_FRQ_2); }),
              (Lines{"$JASC,GPGSA,5\r\n", "$JASC,GPGST,5\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) {
                  b.Set_Nmea_List(c, {{0x101, 1}, {0x8, 3}});
              }),
              (Lines{"$JASC,GPGGA,10\r\n", "$JASC,GPRMC,10\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Set_Gnss_ElevDgre(c, 7, 4); }),
              Lines{"$JMASK,7\r\n"});
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) {
                  b.Get_Gnss_ElevMask(c);
                  b.Send_Gnss_UnlogData(c);
                  b.Get_Gnss_Reset(c);
                  b.Get_Gnss_StartBase(c);
                  b.Send_Gnss_Obs(c, GNSS_FRQ_1);
                  b.Send_Gnss_Ephemeris(c, GNSS_FRQ_3);
              }),
              (Lines{"$JSHOW\r\n", "$JOFF\r\n", "$JRESET\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Get_Gnss_Inite(c); }),
              (Lines{"$JOFF\r\n", "$JASC,GPGGA,1\r\n", "$JASC,GPGSA,1\r\n", "$JASC,GPRMC,1\r\n",
                     "$JASC,GPGST,1\r\n", "$JBIN,96,1\r\n", "$JBIN,99,1\r\n", "$JSHOW\r\n"}));
}

TEST(HemisphereCmd, RoverBySourceWord) {
    const std::vector<std::pair<int, Lines>> table = {
        {0, {"$JDIFF,NONE\r\n", "$JDIFF,RTK\r\n"}},
        {1, {"$JDIFF,NONE\r\n", "$JDIFF,WASS\r\n"}},
        {2, {"$JDIFF,NONE\r\n", "$JDIFF,BEACON\r\n"}},
        {9, {}},
    };
    for (const auto& row : table) {
        Em_OemHemisphereCmd b;
        b.Rover_Cfg.Diff_Source = row.first;
        Cmd_List cmds;
        b.Get_Gnss_StartRover(cmds);
        EXPECT_EQ(Texts(cmds), row.second) << row.first;
    }
}

TEST(Hemisphere2Cmd, RatesObservationsAndLists) {
    using B = Em_OemHemisphere2Cmd;
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Set_Gnss_PosFrq(c, GNSS_FRQ_5); }),
              (Lines{"$JASC,GPGGA,0.20\r\n", "$JASC,GPRMC,0.20\r\n", "$JASC,GPGST,0.20\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Send_Gnss_Obs(c, GNSS_FRQ_2); }),
              (Lines{"$JBIN,36,1.0\r\n", "$JBIN,66,1.0\r\n", "$JBIN,76,1.0\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Send_Gnss_Obs(c, static_cast<GNSS_FRQ>(13)); }),
              (Lines{"$JBIN,36,20.0\r\n", "$JBIN,66,20.0\r\n", "$JBIN,76,20.0\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Set_Gnss_Nmea(c, 0x131, GNSS_FRQ_6); }),
              (Lines{"$JASC,GPGGA,0.10\r\n", "$JASC,GPRMC,0.10\r\n", "$JASC,GPGST,0.10\r\n",
                     "$JASC,GPGSA,0.10\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) {
                  b.Set_Nmea_List(c, {{0x101, 4}, {0x30, 0}, {0x80000, 1}});
              }),
              (Lines{"$JASC,GPGGA,0.50\r\n", "$JASC,GPGST,0.00\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Get_Gnss_StartRover(c); }),
              (Lines{"$JMODE,BASE,NO\r\n", "$JDIFF,this\r\n", "$JMASK,5\r\n"}));
    EXPECT_EQ(Build<B>([](B& b, Cmd_List& c) { b.Get_Gnss_Inite(c); }),
              (Lines{"$JASC,RTCM,0\r\n", "$JASC,RTCM3,0\r\n", "$JASC,CMR,0\r\n", "$JASC,ROX,0\r\n",
                     "$JASC,GPGGA,1.00\r\n", "$JASC,GPRMC,1.00\r\n", "$JASC,GPGST,1.00\r\n",
                     "$JNMEA,GGAALLGNSS,YES\r\n", "$JMODE,BASE,NO\r\n", "$JMODE,SURETRACK,NO\r\n",
                     "$JMODE,FIXLOC,YES\r\n", "$JDIFF,EXCLUDE,SBAS\r\n", "$JDIFF,EXCLUDE,EDIF\r\n",
                     "$JAGE,60\r\n", "$JBIN,3,1\r\n", "$JBIN,209,1\r\n"}));
}

class Locale_Guard {
public:
    explicit Locale_Guard(const char* name) : m_old(std::setlocale(LC_ALL, nullptr)) {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~Locale_Guard() { std::setlocale(LC_ALL, m_old.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

TEST(Hemisphere2Cmd, BaseByDifferentialTypeUnderDecimalCommaLocale) {
    Locale_Guard guard("de_DE.UTF-8");
    if (!guard.Ok()) {
        GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    }
    const Lines head = {"$JMODE,BASE,YES\r\n", "$JMODE,FIXLOC,YES\r\n",
                        "$JRTK,1,31.17485043,121.39823174,37.512\r\n"};
    const std::vector<std::pair<int, Lines>> table = {
        {3, {"$JASC,CMR,1\r\n"}},
        {6, {"$JASC,CMR+,1\r\n"}},
        {14, {"$JASC,RTCM3,1\r\n", "$JRTCM3,INCLUDE,MSM4\r\n"}},
        {15, {"$JASC,ROX,1\r\n"}},
        {7, {"$JASC,RTCM3,1\r\n", "$JRTCM3,EXCLUDE,MSM4\r\n"}},
    };
    for (const auto& row : table) {
        Em_OemHemisphere2Cmd b;
        b.Base_Cfg.Diff_Format = row.first;
        Cmd_List cmds;
        b.Get_Gnss_StartBase(cmds);
        Lines expected = head;
        expected.insert(expected.end(), row.second.begin(), row.second.end());
        expected.insert(expected.end(), {"$JMASK,10\r\n", "$JDIFF,THIS\r\n", "$JSAVE\r\n"});
        EXPECT_EQ(Texts(cmds), expected) << row.first;
    }
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
