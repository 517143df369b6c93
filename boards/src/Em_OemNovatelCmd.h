// Command builder of the NovAtel board: every board operation as NovAtel ASCII commands, one
// record per command with its pause. The software-engine board reuses these builders.
#pragma once

#include <string>

#include "Em_OemCmd.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNovatelCmd : public Em_OemCmd {
public:
    Em_OemNovatelCmd();

    int Get_Gnss_Inite(Cmd_List& cmds) override;
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) override;
    // The chain from the facade carries no rate yet: this form asks for one per second.
    int Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) override;
    int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s) override;
    int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) override;
    int Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) override;
    int Get_Gnss_ElevMask(Cmd_List& cmds) override;
    int Send_Gnss_UnlogData(Cmd_List& cmds) override;
    int Get_Gnss_StartBase(Cmd_List& cmds) override;
    int Get_Gnss_StartRover(Cmd_List& cmds) override;
    int Get_Gnss_Reset(Cmd_List& cmds) override;
    int Get_Cmd_PassCom(Cmd_List& cmds, int port) override;
    void Set_Model_Setting(int value) override { Model_Setting = value; }

    // RTCM 3 variant: 1 names the RTCMV3 interface mode on the rover and selects the short
    // RTCM 3 base block; this driver uses 2.
    int32_t Rtcm3_Variant = 2;
    int32_t Model_Setting = 0;

    // Interval in seconds of a rate code of the position and observation builders (code 0
    // included: callers test it first); 13 is known only to the NMEA builders.
    static double Rate_Interval(int code, bool nmea);
};

}  // namespace BVParse
}  // namespace Brevan2011
