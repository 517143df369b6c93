// Data parser of the second Hemisphere board (type 7): binary block 3 (time and DOPs), "$>J"
// replies (base position, elevation mask), and its own GGA, RMC and GST parsers that complete a
// position epoch once GGA, fix quality and RMC time and date were seen before a GST.
#pragma once

#include <cstdint>
#include <string_view>

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

constexpr uint32_t HEMI2_FLAG_GGA = 0x00020000u;      // GGA position
constexpr uint32_t HEMI2_FLAG_BASE = 0x02000000u;     // base position from a JRTK reply
constexpr uint32_t HEMI2_FLAG_QUALITY = 0x20000000u;  // fix quality
constexpr uint32_t HEMI2_FLAG_TIME = 0x01000000u;     // RMC time and date

class Em_OemHemisphere2Data : public Em_OemData {
public:
    Em_OemHemisphere2Data();

    // Decodes block 3 (92 data bytes or more); 1 for any block id, 0 for a null
    // frame, id 0 or length 0.
    int Parse_Message(const unsigned char* frame, int id, int length) override;
    int Parse_GGA(const std::string& sentence) override;
    int Set_Fix_Quality(const std::string& field) override;
    int Parse_GST(const std::string& sentence) override;
    int Parse_RMC(const std::string& sentence) override;

    // One whole "$>J" reply line; true when it was handled.
    bool Parse_Reply(std::string_view line);

    uint32_t Pending = 0;  // GGA, quality and RMC seen since the last complete epoch
    int32_t Gps_Week = 0;
    double Gps_Seconds = 0;
    double Ref_X = 0, Ref_Y = 0, Ref_Z = 0;  // base position, ECEF metres
};

}  // namespace BVParse
}  // namespace Brevan2011
