// GPS L1 C/A navigation subframes (LNAV) decoded into a broadcast ephemeris and
// ionosphere/UTC parameters. A subframe is its ten 24-bit words without parity, 30 bytes.
#pragma once

#include <cstdint>

#include "BVParse/Em_GnssTime.h"

namespace Brevan2011 {
namespace BVParse {

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
