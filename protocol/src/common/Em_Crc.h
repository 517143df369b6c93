// Frame checks used inside the library: the NovAtel CRC-32 and the RTCM 3 CRC-24Q.
#pragma once

#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

// 1 when the block, ending in its own little-endian CRC-32, checks out (or length <= 0).
int Check_Crc32(const unsigned char* bytes, int length);

// CRC-24Q over the block (start 0, no reflection, no final XOR); 0 for an empty block.
uint32_t Calc_Crc24Q(const unsigned char* bytes, int length);

}  // namespace BVParse
}  // namespace Brevan2011
