#include "BVParse/Em_GnssSubframe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

using namespace Brevan2011::BVParse;

namespace {

std::int64_t g_now = 0;
bool Fake_Clock(struct timespec* now) {
    now->tv_sec = static_cast<time_t>(g_now);
    now->tv_nsec = 0;
    return true;
}

struct ClockAtWeek {
    explicit ClockAtWeek(int week) {
        g_now = 315964800LL + std::int64_t(week) * kSecondsPerWeek + 3600;
        Set_System_Clock(&Fake_Clock);
    }
    ~ClockAtWeek() { Set_System_Clock(nullptr); }
};

void Put_Bits(std::uint8_t* buf, int pos, int len, std::uint32_t value) {
    for (int i = 0; i < len; ++i) {
        const int bit = pos + i;
        const std::uint8_t mask = std::uint8_t(1u << (7 - bit % 8));
        if ((value >> (len - 1 - i)) & 1u) {
            buf[bit / 8] |= mask;
        } else {
            buf[bit / 8] &= std::uint8_t(~mask);
        }
    }
}

// Subframe 1 with the given TOW count, 10-bit week, IODC and toc.
std::vector<std::uint8_t> Subframe1(std::uint32_t tow_count, int week10, int iodc, int toc16) {
    std::vector<std::uint8_t> sf(30, 0);
    Put_Bits(sf.data(), 24, 17, tow_count);
    Put_Bits(sf.data(), 48, 10, std::uint32_t(week10));
    Put_Bits(sf.data(), 70, 2, std::uint32_t(iodc >> 8));
    Put_Bits(sf.data(), 168, 8, std::uint32_t(iodc & 0xFF));
    Put_Bits(sf.data(), 176, 16, std::uint32_t(toc16));
    return sf;
}

std::vector<std::uint8_t> Subframe2(int iode, int toe16) {
    std::vector<std::uint8_t> sf(30, 0);
    Put_Bits(sf.data(), 48, 8, std::uint32_t(iode));
    Put_Bits(sf.data(), 184, 32, 5153u * 524288u);  // sqrt(A) = 5153 m^0.5
    Put_Bits(sf.data(), 216, 16, std::uint32_t(toe16));
    return sf;
}

std::vector<std::uint8_t> Subframe3(int iode) {
    std::vector<std::uint8_t> sf(30, 0);
    Put_Bits(sf.data(), 48, 16, 0x0123);  // Cic, written before the IODE check
    Put_Bits(sf.data(), 216, 8, std::uint32_t(iode));
    return sf;
}

}  // namespace

TEST(GpsSubframe, CorpusRawEphemerisDecodes) {
    const std::string path = std::string(VARNOK_CORPUS_DIR) + "/rtklib/oemv_200911218.gps";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        GTEST_SKIP() << "corpus file missing: " << path;
    }
    const std::vector<std::uint8_t> d((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
    int decoded = 0;
    for (std::size_t i = 0; i + 28 <= d.size(); ++i) {
        if (d[i] != 0xAA || d[i + 1] != 0x44 || d[i + 2] != 0x12) {
            continue;
        }
        const std::size_t hlen = d[i + 3];
        const int id = d[i + 4] | (d[i + 5] << 8);
        const std::size_t mlen = std::size_t(d[i + 8] | (d[i + 9] << 8));
        const int week = d[i + 14] | (d[i + 15] << 8);
        if (id != 41 || mlen != 102 || i + hlen + mlen > d.size()) {
            continue;
        }
        const std::uint8_t* body = &d[i + hlen];
        ClockAtWeek clock(week);
        em_eph_t eph{};
        SCOPED_TRACE(testing::Message() << "log at offset " << i);
        EXPECT_EQ(Decode_Gps_Subframe1(body + 12, &eph), 1);
        EXPECT_EQ(Decode_Gps_Subframe2(body + 42, &eph), 2);
        ASSERT_EQ(Decode_Gps_Subframe3(body + 72, &eph), 3);
        EXPECT_EQ(eph.week, week);
        EXPECT_NEAR(eph.A, 26560e3, 200e3);  // A = (sqrt A)^2
        EXPECT_GT(eph.e, 0.0);
        EXPECT_LT(eph.e, 0.03);
        EXPECT_EQ(std::fmod(eph.toes, 16.0), 0.0);
        int toe_week = 0;
        EXPECT_DOUBLE_EQ(Time_To_Gps_Week(eph.toe, &toe_week), eph.toes);
        EXPECT_LT(std::fabs(eph.i0 - 0.96), 0.1);  // about 55 degrees
        ++decoded;
    }
    EXPECT_GT(decoded, 10);
}

TEST(GpsSubframe, IodeMismatchKeepsTimesButWritesOrbit) {
    ClockAtWeek clock(2000);
    em_eph_t eph{};
    Decode_Gps_Subframe1(Subframe1(1000, 2000 % 1024, 0x1A5, 100).data(), &eph);
    Decode_Gps_Subframe2(Subframe2(0xA5, 100).data(), &eph);
    const Gnss_Time toc = eph.toc;
    EXPECT_EQ(eph.week, 2000);
    EXPECT_EQ(eph.iodc, 0x1A5);
    EXPECT_EQ(Decode_Gps_Subframe3(Subframe3(0xA6).data(), &eph), 0);
    EXPECT_NE(eph.cic, 0.0);
    EXPECT_EQ(eph.toe.Seconds, 0);
    EXPECT_EQ(eph.toc.Seconds, toc.Seconds);
    EXPECT_EQ(Decode_Gps_Subframe3(Subframe3(0xA5).data(), &eph), 3);
    EXPECT_EQ(eph.toe.Seconds, Gps_Week_To_Time(2000, 1600).Seconds);
}

TEST(GpsSubframe, ToeInTheNextWeekMovesTheWeek) {
    ClockAtWeek clock(2000);
    em_eph_t eph{};
    // Transmitted at 604,200 s of week 2000; toe 0 belongs to week 2001.
    Decode_Gps_Subframe1(Subframe1(100700, 2000 % 1024, 7, 0).data(), &eph);
    Decode_Gps_Subframe2(Subframe2(7, 0).data(), &eph);
    ASSERT_EQ(Decode_Gps_Subframe3(Subframe3(7).data(), &eph), 3);
    EXPECT_EQ(eph.week, 2001);
    EXPECT_EQ(eph.toe.Seconds, Gps_Week_To_Time(2001, 0).Seconds);
    EXPECT_EQ(eph.ttr.Seconds, Gps_Week_To_Time(2000, 604200).Seconds);
}

TEST(GpsSubframe, Subframe4OnlyPage56) {
    ClockAtWeek clock(2200);
    std::vector<std::uint8_t> sf(30, 0);
    Put_Bits(sf.data(), 50, 6, 56);
    Put_Bits(sf.data(), 56, 8, 0xFF);                        // alpha0 = -1 x 2^-30
    Put_Bits(sf.data(), 88, 8, 2);                           // beta0 = 2 x 2^11
    Put_Bits(sf.data(), 144, 32, 0xFFFFFFFE);                // A0 = -2 x 2^-30
    Put_Bits(sf.data(), 176, 8, 3);                          // tot = 3 x 4096
    Put_Bits(sf.data(), 184, 8, std::uint32_t(2200 % 256));  // WNt
    Put_Bits(sf.data(), 192, 8, 18);
    Gps_IonoParams ion;
    Gps_UtcParams utc;
    int leaps = -1;
    EXPECT_EQ(Decode_Gps_Subframe4(sf.data(), &ion, &utc, &leaps), 9);
    EXPECT_DOUBLE_EQ(ion.alpha[0], -std::ldexp(1.0, -30));
    EXPECT_DOUBLE_EQ(ion.beta[0], 4096.0);
    EXPECT_DOUBLE_EQ(utc.A0, -2 * std::ldexp(1.0, -30));
    EXPECT_DOUBLE_EQ(utc.tot, 12288.0);
    EXPECT_EQ(leaps, 18);
    EXPECT_EQ(utc.WNt, 2200.0);

    Put_Bits(sf.data(), 50, 6, 57);
    Gps_IonoParams ion2;
    Gps_UtcParams utc2;
    int leaps2 = -1;
    EXPECT_EQ(Decode_Gps_Subframe4(sf.data(), &ion2, &utc2, &leaps2), 0);
    EXPECT_EQ(ion2.alpha[0], 0.0);
    EXPECT_EQ(utc2.A0, 0.0);
    EXPECT_EQ(leaps2, -1);
}

// WNt has 8 bits: it names the week within 128 weeks of the current one.
TEST(GpsSubframe, Subframe4UtcWeekIsNearTheCurrentWeek) {
    struct Case {
        int now, wnt;
    } cases[] = {{2200, 2200}, {2200, 2300}, {2200, 2073}, {2350, 2400}, {2047, 2049}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "week " << c.now << " WNt " << c.wnt);
        ClockAtWeek clock(c.now);
        std::vector<std::uint8_t> sf(30, 0);
        Put_Bits(sf.data(), 50, 6, 56);
        Put_Bits(sf.data(), 184, 8, std::uint32_t(c.wnt % 256));
        Gps_UtcParams utc;
        ASSERT_EQ(Decode_Gps_Subframe4(sf.data(), nullptr, &utc, nullptr), 9);
        EXPECT_EQ(utc.WNt, double(c.wnt));
    }
}
