// GPS L1 C/A navigation subframes (LNAV) decoded into a broadcast ephemeris and
// ionosphere/UTC parameters. A subframe is its ten 24-bit words without parity, 30 bytes.
#pragma once

#include <cstdint>

#include "BVParse/Em_GnssTime.h"

namespace Brevan2011 {
namespace BVParse {

struct em_eph_t {
    std::int32_t sat = 0;
    std::int32_t iode = 0;
    std::int32_t iodc = 0;
    std::int32_t sva = 0;   // URA index
    std::int32_t svh = 0;   // health
    std::int32_t week = 0;  // full GPS week
    std::int32_t code = 0;  // L2 codes
    std::int32_t flag = 0;  // L2 P data flag
    Gnss_Time toe, toc, ttr;
    double A = 0, e = 0, i0 = 0, OMG0 = 0, omg = 0, M0 = 0, deln = 0, OMGd = 0, idot = 0;
    double crc = 0, crs = 0, cuc = 0, cus = 0, cic = 0, cis = 0;
    double toes = 0;  // toe in seconds of week
    double fit = 0;   // fit-interval bit as 0.0 or 1.0
    double f0 = 0, f1 = 0, f2 = 0;
    double tgd[4] = {0, 0, 0, 0};
};
static_assert(sizeof(em_eph_t) == 272, "ephemeris record layout");

struct Gps_IonoParams {
    double alpha[4] = {0, 0, 0, 0};
    double beta[4] = {0, 0, 0, 0};
};

struct Gps_UtcParams {
    double A0 = 0, A1 = 0, tot = 0, WNt = 0;
};

constexpr int kSubframeBytes = 30;

int Decode_Gps_Subframe1(const std::uint8_t* buff, em_eph_t* eph);
int Decode_Gps_Subframe2(const std::uint8_t* buff, em_eph_t* eph);
// 3 when the issue-of-data check against subframes 1 and 2 passes, else 0.
int Decode_Gps_Subframe3(const std::uint8_t* buff, em_eph_t* eph);
// 9 for the page with satellite id 56 (ionosphere and UTC), else 0 and nothing written.
int Decode_Gps_Subframe4(const std::uint8_t* buff, Gps_IonoParams* ion, Gps_UtcParams* utc,
                         int* leaps);

}  // namespace BVParse
}  // namespace Brevan2011
