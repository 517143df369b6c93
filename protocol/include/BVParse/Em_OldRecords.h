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

// Lengths of the login texts and the base id as the receiver sent them. The records above keep
// at most their field's size less one; a longer length tells that the record holds a cut text.
struct Text_Lengths {
    std::int32_t mountPoint = 0;
    std::int32_t userName = 0;
    std::int32_t password = 0;
    std::int32_t baseId = 0;
    // The radio call sign, on either protocol.
    std::int32_t callsign = 0;
};

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

// Settings the program passes to the old-protocol command builders and the records their
// readers fill. The enums carry the receiver's own codes unchanged.
enum Gprs_Modle : std::int32_t {};
enum Protocol_Net : std::int32_t {};
enum Radio_Power : std::int32_t {};
enum Radio_Baudrate : std::int32_t {};
enum Rdo_Mdl : std::int32_t {};
enum Rdo_Sensitv : std::int32_t {};
enum Rdo_Channel_Type : std::int32_t {};
enum Channel_Space : std::int32_t {
    CHANNEL_SPACE_12_5 = 0,  // 12.5 kHz
    CHANNEL_SPACE_20 = 1,    // 20 kHz
    CHANNEL_SPACE_25 = 2,    // 25 kHz
};
// The handheld's own baud code for the receiver's port 1: 0 9600, 1 19200, 2 38400, 3 57600,
// 4 115200.
enum Com_Baudrate : std::int32_t {};
// The modem's status and error codes as the receiver reports them.
using gprs_status = int;
using gprs_ero = int;

// Network server: a numeric address (layout 1) or a name of `count` bytes (layout 2).
struct IP_ADRES {
    std::uint32_t address;  // least significant byte goes first on the wire
    std::int32_t count;
    char name[32];
};
static_assert(sizeof(IP_ADRES) == 40, "IP_ADRES is 40 bytes");

// Four zero-terminated service texts.
struct SvcInfo {
    char text1[55];
    char text2[55];
    char text3[55];
    char text4[55];
};
static_assert(sizeof(SvcInfo) == 220, "SvcInfo is 220 bytes");

struct Radio_Callsign {
    std::uint8_t on;
    std::int32_t interval;  // the low byte is sent
    char text[14];
    std::uint8_t length;
};

// Static point settings, in the order the FB reply fills them.
struct Static_Point {
    std::uint8_t nameLength;
    char name[32];
    std::uint32_t value;
    std::int32_t byteField;  // the low byte is sent
    std::int32_t method;     // -1, 2, 3 or 4
};

// Kinematic point records. Bytes 0-39 are common: a 32-bit field, four bytes the receiver does
// not take, then 6, 16 and 10 bytes copied as they lie.
struct StartPointInfo {
    std::uint8_t head[40];
    std::uint8_t nameLength;  // at most 32
    char name[32];
    std::uint8_t textLength;  // at most 32
    char text[32];
};
struct EndPointInfo {
    std::uint8_t head[40];
    std::uint32_t value;
};
struct AntPointInfo {
    std::uint8_t head[40];
    std::uint8_t spare[40];
    std::uint32_t kind;  // its low byte is sent
    std::uint32_t value;
};

#pragma pack(push, 1)

// Wireless (GPRS modem and network) information as the program reads it.
struct WirelessInfo {
    IP_ADRES server;
    std::int32_t port;
    std::int32_t protocol;
    std::int32_t loginFlag;
    char textC[20];  // the base id
    char loginText1[55];
    char loginText2[55];
    char textB[55];
    char textA[55];
    std::uint8_t capability[8];
};

#pragma pack(pop)

static_assert(sizeof(StartPointInfo) == 106, "StartPointInfo layout");
static_assert(offsetof(StartPointInfo, textLength) == 73, "StartPointInfo layout");
static_assert(sizeof(EndPointInfo) == 44, "EndPointInfo layout");
static_assert(sizeof(AntPointInfo) == 88, "AntPointInfo layout");
static_assert(offsetof(AntPointInfo, kind) == 80, "AntPointInfo layout");
static_assert(sizeof(WirelessInfo) == 300, "WirelessInfo is 300 bytes");
static_assert(offsetof(WirelessInfo, textC) == 52, "WirelessInfo layout");
static_assert(offsetof(WirelessInfo, capability) == 292, "WirelessInfo layout");

// Band and capabilities of the internal radio (twelve 32-bit words).
struct Radio_Info {
    double upper;    // MHz
    double lower;    // MHz
    double spacing;  // kHz
    std::int32_t radioType;
    std::int32_t switchWord;  // 0 for types 1-5, 1 for 6-10
    std::uint32_t wordA;
    std::uint32_t wordB;
    std::uint32_t wordC;  // which radio settings the receiver accepts
    std::uint32_t wordD;
};
static_assert(sizeof(Radio_Info) == 48, "Radio_Info is twelve words");
static_assert(offsetof(Radio_Info, radioType) == 24, "Radio_Info layout");
static_assert(offsetof(Radio_Info, wordC) == 40, "Radio_Info layout");

// Band of the internal radio, in the order the readers write it.
struct Radio_Range {
    double upper;    // MHz
    double lower;    // MHz
    double spacing;  // kHz
};
static_assert(sizeof(Radio_Range) == 24, "Radio_Range is three doubles");

struct NMEAConfigList {
    std::int32_t port = 0;
    std::uint8_t keepAfterRestart = 0;
    std::int32_t value = 0;
    std::int32_t count = 0;
    std::vector<_set_nmea> messages;  // message bit and rate code
};

}  // namespace BVParse
}  // namespace Brevan2011
