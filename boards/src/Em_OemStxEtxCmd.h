// Command builder of the STX/ETX packet board (type 1): whole configuration files (packet type
// 100) and short request packets, one command record per packet.
#pragma once

#include <cstdint>
#include <vector>

#include "Em_OemCmd.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemStxEtxCmd : public Em_OemCmd {
public:
    static constexpr int kMaxData = 255;
    static constexpr unsigned kPause = 100;

    Em_OemStxEtxCmd();

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
    // The old protocol's model setting is the raw-data flag (1 or 0).
    void Set_Model_Setting(int value) override { Raw_Flag = value; }

    int32_t Raw_Flag = 0;

    // One packet: STX, status 0, type, length, data, sum of status to data, ETX. False (nothing
    // appended) when the data pass 255 bytes.
    static bool Add_Packet(Cmd_List& cmds, unsigned char type, const unsigned char* data, int n,
                           unsigned pause = kPause);
    static bool Add_Packet(Cmd_List& cmds, unsigned char type,
                           const std::vector<unsigned char>& data, unsigned pause = kPause) {
        return Add_Packet(cmds, type, data.data(), static_cast<int>(data.size()), pause);
    }
    // Baud rate to the board's baud code (0 for a rate it does not know).
    static unsigned char Baud_Code(int32_t baud);
    // Rate code of the raw-measurement record from the library-wide output interval.
    static unsigned char Raw_Rate_Code();
};

}  // namespace BVParse
}  // namespace Brevan2011
