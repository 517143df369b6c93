// Device records that Em_Gnss copies out of an old receiver's state.
#pragma once

namespace Brevan2011 {
namespace BVParse {

// The receiver's firmware debug block (the "VY" reply), 204 bytes.
struct FIRMWARE_DEBUG {
    unsigned char Data[204];
};

}  // namespace BVParse
}  // namespace Brevan2011
