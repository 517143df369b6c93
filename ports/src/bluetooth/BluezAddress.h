// A BlueZ device address (six bytes, least significant first) as the 48-bit number the
// Bluetooth interface uses, with the first byte of the printed form as its top byte.
#pragma once

#include <cstdint>

namespace Brevan2011 {
namespace BVComm {

inline std::uint64_t AddressFromBytes(const std::uint8_t (&b)[6]) {
    std::uint64_t value = 0;
    for (int i = 5; i >= 0; --i) {
        value = (value << 8) | b[i];
    }
    return value;
}

// Bits above the 48 of an address are dropped.
inline void AddressToBytes(std::uint64_t value, std::uint8_t (&b)[6]) {
    for (int i = 0; i < 6; ++i) {
        b[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace BVComm
}  // namespace Brevan2011
