#include "Em_OemComEngineCmd.h"

#include <cstring>

#include "Em_CFormat.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr unsigned kPause = 50;

void Add_Bytes(Cmd_List& cmds, const unsigned char* bytes, int n) {
    _STR_CMD cmd;
    std::memset(&cmd, 0, sizeof cmd);
    std::memcpy(cmd.data, bytes, static_cast<size_t>(n));
    cmd.length = static_cast<uint32_t>(n);
    cmd.pause = kPause;
    cmds.push_back(cmd);
}

void Add(Cmd_List& cmds, const std::string& text) {
    Add_Text_Cmd(nullptr, cmds, text.c_str(), kPause);
}

}  // namespace

void Em_OemComEngineCmd::Open_Frame(Cmd_List& cmds) {
    static const unsigned char kOpen[] = {0x24, 0x24, 0x49, 0x4D, 0x18,
                                          0x01, 0x01, 0x1C, 0x0D, 0x0A};
    Add_Bytes(cmds, kOpen, sizeof kOpen);
}

void Em_OemComEngineCmd::Close_Frame(Cmd_List& cmds) {
    static const unsigned char kClose[] = {0x24, 0x24, 0x49, 0x4D, 0x18,
                                           0x01, 0x02, 0x1F, 0x0D, 0x0A};
    Add_Bytes(cmds, kClose, sizeof kClose);
}

int Em_OemComEngineCmd::Get_Gnss_Inite(Cmd_List& cmds) {
    Open_Frame(cmds);
    for (const char* text : {"unlogall\r\n", "log bestposb ontime 1\r\n",
                             "log satmsgb ontime 5\r\n", "log psrdopb ontime 5\r\n"}) {
        Add(cmds, text);
    }
    Close_Frame(cmds);
    return 1;
}

int Em_OemComEngineCmd::Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) {
    if (rate == GNSS_FRQ_0) {
        Add(cmds, "log bestposb ontime 1\r\n");
        return 1;
    }
    return Em_OemNovatelCmd::Set_Gnss_PosFrq(cmds, rate);
}

int Em_OemComEngineCmd::Send_Gnss_Obs(Cmd_List&, GNSS_FRQ) {
    return 0;
}
int Em_OemComEngineCmd::Send_Gnss_Ephemeris(Cmd_List&, GNSS_FRQ) {
    return 0;
}
int Em_OemComEngineCmd::Send_Gnss_EphemSat(Cmd_List&, unsigned) {
    return 0;
}
int Em_OemComEngineCmd::Set_Gnss_Nmea(Cmd_List&, unsigned long, GNSS_FRQ) {
    return 0;
}
int Em_OemComEngineCmd::Set_Nmea_List(Cmd_List&, const std::vector<_set_nmea>&) {
    return 0;
}
int Em_OemComEngineCmd::Get_Cmd_PassCom(Cmd_List&, int) {
    return 0;
}

int Em_OemComEngineCmd::Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) {
    Open_Frame(cmds);
    Add(cmds, C_Text(system == 1 ? "ecutoff %d\r\n" : "gloecutoff %d\r\n", elevation));
    Close_Frame(cmds);
    return 1;
}

int Em_OemComEngineCmd::Get_Gnss_ElevMask(Cmd_List& cmds) {
    Open_Frame(cmds);
    Add(cmds, "log psrdopb\r\n");
    Close_Frame(cmds);
    return 1;
}

int Em_OemComEngineCmd::Send_Gnss_UnlogData(Cmd_List& cmds) {
    Open_Frame(cmds);
    Add(cmds, "unlogall\r\n");
    Close_Frame(cmds);
    return 1;
}

int Em_OemComEngineCmd::Get_Gnss_Reset(Cmd_List& cmds) {
    Open_Frame(cmds);
    Add(cmds, "freset\r\n");
    Close_Frame(cmds);
    return 1;
}

int Em_OemComEngineCmd::Get_Gnss_StartBase(Cmd_List& cmds) {
    constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
    const int mask = Base_Cfg.Elev_Mask;
    const int port = Base_Cfg.Port_Index + 1;
    Add(cmds, C_Text("ecutoff %d\r\n", mask));
    Add(cmds, C_Text("rtkelevmask user %d\r\n", mask));
    // Ends its line so that the board does not join it to the position command.
    Add(cmds, "gloecutoff 5.0\r\n");
    Add(cmds, C_Text("fix position %.8lf %.8lf %.3lf\r\n", Base_Cfg.Latitude * kRadToDeg,
                     Base_Cfg.Longitude * kRadToDeg, Base_Cfg.Height));
    Open_Frame(cmds);
    Add(cmds, C_Text("unlogall com%d\r\n", port));
    const char* first = nullptr;
    const char* second = nullptr;
    switch (Base_Cfg.Diff_Format) {
        case 3:
        case 6:
            first = "cmrdatarefb ontime 5";
            second = "cmrdataobsb ontime 1";
            break;
        case 4:
            first = "rtcmdata3b ontime 5";
            second = "rtcmdata1819b ontime 1";
            break;
        case 7:
            first = "rtcmdata1004b ontime 1";
            second = "rtcmdata1005b ontime 5";
            break;
        default:
            return 1;
    }
    const int selector = Base_Cfg.Output_Select;
    if (selector == 0 || selector == 2) {
        Add(cmds, C_Text("log com%d %s\r\n", port, first));
        Add(cmds, C_Text("log com%d %s\r\n", port, second));
    }
    if (selector == 1 || selector == 2) {
        Add(cmds, C_Text("log gprs %s\r\n", first));
        Add(cmds, C_Text("log gprs %s\r\n", second));
    }
    return 1;
}

int Em_OemComEngineCmd::Get_Gnss_StartRover(Cmd_List& cmds) {
    Open_Frame(cmds);
    switch (Rover_Cfg.Diff_Format) {
        case 3:
            Add(cmds, "rtksource cmr\r\n");
            break;
        case 4:
            Add(cmds, "rtksource rtcm\r\n");
            break;
        default:
            Add(cmds, "rtksource rtcmv3\r\n");
            break;
    }
    for (const char* text :
         {"unlogall\r\n", "set diffmatchmode asynch\r\n", "log rawephemb onchanged\r\n",
          "log diffmsgb ontime 1\r\n", "log refstationb ontime 5\r\n"}) {
        Add(cmds, text);
    }
    Close_Frame(cmds);
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
