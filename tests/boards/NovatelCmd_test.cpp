// Golden commands of the NovAtel board: text and pause of every record, one row per case.
#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>
#include <vector>

#include "Em_OemNovatel.h"
#include "Em_OemNovatelCmd.h"
#include "Em_OutputInterval.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

// "text|pause" per record, so a failure shows both.
std::vector<std::string> Render(const Cmd_List& cmds) {
    std::vector<std::string> out;
    for (const _STR_CMD& c : cmds) {
        out.push_back(std::string(reinterpret_cast<const char*>(c.data), c.length) + "|" +
                      std::to_string(c.pause));
    }
    return out;
}

std::vector<std::string> With_Pause(const std::vector<std::string>& texts, unsigned pause) {
    std::vector<std::string> out;
    for (const std::string& t : texts) {
        out.push_back(t + "|" + std::to_string(pause));
    }
    return out;
}

struct Cmd_Case {
    const char* name;
    std::function<void(Em_OemNovatelCmd&, Cmd_List&)> run;
    std::vector<std::string> expected;  // texts
    unsigned pause;
};

class Output_Interval_Guard {
public:
    explicit Output_Interval_Guard(int32_t code) : m_old(Get_Output_Interval()) {
        Set_Output_Interval(code);
    }
    ~Output_Interval_Guard() { Set_Output_Interval(m_old); }

private:
    int32_t m_old;
};

const std::vector<std::string> kDefaultBase = {
    "log bestposb ontime 1\r\n",
    "ecutoff 10\r\n",
    "rtkelevmask user 10\r\n",
    "gloecutoff 10\r\n",
    "bdsecutoff 10\r\n",
    "fix position 31.17485043 121.39823174 37.512\r\n",
    "unlogall com2\r\n",
    "log com2 bestposb ontime 5\r\n",
    "LOG COM2,RAWEPHEMB,ONTIME 60\r\n",
    "LOG COM2 GLORAWEPHEMB,ONTIME 80\r\n",
    "log com2,rangecmpb,ontime 1.0\r\n",
    "LOG COM2,TIMEB,ONTIME 1\r\n",
    "LOG COM2,GPGGA,ONTIME 1\r\n",
    "dgpstxid cmr 1\r\n",
    "log com2 cmrobsb ontime 1\r\n",
    "log com2 cmrrefb ontime 10\r\n",
    "log com2 cmrdescb ontime 10 5\r\n",
    "com com2 38400\r\n",
    "saveconfig\r\n",
};

std::vector<std::string> Rover(const std::string& iono, const std::vector<std::string>& source) {
    std::vector<std::string> out = {"ecutoff 5\r\n", "rtkelevmask user 5\r\n"};
    if (!iono.empty()) {
        out.push_back(iono);
    }
    out.push_back("gloecutoff 5\r\n");
    out.push_back("bdsecutoff 5\r\n");
    out.insert(out.end(), source.begin(), source.end());
    return out;
}

// Base set-up with the default settings but another format: the correction block replaces
// the CMR block.
std::vector<std::string> Base_With(const std::vector<std::string>& block) {
    std::vector<std::string> out(kDefaultBase.begin(), kDefaultBase.begin() + 13);
    out.insert(out.end(), block.begin(), block.end());
    out.push_back("com com2 38400\r\n");
    out.push_back("saveconfig\r\n");
    return out;
}

auto Rover_Format(int code, int variant = 2, int iono = 0) {
    return [=](Em_OemNovatelCmd& c, Cmd_List& l) {
        c.Rover_Cfg.Diff_Format = code;
        c.Rover_Cfg.Ionosphere = iono;
        c.Rtcm3_Variant = variant;
        c.Get_Gnss_StartRover(l);
    };
}

auto Base_Format(int code, int variant = 2) {
    return [=](Em_OemNovatelCmd& c, Cmd_List& l) {
        c.Base_Cfg.Diff_Format = code;
        c.Rtcm3_Variant = variant;
        c.Get_Gnss_StartBase(l);
    };
}

const std::vector<std::string> kCmr = {"rtksource cmr any\r\n", "psrdiffsource cmr any\r\n",
                                       "INTERFACEMODE COM2 CMR NOVATEL\r\n"};

std::vector<Cmd_Case> Cases() {
    std::vector<Cmd_Case> cases = {
        {"start-up",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Get_Gnss_Inite(l); },
         {"fix none\r\n", "log bestposb ontime 1\r\n", "nmeatalker auto\r\n",
          "log rangecmpb ontime 1.0\r\n", "log psrdopb ontime 5\r\n", "log gpgsv ontime 5\r\n",
          "log gpgga ontime 1\r\n", "log refstationb ontime 5\r\n"},
         50},
        {"start-up raw code 251",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             Output_Interval_Guard g(251);
             c.Get_Gnss_Inite(l);
         },
         {"fix none\r\n", "log bestposb ontime 1\r\n", "nmeatalker auto\r\n",
          "log rangecmpb ontime 0.2\r\n", "log psrdopb ontime 5\r\n", "log gpgsv ontime 5\r\n",
          "log gpgga ontime 1\r\n", "log refstationb ontime 5\r\n"},
         50},
        {"ephemeris code 3",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Send_Gnss_Ephemeris(l, GNSS_FRQ_3); },
         {"log rawephemb ontime 1.000000\r\n"},
         50},
        {"ephemeris code 0",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Send_Gnss_Ephemeris(l, GNSS_FRQ_0); },
         {"unlog rawephemb\r\n"},
         50},
        {"observations code 11",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Send_Gnss_Obs(l, GNSS_FRQ_11); },
         {"log rangecmpb ontime 0.5\r\n"},
         50},
        {"observations code 0",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Send_Gnss_Obs(l, GNSS_FRQ_0); },
         {"unlog rangecmpb\r\n"},
         50},
        {"nmea bits 0x41 code 13",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             c.Set_Gnss_Nmea(l, 0x41, static_cast<GNSS_FRQ>(13));
         },
         {"LOG GPGGA ONTIME 0.05\r\n", "LOG GPGSV ONTIME 0.05\r\n"},
         50},
        {"nmea bits 0x41 code 0",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_Nmea(l, 0x41, GNSS_FRQ_0); },
         {"UNLOG GPGGA\r\n", "UNLOG GPGSV\r\n"},
         50},
        {"nmea bit order",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_Nmea(l, 0x3FFF, GNSS_FRQ_4); },
         {"LOG GPGGA ONTIME 2.00\r\n", "LOG GPGLL ONTIME 2.00\r\n", "LOG GPGRS ONTIME 2.00\r\n",
          "LOG GPGSA ONTIME 2.00\r\n", "LOG GPGST ONTIME 2.00\r\n", "LOG GPGSV ONTIME 2.00\r\n",
          "LOG GPRMC ONTIME 2.00\r\n", "LOG GPVTG ONTIME 2.00\r\n", "LOG GPZDA ONTIME 2.00\r\n",
          "LOG GPALM ONTIME 2.00\r\n", "LOG GPRMB ONTIME 2.00\r\n"},
         50},
        {"nmea list 0x1200 and an empty entry",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             c.Set_Nmea_List(l, {{0x1200, 3}, {0x4000, 3}, {0x100, 0}});
         },
         {"LOG GPRMB ONTIME 1.00\r\n", "UNLOG GPRMC\r\n"},
         50},
        {"elevation selector 1",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_ElevDgre(l, 15, 1); },
         {"ecutoff 15\r\n", "log psrdopb ontime 5\r\n"},
         50},
        {"elevation selector 2",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_ElevDgre(l, 15, 2); },
         {"gloecutoff 15\r\n", "log psrdopb ontime 5\r\n"},
         50},
        {"elevation selector 3",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_ElevDgre(l, 15, 3); },
         {"ecutoff 15\r\n", "gloecutoff 15\r\n", "log psrdopb ontime 5\r\n"},
         50},
        {"elevation selector 4",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_ElevDgre(l, 15, 4); },
         {"ecutoff 15\r\n", "gloecutoff 15\r\n", "bdsecutoff 15\r\n", "log psrdopb ontime 5\r\n"},
         50},
        {"elevation selector 9",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Set_Gnss_ElevDgre(l, 15, 9); },
         {"ecutoff 15\r\n", "log psrdopb ontime 5\r\n"},
         50},
        {"satellite use",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             c.Set_Gnss_SatUse(l, 7, true, 0);
             c.Set_Gnss_SatUse(l, 12, false, 0);
         },
         {"unlockout 7\r\n", "lockout 12\r\n"},
         50},
        {"elevation mask query",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Get_Gnss_ElevMask(l); },
         {"log psrdopb ontime 5\r\n"},
         50},
        {"unlog all",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Send_Gnss_UnlogData(l); },
         {"unlogall\r\n"},
         50},
        {"reset",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Get_Gnss_Reset(l); },
         {"nvmrestore\r\n", "freset\r\n"},
         50},
        {"pass-through port 1",
         [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Get_Cmd_PassCom(l, 1); },
         {"log passcom1b onchanged\r\n"},
         50},
        {"pass-through port 0",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             c.Get_Cmd_PassCom(l, 0);
             c.Get_Cmd_PassCom(l, 4);
         },
         {},
         50},
        {"rover cmr quiet", Rover_Format(3), Rover("ionocondition quiet\r\n", kCmr), 50},
        {"rover rtcm normal", Rover_Format(4, 2, 1),
         Rover("ionocondition normal\r\n", {"rtksource rtcm any\r\n", "psrdiffsource rtcm any\r\n",
                                            "INTERFACEMODE COM2 RTCM NOVATEL\r\n"}),
         50},
        {"rover rtca disturbed", Rover_Format(5, 2, 2),
         Rover("ionocondition disturbed\r\n",
               {"rtksource rtca any\r\n", "psrdiffsource rtca any\r\n",
                "INTERFACEMODE COM2 RTCA NOVATEL\r\n"}),
         50},
        {"rover rtcm3 variant 1, ionosphere 9", Rover_Format(7, 1, 9),
         Rover("", {"rtksource rtcmv3 any\r\n", "psrdiffsource rtcmv3 any\r\n",
                    "INTERFACEMODE COM2 RTCMV3 NOVATEL\r\n"}),
         50},
        {"rover rtcm3 variant 2", Rover_Format(7, 2),
         Rover("ionocondition quiet\r\n",
               {"rtksource rtcmv3 any\r\n", "psrdiffsource rtcmv3 any\r\n",
                "INTERFACEMODE COM2 AUTO NOVATEL\r\n"}),
         50},
        {"rover msm", Rover_Format(14, 2),
         Rover("ionocondition quiet\r\n",
               {"rtksource rtcmv3 any\r\n", "psrdiffsource rtcmv3 any\r\n",
                "INTERFACEMODE COM2 AUTO NOVATEL\r\n"}),
         50},
        {"rover board-native", Rover_Format(13),
         Rover("ionocondition quiet\r\n",
               {"interfacemode com2 novatelx none\r\n", "log com2 novatelxgpsobsb ontime 1\r\n",
                "log com2 novatelxgloobsb ontime 1\r\n", "log com2 novatelxbdsobsb ontime 1\r\n",
                "log com2 novatelxrefb  ontime 10\r\n"}),
         50},
        {"rover other format, port index 0",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             c.Rover_Cfg.Diff_Format = 99;
             c.Rover_Cfg.Port_Index = 0;
             c.Get_Gnss_StartRover(l);
         },
         Rover("ionocondition quiet\r\n", {"rtksource auto any\r\n", "psrdiffsource auto any\r\n",
                                           "INTERFACEMODE COM1 AUTO NOVATEL\r\n"}),
         50},
        {"base defaults", [](Em_OemNovatelCmd& c, Cmd_List& l) { c.Get_Gnss_StartBase(l); },
         kDefaultBase, 200},
        {"base port index 0",
         [](Em_OemNovatelCmd& c, Cmd_List& l) {
             c.Base_Cfg.Port_Index = 0;
             c.Base_Cfg.Port_Baud = 115200;
             c.Get_Gnss_StartBase(l);
         },
         {"log bestposb ontime 1\r\n", "ecutoff 10\r\n", "rtkelevmask user 10\r\n",
          "gloecutoff 10\r\n", "bdsecutoff 10\r\n",
          "fix position 31.17485043 121.39823174 37.512\r\n", "unlogall com1\r\n",
          "log com1 bestposb ontime 5\r\n", "dgpstxid cmr 1\r\n", "log com1 cmrobsb ontime 1\r\n",
          "log com1 cmrrefb ontime 10\r\n", "log com1 cmrdescb ontime 10 5\r\n",
          "com com1 115200\r\n", "saveconfig\r\n"},
         200},
        {"base cmr+", Base_Format(6),
         Base_With({"dgpstxid cmr 1\r\n", "log com2 cmrobsb ontime 1\r\n",
                    "log com2 cmrplusb ontime 10\r\n", "log com2 cmrdescb ontime 10 5\r\n"}),
         200},
        {"base rtcm 2", Base_Format(4),
         Base_With({"dgpstxid rtcm 1\r\n", "log com2 rtcm3b ontime 10\r\n",
                    "log com2 rtcm22b ontime 10 7\r\n", "log com2 rtcm1 ontime 5\r\n",
                    "log com2 rtcm1819b ontime 2\r\n", "log com2 rtcm31b ontime 2\r\n",
                    "log com2 rtcm32b ontime 2\r\n"}),
         200},
        {"base rtcm 2 type 1", Base_Format(11),
         Base_With({"dgpstxid rtcm 1\r\n", "log com2 rtcm1 ontime 1\r\n"}), 200},
        {"base rtca", Base_Format(5),
         Base_With({"dgpstxid rtca 2\r\n", "log com2 rtcaobsb ontime 1\r\n",
                    "log com2 rtcaobs2b ontime 2\r\n", "log com2 rtcarefb ontime 10\r\n",
                    "log com2 rtca1b ontime 10 3\r\n"}),
         200},
        {"base rtcm3 variant 2", Base_Format(7, 2),
         Base_With({"dgpstxid rtcmv3 1\r\n", "log com2 rtcm1004b ontime 1\r\n",
                    "log com2 rtcm1012b ontime 1\r\n", "log com2 rtcm1006b ontime 10\r\n",
                    "log com2 rtcm1008b ontime 10\r\n", "log com2 rtcm1033b ontime 10\r\n"}),
         200},
        {"base rtcm3 variant 1", Base_Format(7, 1),
         Base_With({"dgpstxid rtcmv3 1\r\n", "log com2 rtcm1004b ontime 1\r\n",
                    "log com2 rtcm1005b ontime 10\r\n"}),
         200},
        {"base msm", Base_Format(14),
         Base_With({"interfacemode com2 novatel rtcmv3\r\n", "dgpstxid rtcmv3 1\r\n",
                    "log com2 rtcm1074b ontime 1\r\n", "log com2 rtcm1084b ontime 1\r\n",
                    "log com2 rtcm1124b ontime 1\r\n", "log com2 rtcm1005b ontime 10\r\n",
                    "log com2 rtcm1033b ontime 10\r\n"}),
         200},
        {"base board-native 12", Base_Format(12),
         Base_With({"log com2 novatelxobsb ontime 1\r\n", "log com2 novatelxrefb  ontime 10\r\n"}),
         200},
        {"base board-native 13", Base_Format(13),
         Base_With({"log com2 novatelxobsb ontime 1\r\n", "log com2 novatelxrefb  ontime 10\r\n"}),
         200},
        {"base unknown format", Base_Format(42), Base_With({}), 200},
    };
    const std::pair<int, const char*> rates[] = {
        {0, "unlog bestposb\r\n"},          {1, "log bestposb ontime 0.1\r\n"},
        {2, "log bestposb ontime 0.2\r\n"}, {3, "log bestposb ontime 1\r\n"},
        {4, "log bestposb ontime 2\r\n"},   {5, "log bestposb ontime 5\r\n"},
        {6, "log bestposb ontime 10\r\n"},  {11, "log bestposb ontime 0.5\r\n"},
        {7, "log bestposb ontime 1\r\n"},   {255, "log bestposb ontime 1\r\n"},
    };
    for (const auto& r : rates) {
        const int code = r.first;
        cases.push_back({"position rate",
                         [code](Em_OemNovatelCmd& c, Cmd_List& l) {
                             c.Set_Gnss_PosFrq(l, static_cast<GNSS_FRQ>(code));
                         },
                         {r.second},
                         50});
    }
    return cases;
}

TEST(NovatelCmd, GoldenCommands) {
    for (const Cmd_Case& c : Cases()) {
        Em_OemNovatelCmd builder;
        Cmd_List cmds;
        c.run(builder, cmds);
        EXPECT_EQ(Render(cmds), With_Pause(c.expected, c.pause)) << c.name;
    }
}

TEST(NovatelCmd, BuildersAppendAndReadSettingsAtCallTime) {
    Em_OemNovatelCmd builder;
    Cmd_List cmds;
    builder.Get_Gnss_Reset(cmds);
    builder.Rover_Cfg.Elev_Mask = 12;
    builder.Set_Gnss_ElevDgre(cmds, builder.Rover_Cfg.Elev_Mask, 1);
    ASSERT_EQ(cmds.size(), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cmds[0].data), cmds[0].length),
              "nvmrestore\r\n");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cmds[2].data), cmds[2].length),
              "ecutoff 12\r\n");
    // Only `length` bytes carry meaning; the rest is zero.
    EXPECT_EQ(cmds[2].data[cmds[2].length], 0);
}

TEST(NovatelCmd, BoardForwardsToItsBuilder) {
    Em_OemNovatel board;
    EXPECT_EQ(board.Board_Type(), MAINBD_NOVATEL);
    ASSERT_NE(board.Novatel_Cmd(), nullptr);
    EXPECT_EQ(board.Novatel_Cmd()->Rtcm3_Variant, 2);
    Cmd_List cmds;
    board.Set_Gnss_ElevDgre(cmds, 15, 4);
    board.Get_Cmd_PassCom(cmds, 3);
    EXPECT_EQ(Render(cmds), With_Pause({"ecutoff 15\r\n", "gloecutoff 15\r\n", "bdsecutoff 15\r\n",
                                        "log psrdopb ontime 5\r\n", "log passcom3b onchanged\r\n"},
                                       50));
}

TEST(NovatelCmd, FixPositionUsesPointsUnderCommaLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8",
                           "nl_NL.UTF-8", "de_DE",      "fr_FR"};
    const char* found = nullptr;
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* n : names) {
        if (std::setlocale(LC_NUMERIC, n) != nullptr) {
            found = n;
            break;
        }
    }
    if (found == nullptr) {
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    Em_OemNovatelCmd builder;
    Cmd_List cmds;
    builder.Get_Gnss_StartBase(cmds);
    builder.Set_Gnss_Nmea(cmds, 0x1, GNSS_FRQ_11);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_STREQ(probe, "1,5") << found;
    const std::vector<std::string> got = Render(cmds);
    ASSERT_GE(got.size(), 6u);
    EXPECT_EQ(got[5], "fix position 31.17485043 121.39823174 37.512\r\n|200");
    EXPECT_EQ(got.back(), "LOG GPGGA ONTIME 0.50\r\n|50");
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
