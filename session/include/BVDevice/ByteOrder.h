// Byte-order reversal of 16-, 32- and 64-bit values, for the receivers' big-endian fields.
#pragma once

#include <cstdint>
#include <cstring>

namespace Brevan2011 {
namespace BVDevice {

inline std::int16_t ByteSwap16(std::int16_t v) {
    return static_cast<std::int16_t>(__builtin_bswap16(static_cast<std::uint16_t>(v)));
}
inline std::uint16_t ByteSwapU16(std::uint16_t v) {
    return __builtin_bswap16(v);
}
inline std::int32_t ByteSwap32(std::int32_t v) {
    return static_cast<std::int32_t>(__builtin_bswap32(static_cast<std::uint32_t>(v)));
}
inline std::uint32_t ByteSwapU32(std::uint32_t v) {
    return __builtin_bswap32(v);
}
// The bytes of a 32-bit float reversed (a big-endian float field read as native).
inline float ByteSwapF32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits = __builtin_bswap32(bits);
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
inline std::uint64_t ByteSwapU64(std::uint64_t v) {
    return __builtin_bswap64(v);
}

}  // namespace BVDevice
}  // namespace Brevan2011
