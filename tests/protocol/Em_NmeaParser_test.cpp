#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "Em_OemNmeaData.h"
#include "support/Nmea_Text.h"

using namespace Brevan2011::BVParse;
using nmea_test::Sentence;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;
const std::string kGgaBody =
    "GPGGA,083015.50,4807.0380,N,01131.0000,E,4,12,0.8,12.345,M,10.000,M,1.0,0000";

int Feed(Em_OemData& d, int id, const std::string& s) {
    return d.Parse_Text_Msg(id, reinterpret_cast<const unsigned char*>(s.data()),
                            static_cast<int>(s.size()));
}

void Expect_Gga_Golden(const Em_OemData& d) {
    EXPECT_EQ(d.Hour, 8);
    EXPECT_EQ(d.Minute, 30);
    EXPECT_DOUBLE_EQ(d.Second, 15.5);
    EXPECT_NEAR(d.Latitude, 48.117300 * kDeg, 1e-9);
    EXPECT_NEAR(d.Longitude, 11.516667 * kDeg, 1e-8);
    EXPECT_EQ(d.Sol_Code, 11);
    EXPECT_EQ(d.Sats_Used, 12);
    EXPECT_NEAR(d.Height, 22.345, 1e-9);
    EXPECT_DOUBLE_EQ(d.Diff_Age, 1.0);
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_GGA_TEXT);
}

std::string Gsv(const char* talker, int total, int number, int in_view, const std::string& groups,
                const std::string& tail = "") {
    return Sentence(std::string(talker) + "GSV," + std::to_string(total) + "," +
                    std::to_string(number) + "," + std::to_string(in_view) + groups + tail);
}

// Four satellites starting at prn, each with elevation 40, azimuth 100 + i, SNR 45.
std::string Groups(int prn, int n) {
    std::string g;
    for (int i = 0; i < n; ++i) {
        g += "," + std::to_string(prn + i) + ",40," + std::to_string(100 + i) + ",45";
    }
    return g;
}

}  // namespace

TEST(NmeaGga, GgaGolden) {
    Em_OemNmeaData d;
    const std::string s = Sentence(kGgaBody);
    EXPECT_EQ(Feed(d, 25, s), 1);
    Expect_Gga_Golden(d);
    EXPECT_EQ(std::string(d.Gga_Text, std::size_t(d.Gga_Len)), s);
}

TEST(NmeaGga, GgaGoldenUnderCommaDecimalLocale) {
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE.utf8") == nullptr) {
        GTEST_SKIP() << "de_DE locale not installed";
    }
    Em_OemNmeaData d;
    Feed(d, 25, Sentence(kGgaBody));
    std::setlocale(LC_NUMERIC, old.c_str());
    Expect_Gga_Golden(d);
}

TEST(NmeaGga, HemispheresAgeAndQuality) {
    Em_OemNmeaData d;
    Feed(d, 51, Sentence("GNGGA,083015.50,4807.0380,S,01131.0000,W,1,12,0.8,12.345,M,10.000,M,,"));
    EXPECT_NEAR(d.Latitude, -48.117300 * kDeg, 1e-9);
    EXPECT_NEAR(d.Longitude, -11.516667 * kDeg, 1e-8);
    EXPECT_DOUBLE_EQ(d.Diff_Age, -1.0);
    EXPECT_EQ(d.Sol_Code, 4);

    const std::pair<const char*, int> qualities[] = {{"0", 3},  {"1", 4}, {"2", 10}, {"3", 11},
                                                     {"4", 11}, {"5", 6}, {"6", 0},  {"7", 1},
                                                     {"8", 0},  {"9", 7}};
    for (const auto& q : qualities) {
        d.Set_Fix_Quality(q.first);
        EXPECT_EQ(d.Sol_Code, q.second) << q.first;
    }
    d.Set_Fix_Quality("");
    EXPECT_EQ(d.Sol_Code, 7);  // empty field changes nothing

    // A sentence with no fields at all changes nothing but still keeps the text.
    Em_OemNmeaData e;
    e.Latitude = 1.0;
    Feed(e, 25, Sentence("GPGGA,,,,,,0,,,,M,,M,,"));
    EXPECT_DOUBLE_EQ(e.Latitude, 1.0);
    EXPECT_EQ(e.Sol_Code, 3);
    Feed(e, 25, "$GPGGA");
    EXPECT_EQ(e.Update_Mask, GNSS_FLAG_GGA_TEXT);
}

TEST(NmeaSentences, RmcZdaGstGsa) {
    Em_OemNmeaData d;
    Feed(d, 33, Sentence("GPRMC,225446.33,A,4916.45,N,12311.12,W,000.5,054.7,311215,020.3,E"));
    EXPECT_EQ(d.Hour, 22);
    EXPECT_EQ(d.Minute, 54);
    EXPECT_NEAR(d.Second, 46.33, 1e-12);
    EXPECT_DOUBLE_EQ(d.Speed, 0.5);
    EXPECT_DOUBLE_EQ(d.Course, 54.7);
    EXPECT_EQ(d.Day, 31);
    EXPECT_EQ(d.Month, 12);
    EXPECT_EQ(d.Year, 2015);
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_RMC);
    EXPECT_EQ(d.Sentence_Seen, 0x2u);

    // The hour offset carries into the date.
    d.Hour_Offset = 8;
    Feed(d, 35, Sentence("GPZDA,201530.00,04,07,2002,00,00"));
    EXPECT_EQ(d.Hour, 4);
    EXPECT_EQ(d.Day, 5);
    EXPECT_EQ(d.Month, 7);
    EXPECT_EQ(d.Year, 2002);
    EXPECT_EQ(d.Update_Mask, 0u);

    Feed(d, 30, Sentence("GPGST,172814.0,0.006,0.023,0.020,273.6,0.003,0.004,0.009"));
    EXPECT_DOUBLE_EQ(d.Err_Rms, 0.006);
    EXPECT_DOUBLE_EQ(d.Err_Lat, 0.003);
    EXPECT_DOUBLE_EQ(d.Err_Lon, 0.004);
    EXPECT_DOUBLE_EQ(d.Err_Vert, 0.009);
    EXPECT_NEAR(d.Err_Horz, 0.005, 1e-12);
    EXPECT_EQ(d.Sentence_Seen & 0x4u, 0x4u);

    d.Tdop = d.Gdop = 9.0;
    Feed(d, 55, Sentence("GNGSA,A,3,80,71,73,79,69,,,,,,,,1.83,1.09,1.47"));
    EXPECT_EQ(d.Gsa_Mode, 'A');
    EXPECT_EQ(d.Fix_Type, 3);
    EXPECT_EQ(d.Gsa_Prn[0], 80);
    EXPECT_EQ(d.Gsa_Prn[4], 69);
    EXPECT_EQ(d.Gsa_Prn[5], 0);
    EXPECT_DOUBLE_EQ(d.Pdop, 1.83);
    EXPECT_DOUBLE_EQ(d.Hdop, 1.09);
    EXPECT_DOUBLE_EQ(d.Vdop, 1.47);
    EXPECT_EQ(d.Tdop, 0.0);
    EXPECT_EQ(d.Gdop, 0.0);
    EXPECT_EQ(d.Update_Mask, 0u);
    d.Combined_Epoch = 1;
    Feed(d, 29, Sentence("GPGSA,A,3,,,,,,,,,,,,,2.0,1.0,1.5,1"));  // NMEA 4.10 system id
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_DOPS);
    EXPECT_DOUBLE_EQ(d.Vdop, 1.5);

    EXPECT_EQ(Feed(d, 26, Sentence("GPGLL,4916.45,N")), 1);
    EXPECT_EQ(d.Update_Mask, 0u);
    EXPECT_EQ(Feed(d, 52, Sentence("GNGLL,4916.45,N")), 1);
    EXPECT_EQ(Feed(d, -1, Sentence("GPVTG,1,2")), 0);
    EXPECT_EQ(d.Parse_Text_Msg(25, nullptr, 10), 0);
}

// The hour offset carries into the date over month, year and leap-day ends, through RMC and
// ZDA; a GGA alone keeps the hour within the day.
TEST(NmeaSentences, HourOffsetCarriesIntoTheDate) {
    struct Case {
        const char* sentence;
        int id;
        int offset;
        int hour, day, month, year;
    };
    const Case cases[] = {
        {"GPRMC,225446.33,A,4916.45,N,12311.12,W,000.5,054.7,311215,,", 33, 8, 6, 1, 1, 2016},
        {"GPRMC,160000.00,A,4916.45,N,12311.12,W,000.5,054.7,280216,,", 33, 8, 0, 29, 2, 2016},
        {"GPRMC,160000.00,A,4916.45,N,12311.12,W,000.5,054.7,280215,,", 33, 8, 0, 1, 3, 2015},
        {"GPRMC,155959.00,A,4916.45,N,12311.12,W,000.5,054.7,300415,,", 33, 8, 23, 30, 4, 2015},
        {"GPRMC,235959.00,A,4916.45,N,12311.12,W,000.5,054.7,300415,,", 33, 24, 23, 1, 5, 2015},
        {"GPZDA,201530.00,31,12,2002,00,00", 35, 8, 4, 1, 1, 2003},
        {"GPZDA,201530.00,04,07,2002,00,00", 35, 0, 20, 4, 7, 2002},
    };
    for (const Case& c : cases) {
        Em_OemNmeaData d;
        d.Hour_Offset = c.offset;
        Feed(d, c.id, Sentence(c.sentence));
        EXPECT_EQ(d.Hour, c.hour) << c.sentence;
        EXPECT_EQ(d.Day, c.day) << c.sentence;
        EXPECT_EQ(d.Month, c.month) << c.sentence;
        EXPECT_EQ(d.Year, c.year) << c.sentence;
    }
    Em_OemNmeaData d;
    d.Hour_Offset = 8;
    Feed(d, 25, Sentence(kGgaBody.substr(0, 6) + "203015.50" + kGgaBody.substr(15)));
    EXPECT_EQ(d.Hour, 4);
}

TEST(NmeaSentences, CombinedEpochRaisesPositionAfterRmcGstGga) {
    Em_OemNmeaData d;
    d.Combined_Epoch = 1;
    Feed(d, 33, Sentence("GPRMC,083015.50,A,4807.038,N,01131.000,E,0.1,0.0,010120,,"));
    Feed(d, 30, Sentence("GPGST,083015.50,0.006,,,,0.003,0.004,0.009"));
    Feed(d, 25, Sentence(kGgaBody));
    EXPECT_EQ(d.Update_Mask, 0x10000000u | 0x20000000u | 0x01000000u | 0x00800000u | 0x00020000u |
                                 GNSS_FLAG_GGA_TEXT);
    EXPECT_EQ(d.Sentence_Seen, 0u);

    // Without a GST the epoch is not complete.
    Feed(d, 33, Sentence("GPRMC,083016.50,A,4807.038,N,01131.000,E,0.1,0.0,010120,,"));
    Feed(d, 25, Sentence(kGgaBody));
    EXPECT_EQ(d.Update_Mask & 0x10000000u, 0u);
    EXPECT_EQ(d.Update_Mask & 0x01000000u, 0x01000000u);

    // Switched off, GGA raises only its text bit.
    Em_OemNmeaData e;
    Feed(e, 33, Sentence("GPRMC,083015.50,A,,,,,,,010120,,"));
    Feed(e, 30, Sentence("GPGST,083015.50,0.006,,,,0.003,0.004,0.009"));
    Feed(e, 25, Sentence(kGgaBody));
    EXPECT_EQ(e.Update_Mask, GNSS_FLAG_GGA_TEXT);
}

TEST(NmeaGsv, GpsSetFillsTableAndRunsUsageCheck) {
    Em_OemNmeaData d;
    d.Sat_Gps_Count = 5;
    d.Sat_Gps[20].Prn = 99;  // stale entry from an earlier set
    // Usage: elevation 13 and below, SNR below 30 and azimuth 0 clear the flag.
    Feed(d, 31, Gsv("GP", 3, 1, 10, ",1,13,100,45,2,14,100,45,3,40,100,29.9,4,40,100,30"));
    EXPECT_EQ(d.Update_Mask, 0u);
    EXPECT_EQ(+d.Sat_Gps[20].Prn, 0);
    Feed(d, 31, Gsv("GP", 3, 2, 10, ",5,40,0,45,6,40,1,45,7,90,359,99,8,40,100,"));
    Feed(d, 31, Gsv("GP", 3, 3, 10, ",9,40,100,45,10,40,100,45"));
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_SAT_1);
    EXPECT_EQ(+d.Sat_Gps_Count, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(+d.Sat_Gps[i].Prn, i + 1);
    }
    EXPECT_EQ(+d.Sat_Gps[10].Prn, 0);
    const int used[10] = {0, 1, 0, 1, 0, 1, 1, 0, 1, 1};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(+d.Sat_Gps[i].Used, used[i]) << "satellite " << i + 1;
    }
    EXPECT_FLOAT_EQ(+d.Sat_Gps[6].Snr1, 99.0f);
    EXPECT_EQ(+d.Sat_Gps[6].Azimuth, 359);

    // Deferred: the usage check and the bit wait for the board.
    Em_OemNmeaData e;
    e.Defer_Gps = 1;
    Feed(e, 31, Gsv("GP", 1, 1, 2, Groups(1, 2)));
    EXPECT_EQ(e.Update_Mask, 0u);
    EXPECT_EQ(e.Deferred_Gps, 0x8u);
    EXPECT_EQ(+e.Sat_Gps[0].Used, 0);
}

TEST(NmeaGsv, GlonassFourPlusThreeSetCompletes) {
    Em_OemNmeaData d;
    Feed(d, 44, Gsv("GL", 2, 1, 7, Groups(65, 4)));
    EXPECT_EQ(d.Update_Mask, 0u);
    Feed(d, 44, Gsv("GL", 2, 2, 7, Groups(69, 3)));
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_SAT_2);
    EXPECT_EQ(+d.Sat_Glo_Count, 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(+d.Sat_Glo[i].Prn, 65 + i - 27);
    }
    Em_OemNmeaData e;
    e.Defer_Glo = 1;
    Feed(e, 44, Gsv("GL", 1, 1, 1, Groups(88, 1)));
    EXPECT_EQ(e.Update_Mask, 0u);
    EXPECT_EQ(e.Deferred_Glo, 0x10u);
    EXPECT_EQ(+e.Sat_Glo[0].Prn, 61);
}

TEST(NmeaGsv, Nmea410SignalIdAndEmptySet) {
    Em_OemNmeaData d;
    // NMEA 4.10: a trailing signal id after the groups.
    Feed(d, 128, Gsv("BD", 1, 1, 2, Groups(11, 2), ",1"));
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_SAT_3);
    EXPECT_EQ(+d.Sat_Bds_Count, 2);
    EXPECT_EQ(+d.Sat_Bds[1].Prn, 12);
    EXPECT_EQ(+d.Sat_Bds[2].Prn, 0);
    Feed(d, 44, Gsv("GL", 1, 1, 3, Groups(70, 3), ",1"));
    EXPECT_EQ(+d.Sat_Glo[2].Prn, 72 - 27);

    Feed(d, 31, Gsv("GP", 1, 1, 3, Groups(1, 3)));
    Feed(d, 31, "$GPGSV,1,1,00*79\r\n");
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_SAT_1);
    EXPECT_EQ(+d.Sat_Gps_Count, 0);
    EXPECT_EQ(+d.Sat_Gps[0].Prn, 0);
    // Too few fields for the satellites it announces: ignored.
    Feed(d, 31, Sentence("GPGSV,1,1,04,1"));
    EXPECT_EQ(d.Update_Mask, 0u);
}

TEST(NmeaGsv, BadMessageNumbersStayInBounds) {
    Em_OemNmeaData d;
    Feed(d, 31, Gsv("GP", 3, 0, 10, Groups(1, 4)));
    Feed(d, 31, Gsv("GP", 3, -3, 10, Groups(1, 4)));
    Feed(d, 31, Gsv("GP", -1, 1, 10, Groups(1, 4)));
    EXPECT_EQ(d.Update_Mask, 0u);
    EXPECT_EQ(+d.Sat_Gps[0].Prn, 0);
    // 99 in view: message 25 of 25 and everything past entry 31 is dropped.
    for (int m = 1; m <= 25; ++m) {
        Feed(d, 31, Gsv("GP", 25, m, 99, Groups(m * 4 - 3, 4)));
    }
    EXPECT_EQ(+d.Sat_Gps_Count, 99);
    EXPECT_EQ(+d.Sat_Gps[31].Prn, 32);
    EXPECT_EQ(d.Update_Mask, GNSS_FLAG_SAT_1);
    Feed(d, 44, Gsv("GL", 2147483647, 2147483647, 99, Groups(65, 4)));
    Feed(d, 44, Gsv("GL", 1, 1, -5, Groups(65, 4)));
    EXPECT_EQ(+d.Sat_Glo_Count, 0);
    EXPECT_EQ(+d.Sat_Glo[0].Prn, 0);
}
