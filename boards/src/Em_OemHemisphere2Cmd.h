// Command builder of the second Hemisphere board (type 7): RTK base and rover set-up and
// fractional output rates as "$J" text commands, 50 ms apart.
#pragma once

#include "Em_OemCmd.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemHemisphere2Cmd : public Em_OemCmd {
public:
    int Get_Gnss_Inite(Cmd_List& cmds) override;
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) override;
    int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) override;
    int Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) override;
    int Get_Gnss_ElevMask(Cmd_List& cmds) override;
    int Send_Gnss_UnlogData(Cmd_List& cmds) override;
    int Get_Gnss_StartBase(Cmd_List& cmds) override;
    int Get_Gnss_StartRover(Cmd_List& cmds) override;
    int Get_Gnss_Reset(Cmd_List& cmds) override;

    // Output rate of a rate code ("%.2f" in $JASC) and raw-message rate ("%.1lf" in $JBIN).
    static double Output_Rate(int code);
    static double Raw_Rate(int code);
};

}  // namespace BVParse
}  // namespace Brevan2011
