// Local calendar arithmetic; the zone is set with POSIX rules so no tz database is needed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "date_time.h"

namespace {

class ZoneGuard {
public:
    explicit ZoneGuard(const char* tz) {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (hadOld_) {
            old_ = old;
        }
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ZoneGuard() {
        if (hadOld_) {
            ::setenv("TZ", old_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

TEST(DateTime, CalendarCasesInUtc) {
    ZoneGuard zone("UTC0");

    DateTime parsed;
    parsed.fromString("2016/3/1 8:05:09");
    EXPECT_EQ(parsed, DateTime(2016, 3, 1, 8, 5, 9));
    EXPECT_EQ(parsed.toString(), "2016-03-01 08:05:09");
    EXPECT_EQ(parsed.toDateString(), "2016-03-01");

    const struct {
        const char* text;
        const char* expected;
    } strings[] = {
        {"1899/5/6 1:2:3", "1970-05-06 01:02:03"},   // year below 1900
        {"2016/0/15 0:0:0", "2015-12-15 00:00:00"},  // month 0 is December before
        {"2016/3/0 0:0:0", "2016-02-29 00:00:00"},   // day 0 is the last day before
        {"2016/3/1", "2016-03-01 00:00:00"},         // missing time of day
        {"2016/-4/-2 -1:-1:-1", "2016-01-01 00:00:00"},
        {"", "1970-01-01 00:00:00"},
    };
    for (const auto& s : strings) {
        DateTime d(12345);
        d.fromString(s.text);
        EXPECT_EQ(d.toString(), s.expected) << s.text;
    }

    const DateTime midnight(2016, 3, 1);
    const DateTime oneSecond(2016, 3, 1, 0, 0, 1);
    EXPECT_GT(oneSecond, midnight);
    EXPECT_LT(midnight, oneSecond);
    EXPECT_EQ(oneSecond.compare(midnight), 1);
    EXPECT_EQ(midnight.compare(oneSecond), -1);
    EXPECT_EQ(midnight.compare(DateTime(2016, 3, 1)), 0);
    EXPECT_EQ(oneSecond.secondsTo(midnight), 1.0);
    EXPECT_EQ(midnight.secondsTo(oneSecond), 1.0);

    DateTime back = midnight;
    back.addDays(-1);
    EXPECT_EQ(back.toDateString(), "2016-02-29");

    DateTime leap(2016, 2, 29, 10, 0, 0);
    leap.addYears(1);
    EXPECT_EQ(leap.toString(), "2017-03-01 10:00:00");

    DateTime january(2020, 1, 31);
    EXPECT_EQ(january.month(), 0);
    EXPECT_EQ(january.year(), 2020);
    EXPECT_EQ(january.dayOfYear(), 30);
    EXPECT_EQ(january.dayOfWeek(), 5);  // a Friday

    DateTime units(0);
    units.addWeeks(1);
    units.addHours(2);
    units.addMinutes(3);
    units.addSeconds(4);
    EXPECT_EQ(units.seconds(), 604800 + 7200 + 180 + 4);
    EXPECT_EQ(DateTime(2038, 1, 20).seconds(), 2147558400LL);  // past 32 bits
    EXPECT_EQ(DateTime(int64_t{0x100000005LL}).toTime(), 5u);
}

TEST(DateTime, SummerTimeIsDecidedByTheZone) {
    ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const DateTime summer(2021, 7, 1, 12, 0, 0);
    EXPECT_EQ(summer.hour(), 12);
    EXPECT_EQ(summer.seconds(), 1625133600LL);  // 10:00 UTC
    const DateTime winter(2021, 1, 1, 12, 0, 0);
    EXPECT_EQ(winter.hour(), 12);
    EXPECT_EQ(winter.seconds(), 1609498800LL);  // 11:00 UTC
}

TEST(DateTime, FormatThatDoesNotFitGivesEmptyText) {
    ZoneGuard zone("UTC0");
    const DateTime d(2016, 3, 1);
    EXPECT_EQ(d.format(std::string(300, 'x').c_str()), "");
    EXPECT_EQ(d.format("%Y"), "2016");
}

}  // namespace
