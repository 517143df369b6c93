// Command builder of the engine board (type 3): NovAtel text commands, most of them inside the
// old protocol's command-mode frames, 50 ms apart.
#pragma once

#include "Em_OemNovatelCmd.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemComEngineCmd : public Em_OemNovatelCmd {
public:
    int Get_Gnss_Inite(Cmd_List& cmds) override;
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Send_Gnss_Ephemeris(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Send_Gnss_EphemSat(Cmd_List& cmds, unsigned sat) override;
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) override;
    int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) override;
    int Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) override;
    int Get_Gnss_ElevMask(Cmd_List& cmds) override;
    int Send_Gnss_UnlogData(Cmd_List& cmds) override;
    int Get_Gnss_StartBase(Cmd_List& cmds) override;
    int Get_Gnss_StartRover(Cmd_List& cmds) override;
    int Get_Gnss_Reset(Cmd_List& cmds) override;
    int Get_Cmd_PassCom(Cmd_List& cmds, int port) override;

    // The command-mode frames that open and close a group of board commands.
    static void Open_Frame(Cmd_List& cmds);
    static void Close_Frame(Cmd_List& cmds);
};

}  // namespace BVParse
}  // namespace Brevan2011
