#include "Em_OemCmd.h"

#include <cstring>

namespace Brevan2011 {
namespace BVParse {

Em_OemCmd::Em_OemCmd() {
    std::memset(&Base_Cfg, 0, sizeof(Base_Cfg));
    Base_Cfg.Station_Id = 1;
    std::memcpy(Base_Cfg.Station_Name, "base", 5);
    Base_Cfg.Obs_Interval = 1;
    Base_Cfg.Port_Index = 1;
    Base_Cfg.Port_Baud = 38400;
    Base_Cfg.Diff_Format = 3;
    Base_Cfg.Latitude = 0.5441037837884196;
    Base_Cfg.Longitude = 2.1187988500159314;
    Base_Cfg.Height = 37.51200038008392;
    Base_Cfg.Elev_Mask = 10;
    Base_Cfg.Pdop_Mask = 95;
    Base_Cfg.Output_Select = 0;

    std::memset(&Rover_Cfg, 0, sizeof(Rover_Cfg));
    Rover_Cfg.Elev_Mask = 5;
    Rover_Cfg.Pdop_Mask = 95;
    Rover_Cfg.Seq_Counter = 1;
    Rover_Cfg.Diff_Format = 3;
    Rover_Cfg.Port_Index = 1;
    Rover_Cfg.Port_Baud = 9600;
    Rover_Cfg.Ionosphere = 0;
    Rover_Cfg.Diff_Source = 2;
}

Em_OemCmd::~Em_OemCmd() = default;

int Em_OemCmd::Get_Gnss_Inite(Cmd_List&) {
    return 0;
}
int Em_OemCmd::Set_Gnss_PosFrq(Cmd_List&, GNSS_FRQ) {
    return 0;
}
int Em_OemCmd::Send_Gnss_Obs(Cmd_List&, GNSS_FRQ) {
    return 0;
}
int Em_OemCmd::Send_Gnss_Ephemeris(Cmd_List&, GNSS_FRQ) {
    return 0;
}
int Em_OemCmd::Send_Gnss_EphemSat(Cmd_List&, unsigned) {
    return 0;
}
int Em_OemCmd::Set_Gnss_ElevDgre(Cmd_List&, int, int) {
    return 0;
}
int Em_OemCmd::Set_Gnss_SatUse(Cmd_List&, unsigned, bool, unsigned) {
    return 0;
}
int Em_OemCmd::Set_Gnss_Nmea(Cmd_List&, unsigned long, GNSS_FRQ) {
    return 0;
}
int Em_OemCmd::Set_Nmea_List(Cmd_List&, const std::vector<_set_nmea>&) {
    return 0;
}
int Em_OemCmd::Get_Gnss_ElevMask(Cmd_List&) {
    return 0;
}
int Em_OemCmd::Send_Gnss_UnlogData(Cmd_List&) {
    return 0;
}
int Em_OemCmd::Get_Gnss_StartBase(Cmd_List&) {
    return 0;
}
int Em_OemCmd::Get_Gnss_StartRover(Cmd_List&) {
    return 0;
}
int Em_OemCmd::Get_Gnss_Reset(Cmd_List&) {
    return 0;
}
int Em_OemCmd::Get_Cmd_PassCom(Cmd_List&, int) {
    return 0;
}
void Em_OemCmd::Set_Model_Setting(int) {}

void Em_OemCmd::Add_Text(Cmd_List& cmds, const std::string& text, unsigned pause) {
    Add_Text_Cmd(this, cmds, text.c_str(), pause);
}

void Add_Text_Cmd(Em_OemCmd* builder, Cmd_List& cmds, const char* text, unsigned pause) {
    (void)builder;
    if (text == nullptr) {
        return;
    }
    // Measure at most 513 characters: anything longer is dropped anyway.
    const size_t len = strnlen(text, sizeof(_STR_CMD::data) + 1);
    if (len == 0 || len > sizeof(_STR_CMD::data)) {
        return;
    }
    _STR_CMD cmd;
    std::memset(&cmd, 0, sizeof(cmd));
    std::memcpy(cmd.data, text, len);
    cmd.pause = pause;
    cmd.length = static_cast<uint32_t>(len);
    cmds.push_back(cmd);
}

}  // namespace BVParse
}  // namespace Brevan2011
