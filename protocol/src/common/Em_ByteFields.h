// Field readers for the binary formats the library reads: little-endian (NovAtel logs,
// Hemisphere blocks) and big-endian (STX/ETX packets), byte by byte so that neither alignment
// nor host byte order matters.
#pragma once

#include <cstdint>
#include <cstring>

namespace Brevan2011 {
namespace BVParse {

inline uint16_t Le_U16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t Le_U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t Le_I32(const unsigned char* p) {
    return static_cast<int32_t>(Le_U32(p));
}
inline uint64_t Le_U64(const unsigned char* p) {
    return static_cast<uint64_t>(Le_U32(p)) | (static_cast<uint64_t>(Le_U32(p + 4)) << 32);
}

inline uint16_t Be_U16(const unsigned char* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint32_t Be_U32(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
inline uint64_t Be_U64(const unsigned char* p) {
    return (static_cast<uint64_t>(Be_U32(p)) << 32) | Be_U32(p + 4);
}

// The IEEE 754 value of the given bits.
inline float Bits_F32(uint32_t u) {
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}
inline double Bits_F64(uint64_t u) {
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

inline float Le_F32(const unsigned char* p) {
    return Bits_F32(Le_U32(p));
}
inline double Le_F64(const unsigned char* p) {
    return Bits_F64(Le_U64(p));
}
inline float Be_F32(const unsigned char* p) {
    return Bits_F32(Be_U32(p));
}
inline double Be_F64(const unsigned char* p) {
    return Bits_F64(Be_U64(p));
}

}  // namespace BVParse
}  // namespace Brevan2011
