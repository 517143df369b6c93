// Command-builder base of every board driver: the board's settings and fifteen command builders.
// Each appends the board's command records to the caller's list and returns an int; a builder
// a board has no command for appends nothing.
#pragma once

#include <string>
#include <vector>

#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemCmd {
public:
    Em_OemCmd();
    virtual ~Em_OemCmd();
    Em_OemCmd(const Em_OemCmd&) = delete;
    Em_OemCmd& operator=(const Em_OemCmd&) = delete;

    // The command builders.
    virtual int Get_Gnss_Inite(Cmd_List& cmds);
    virtual int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate);
    virtual int Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat);
    virtual int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system);
    virtual int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s);
    virtual int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate);
    virtual int Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list);
    virtual int Get_Gnss_ElevMask(Cmd_List& cmds);
    virtual int Send_Gnss_UnlogData(Cmd_List& cmds);
    virtual int Get_Gnss_StartBase(Cmd_List& cmds);
    virtual int Get_Gnss_StartRover(Cmd_List& cmds);
    virtual int Get_Gnss_Reset(Cmd_List& cmds);
    virtual int Get_Cmd_PassCom(Cmd_List& cmds, int value);

    // The model setting of the STX/ETX and NovAtel builders; other boards have none.
    virtual void Set_Model_Setting(int value);

    // Output port number: 0 when the OEM protocol object made the driver, 1 when the old one
    // did (the old protocol calls it the enable word).
    int32_t Out_Port = 0;
    Base_Config Base_Cfg;
    Rover_Config Rover_Cfg;
    int32_t Board_Mode = 3;  // board mode word read by the STX/ETX builder

protected:
    // Appends one text command (1 to 512 characters; anything else is dropped).
    void Add_Text(Cmd_List& cmds, const std::string& text, unsigned pause = 50);
};

// Appends one text command of 1 to 512 characters with the given pause; an empty or longer
// text adds nothing.
void Add_Text_Cmd(Em_OemCmd* builder, Cmd_List& cmds, const char* text, unsigned pause);

}  // namespace BVParse
}  // namespace Brevan2011
