// Scans the OEM protocol object runs over its receive ring in place: the bytes that can open a
// message for each board type (any other byte opens nothing, so the parse step passes a run of
// them in one search), and NovAtel logs too long for the message buffer.
#pragma once

#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_RcvRing.h"
#include "Em_Crc.h"
#include "Em_FrameSpans.h"

namespace Brevan2011 {
namespace BVParse {

struct Oem_Leads {
    const unsigned char* bytes;  // '$' first
    int count;
};

// The lead bytes of the board type; none for a type without a reader.
inline Oem_Leads Oem_Lead_Bytes(int type) {
    static constexpr unsigned char kStxEtx[] = {'$', 0x02, kRtcm3Preamble};
    static constexpr unsigned char kNovatel[] = {'$', 0xAA, kRtcm3Preamble, 0x02};
    static constexpr unsigned char kDollar[] = {'$'};
    switch (type) {
        case MAINBD_STXETX:
            return {kStxEtx, 3};
        case MAINBD_NOVATEL:
            return {kNovatel, 4};
        case MAINBD_HEMISPHERE:
        case MAINBD_NMEA:
        case MAINBD_NMEA2:
            return {kDollar, 1};
        default:
            return {nullptr, 0};
    }
}

// Logs longer than the ring less one port read are never waited for: the read that would
// complete one could not be stored.
constexpr int kLongLogLimit = Em_RcvRing::kDefaultSize - 2048;

// A NovAtel log of `total` bytes (more than the message buffer holds) at the consumed mark:
// 1 when it is all in the ring and its CRC-32 checks out, 0 while it is incomplete, -1 when
// it cannot be one.
inline int Check_Long_Log(const Em_RcvRing& ring, int total) {
    if (total > kLongLogLimit || total > ring.Capacity()) {
        return -1;
    }
    return ring.With_Unconsumed([total](const unsigned char* p, int n) {
        if (n < total) {
            return 0;
        }
        return Check_Crc32(p, total) != 0 ? 1 : -1;
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
