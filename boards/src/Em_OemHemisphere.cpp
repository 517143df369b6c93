#include "Em_OemHemisphere.h"

#include "Em_FrameSpans.h"
#include "Em_HemisphereScan.h"
#include "Em_OemHemisphereCmd.h"
#include "Em_OemHemisphereData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemHemisphere::Em_OemHemisphere() {
    Set_Board_Type(MAINBD_HEMISPHERE);
    Set_Data(new Em_OemHemisphereData);
    Set_Cmd(new Em_OemHemisphereCmd);
}

Em_OemHemisphereData* Em_OemHemisphere::Hemisphere_Data() const {
    return static_cast<Em_OemHemisphereData*>(Data());
}

int Em_OemHemisphere::Scan() {
    Em_OemHemisphereData* data = Hemisphere_Data();
    return Scan_Input(*this, {'$'}, [data](const unsigned char* p, int n) {
        if (p[0] != '$') {
            return Scan_Step::Skip_Byte();
        }
        return Hemisphere_Dollar_Step(data, p, n, Is_Nmea_Lead(p, false), kReplyLimit);
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
