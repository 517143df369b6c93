#include "Em_OemHemisphere2Cmd.h"

#include <string>

#include "Em_CFormat.h"
#include "Em_OemHemisphereCmd.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr unsigned kPause = 50;
constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;

constexpr Hemisphere_Sentence kSentences[] = {
    {0x1, "GPGGA"},   {0x100, "GPRMC"},   {0x20, "GPGST"},    {0x40, "GPGSV"},
    {0x2, "GPGLL"},   {0x2000, "GPGRS"},  {0x10, "GPGSA"},    {0x200, "GPVTG"},
    {0x400, "GPZDA"}, {0x10000, "GPGNS"}, {0x20000, "GPRRE"},
};

void Add(Cmd_List& cmds, const std::string& text) {
    Add_Text_Cmd(nullptr, cmds, text.c_str(), kPause);
}

void Asc(Cmd_List& cmds, const char* name, int code) {
    Add(cmds, C_Text("$JASC,%s,%.2f\r\n", name, Em_OemHemisphere2Cmd::Output_Rate(code)));
}

}  // namespace

double Em_OemHemisphere2Cmd::Output_Rate(int code) {
    switch (code) {
        case 0:
            return 0.0;
        case 1:
            return 10.0;
        case 2:
            return 5.0;
        case 4:
            return 0.5;
        case 5:
            return 0.2;
        case 6:
            return 0.1;
        case 11:
            return 2.0;
        default:
            return 1.0;
    }
}

double Em_OemHemisphere2Cmd::Raw_Rate(int code) {
    switch (code) {
        case 0:
            return 0.0;
        case 1:
            return 10.0;
        case 5:
            return 0.2;
        case 11:
            return 2.0;
        case 13:
            return 20.0;
        default:
            return 1.0;
    }
}

int Em_OemHemisphere2Cmd::Get_Gnss_Inite(Cmd_List& cmds) {
    for (const char* text :
         {"$JASC,RTCM,0\r\n", "$JASC,RTCM3,0\r\n", "$JASC,CMR,0\r\n", "$JASC,ROX,0\r\n"}) {
        Add(cmds, text);
    }
    Set_Gnss_PosFrq(cmds, GNSS_FRQ_3);
    for (const char* text :
         {"$JNMEA,GGAALLGNSS,YES\r\n", "$JMODE,BASE,NO\r\n", "$JMODE,SURETRACK,NO\r\n",
          "$JMODE,FIXLOC,YES\r\n", "$JDIFF,EXCLUDE,SBAS\r\n", "$JDIFF,EXCLUDE,EDIF\r\n",
          "$JAGE,60\r\n", "$JBIN,3,1\r\n", "$JBIN,209,1\r\n"}) {
        Add(cmds, text);
    }
    return 1;
}

int Em_OemHemisphere2Cmd::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    for (const char* name : {"GPGGA", "GPRMC", "GPGST"}) {
        Asc(cmds, name, rate);
    }
    return 1;
}

int Em_OemHemisphere2Cmd::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    for (int block : {36, 66, 76}) {
        Add(cmds, C_Text("$JBIN,%d,%.1lf\r\n", block, Raw_Rate(rate)));
    }
    return 1;
}

int Em_OemHemisphere2Cmd::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int) {
    Add(cmds, C_Text("$JMASK,%d\r\n", elevation));
    return 1;
}

int Em_OemHemisphere2Cmd::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) {
    for (const Hemisphere_Sentence& s : kSentences) {
        if ((mask & s.bit) != 0) {
            Asc(cmds, s.name, rate);
        }
    }
    return 1;
}

int Em_OemHemisphere2Cmd::Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) {
    for (const _set_nmea& e : list) {
        for (const Hemisphere_Sentence& s : kSentences) {
            if ((static_cast<uint32_t>(e.Nmea_Id) & s.bit) != 0) {
                Asc(cmds, s.name, e.Rate_Id);
                break;
            }
        }
    }
    return 1;
}

int Em_OemHemisphere2Cmd::Get_Gnss_ElevMask(Cmd_List& cmds) {
    Em_OemHemisphereCmd::Query_Options(cmds);
    return 1;
}

int Em_OemHemisphere2Cmd::Send_Gnss_UnlogData(Cmd_List& cmds) {
    Em_OemHemisphereCmd::Stop_Output(cmds);
    return 1;
}

int Em_OemHemisphere2Cmd::Get_Gnss_StartBase(Cmd_List& cmds) {
    Add(cmds, "$JMODE,BASE,YES\r\n");
    Add(cmds, "$JMODE,FIXLOC,YES\r\n");
    Add(cmds, C_Text("$JRTK,1,%.8lf,%.8lf,%.3lf\r\n", Base_Cfg.Latitude * kRadToDeg,
                     Base_Cfg.Longitude * kRadToDeg, Base_Cfg.Height));
    switch (Base_Cfg.Diff_Format) {
        case 3:
            Add(cmds, "$JASC,CMR,1\r\n");
            break;
        case 6:
            Add(cmds, "$JASC,CMR+,1\r\n");
            break;
        case 14:
            Add(cmds, "$JASC,RTCM3,1\r\n");
            Add(cmds, "$JRTCM3,INCLUDE,MSM4\r\n");
            break;
        case 15:
            Add(cmds, "$JASC,ROX,1\r\n");
            break;
        default:
            Add(cmds, "$JASC,RTCM3,1\r\n");
            Add(cmds, "$JRTCM3,EXCLUDE,MSM4\r\n");
            break;
    }
    Add(cmds, C_Text("$JMASK,%d\r\n", Base_Cfg.Elev_Mask));
    Add(cmds, "$JDIFF,THIS\r\n");
    Add(cmds, "$JSAVE\r\n");
    return 1;
}

int Em_OemHemisphere2Cmd::Get_Gnss_StartRover(Cmd_List& cmds) {
    Add(cmds, "$JMODE,BASE,NO\r\n");
    Add(cmds, "$JDIFF,this\r\n");
    Add(cmds, C_Text("$JMASK,%d\r\n", Rover_Cfg.Elev_Mask));
    return 1;
}

int Em_OemHemisphere2Cmd::Get_Gnss_Reset(Cmd_List& cmds) {
    Em_OemHemisphereCmd::Reset(cmds);
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
