#include "Em_OemStxEtx.h"

#include "Em_OemBoardScan.h"
#include "Em_OemStxEtxCmd.h"
#include "Em_OemStxEtxData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemStxEtx::Em_OemStxEtx() {
    Set_Board_Type(MAINBD_STXETX);
    Set_Data(new Em_OemStxEtxData);
    Set_Cmd(new Em_OemStxEtxCmd);
}

Em_OemStxEtxCmd* Em_OemStxEtx::StxEtx_Cmd() const {
    return static_cast<Em_OemStxEtxCmd*>(Cmd());
}

Em_OemStxEtxData* Em_OemStxEtx::StxEtx_Data() const {
    return static_cast<Em_OemStxEtxData*>(Data());
}

int Em_OemStxEtx::Scan() {
    Em_OemData* data = Data();
    return Scan_Input(*this, {0x02, '$', kRtcm3Preamble}, [data](const unsigned char* p, int n) {
        if (p[0] == 0x02) {
            if (p[2] == 152 || p[2] == 147) {
                return Correction_Packet_Step(data, p, n);
            }
            const int len = StxEtx_Packet_Length(p, n);
            if (len == 0) {
                return Scan_Step::Wait_More();
            }
            if (len < 0) {
                return Scan_Step::Skip_Byte();
            }
            return Scan_Step::Took(len, data != nullptr && data->Parse_Message(p, p[2], len) != 0);
        }
        if (Is_Nmea_Lead(p, false)) {
            return Nmea_Step(data, p, n);
        }
        if (Is_Rtcm3_Lead(p)) {
            return Rtcm3_Step(data, p, n);
        }
        return Scan_Step::Skip_Byte();
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
