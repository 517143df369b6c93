// Data parser of the Hemisphere board (type 4): binary blocks 1 (position), 2 (DOPs) and 99
// (channel diagnostics), "$>J" replies, and NMEA through the base parsers.
#pragma once

#include <cstdint>
#include <string_view>

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

constexpr uint32_t HEMI_FLAG_POSITION = 0x00020000u;  // latitude, longitude, height

class Em_OemHemisphereData : public Em_OemData {
public:
    Em_OemHemisphereData();

    // One whole "$BIN" block (header, data, sum, CR LF) of `length` bytes; 1 for any
    // block id, 0 for a null frame, id 0 or length 0. Blocks shorter than their decoder reads
    // change nothing.
    int Parse_Message(const unsigned char* frame, int id, int length) override;
    // The deferred-report switch of this board is its GPS satellite switch.
    int Parse_GPGSV(const std::string& sentence) override;

    // One whole "$>J" reply line; true when it is a reply this board knows.
    bool Parse_Reply(std::string_view line);

    SATLLITE_STR Channels[kSatTableSize];
    int32_t Channel_Count = 0;
    int32_t Elev_Mask = 0;  // second copy of the elevation mask

private:
    void Channel_Diagnostics(const unsigned char* data);
};

}  // namespace BVParse
}  // namespace Brevan2011
