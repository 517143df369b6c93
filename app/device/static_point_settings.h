#pragma once

#include <cstddef>
#include <string>

#include "BVParse/Em_OldRecords.h"

namespace Varnok {

// The antenna parameters of the point an old-protocol receiver records on, as the static page
// edits them. The library's record carries the height as a float's bits and the height
// reference as its method; the antenna code travels apart, as the static antenna type.
struct StaticPointSettings {
    static constexpr std::size_t kMaxName = 32;
    static constexpr std::size_t kMaxCode = 20;

    std::string name;  // Latin-1 bytes, at most kMaxName
    float height = 0;  // metres
    int antennaType = 0;
    std::string antennaCode;   // at most kMaxCode characters
    int heightReference = -1;  // 2 phase centre, 3 vertical, 4 slant; -1 none

    // Reads the record and the static antenna type text (up to antTypeSize bytes, NUL or
    // not), never past either.
    static StaticPointSettings fromRecord(const Brevan2011::BVParse::Static_Point& point,
                                          const char* antType, std::size_t antTypeSize);
    // The record to send: the name cut to kMaxName bytes, its count in the length byte.
    Brevan2011::BVParse::Static_Point toRecord() const;
    // The code to send, cut to kMaxCode characters.
    std::string codeToSend() const;
};

}  // namespace Varnok
