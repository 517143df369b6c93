// Records filled by the old-protocol reply decoders. DEVICE_STR and cors_info
// cross to the program and are copied whole, so their layouts are packed and fixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
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

// One entry of the NMEA output configuration: message bit and rate code.
struct NMEAConfigEntry {
    std::uint32_t message;
    std::uint32_t rate;
};

struct NMEAConfigList {
    std::int32_t port = 0;
    std::uint8_t keepAfterRestart = 0;
    std::int32_t value = 0;
    std::int32_t count = 0;
    std::vector<NMEAConfigEntry> messages;
};

// A satellite group: a count and at most 32 records. The count may exceed 32 (satellites
// counted but not stored); every pass over the records stops at 32.
constexpr int kOldSatGroupSize = 32;
struct Em_OldSatGroup {
    std::int32_t count = 0;
    SATLLITE_STR sats[kOldSatGroupSize] = {};
};

// Internal radio record.
struct Em_OldRadioRecord {
    double frequency = 0.0;
    std::int32_t radioType = 3;
    std::int32_t transmitMode = -1;
    std::int32_t sensitivity = 2;
    std::int32_t fec = 0;
    std::uint8_t callsignOn = 0;
    std::int32_t callsignInterval = 0;
    char callsign[14] = {};
    std::uint8_t callsignLength = 0;
    std::int32_t power = 0;
    std::int32_t spacingCode = 0;
    std::int32_t airBaud = -1;
    double upperLimit = 467.0;
    double lowerLimit = 455.0;
    double spacing = 50.0;
    double step = 0.05;
    double altStep = 12.5;
    std::vector<double> channelFreqs;
    std::vector<std::int32_t> channelTypes;
};

// Internal wireless (GPRS modem and network) record.
struct Em_OldWirelessRecord {
    static constexpr int kSourceListSize = 2048;
    std::int32_t signalLevel = 0;
    std::int32_t signalValue = -1;
    std::uint32_t serverAddress = 0;
    std::int32_t serverNameLength = 0;
    char serverName[32] = {};
    std::int32_t serverPort = 0;
    std::int32_t loginFlag = 0;
    std::int32_t protocol = 0;
    std::int32_t gprsStatus = -1;
    std::int32_t gprsError = -1;
    std::int32_t corsMode = -1;
    std::int32_t statusWord4 = -1;
    std::string textC;
    double modemVersion = -1.0;
    std::int32_t modemMajor = 0;
    std::int32_t modemMinor = 0;
    cors_info autoLogin = {};
    std::int32_t loginMode = -1;
    std::uint8_t layoutFlag = 0;
    std::string loginText2;
    std::string loginText1;
    std::string textB;
    std::string textA;
    char sourceList[kSourceListSize] = {};
    std::int32_t sourceListLength = 0;
};

// Static point of the FB reply.
struct Em_OldStaticPoint {
    std::uint8_t nameLength = 0;
    char name[32] = {};
    std::uint32_t value = 0;
    std::int32_t byte = 0;
    std::int32_t method = 0;
};

// Electronic bubble values of the FF reply (nine words, the last three unused by the decoder).
struct Em_OldBubble {
    std::uint32_t words[9] = {};
};

// A block of one chunked reply (at most 55 bytes used).
struct Em_OldBlock {
    std::uint8_t data[56] = {};
    std::int32_t length = 0;
};

}  // namespace BVParse
}  // namespace Brevan2011
