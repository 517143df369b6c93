#include "Em_OemStxEtx.h"

#include "Em_OemBoardScan.h"
#include "Em_OemStxEtxCmd.h"
#include "Em_OemStxEtxData.h"

namespace Brevan2011 {
namespace BVParse {

int StxEtx_Packet_Length(const unsigned char* p, int n) {
    if (p == nullptr || n < 1 || p[0] != 0x02) {
        return -1;
    }
    if (n < 4) {
        return 0;
    }
    const int total = p[3] + 6;
    if (n < total) {
        return 0;
    }
    unsigned sum = 0;
    for (int i = 1; i < total - 2; ++i) {
        sum += p[i];
    }
    return (sum & 0xFF) == p[total - 2] ? total : -1;
}

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
    return Scan_Input(*this, {0x02, '$', 0xD3}, [data](const unsigned char* p, int n) {
        if (p[0] == 0x02) {
            const int len = StxEtx_Packet_Length(p, n);
            if (len == 0) {
                return Scan_Step::Wait_More();
            }
            if (len < 0) {
                return Scan_Step::Skip_Byte();
            }
            if (data == nullptr) {
                return Scan_Step::Took(len, false);
            }
            if (p[2] == 152 || p[2] == 147) {
                return Scan_Step::Took(len, Decode_Correction_Packet(*data, p, len));
            }
            return Scan_Step::Took(len, data->Parse_Message(p, p[2], len) != 0);
        }
        if (p[0] == '$' && p[1] == 'G' && (p[2] == 'P' || p[2] == 'L')) {
            const int len = Nmea_Span(p, n);
            if (len == 0) {
                return Scan_Step::Wait_More();
            }
            if (len < 0) {
                return Scan_Step::Skip_Byte();
            }
            return Scan_Step::Took(len, data != nullptr && Decode_Nmea(*data, p, len));
        }
        if (p[0] == 0xD3) {
            const int len = Rtcm3_Span(p, n);
            if (len == 0) {
                return Scan_Step::Wait_More();
            }
            if (len < 0) {
                return Scan_Step::Skip_Byte();
            }
            return Scan_Step::Took(len, data != nullptr && Decode_Rtcm3(*data, p, len));
        }
        return Scan_Step::Skip_Byte();
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
