// Records of an old-protocol receiver that cross to the program: DEVICE_STR and cors_info are
// copied whole, so their layouts are packed and fixed; NMEAConfigList is copied field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVParse {

#pragma pack(push, 1)

// Device information, filled from the 128-byte SI device block.
struct DEVICE_STR {
    char receiverId[22];          // 0: 6 characters from block bytes 5-10
    char model[22];               // 22: board id, block bytes 0-3
    char text44[22];              // 44: 10 characters from block bytes 12-21
    char text66[13];              // 66: block bytes 32-44
    std::uint8_t satChannels;     // 79: channel switches 0x80, 0x40, 0x20
    std::uint8_t byte80;          // 80
    std::uint8_t outputInterval;  // 81: output interval code
    std::uint8_t byte82;          // 82
    std::uint8_t byte83;          // 83
    char firmwareVersion[4];      // 84: block bytes 52-55
    std::uint8_t byte88;          // 88: not filled
    std::uint8_t byte89;          // 89
    std::uint8_t byte90;          // 90
    std::uint8_t byte91;          // 91
    char text92[17];              // 92: 10 characters from block bytes 112-121
    std::uint8_t byte109;         // 109
    std::uint8_t byte110;         // 110
    std::uint8_t byte111;         // 111
    std::uint8_t byte112;         // 112
    std::uint8_t byte113;         // 113
    std::uint8_t boardType[4];    // 114: MAINBD_OEM_TYPE, little-endian 32-bit, unaligned
};

// Automatic correction-login information: three zero-terminated texts.
struct cors_info {
    char mountPoint[20];
    char userName[50];
    char password[20];
};

#pragma pack(pop)

static_assert(sizeof(DEVICE_STR) == 118, "DEVICE_STR is 118 bytes");
static_assert(offsetof(DEVICE_STR, model) == 22, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, text44) == 44, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, text66) == 66, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, satChannels) == 79, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, outputInterval) == 81, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, firmwareVersion) == 84, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, byte89) == 89, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, text92) == 92, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, byte109) == 109, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, byte113) == 113, "DEVICE_STR layout");
static_assert(offsetof(DEVICE_STR, boardType) == 114, "DEVICE_STR layout");

// The satellite decoders and the program address these bytes by offset.
static_assert(offsetof(SATLLITE_STR, Elevation) == 4, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Azimuth) == 8, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Snr1) == 10, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Snr2) == 14, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Snr3) == 18, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Signal) == 22, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Used) == 23, "SATLLITE_STR layout");
static_assert(offsetof(SATLLITE_STR, Status) == 25, "SATLLITE_STR layout");

static_assert(sizeof(cors_info) == 90, "cors_info is 90 bytes");
static_assert(offsetof(cors_info, userName) == 20, "cors_info layout");
static_assert(offsetof(cors_info, password) == 70, "cors_info layout");

// The board type lies unaligned at offset 114.
inline std::int32_t Device_BoardType(const DEVICE_STR& d) {
    std::int32_t v;
    std::memcpy(&v, d.boardType, sizeof v);
    return v;
}
inline void Set_Device_BoardType(DEVICE_STR& d, std::int32_t v) {
    std::memcpy(d.boardType, &v, sizeof v);
}

struct NMEAConfigList {
    std::int32_t port = 0;
    std::uint8_t keepAfterRestart = 0;
    std::int32_t value = 0;
    std::int32_t count = 0;
    std::vector<_set_nmea> messages;  // message bit and rate code
};

}  // namespace BVParse
}  // namespace Brevan2011
