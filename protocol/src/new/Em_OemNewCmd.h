// Command builder of the new-protocol board: each builder makes new-protocol packets (chunked
// frames) from the board's settings; the builders the board has no command for append nothing.
#pragma once

#include <cstdint>

#include "Em_OemCmd.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNewCmd : public Em_OemCmd {
public:
    // Operation codes of the packets this builder sends.
    static constexpr uint16_t kOpSet = 14;
    static constexpr uint16_t kOpQuery = 15;
    static constexpr uint16_t kOpSystem = 2;

    int Get_Gnss_Inite(Cmd_List& cmds) override;                         // 1
    int Set_Gnss_PosFrq(Cmd_List& cmds, GNSS_FRQ rate) override;         // 2
    int Send_Gnss_Obs(Cmd_List& cmds, GNSS_FRQ rate) override;           // 3
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, int) override;  // 6
    int Get_Gnss_ElevMask(Cmd_List& cmds) override;                      // 10
    int Send_Gnss_UnlogData(Cmd_List& cmds) override;                    // 11
    int Get_Gnss_StartBase(Cmd_List& cmds) override;                     // 12
    int Get_Gnss_StartRover(Cmd_List& cmds) override;                    // 13
    int Get_Gnss_Reset(Cmd_List& cmds) override;                         // 14
};

// The receiver's differential format code of the settings' format word.
uint16_t New_FormatCode(int32_t format);

}  // namespace BVParse
}  // namespace Brevan2011
