// Device records that Em_Gnss copies out of an old receiver's state.
#pragma once

#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

// The receiver's firmware debug block (the "VY" reply), 204 bytes.
struct FIRMWARE_DEBUG {
    unsigned char Data[204];
};

// Tilt-sensor (electronic bubble) information: nine words.
struct eBubble_info {
    int32_t Words[9];
};

}  // namespace BVParse
}  // namespace Brevan2011
