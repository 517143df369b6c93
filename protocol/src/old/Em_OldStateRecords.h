// Internal state records of an old-protocol receiver: satellite groups, the radio and wireless
// records, and the small records of the static-recording replies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BVParse/Em_OldRecords.h"

namespace Brevan2011 {
namespace BVParse {

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
    Text_Lengths reported = {};
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
