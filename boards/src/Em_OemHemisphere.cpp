#include "Em_OemHemisphere.h"

#include <string_view>

#include "Em_HemisphereFrames.h"
#include "Em_OemBoardScan.h"
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
        int len = 0;
        if (p[1] == 'B' && p[2] == 'I') {
            len = Hemisphere_Frame_Length(p, n);
            if (len > 0) {
                const int id = Hemi_U16(p + 4);
                return Scan_Step::Took(len, data != nullptr && data->Parse_Message(p, id, len));
            }
        } else if (p[1] == 'G' && (p[2] == 'P' || p[2] == 'L')) {
            len = Nmea_Span(p, n);
            if (len > 0) {
                return Scan_Step::Took(len, data != nullptr && Decode_Nmea(*data, p, len));
            }
        } else if (p[1] == '>' && p[2] == 'J') {
            len = Hemisphere_Line_Length(p, n, kReplyLimit);
            if (len > 0) {
                const std::string_view line(reinterpret_cast<const char*>(p),
                                            static_cast<size_t>(len));
                return Scan_Step::Took(len, data != nullptr && data->Parse_Reply(line));
            }
        } else {
            return Scan_Step::Skip_Byte();
        }
        return len == 0 ? Scan_Step::Wait_More() : Scan_Step::Skip_Byte();
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
