#include "BVParse/Em_GnssSubframe.h"

#include <cmath>

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr double kSemiCircle = 3.1415926535897932;  // semicircles to radians
constexpr double P2_5 = 0.03125;
constexpr double P2_19 = 1.0 / 524288.0;
inline double P2(int n) {
    return std::ldexp(1.0, n);
}

}  // namespace

int Decode_Gps_Subframe1(const std::uint8_t* buff, em_eph_t* eph) {
    if (buff == nullptr || eph == nullptr) {
        return 0;
    }
    const double tow = Get_Bits_U(buff, 24, 17) * 6.0;
    int i = 48;
    const int week = static_cast<int>(Get_Bits_U(buff, i, 10));
    i += 10;
    eph->code = static_cast<int>(Get_Bits_U(buff, i, 2));
    i += 2;
    eph->sva = static_cast<int>(Get_Bits_U(buff, i, 4));
    i += 4;
    eph->svh = static_cast<int>(Get_Bits_U(buff, i, 6));
    i += 6;
    const int iodc0 = static_cast<int>(Get_Bits_U(buff, i, 2));
    i += 2;
    eph->flag = static_cast<int>(Get_Bits_U(buff, i, 1));
    i += 1 + 87;
    const int tgd = Get_Bits_S(buff, i, 8);
    i += 8;
    const int iodc1 = static_cast<int>(Get_Bits_U(buff, i, 8));
    i += 8;
    const double toc = Get_Bits_U(buff, i, 16) * 16.0;
    i += 16;
    eph->f2 = Get_Bits_S(buff, i, 8) * P2(-55);
    i += 8;
    eph->f1 = Get_Bits_S(buff, i, 16) * P2(-43);
    i += 16;
    eph->f0 = Get_Bits_S(buff, i, 22) * P2(-31);
    eph->tgd[0] = tgd * P2(-31);
    eph->iodc = iodc0 * 256 + iodc1;
    eph->week = Adjust_Gps_Week(week);
    eph->ttr = Gps_Week_To_Time(eph->week, tow);
    eph->toc = Gps_Week_To_Time(eph->week, toc);
    return 1;
}

int Decode_Gps_Subframe2(const std::uint8_t* buff, em_eph_t* eph) {
    if (buff == nullptr || eph == nullptr) {
        return 0;
    }
    int i = 48;
    eph->iode = static_cast<int>(Get_Bits_U(buff, i, 8));
    i += 8;
    eph->crs = Get_Bits_S(buff, i, 16) * P2_5;
    i += 16;
    eph->deln = Get_Bits_S(buff, i, 16) * P2(-43) * kSemiCircle;
    i += 16;
    eph->M0 = Get_Bits_S(buff, i, 32) * P2(-31) * kSemiCircle;
    i += 32;
    eph->cuc = Get_Bits_S(buff, i, 16) * P2(-29);
    i += 16;
    eph->e = Get_Bits_U(buff, i, 32) * P2(-33);
    i += 32;
    eph->cus = Get_Bits_S(buff, i, 16) * P2(-29);
    i += 16;
    const double sqrtA = Get_Bits_U(buff, i, 32) * P2_19;
    i += 32;
    eph->toes = Get_Bits_U(buff, i, 16) * 16.0;
    i += 16;
    eph->fit = Get_Bits_U(buff, i, 1) ? 1.0 : 0.0;
    eph->A = sqrtA * sqrtA;
    return 2;
}

int Decode_Gps_Subframe3(const std::uint8_t* buff, em_eph_t* eph) {
    if (buff == nullptr || eph == nullptr) {
        return 0;
    }
    int i = 48;
    eph->cic = Get_Bits_S(buff, i, 16) * P2(-29);
    i += 16;
    eph->OMG0 = Get_Bits_S(buff, i, 32) * P2(-31) * kSemiCircle;
    i += 32;
    eph->cis = Get_Bits_S(buff, i, 16) * P2(-29);
    i += 16;
    eph->i0 = Get_Bits_S(buff, i, 32) * P2(-31) * kSemiCircle;
    i += 32;
    eph->crc = Get_Bits_S(buff, i, 16) * P2_5;
    i += 16;
    eph->omg = Get_Bits_S(buff, i, 32) * P2(-31) * kSemiCircle;
    i += 32;
    eph->OMGd = Get_Bits_S(buff, i, 24) * P2(-43) * kSemiCircle;
    i += 24;
    const int iode = static_cast<int>(Get_Bits_U(buff, i, 8));
    i += 8;
    eph->idot = Get_Bits_S(buff, i, 14) * P2(-43) * kSemiCircle;

    if (iode != eph->iode || iode != (eph->iodc & 0xFF)) {
        return 0;
    }
    // Week handover: toe may belong to the week before or after the transmission time.
    double tow = Time_To_Gps_Week(eph->ttr, &eph->week);
    const double toc = Time_To_Gps_Week(eph->toc, nullptr);
    if (eph->toes < tow - 302400.0) {
        eph->week++;
        tow -= 604800.0;
    } else if (eph->toes > tow + 302400.0) {
        eph->week--;
        tow += 604800.0;
    }
    eph->toe = Gps_Week_To_Time(eph->week, eph->toes);
    eph->toc = Gps_Week_To_Time(eph->week, toc);
    eph->ttr = Gps_Week_To_Time(eph->week, tow);
    return 3;
}

int Decode_Gps_Subframe4(const std::uint8_t* buff, Gps_IonoParams* ion, Gps_UtcParams* utc,
                         int* leaps) {
    if (buff == nullptr || Get_Bits_U(buff, 50, 6) != 56) {
        return 0;
    }
    int i = 56;
    double a[4], b[4];
    a[0] = Get_Bits_S(buff, i, 8) * P2(-30);
    a[1] = Get_Bits_S(buff, i + 8, 8) * P2(-27);
    a[2] = Get_Bits_S(buff, i + 16, 8) * P2(-24);
    a[3] = Get_Bits_S(buff, i + 24, 8) * P2(-24);
    b[0] = Get_Bits_S(buff, i + 32, 8) * P2(11);
    b[1] = Get_Bits_S(buff, i + 40, 8) * P2(14);
    b[2] = Get_Bits_S(buff, i + 48, 8) * P2(16);
    b[3] = Get_Bits_S(buff, i + 56, 8) * P2(16);
    i += 64;
    const double A1 = Get_Bits_S(buff, i, 24) * P2(-50);
    i += 24;
    const double A0 = Get_Bits_S(buff, i, 32) * P2(-30);
    i += 32;
    const double tot = Get_Bits_U(buff, i, 8) * P2(12);
    i += 8;
    const int wnt = static_cast<int>(Get_Bits_U(buff, i, 8));
    i += 8;
    if (ion != nullptr) {
        for (int k = 0; k < 4; ++k) {
            ion->alpha[k] = a[k];
            ion->beta[k] = b[k];
        }
    }
    if (utc != nullptr) {
        utc->A0 = A0;
        utc->A1 = A1;
        utc->tot = tot;
        utc->WNt = Adjust_Gps_Week8(wnt);
    }
    if (leaps != nullptr) {
        *leaps = Get_Bits_S(buff, i, 8);
    }
    return 9;
}

}  // namespace BVParse
}  // namespace Brevan2011
