#include "BVParse/Em_GnssTime.h"

#include <atomic>
#include <cmath>

namespace Brevan2011 {
namespace BVParse {

namespace {

// GPS minus UTC, newest first.
struct LeapRow {
    int year, month, day;
    int seconds;
};
constexpr LeapRow kLeapSeconds[] = {
    {2017, 1, 1, 18}, {2015, 7, 1, 17}, {2012, 7, 1, 16}, {2009, 1, 1, 15}, {2006, 1, 1, 14},
    {1999, 1, 1, 13}, {1997, 7, 1, 12}, {1996, 1, 1, 11}, {1994, 7, 1, 10}, {1993, 7, 1, 9},
    {1992, 7, 1, 8},  {1991, 1, 1, 7},  {1990, 1, 1, 6},  {1988, 1, 1, 5},  {1985, 7, 1, 4},
    {1983, 7, 1, 3},  {1982, 7, 1, 2},  {1981, 7, 1, 1},
};

constexpr std::int64_t kGpsOrigin = 315964800;  // 1980-01-06 00:00:00 UTC

bool Read_Real_Clock(struct timespec* now) {
    return clock_gettime(CLOCK_REALTIME, now) == 0;
}

std::atomic<Gnss_ClockReader> g_clock{nullptr};

}  // namespace

std::uint32_t Get_Bits_U(const std::uint8_t* buff, int pos, int len) {
    std::uint32_t bits = 0;
    if (buff == nullptr || pos < 0 || len <= 0 || len > 32) {
        return 0;
    }
    for (int i = pos; i < pos + len; ++i) {
        bits = (bits << 1) | ((buff[i / 8] >> (7 - i % 8)) & 1u);
    }
    return bits;
}

std::int32_t Get_Bits_S(const std::uint8_t* buff, int pos, int len) {
    std::uint32_t bits = Get_Bits_U(buff, pos, len);
    if (len <= 0 || len >= 32) {
        return static_cast<std::int32_t>(bits);
    }
    if (bits & (1u << (len - 1))) {
        bits |= ~0u << len;
    }
    return static_cast<std::int32_t>(bits);
}

Gnss_Time Calendar_To_Time(const double ep[6]) {
    Gnss_Time t{};
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(ep[i]) || std::fabs(ep[i]) > 1e9) {
            return t;
        }
    }
    double s = ep[5];
    std::int64_t adjust = 0;
    if (s >= 60.0) {
        s -= 60.0;
        adjust = 60;
    } else if (s < 0.0) {
        s += 60.0;
        adjust = -60;
    }
    if (!(s >= 0.0 && s < 60.0)) {
        return t;
    }
    struct tm fields = {};
    fields.tm_year = static_cast<int>(ep[0]) - 1900;
    fields.tm_mon = static_cast<int>(ep[1]) - 1;
    fields.tm_mday = static_cast<int>(ep[2]);
    fields.tm_hour = static_cast<int>(ep[3]);
    fields.tm_min = static_cast<int>(ep[4]);
    const int whole = static_cast<int>(s);
    fields.tm_sec = whole;
    fields.tm_isdst = 0;
    // timegm reads the fields as UTC, whatever zone the device is set to.
    t.Seconds = static_cast<std::int64_t>(timegm(&fields)) + adjust;
    t.Fraction = s - whole;
    return t;
}

Gnss_Time Gps_Week_To_Time(int week, double sec) {
    Gnss_Time t{};
    if (!std::isfinite(sec) || sec < -1e9 || sec > 1e9) {
        sec = 0.0;
    }
    const auto whole = static_cast<std::int64_t>(sec);
    t.Seconds = kGpsOrigin + static_cast<std::int64_t>(week) * kSecondsPerWeek + whole;
    t.Fraction = sec - static_cast<double>(whole);
    return t;
}

double Time_To_Gps_Week(Gnss_Time t, int* week) {
    const std::int64_t d = t.Seconds - kGpsOrigin;
    if (week != nullptr) {
        *week = static_cast<int>(d / kSecondsPerWeek);
    }
    return static_cast<double>(d % kSecondsPerWeek) + t.Fraction;
}

Gnss_Time Utc_To_Gps_Time(Gnss_Time t) {
    for (const LeapRow& row : kLeapSeconds) {
        const double ep[6] = {double(row.year), double(row.month), double(row.day), 0, 0, 0};
        if (Calendar_To_Time(ep).Seconds <= t.Seconds) {
            t.Seconds += row.seconds;
            return t;
        }
    }
    return t;
}

namespace {

// The week nearest the current one that leaves `week` modulo `span`.
int Nearest_Week(int week, int span) {
    int now = 0;
    Time_To_Gps_Week(Utc_To_Gps_Time(System_Time_Now()), &now);
    if (now < 1560) {
        now = 1560;
    }
    return week + (now - week + span / 2) / span * span;
}

}  // namespace

int Adjust_Gps_Week(int week) {
    return Nearest_Week(week, 1024);
}

int Adjust_Gps_Week8(int week) {
    return Nearest_Week(week, 256);
}

void Set_System_Clock(Gnss_ClockReader reader) {
    g_clock.store(reader);
}

Gnss_Time System_Time_Now() {
    Gnss_ClockReader reader = g_clock.load();
    if (reader == nullptr) {
        reader = &Read_Real_Clock;
    }
    struct timespec now = {};
    Gnss_Time t{};
    if (!reader(&now)) {
        return t;
    }
    t.Seconds = static_cast<std::int64_t>(now.tv_sec);
    t.Fraction = static_cast<double>(now.tv_nsec / 1000000) * 0.001;
    return t;
}

int Empty_Slot() {
    return 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
