#include "Em_OemHemisphere2.h"

#include "Em_HemisphereScan.h"
#include "Em_OemHemisphere2Cmd.h"
#include "Em_OemHemisphere2Data.h"
#include "Em_OemStxEtx.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemHemisphere2::Em_OemHemisphere2() {
    Set_Board_Type(MAINBD_HEMISPHERE2);
    Set_Data(new Em_OemHemisphere2Data);
    Set_Cmd(new Em_OemHemisphere2Cmd);
}

Em_OemHemisphere2Data* Em_OemHemisphere2::Hemisphere2_Data() const {
    return static_cast<Em_OemHemisphere2Data*>(Data());
}

int Em_OemHemisphere2::Scan() {
    Em_OemHemisphere2Data* data = Hemisphere2_Data();
    return Scan_Input(*this, {'$', 0xD3, 0x02}, [data](const unsigned char* p, int n) {
        int len = -1;
        if (p[0] == '$') {
            const bool nmea = (p[1] == 'G' && (p[2] == 'P' || p[2] == 'L' || p[2] == 'N')) ||
                              (p[1] == 'B' && p[2] == 'D');
            return Hemisphere_Dollar_Step(data, p, n, nmea, kReplyLimit);
        } else if (p[0] == 0xD3) {
            len = Rtcm3_Span(p, n);
            if (len > 0) {
                return Scan_Step::Took(len, data != nullptr && Decode_Rtcm3(*data, p, len));
            }
        } else if (p[0] == 0x02 && (p[2] == 152 || p[2] == 147)) {
            len = StxEtx_Packet_Length(p, n);
            if (len > 0) {
                return Scan_Step::Took(len,
                                       data != nullptr && Decode_Correction_Packet(*data, p, len));
            }
        }
        return len == 0 ? Scan_Step::Wait_More() : Scan_Step::Skip_Byte();
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
