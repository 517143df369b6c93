// The '$' messages both Hemisphere boards read: "$BIN" binary blocks, NMEA sentences and
// "$>J" reply lines.
#pragma once

#include <cstddef>
#include <string_view>

#include "Em_ByteFields.h"
#include "Em_HemisphereFrames.h"
#include "Em_OemBoardScan.h"

namespace Brevan2011 {
namespace BVParse {

// One look at the '$' message at p (n >= 3 bytes): a "$BIN" block to the parser's slot 1, an
// NMEA sentence (when `nmea_talker` says the board speaks its talker) to its NMEA dispatch, or
// a "$>J" reply that must end within `reply_limit` bytes to its Parse_Reply. Anything else
// starting with '$' is skipped.
template <class Hemisphere_Data>
Scan_Step Hemisphere_Dollar_Step(Hemisphere_Data* data, const unsigned char* p, int n,
                                 bool nmea_talker, int reply_limit) {
    int len = -1;
    if (p[1] == 'B' && p[2] == 'I') {
        len = Hemisphere_Frame_Length(p, n);
        if (len > 0) {
            const int id = Le_U16(p + 4);
            return Scan_Step::Took(len, data != nullptr && data->Parse_Message(p, id, len));
        }
    } else if (nmea_talker) {
        return Nmea_Step(data, p, n);
    } else if (p[1] == '>' && p[2] == 'J') {
        len = Hemisphere_Line_Length(p, n, reply_limit);
        if (len > 0) {
            const std::string_view line(reinterpret_cast<const char*>(p),
                                        static_cast<std::size_t>(len));
            return Scan_Step::Took(len, data != nullptr && data->Parse_Reply(line));
        }
    }
    return len == 0 ? Scan_Step::Wait_More() : Scan_Step::Skip_Byte();
}

}  // namespace BVParse
}  // namespace Brevan2011
