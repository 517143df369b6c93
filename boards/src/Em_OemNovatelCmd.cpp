#include "Em_OemNovatelCmd.h"

#include "Em_CFormat.h"
#include "Em_OutputInterval.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr unsigned kBasePause = 200;
constexpr double kPi = 3.14159265358979323846;

struct NmeaName {
    uint32_t bit;
    const char* name;
};

// Order of the bit-mask builder.
constexpr NmeaName kMaskOrder[] = {
    {0x1, "GPGGA"},   {0x2, "GPGLL"},   {0x2000, "GPGRS"}, {0x10, "GPGSA"},
    {0x20, "GPGST"},  {0x40, "GPGSV"},  {0x100, "GPRMC"},  {0x200, "GPVTG"},
    {0x400, "GPZDA"}, {0x800, "GPALM"}, {0x1000, "GPRMB"},
};
// Order of the list builder: RMB before VTG.
constexpr NmeaName kListOrder[] = {
    {0x1, "GPGGA"},   {0x2, "GPGLL"},   {0x2000, "GPGRS"}, {0x10, "GPGSA"},
    {0x20, "GPGST"},  {0x40, "GPGSV"},  {0x100, "GPRMC"},  {0x1000, "GPRMB"},
    {0x200, "GPVTG"}, {0x400, "GPZDA"}, {0x800, "GPALM"},
};

double Raw_Interval() {
    return Output_Interval_Seconds(Get_Output_Interval());
}

std::string Nmea_Command(const char* name, int code) {
    if (code == 0) {
        return C_Text("UNLOG %s\r\n", name);
    }
    return C_Text("LOG %s ONTIME %.2f\r\n", name, Em_OemNovatelCmd::Rate_Interval(code, true));
}

}  // namespace

Em_OemNovatelCmd::Em_OemNovatelCmd() = default;

double Em_OemNovatelCmd::Rate_Interval(int code, bool nmea) {
    switch (code) {
        case 1:
            return 0.1;
        case 2:
            return 0.2;
        case 3:
            return 1.0;
        case 4:
            return 2.0;
        case 5:
            return 5.0;
        case 6:
            return 10.0;
        case 11:
            return 0.5;
        case 13:
            return nmea ? 0.05 : 1.0;
        default:
            return 1.0;
    }
}

int Em_OemNovatelCmd::Get_Gnss_Inite(Cmd_List& cmds) {
    Add_Text(cmds, "fix none\r\n");
    Add_Text(cmds, "log bestposb ontime 1\r\n");
    Add_Text(cmds, "nmeatalker auto\r\n");
    Add_Text(cmds, C_Text("log rangecmpb ontime %.1f\r\n", Raw_Interval()));
    Add_Text(cmds, "log psrdopb ontime 5\r\n");
    Add_Text(cmds, "log gpgsv ontime 5\r\n");
    Add_Text(cmds, "log gpgga ontime 1\r\n");
    Add_Text(cmds, "log refstationb ontime 5\r\n");
    return 1;
}

int Em_OemNovatelCmd::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    const char* text = "log bestposb ontime 1\r\n";
    switch (static_cast<int>(rate)) {
        case 0:
            text = "unlog bestposb\r\n";
            break;
        case 1:
            text = "log bestposb ontime 0.1\r\n";
            break;
        case 2:
            text = "log bestposb ontime 0.2\r\n";
            break;
        case 4:
            text = "log bestposb ontime 2\r\n";
            break;
        case 5:
            text = "log bestposb ontime 5\r\n";
            break;
        case 6:
            text = "log bestposb ontime 10\r\n";
            break;
        case 11:
            text = "log bestposb ontime 0.5\r\n";
            break;
        default:
            break;
    }
    Add_Text(cmds, text);
    return 1;
}

int Em_OemNovatelCmd::Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) {
    if (rate == 0) {
        Add_Text(cmds, "unlog rangecmpb\r\n");
    } else {
        Add_Text(cmds, C_Text("log rangecmpb ontime %.1f\r\n", Rate_Interval(rate, false)));
    }
    return 1;
}

int Em_OemNovatelCmd::Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate) {
    if (rate == 0) {
        Add_Text(cmds, "unlog rawephemb\r\n");
    } else {
        Add_Text(cmds, C_Text("log rawephemb ontime %f\r\n", Rate_Interval(rate, false)));
    }
    return 1;
}

int Em_OemNovatelCmd::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) {
    switch (system) {
        case 2:
            Add_Text(cmds, C_Text("gloecutoff %d\r\n", elevation));
            break;
        case 3:
            Add_Text(cmds, C_Text("ecutoff %d\r\n", elevation));
            Add_Text(cmds, C_Text("gloecutoff %d\r\n", elevation));
            break;
        case 4:
            Add_Text(cmds, C_Text("ecutoff %d\r\n", elevation));
            Add_Text(cmds, C_Text("gloecutoff %d\r\n", elevation));
            Add_Text(cmds, C_Text("bdsecutoff %d\r\n", elevation));
            break;
        default:
            Add_Text(cmds, C_Text("ecutoff %d\r\n", elevation));
            break;
    }
    Add_Text(cmds, "log psrdopb ontime 5\r\n");
    return 1;
}

int Em_OemNovatelCmd::Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned) {
    Add_Text(cmds, C_Text(use ? "unlockout %d\r\n" : "lockout %d\r\n", static_cast<int>(sat)));
    return 1;
}

int Em_OemNovatelCmd::Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) {
    for (const NmeaName& n : kMaskOrder) {
        if ((mask & n.bit) != 0) {
            Add_Text(cmds, Nmea_Command(n.name, rate));
        }
    }
    return 1;
}

int Em_OemNovatelCmd::Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) {
    for (const _set_nmea& entry : list) {
        const uint32_t bits = static_cast<uint32_t>(entry.Nmea_Id);
        for (const NmeaName& n : kListOrder) {
            if ((bits & n.bit) != 0) {
                Add_Text(cmds, Nmea_Command(n.name, entry.Rate_Id));
                break;
            }
        }
    }
    return 1;
}

int Em_OemNovatelCmd::Get_Gnss_ElevMask(Cmd_List& cmds) {
    Add_Text(cmds, "log psrdopb ontime 5\r\n");
    return 1;
}

int Em_OemNovatelCmd::Send_Gnss_UnlogData(Cmd_List& cmds) {
    Add_Text(cmds, "unlogall\r\n");
    return 1;
}

int Em_OemNovatelCmd::Get_Gnss_StartRover(Cmd_List& cmds) {
    const int mask = Rover_Cfg.Elev_Mask;
    const int n = Rover_Cfg.Port_Index + 1;
    Add_Text(cmds, C_Text("ecutoff %d\r\n", mask));
    Add_Text(cmds, C_Text("rtkelevmask user %d\r\n", mask));
    switch (Rover_Cfg.Ionosphere) {
        case 0:
            Add_Text(cmds, "ionocondition quiet\r\n");
            break;
        case 1:
            Add_Text(cmds, "ionocondition normal\r\n");
            break;
        case 2:
            Add_Text(cmds, "ionocondition disturbed\r\n");
            break;
        default:
            break;
    }
    Add_Text(cmds, C_Text("gloecutoff %d\r\n", mask));
    Add_Text(cmds, C_Text("bdsecutoff %d\r\n", mask));
    switch (Rover_Cfg.Diff_Format) {
        case 3:
            Add_Text(cmds, "rtksource cmr any\r\n");
            Add_Text(cmds, "psrdiffsource cmr any\r\n");
            Add_Text(cmds, C_Text("INTERFACEMODE COM%d CMR NOVATEL\r\n", n));
            break;
        case 4:
            Add_Text(cmds, "rtksource rtcm any\r\n");
            Add_Text(cmds, "psrdiffsource rtcm any\r\n");
            Add_Text(cmds, C_Text("INTERFACEMODE COM%d RTCM NOVATEL\r\n", n));
            break;
        case 5:
            Add_Text(cmds, "rtksource rtca any\r\n");
            Add_Text(cmds, "psrdiffsource rtca any\r\n");
            Add_Text(cmds, C_Text("INTERFACEMODE COM%d RTCA NOVATEL\r\n", n));
            break;
        case 7:
        case 14:
            Add_Text(cmds, "rtksource rtcmv3 any\r\n");
            Add_Text(cmds, "psrdiffsource rtcmv3 any\r\n");
            Add_Text(cmds, C_Text(Rtcm3_Variant == 1 ? "INTERFACEMODE COM%d RTCMV3 NOVATEL\r\n"
                                                     : "INTERFACEMODE COM%d AUTO NOVATEL\r\n",
                                  n));
            break;
        case 13:
            Add_Text(cmds, "interfacemode com2 novatelx none\r\n");
            Add_Text(cmds, "log com2 novatelxgpsobsb ontime 1\r\n");
            Add_Text(cmds, "log com2 novatelxgloobsb ontime 1\r\n");
            Add_Text(cmds, "log com2 novatelxbdsobsb ontime 1\r\n");
            Add_Text(cmds, "log com2 novatelxrefb  ontime 10\r\n");
            break;
        default:
            Add_Text(cmds, "rtksource auto any\r\n");
            Add_Text(cmds, "psrdiffsource auto any\r\n");
            Add_Text(cmds, C_Text("INTERFACEMODE COM%d AUTO NOVATEL\r\n", n));
            break;
    }
    return 1;
}

int Em_OemNovatelCmd::Get_Gnss_StartBase(Cmd_List& cmds) {
    const Base_Config& b = Base_Cfg;
    const int n = b.Port_Index + 1;
    const int id = b.Station_Id;
    const int t = b.Obs_Interval;
    const int mask = b.Elev_Mask;
    auto add = [&](const std::string& text) { Add_Text(cmds, text, kBasePause); };

    add("log bestposb ontime 1\r\n");
    add(C_Text("ecutoff %d\r\n", mask));
    add(C_Text("rtkelevmask user %d\r\n", mask));
    add(C_Text("gloecutoff %d\r\n", mask));
    add(C_Text("bdsecutoff %d\r\n", mask));
    add(C_Text("fix position %.8lf %.8lf %.3lf\r\n", b.Latitude * 180.0 / kPi,
               b.Longitude * 180.0 / kPi, b.Height));
    add(C_Text("unlogall com%d\r\n", n));
    add(C_Text("log com%d bestposb ontime 5\r\n", n));
    if (b.Port_Index == 1) {
        add("LOG COM2,RAWEPHEMB,ONTIME 60\r\n");
        add("LOG COM2 GLORAWEPHEMB,ONTIME 80\r\n");
        add(C_Text("log com2,rangecmpb,ontime %.1f\r\n", Raw_Interval()));
        add("LOG COM2,TIMEB,ONTIME 1\r\n");
        add("LOG COM2,GPGGA,ONTIME 1\r\n");
    }
    switch (b.Diff_Format) {
        case 3:
        case 6:
            add(C_Text("dgpstxid cmr %d\r\n", id));
            add(C_Text("log com%d cmrobsb ontime %d\r\n", n, t));
            add(C_Text(b.Diff_Format == 3 ? "log com%d cmrrefb ontime 10\r\n"
                                          : "log com%d cmrplusb ontime 10\r\n",
                       n));
            add(C_Text("log com%d cmrdescb ontime 10 5\r\n", n));
            break;
        case 4:
            add(C_Text("dgpstxid rtcm %d\r\n", id));
            add(C_Text("log com%d rtcm3b ontime 10\r\n", n));
            add(C_Text("log com%d rtcm22b ontime 10 7\r\n", n));
            add(C_Text("log com%d rtcm1 ontime 5\r\n", n));
            add(C_Text("log com%d rtcm1819b ontime %d\r\n", n, t + 1));
            add(C_Text("log com%d rtcm31b ontime 2\r\n", n));
            add(C_Text("log com%d rtcm32b ontime 2\r\n", n));
            break;
        case 11:
            add(C_Text("dgpstxid rtcm %d\r\n", id));
            add(C_Text("log com%d rtcm1 ontime 1\r\n", n));
            break;
        case 5:
            // RTCA takes the COM number as its transmitter id.
            add(C_Text("dgpstxid rtca %d\r\n", n));
            add(C_Text("log com%d rtcaobsb ontime %d\r\n", n, t));
            add(C_Text("log com%d rtcaobs2b ontime %d\r\n", n, t + 1));
            add(C_Text("log com%d rtcarefb ontime 10\r\n", n));
            add(C_Text("log com%d rtca1b ontime 10 3\r\n", n));
            break;
        case 7:
            add(C_Text("dgpstxid rtcmv3 %d\r\n", id));
            add(C_Text("log com%d rtcm1004b ontime %d\r\n", n, t));
            if (Rtcm3_Variant == 2) {
                add(C_Text("log com%d rtcm1012b ontime 1\r\n", n));
                add(C_Text("log com%d rtcm1006b ontime 10\r\n", n));
                add(C_Text("log com%d rtcm1008b ontime 10\r\n", n));
                add(C_Text("log com%d rtcm1033b ontime 10\r\n", n));
            } else {
                add(C_Text("log com%d rtcm1005b ontime 10\r\n", n));
            }
            break;
        case 14:
            add(C_Text("interfacemode com%d novatel rtcmv3\r\n", n));
            add(C_Text("dgpstxid rtcmv3 %d\r\n", id));
            add(C_Text("log com%d rtcm1074b ontime %d\r\n", n, t));
            add(C_Text("log com%d rtcm1084b ontime 1\r\n", n));
            add(C_Text("log com%d rtcm1124b ontime 1\r\n", n));
            add(C_Text("log com%d rtcm1005b ontime 10\r\n", n));
            add(C_Text("log com%d rtcm1033b ontime 10\r\n", n));
            break;
        case 12:
        case 13:
            add("log com2 novatelxobsb ontime 1\r\n");
            add("log com2 novatelxrefb  ontime 10\r\n");
            break;
        default:
            break;
    }
    add(C_Text("com com%d %d\r\n", n, b.Port_Baud));
    add("saveconfig\r\n");
    return 1;
}

int Em_OemNovatelCmd::Get_Gnss_Reset(Cmd_List& cmds) {
    Add_Text(cmds, "nvmrestore\r\n");
    Add_Text(cmds, "freset\r\n");
    return 1;
}

int Em_OemNovatelCmd::Get_Cmd_PassCom(Cmd_List& cmds, int port) {
    // Pass-through logs exist for COM1 to COM3 only.
    if (port >= 1 && port <= 3) {
        Add_Text(cmds, C_Text("log passcom%db onchanged\r\n", port));
    }
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
