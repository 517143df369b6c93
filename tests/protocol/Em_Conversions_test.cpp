#include "Em_Conversions.h"

#include "Em_OemData.h"
#include "support/Em_OemPlainData.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Brevan2011::BVParse;

namespace {

struct DateCase {
    std::int32_t week;
    double seconds;
    int year, month, day, hour, minute;
    double sec;
};

TEST(Em_Conversions, GpsWeekSecToDate) {
    const DateCase cases[] = {
        {0, 0.0, 1980, 1, 6, 0, 0, 0.0},
        {2000, 302400.5, 2018, 5, 9, 12, 0, 0.5},
        {1356, 86399.0, 2006, 1, 1, 23, 59, 59.0},
        {1886, 86400.0 + 3723.25, 2016, 2, 29, 1, 2, 3.25},      // leap day
        {1929, 518400.0 + 86399.0, 2016, 12, 31, 23, 59, 59.0},  // last day of a leap year
        {1677, 259200.0, 2012, 2, 29, 0, 0, 0.0},
    };
    for (const auto& c : cases) {
        std::int32_t y = -1, mo = -1, d = -1, h = -1, mi = -1;
        double s = -1.0;
        GpsWeekSec_To_Date(c.week, c.seconds, &y, &mo, &d, &h, &mi, &s);
        EXPECT_EQ(y, c.year) << c.week << " " << c.seconds;
        EXPECT_EQ(mo, c.month) << c.week << " " << c.seconds;
        EXPECT_EQ(d, c.day) << c.week << " " << c.seconds;
        EXPECT_EQ(h, c.hour) << c.week << " " << c.seconds;
        EXPECT_EQ(mi, c.minute) << c.week << " " << c.seconds;
        EXPECT_NEAR(s, c.sec, 1e-6) << c.week << " " << c.seconds;
    }
}

TEST(Em_Conversions, GpsWeekSecToDateOptionalOutputs) {
    std::int32_t y = 0, h = -1;
    GpsWeekSec_To_Date(2000, 302400.5, &y, nullptr, nullptr, &h, nullptr, nullptr);
    EXPECT_EQ(y, 2018);
    EXPECT_EQ(h, 12);
    // No year output: nothing is written and nothing crashes.
    std::int32_t mo = -7;
    GpsWeekSec_To_Date(2000, 302400.5, nullptr, &mo, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(mo, -7);
}

TEST(Em_Conversions, BlhToXyz) {
    const Em_Xyz origin = Blh_To_Xyz(0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(origin.x, 6378137.0);
    EXPECT_DOUBLE_EQ(origin.y, 0.0);
    EXPECT_DOUBLE_EQ(origin.z, 0.0);

    const double pi = std::acos(-1.0);
    const Em_Xyz pole = Blh_To_Xyz(0.3, pi / 2.0, 0.0);
    EXPECT_NEAR(pole.x, 0.0, 1e-6);
    EXPECT_NEAR(pole.y, 0.0, 1e-6);
    EXPECT_NEAR(pole.z, 6356752.314245, 1e-3);

    // Longitude comes first: 90° east puts the point on the Y axis.
    const Em_Xyz east = Blh_To_Xyz(pi / 2.0, 0.0, 100.0);
    EXPECT_NEAR(east.x, 0.0, 1e-6);
    EXPECT_NEAR(east.y, 6378237.0, 1e-6);
}

TEST(Em_Conversions, FrqToRateCode) {
    const std::pair<int, int> table[] = {
        {0, 1}, {1, 6}, {2, 7},  {3, 9},  {4, 10},  {5, 11}, {6, 12},  {7, 9},
        {8, 9}, {9, 9}, {10, 9}, {11, 8}, {255, 2}, {12, 9}, {100, 9}, {-1, 9},
    };
    for (const auto& [frq, code] : table) {
        EXPECT_EQ(Frq_To_RateCode(frq), code) << frq;
    }
}

TEST(Em_Conversions, BaudToCode) {
    const std::pair<unsigned, int> table[] = {
        {2400, 1},    {4800, 2},    {9600, 3},  {14400, 4},  {19200, 5},
        {38400, 6},   {56000, 7},   {57600, 8}, {115200, 9}, {128000, 10},
        {256000, 11}, {512000, 12}, {1200, 3},  {0, 3},      {230400, 3},
    };
    for (const auto& [baud, code] : table) {
        EXPECT_EQ(Baud_To_Code(baud), code) << baud;
    }
}

}  // namespace

namespace {

using testing_support::Em_OemPlainData;

TEST(Em_Conversions, SetSolutionType) {
    struct Case {
        std::string text;
        bool fifthSwitch;
        int code;
        std::uint32_t seen;
        std::uint32_t mask;
    };
    const Case cases[] = {
        {"2", false, 10, 0x20000000, 0},
        {"4", false, 11, 0x20000000, 0},
        {"5", true, 6, 0x20000000, 0x20000000},
        {"x", true, 0, 0x20000000, 0x20000000},
        {"0", false, 3, 0x20000000, 0},  // no fix
        {"1", false, 4, 0x20000000, 0},
        {"3", false, 11, 0x20000000, 0},
        {"7", false, 1, 0x20000000, 0},
        {"9", false, 7, 0x20000000, 0},
        {"", true, 77, 0, 0},
        {std::string(1, '\0'), true, 77, 0, 0},
    };
    for (const auto& c : cases) {
        Em_OemPlainData d;
        d.Sol_Code = 77;
        d.Sentence_Seen = 0;
        d.Update_Mask = 0;
        d.Switch[4] = c.fifthSwitch ? 1 : 0;
        Set_Solution_Type(&d, c.text);
        EXPECT_EQ(d.Sol_Code, c.code) << c.text;
        EXPECT_EQ(d.Sentence_Seen, c.seen) << c.text;
        EXPECT_EQ(d.Update_Mask, c.mask) << c.text;
    }
    Set_Solution_Type(nullptr, "4");  // no parser: nothing happens
}

}  // namespace
