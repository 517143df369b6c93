// Em_Gnss: data link commands and results of the new protocol, and raw command packets.
#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

void Em_Gnss::Get_Cmd_DataLink_Mode(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewDataLink, 0x1503, p);
    }
}

void Em_Gnss::Get_Cmd_DataLink_Differential_Data(Cmd_List& cmds, const QX_BLOCK_DATA_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewDataLink, {{0x1504, p}}, 0x1504);
    }
}

void Em_Gnss::Get_DataLink_Mode(QX_DATALINK_MODE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_DATALINK_MODE_ENUM>(d->state.dataLinkMode);
    }
}

void Em_Gnss::GetCustomCommandPackets(Cmd_List& cmds, const unsigned char* data, unsigned int n,
                                      int /*mode*/) {
    // Split_Raw_Cmds takes no mode.
    if (m_protocol != nullptr) {
        m_protocol->Split_Raw_Cmds(cmds, data, n);
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
