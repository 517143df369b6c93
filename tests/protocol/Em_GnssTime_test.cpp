#include "BVParse/Em_GnssTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace Brevan2011::BVParse;

namespace {

std::int64_t g_fake_now = 0;
bool Fake_Clock(struct timespec* now) {
    now->tv_sec = static_cast<time_t>(g_fake_now);
    now->tv_nsec = 0;
    return true;
}

// Puts the injected clock at the start of a GPS week for the test's lifetime.
struct ClockAtWeek {
    explicit ClockAtWeek(int week) {
        g_fake_now = 315964800LL + std::int64_t(week) * kSecondsPerWeek + 1000;
        Set_System_Clock(&Fake_Clock);
    }
    ~ClockAtWeek() { Set_System_Clock(nullptr); }
};

Gnss_Time Cal(double y, double mo, double d, double h, double mi, double s) {
    const double ep[6] = {y, mo, d, h, mi, s};
    return Calendar_To_Time(ep);
}

}  // namespace

TEST(GnssBits, FieldsWithinAndAcrossBytes) {
    const std::uint8_t buf[] = {0xFF, 0x7F, 0xA5, 0x5A, 0x12, 0x34, 0x56, 0x78};
    struct Case {
        int pos, len;
        std::uint32_t u;
        std::int32_t s;
    } cases[] = {
        {0, 8, 255, -1},                   // whole byte, all ones
        {8, 8, 127, 127},                  // positive signed byte
        {4, 8, 0xF7, -9},                  // straddles bytes 0 and 1
        {16, 16, 0xA55A, -23206},          // two whole bytes
        {20, 12, 0x55A, 0x55A},            // crosses into byte 3
        {32, 32, 0x12345678, 0x12345678},  // 32 bits
        {0, 32, 0xFF7FA55A, std::int32_t(0xFF7FA55A)},
        {15, 1, 1, -1},  // single set bit sign-extends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pos " << c.pos << " len " << c.len);
        EXPECT_EQ(Get_Bits_U(buf, c.pos, c.len), c.u);
        EXPECT_EQ(Get_Bits_S(buf, c.pos, c.len), c.s);
    }
}

TEST(GnssTime, CalendarAndWeekConversions) {
    // 60.5 s rolls into the next minute.
    const Gnss_Time a = Cal(2016, 3, 3, 20, 15, 60.5);
    const Gnss_Time b = Cal(2016, 3, 3, 20, 16, 0.5);
    EXPECT_EQ(a.Seconds, b.Seconds);
    EXPECT_DOUBLE_EQ(a.Fraction, b.Fraction);
    EXPECT_DOUBLE_EQ(b.Fraction, 0.5);
    EXPECT_EQ(Cal(1980, 1, 6, 0, 0, 0).Seconds, 315964800);

    // Out-of-range seconds give the start of the week.
    EXPECT_EQ(Gps_Week_To_Time(2000, 2e9).Seconds, Gps_Week_To_Time(2000, 0).Seconds);
    const Gnss_Time t = Gps_Week_To_Time(2100, 345600.25);
    int week = 0;
    EXPECT_DOUBLE_EQ(Time_To_Gps_Week(t, &week), 345600.25);
    EXPECT_EQ(week, 2100);
    // Past 2038 the seconds keep counting.
    EXPECT_EQ(Cal(2040, 1, 1, 0, 0, 0).Seconds, 2208988800LL);
}

TEST(GnssTime, CalendarIgnoresTheDeviceZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const Gnss_Time utc = Cal(1985, 6, 30, 12, 0, 0);
    // A POSIX zone five hours east of UTC, which needs no zone database.
    setenv("TZ", "XXX-5", 1);
    tzset();
    const Gnss_Time east = Cal(1985, 6, 30, 12, 0, 0);
    if (old) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    EXPECT_EQ(utc.Seconds, east.Seconds);
    EXPECT_EQ(utc.Seconds, 488980800);
}

TEST(GnssTime, UtcToGpsLeapSeconds) {
    struct Case {
        double y, mo, d;
        int leap;
    } cases[] = {
        {1981, 1, 1, 0},  {1981, 7, 1, 1},  {2009, 6, 1, 15},
        {2013, 1, 1, 16}, {2016, 1, 1, 17}, {2040, 1, 1, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo);
        const Gnss_Time utc = Cal(c.y, c.mo, c.d, 0, 0, 0);
        EXPECT_EQ(Utc_To_Gps_Time(utc).Seconds - utc.Seconds, c.leap);
    }
}

TEST(GnssTime, UtcToGpsAddsEighteenSecondsIn2020) {
    const Gnss_Time utc = Cal(2020, 6, 1, 12, 0, 0);
    EXPECT_EQ(Utc_To_Gps_Time(utc).Seconds - utc.Seconds, 18);
}

TEST(GnssTime, AdjustWeekFollowsTheInjectedClock) {
    struct Case {
        int clock_week, w10, full;
    } cases[] = {
        {1880, 0, 2048},   {1880, 900, 1924},  {1000, 0, 2048},  // before 1560 counts as 1560
        {2400, 352, 2400}, {2400, 1023, 2047},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "clock week " << c.clock_week << " w " << c.w10);
        ClockAtWeek clock(c.clock_week);
        EXPECT_EQ(Adjust_Gps_Week(c.w10), c.full);
    }
}

TEST(GnssTime, SystemClockReadsRealTimeByDefault) {
    Set_System_Clock(nullptr);
    const Gnss_Time now = System_Time_Now();
    EXPECT_GT(now.Seconds, 1700000000);
    EXPECT_GE(now.Fraction, 0.0);
    EXPECT_LT(now.Fraction, 1.0);
}
