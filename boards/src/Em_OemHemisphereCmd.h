// Command builder of the Hemisphere board (type 4): "$J" text commands, one record each with a
// 50 ms pause. The options query, output stop and reset are shared with the second Hemisphere
// board.
#pragma once

#include <string>

#include "Em_OemCmd.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemHemisphereCmd : public Em_OemCmd {
public:
    int Get_Gnss_Inite(Cmd_List& cmds) override;
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) override;
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int system) override;
    int Set_Gnss_Nmea(Cmd_List& cmds, unsigned long mask, GNSS_FRQ rate) override;
    int Set_Nmea_List(Cmd_List& cmds, const std::vector<_set_nmea>& list) override;
    int Get_Gnss_ElevMask(Cmd_List& cmds) override;
    int Send_Gnss_UnlogData(Cmd_List& cmds) override;
    int Get_Gnss_StartRover(Cmd_List& cmds) override;
    int Get_Gnss_Reset(Cmd_List& cmds) override;

    // Output rate in Hz of a rate code: 1 -> 10, 2 -> 5, 11 -> 2, any other -> 1.
    static int Rate_Hz(int code);

    // Commands shared with the second Hemisphere board.
    static void Query_Options(Cmd_List& cmds);
    static void Stop_Output(Cmd_List& cmds);
    static void Reset(Cmd_List& cmds);
};

// NMEA mask bits and their sentences, in the order the Hemisphere boards write them.
struct Hemisphere_Sentence {
    uint32_t bit;
    const char* name;
};

}  // namespace BVParse
}  // namespace Brevan2011
