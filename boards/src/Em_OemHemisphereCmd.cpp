#include "Em_OemHemisphereCmd.h"

#include "Em_CFormat.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr unsigned kPause = 50;

constexpr Hemisphere_Sentence kSentences[] = {
    {0x1, "GPGGA"},   {0x2, "GPGLL"},     {0x2000, "GPGRS"},  {0x10, "GPGSA"},
    {0x20, "GPGST"},  {0x40, "GPGSV"},    {0x100, "GPRMC"},   {0x200, "GPVTG"},
    {0x400, "GPZDA"}, {0x10000, "GPGNS"}, {0x20000, "GPRRE"},
};

void Add(Cmd_List& cmds, const std::string& text) {
    Add_Text_Cmd(nullptr, cmds, text.c_str(), kPause);
}

}  // namespace

int Em_OemHemisphereCmd::Rate_Hz(int code) {
    switch (code) {
        case 1:
            return 10;
        case 2:
            return 5;
        case 11:
            return 2;
        default:
            return 1;
    }
}

void Em_OemHemisphereCmd::Query_Options(Cmd_List& cmds) {
    Add(cmds, "$JSHOW\r\n");
}

void Em_OemHemisphereCmd::Stop_Output(Cmd_List& cmds) {
    Add(cmds, "$JOFF\r\n");
}

void Em_OemHemisphereCmd::Reset(Cmd_List& cmds) {
    Add(cmds, "$JRESET\r\n");
}

int Em_OemHemisphereCmd::Get_Gnss_Inite(Cmd_List& cmds) {
    for (const char* text :
         {"$JOFF\r\n", "$JASC,GPGGA,1\r\n", "$JASC,GPGSA,1\r\n", "$JASC,GPRMC,1\r\n",
          "$JASC,GPGST,1\r\n", "$JBIN,96,1\r\n", "$JBIN,99,1\r\n", "$JSHOW\r\n"}) {
        Add(cmds, text);
    }
    return 1;
}

int Em_OemHemisphereCmd::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    Add(cmds, C_Text("$JASC,GPGGA,%d\r\n", Rate_Hz(rate)));
    return 1;
}

int Em_OemHemisphereCmd::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int) {
    Add(cmds, C_Text("$JMASK,%d\r\n", elevation));
    return 1;
}

int Em_OemHemisphereCmd::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) {
    for (const Hemisphere_Sentence& s : kSentences) {
        if ((mask & s.bit) != 0) {
            Add(cmds, C_Text("$JASC,%s,%d\r\n", s.name, Rate_Hz(rate)));
        }
    }
    return 1;
}

int Em_OemHemisphereCmd::Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) {
    for (const _set_nmea& e : list) {
        Set_Gnss_Nmea(cmds, static_cast<uint32_t>(e.Nmea_Id), static_cast<GNSS_FRQ>(e.Rate_Id));
    }
    return 1;
}

int Em_OemHemisphereCmd::Get_Gnss_ElevMask(Cmd_List& cmds) {
    Query_Options(cmds);
    return 1;
}

int Em_OemHemisphereCmd::Send_Gnss_UnlogData(Cmd_List& cmds) {
    Stop_Output(cmds);
    return 1;
}

int Em_OemHemisphereCmd::Get_Gnss_StartRover(Cmd_List& cmds) {
    const char* source = nullptr;
    switch (Rover_Cfg.Diff_Source) {
        case 0:
            source = "$JDIFF,RTK\r\n";
            break;
        case 1:
            source = "$JDIFF,WASS\r\n";
            break;
        case 2:
            source = "$JDIFF,BEACON\r\n";
            break;
        default:
            return 0;
    }
    Add(cmds, "$JDIFF,NONE\r\n");
    Add(cmds, source);
    return 1;
}

int Em_OemHemisphereCmd::Get_Gnss_Reset(Cmd_List& cmds) {
    Reset(cmds);
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
