// Data parser of the NMEA-only boards: the base sentence parsers, and a Parse_Message that takes
// a forwarded item only to clear the update mask.
#pragma once

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNmeaData : public Em_OemData {
public:
    // Clear_NmeaFlags: 0 for a null value or a zero length, else clears the update mask and
    // returns 1.
    int Parse_Message(const unsigned char* value, int tag, int length) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
