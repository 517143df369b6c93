// Builds NovAtel binary logs for tests: header fields, body and a CRC-32 computed here
// bit by bit, independently of the library's table-driven check.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace Brevan2011 {
namespace BVParse {
namespace novatel_test {

using Bytes = std::vector<unsigned char>;

inline uint32_t Crc32(const unsigned char* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

struct Log_Header {
    uint16_t id = 42;
    unsigned char msgType = 0;  // bit 7: response
    unsigned char headerLength = 28;
    int bodyLengthOverride = -1;  // message length field when >= 0
    uint16_t week = 2000;
    uint32_t millis = 72000000;  // 20:00:00 of Sunday
};

inline void Put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
}
inline void PutF32(Bytes& b, size_t at, float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Put32(b, at, u);
}
inline void PutF64(Bytes& b, size_t at, double d) {
    uint64_t u;
    std::memcpy(&u, &d, 8);
    Put32(b, at, static_cast<uint32_t>(u));
    Put32(b, at + 4, static_cast<uint32_t>(u >> 32));
}

// A whole log: 28-byte header, body, CRC-32 over both.
inline Bytes Make_Log(const Log_Header& h, const Bytes& body) {
    Bytes b(28 + body.size() + 4, 0);
    b[0] = 0xAA;
    b[1] = 0x44;
    b[2] = 0x12;
    b[3] = h.headerLength;
    Put16(b, 4, h.id);
    b[6] = h.msgType;
    b[7] = 0x20;
    Put16(b, 8,
          static_cast<uint16_t>(h.bodyLengthOverride >= 0 ? h.bodyLengthOverride : body.size()));
    Put16(b, 14, h.week);
    Put32(b, 16, h.millis);
    std::memcpy(b.data() + 28, body.data(), body.size());
    const uint32_t crc = Crc32(b.data(), 28 + body.size());
    Put32(b, 28 + body.size(), crc);
    return b;
}

inline Bytes Make_Log(uint16_t id, const Bytes& body) {
    Log_Header h;
    h.id = id;
    return Make_Log(h, body);
}

// Best-position body (72 bytes).
struct Best_Pos {
    uint32_t status = 0;
    uint32_t type = 50;
    double lat = 31.0, lon = 121.0, hgt = 10.0;
    float undulation = 5.5f;
    float sLat = 1.0f, sLon = 2.0f, sHgt = 3.0f;
    float age = 1.0f;
    unsigned char tracked = 14, used = 12;
    unsigned char gpsGloMask = 0x33;
};

inline Bytes Best_Pos_Body(const Best_Pos& p) {
    Bytes b(72, 0);
    Put32(b, 0, p.status);
    Put32(b, 4, p.type);
    PutF64(b, 8, p.lat);
    PutF64(b, 16, p.lon);
    PutF64(b, 24, p.hgt);
    PutF32(b, 32, p.undulation);
    PutF32(b, 40, p.sLat);
    PutF32(b, 44, p.sLon);
    PutF32(b, 48, p.sHgt);
    std::memcpy(b.data() + 52, "0001", 4);
    PutF32(b, 56, p.age);
    b[64] = p.tracked;
    b[65] = p.used;
    b[71] = p.gpsGloMask;
    return b;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

inline Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace novatel_test
}  // namespace BVParse
}  // namespace Brevan2011
