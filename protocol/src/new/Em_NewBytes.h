// Big-endian reads and writes of the new protocol, by explicit shifts.
#pragma once

#include <cstdint>
#include <cstring>

namespace Brevan2011 {
namespace BVParse {
namespace NewBytes {

inline uint8_t* Put8(uint8_t* p, uint8_t v) {
    *p = v;
    return p + 1;
}
inline uint8_t* Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
    return p + 2;
}
inline uint8_t* Put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
    return p + 4;
}
inline uint8_t* Put64(uint8_t* p, uint64_t v) {
    p = Put32(p, static_cast<uint32_t>(v >> 32));
    return Put32(p, static_cast<uint32_t>(v));
}
inline uint8_t* PutDouble(uint8_t* p, double d) {
    uint64_t v;
    std::memcpy(&v, &d, sizeof v);
    return Put64(p, v);
}
inline uint8_t* PutText(uint8_t* p, const char* text, size_t n) {
    std::memcpy(p, text, n);
    return p + n;
}

inline uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint32_t Get32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
inline uint64_t Get64(const uint8_t* p) {
    return (static_cast<uint64_t>(Get32(p)) << 32) | Get32(p + 4);
}
inline double GetDouble(const uint8_t* p) {
    uint64_t v = Get64(p);
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}
inline float GetFloat(const uint8_t* p) {
    uint32_t v = Get32(p);
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

}  // namespace NewBytes
}  // namespace BVParse
}  // namespace Brevan2011
