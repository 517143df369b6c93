#include "Em_OemHemisphere2.h"

#include "Em_HemisphereScan.h"
#include "Em_OemHemisphere2Cmd.h"
#include "Em_OemHemisphere2Data.h"
#include "Em_FrameSpans.h"

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
    return Scan_Input(*this, {'$', kRtcm3Preamble, 0x02}, [data](const unsigned char* p, int n) {
        if (p[0] == '$') {
            return Hemisphere_Dollar_Step(data, p, n, Is_Nmea_Lead(p, true), kReplyLimit);
        }
        if (Is_Rtcm3_Lead(p)) {
            return Rtcm3_Step(data, p, n);
        }
        if (p[0] == 0x02 && (p[2] == 152 || p[2] == 147)) {
            return Correction_Packet_Step(data, p, n);
        }
        return Scan_Step::Skip_Byte();
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
