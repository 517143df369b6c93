// Decoding of the NovAtel logs and satellites-in-view sentences into the receiver state.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Em_OemNovatel.h"
#include "Em_OemNovatelData.h"
#include "Novatel_Test_Log.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace novatel_test;

constexpr double kPi = 3.14159265358979323846;

int Decode(Em_OemNovatelData& d, const Bytes& log) {
    return d.Parse_Message(log.data(), log[4] | (log[5] << 8), static_cast<int>(log.size()));
}

TEST(NovatelPosition, DecodesPositionTimeAndFlags) {
    Em_OemNovatelData d;
    EXPECT_EQ(d.Hour_Offset, 8);  // the default zone
    Best_Pos p;
    p.lat = 31.5;
    p.lon = -121.25;
    p.hgt = 12.0;
    p.undulation = 5.5f;
    EXPECT_EQ(Decode(d, Make_Log(42, Best_Pos_Body(p))), 1);
    EXPECT_DOUBLE_EQ(d.Latitude, 31.5 * kPi / 180.0);
    EXPECT_DOUBLE_EQ(d.Longitude, -121.25 * kPi / 180.0);
    EXPECT_DOUBLE_EQ(d.Height, 17.5);
    EXPECT_EQ(d.Sats_Tracked, 14);
    EXPECT_EQ(d.Sats_Solution, 12);
    // Week 2000 began on Sunday 2018-05-06; 20:00 UTC plus 8 hours is 04:00 on the Monday.
    EXPECT_EQ(d.Gps_Week, 2000);
    EXPECT_DOUBLE_EQ(d.Gps_Seconds, 72000.0);
    EXPECT_EQ(d.Year, 2018);
    EXPECT_EQ(d.Month, 5);
    EXPECT_EQ(d.Day, 7);
    EXPECT_EQ(d.Hour, 4);
    EXPECT_EQ(d.Minute, 0);
    EXPECT_EQ(d.Solutions, 0x10000000u | 0x20000000u | 0x80000000u | 0x01000000u);
    EXPECT_EQ(d.Update_Mask, 0x10000000u | 0x00020000u | 0x00800000u | 0x01000000u | 0x20000000u |
                                 0x40000000u | 0x00010000u);
}

TEST(NovatelPosition, SigmasShrinkOnlyForRecentCorrections) {
    const struct {
        float age;
        double factor;
    } rows[] = {{3.0f, 0.6}, {5.0f, 1.0}, {0.0f, 1.0}};
    for (const auto& r : rows) {
        Em_OemNovatelData d;
        Best_Pos p;
        p.age = r.age;
        p.sLat = 3.0f;
        p.sLon = 4.0f;
        p.sHgt = 2.0f;
        Decode(d, Make_Log(42, Best_Pos_Body(p)));
        EXPECT_NEAR(d.Err_Horz, 5.0 * r.factor, 1e-6) << r.age;
        EXPECT_NEAR(d.Err_Vert, 2.0 * r.factor, 1e-6) << r.age;
        EXPECT_NEAR(d.Horz_Accuracy, 5.0 * r.factor * 0.66, 1e-6) << r.age;
        EXPECT_DOUBLE_EQ(d.Diff_Age, r.age);
    }
}

TEST(NovatelPosition, QualityCodeTable) {
    const struct {
        uint32_t type, status;
        float age;
        int code;
    } rows[] = {
        {0, 0, 60.0f, 0},  {0, 0, 1.0f, 3},    {1, 13, 1.0f, 1}, {1, 0, 1.0f, 1},
        {1, 5, 1.0f, 2},   {16, 0, 1.0f, 4},   {17, 0, 1.0f, 5}, {18, 0, 1.0f, 7},
        {19, 0, 1.0f, 0},  {32, 0, 25.0f, 4},  {34, 0, 2.0f, 6}, {50, 0, 25.0f, 4},
        {50, 0, 2.0f, 11}, {48, 0, 20.0f, 11}, {77, 0, 1.0f, 0},
    };
    for (const auto& r : rows) {
        Em_OemNovatelData d;
        d.Sol_Code = 9;  // a stale code must not survive a new position
        Best_Pos p;
        p.type = r.type;
        p.status = r.status;
        p.age = r.age;
        Decode(d, Make_Log(42, Best_Pos_Body(p)));
        EXPECT_EQ(d.Sol_Code, r.code) << "type " << r.type << " age " << r.age;
        EXPECT_NE(d.Update_Mask & 0x20000000u, 0u);
    }
}

TEST(NovatelPosition, ResponseLogChangesNothing) {
    Em_OemNovatelData d;
    Decode(d, Make_Log(42, Best_Pos_Body(Best_Pos())));
    const double lat = d.Latitude;
    Log_Header h;
    h.msgType = 0x80;
    Best_Pos other;
    other.lat = 10.0;
    EXPECT_EQ(Decode(d, Make_Log(h, Best_Pos_Body(other))), 1);
    EXPECT_EQ(d.Update_Mask, 0u);
    EXPECT_DOUBLE_EQ(d.Latitude, lat);
}

TEST(NovatelDop, VdopNeverNaN) {
    Em_OemNovatelData d;
    Bytes body(28, 0);
    PutF32(body, 0, 3.0f);
    PutF32(body, 4, 1.5f);   // PDOP
    PutF32(body, 8, 1.6f);   // HDOP above PDOP
    PutF32(body, 16, 0.7f);  // TDOP
    PutF32(body, 20, 12.0f);
    EXPECT_EQ(Decode(d, Make_Log(174, body)), 1);
    EXPECT_EQ(d.Vdop, 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(d.Pdop), 1.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(d.Gdop), 3.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(d.Tdop), 0.7f);
    EXPECT_EQ(d.Status_Word, 12);
    EXPECT_EQ(d.Update_Mask, 0x84000000u);
    PutF32(body, 4, 5.0f);
    PutF32(body, 8, 3.0f);
    Decode(d, Make_Log(174, body));
    EXPECT_DOUBLE_EQ(d.Vdop, 4.0);
}

TEST(NovatelRefStation, EcefAndVersionIdentity) {
    Em_OemNovatelData d;
    Bytes ref(41, 0);
    PutF64(ref, 4, -2850000.5);
    PutF64(ref, 12, 4650000.25);
    PutF64(ref, 20, 3280000.125);
    EXPECT_EQ(Decode(d, Make_Log(175, ref)), 1);
    EXPECT_EQ(d.Update_Mask, 0x2000000u);
    EXPECT_DOUBLE_EQ(d.Ref_X, -2850000.5);
    EXPECT_DOUBLE_EQ(d.Ref_Y, 4650000.25);
    EXPECT_DOUBLE_EQ(d.Ref_Z, 3280000.125);

    Bytes version(112, 0);
    Put32(version, 0, 1);
    std::memcpy(version.data() + 4 + 4, "OEM628", 6);
    Decode(d, Make_Log(37, version));
    EXPECT_EQ(d.Update_Mask, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(d.Identity) + 4, 6), "OEM628");
}

// Raw ephemeris body: satellite, week, seconds, then subframes 1-3 with only their ids and
// the IODE of subframe 2 set.
Bytes Raw_Eph(uint32_t sat, int iode) {
    Bytes body(102, 0);
    Put32(body, 0, sat);
    Put32(body, 4, 2000);
    for (int i = 0; i < 3; ++i) {
        body[12 + i * 30 + 5] = static_cast<unsigned char>((i + 1) << 2);
    }
    body[42 + 6] = static_cast<unsigned char>(iode);  // subframe 2 bits 48-55
    return body;
}

TEST(NovatelEphemeris, StoredOncePerIssueOfData) {
    Em_OemNovatelData d;
    Decode(d, Make_Log(41, Raw_Eph(7, 33)));
    EXPECT_EQ(d.Update_Mask, 0x80000u);
    EXPECT_EQ(d.Eph_Last_Sat, 7);
    EXPECT_EQ(d.Eph[6].sat, 7);
    EXPECT_EQ(d.Eph[6].iode, 33);
    Decode(d, Make_Log(41, Raw_Eph(7, 33)));
    EXPECT_EQ(d.Update_Mask, 0u);
    Decode(d, Make_Log(41, Raw_Eph(7, 34)));
    EXPECT_EQ(d.Update_Mask, 0x80000u);
    EXPECT_EQ(d.Eph[6].iode, 34);
    for (uint32_t sat : {0u, 33u, 0x80000001u}) {
        d.Eph_Last_Sat = 7;
        Decode(d, Make_Log(41, Raw_Eph(sat, 50)));
        EXPECT_EQ(d.Update_Mask, 0u) << sat;
        EXPECT_EQ(d.Eph_Last_Sat, 7);
        EXPECT_EQ(d.Eph[0].iode, -1);
    }
}

TEST(NovatelEphemeris, DecodedEphemerisFieldsAndTimes) {
    Em_OemNovatelData d;
    Bytes body(224, 0);
    Put32(body, 0, 12);
    PutF64(body, 4, 345600.0);
    Put32(body, 16, 77);
    Put32(body, 24, 2000);
    PutF64(body, 32, 352800.7);  // toe: whole seconds kept
    PutF64(body, 40, 26560000.0);
    PutF64(body, 64, 0.01);
    Put32(body, 160, 333);
    PutF64(body, 164, 352800.0);
    PutF64(body, 172, -1e-8);
    PutF64(body, 180, 1e-4);
    PutF64(body, 216, 4.0);  // variance: 2 m
    EXPECT_EQ(Decode(d, Make_Log(7, body)), 1);
    EXPECT_EQ(d.Update_Mask, 0x80000u);
    const em_eph_t& e = d.Eph[11];
    EXPECT_EQ(e.sat, 12);
    EXPECT_EQ(e.iode, 77);
    EXPECT_EQ(e.iodc, 333);
    EXPECT_EQ(e.week, 2000);
    EXPECT_DOUBLE_EQ(e.toes, 352800.0);
    EXPECT_DOUBLE_EQ(e.A, 26560000.0);
    EXPECT_DOUBLE_EQ(e.e, 0.01);
    EXPECT_DOUBLE_EQ(e.tgd[0], -1e-8);
    EXPECT_DOUBLE_EQ(e.f0, 1e-4);
    EXPECT_EQ(e.sva, 0);
    int week = 0;
    EXPECT_DOUBLE_EQ(Time_To_Gps_Week(e.toe, &week), 352800.0);
    EXPECT_EQ(week, 2000);
    // 1047 carries the same layout in a 228-byte body.
    body.resize(228);
    Put32(body, 0, 13);
    Decode(d, Make_Log(1047, body));
    EXPECT_EQ(d.Eph[12].iode, 77);
}

// One compressed-range record with hand-set bit fields.
struct Cmp_Rec {
    uint32_t status = (1u << 10) | (1u << 11) | (1u << 12);
    int64_t doppler = -256128;     // -1000.5 Hz in 1/256
    uint64_t psr = 2688000032ull;  // 21000000.25 m in 1/128
    int32_t adr = -316049280;      // -1234567.5 cycles in 1/256
    unsigned prn = 5;
    uint32_t lock = 3200;  // 100 s in 1/32
    unsigned cn0 = 25;     // 45 dB-Hz
};

void Put_Bits(Bytes& b, size_t base, int pos, int len, uint64_t v) {
    for (int i = 0; i < len; ++i) {
        const int bit = pos + i;
        if ((v >> i) & 1u) {
            b[base + bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
        }
    }
}

Bytes Cmp_Body(const std::vector<Cmp_Rec>& recs) {
    Bytes b(4 + 24 * recs.size(), 0);
    Put32(b, 0, static_cast<uint32_t>(recs.size()));
    for (size_t k = 0; k < recs.size(); ++k) {
        const size_t at = 4 + 24 * k;
        const Cmp_Rec& r = recs[k];
        Put32(b, at, r.status);
        Put_Bits(b, at, 32, 28, static_cast<uint64_t>(r.doppler) & 0xFFFFFFFull);
        Put_Bits(b, at, 60, 36, r.psr);
        Put_Bits(b, at, 96, 32, static_cast<uint32_t>(r.adr));
        Put_Bits(b, at, 136, 8, r.prn);
        Put_Bits(b, at, 144, 21, r.lock);
        Put_Bits(b, at, 165, 5, r.cn0);
    }
    return b;
}

Bytes Cmp_Log(const std::vector<Cmp_Rec>& recs, uint32_t millis) {
    Log_Header h;
    h.id = 140;
    h.millis = millis;
    return Make_Log(h, Cmp_Body(recs));
}

TEST(NovatelRangeCmp, RecordFieldsFromBits) {
    Em_OemNovatelData d;
    Cmp_Rec l2 = Cmp_Rec();
    l2.status |= 17u << 21;  // L2C
    EXPECT_EQ(Decode(d, Cmp_Log({Cmp_Rec(), l2}, 1000)), 1);
    EXPECT_EQ(d.Update_Mask, 0x40000u);
    ASSERT_EQ(d.Obs_Count, 1);
    const obsd_t& o = d.Obs[0];
    EXPECT_EQ(o.sat, 5);
    EXPECT_DOUBLE_EQ(o.P[0], 21000000.25);
    EXPECT_FLOAT_EQ(o.D[0], -1000.5f);
    EXPECT_EQ(o.SNR[0], 180);  // 45 dB-Hz in 0.25 steps
    EXPECT_EQ(o.code[0], 1);
    EXPECT_EQ(o.LLI[0], 0);
    // The accumulated Doppler is unrolled: phase + A is whole rollovers, near range/lambda.
    const double a = -1234567.5;
    const double rolls = (o.L[0] + a) / 8388608.0;
    EXPECT_DOUBLE_EQ(rolls, std::round(rolls));
    EXPECT_LT(std::fabs(o.L[0] - 21000000.25 / 0.1902936727984), 4194304.0);
    EXPECT_EQ(o.code[1], 14);
    const double rolls2 = (o.L[1] - 0.25 + a) / 8388608.0;
    EXPECT_DOUBLE_EQ(rolls2, std::round(rolls2));
    EXPECT_LT(std::fabs(o.L[1] - 21000000.25 / 0.2442102134246), 4194304.0);
}

TEST(NovatelRangeCmp, LockFlagsAndSlips) {
    Em_OemNovatelData d;
    Cmp_Rec noPhase;
    noPhase.status = (1u << 12);  // code lock only, parity unknown
    noPhase.prn = 9;
    Decode(d, Cmp_Log({Cmp_Rec(), noPhase}, 1000));
    ASSERT_EQ(d.Obs_Count, 2);
    EXPECT_EQ(d.Obs[1].L[0], 0.0);
    EXPECT_EQ(d.Obs[1].D[0], 0.0f);
    EXPECT_DOUBLE_EQ(d.Obs[1].P[0], 21000000.25);
    EXPECT_EQ(d.Obs[1].LLI[0], 2);

    Cmp_Rec reset;  // lock time fell back: a slip
    reset.lock = 16;
    Decode(d, Cmp_Log({reset}, 2000));
    EXPECT_EQ(d.Obs[0].LLI[0], 1);
    Cmp_Rec grown;  // 1.5 s more lock after 1 s: no slip
    grown.lock = 16 + 48;
    Decode(d, Cmp_Log({grown}, 3000));
    EXPECT_EQ(d.Obs[0].LLI[0], 0);
    Cmp_Rec half = grown;  // half-cycle bit changed: a slip
    half.status |= 1u << 28;
    half.lock = 16 + 48 + 64;
    Decode(d, Cmp_Log({half}, 4000));
    EXPECT_EQ(d.Obs[0].LLI[0], 1);
}

TEST(NovatelRangeCmp, StoreHoldsAtMost64Satellites) {
    std::vector<Cmp_Rec> recs;
    for (int i = 0; i < 65; ++i) {
        Cmp_Rec r;
        if (i < 32) {
            r.prn = static_cast<unsigned>(i + 1);
        } else if (i < 51) {
            r.prn = static_cast<unsigned>(120 + i - 32);
        } else {
            r.prn = static_cast<unsigned>(i - 51 + 1);
            r.status |= 4u << 16;  // BeiDou
        }
        recs.push_back(r);
    }
    Em_OemNovatelData d;
    Decode(d, Cmp_Log(recs, 1000));
    EXPECT_EQ(d.Obs_Count, 64);
    EXPECT_EQ(d.Obs[63].sat, 160 + 13);
    Cmp_Rec bad;
    bad.prn = 40;
    bad.status &= ~(1u << 11);  // GLONASS numbers need known parity
    Decode(d, Cmp_Log({bad}, 2000));
    EXPECT_EQ(d.Obs_Count, 0);
}

TEST(NovatelRange, PairsFillBothFrequencies) {
    Bytes body(4 + 44 * 3, 0);
    Put32(body, 0, 3);
    const int sats[] = {3, 3, 8};
    for (int k = 0; k < 3; ++k) {
        const size_t at = 4 + 44 * k;
        Put16(body, at, static_cast<uint16_t>(sats[k]));
        PutF64(body, at + 4, 2e7 + k);
        PutF64(body, at + 16, -1e6 - k);
        PutF32(body, at + 28, 100.0f + k);
        PutF32(body, at + 32, 40.0f + k);
    }
    Em_OemNovatelData d;
    Log_Header h;
    h.id = 43;
    Decode(d, Make_Log(h, body));
    EXPECT_EQ(d.Update_Mask, 0x40000u);
    ASSERT_EQ(d.Obs_Count, 2);
    EXPECT_EQ(d.Obs[0].sat, 3);
    EXPECT_DOUBLE_EQ(d.Obs[0].P[1], 2e7 + 1);
    EXPECT_DOUBLE_EQ(d.Obs[0].L[1], -1e6 - 1);
    EXPECT_EQ(d.Obs[0].SNR[0], 160);
    EXPECT_EQ(d.Obs[1].sat, 8);
    EXPECT_DOUBLE_EQ(d.Obs[1].P[0], 2e7 + 2);
    EXPECT_EQ(d.Obs[1].P[1], 0.0);
}

std::string Gsv(const char* talker, int total, int number, int inView,
                const std::vector<int>& sats) {
    std::string s = std::string("$") + talker + "GSV," + std::to_string(total) + "," +
                    std::to_string(number) + "," + std::to_string(inView);
    for (int sat : sats) {
        s += "," + std::to_string(sat) + ",45,120,42";
    }
    return s + "*00\r\n";
}

TEST(NovatelGsv, GpsAndSbasTables) {
    Em_OemNovatelData d;
    d.Parse_GPGSV(Gsv("GP", 2, 1, 5, {40, 5, 70, 7}));
    EXPECT_EQ(d.Update_Mask, 0u);
    d.Parse_GPGSV(Gsv("GP", 2, 2, 5, {9}));
    EXPECT_EQ(d.Update_Mask, 0x8000000u | 0x400000u);
    ASSERT_EQ(d.Sat_Tab4_Count, 1);
    EXPECT_EQ(int(d.Sat_Tab4[0].Prn), 127);
    ASSERT_EQ(d.Sat_Gps_Count, 3);
    EXPECT_EQ(int(d.Sat_Gps[2].Prn), 9);
    EXPECT_EQ(int(d.Sat_Gps[0].Elevation), 45);
    EXPECT_EQ(int(d.Sat_Gps[0].Azimuth), 120);
    EXPECT_FLOAT_EQ(float(d.Sat_Gps[0].Snr1), 42.0f);
    // A new set starts the tables again.
    d.Update_Mask = 0;
    d.Parse_GPGSV(Gsv("GP", 1, 1, 1, {12}));
    EXPECT_EQ(d.Sat_Gps_Count, 1);
    EXPECT_EQ(int(d.Sat_Gps[0].Prn), 12);
    EXPECT_EQ(d.Sat_Tab4_Count, 1);  // no SBAS satellite in this set: the table stays
}

TEST(NovatelGsv, GlonassAndBeidouRenumberAndStayInTheTable) {
    Em_OemNovatelData d;
    d.Parse_GLGSV(Gsv("GL", 1, 1, 2, {70, 71}));
    ASSERT_EQ(d.Sat_Glo_Count, 2);
    EXPECT_EQ(int(d.Sat_Glo[0].Prn), 43);
    EXPECT_EQ(d.Update_Mask, 0x100000u);
    d.Update_Mask = 0;
    d.Parse_GLGSV(Gsv("GL", 1, 1, 1, {10}));
    EXPECT_EQ(d.Update_Mask, 0u);
    EXPECT_EQ(d.Sat_Glo_Count, 0);  // sentence 1 cleared the table; the satellite is ignored

    // 40 in view: the table keeps 32 and counts what it holds.
    for (int n = 1; n <= 10; ++n) {
        std::vector<int> sats;
        for (int i = 0; i < 4; ++i) {
            sats.push_back(65 + ((n - 1) * 4 + i) % 32);
        }
        d.Parse_GLGSV(Gsv("GL", 10, n, 40, sats));
    }
    EXPECT_EQ(d.Sat_Glo_Count, 32);
    EXPECT_EQ(int(d.Sat_Glo[31].Prn), 96 - 27);

    for (int n = 1; n <= 10; ++n) {
        d.Parse_BDGSV(Gsv("BD", 10, n, 40, {1, 2, 3, 4}));
    }
    EXPECT_EQ(d.Sat_Bds_Count, 32);
    EXPECT_EQ(int(d.Sat_Bds[0].Prn), 161);
    d.Parse_BDGSV(Gsv("BD", 1, 1, 1, {2147483647}));
    EXPECT_EQ(int(d.Sat_Bds[0].Prn), 2147483647);  // no overflow past the largest number
    EXPECT_NE(d.Update_Mask & 0x200000u, 0u);
}

TEST(NovatelGsv, SignalsComeFromTheNextRangeLog) {
    Em_OemNovatel board;
    Em_OemNovatelData& d = *board.Novatel_Data();
    d.Sat_Switch_Gps = 1;
    const std::string gsv = "$GPGSV,1,1,02,05,45,120,00,09,10,200,00*76\r\n";
    board.Add_Data(reinterpret_cast<const unsigned char*>(gsv.data()),
                   static_cast<int>(gsv.size()));
    EXPECT_EQ(board.Parse(), 1);
    EXPECT_EQ(d.Update_Mask & 0x8000000u, 0u);
    EXPECT_EQ(d.Deferred_Gps & 0x8u, 0x8u);
    Cmp_Rec low;
    low.prn = 9;
    const Bytes log = Cmp_Log({Cmp_Rec(), low}, 1000);
    board.Add_Data(log.data(), static_cast<int>(log.size()));
    EXPECT_EQ(board.Parse(), 1);
    EXPECT_EQ(d.Update_Mask, 0x40000u | 0x8000000u);
    EXPECT_EQ(d.Deferred_Gps & 0x8u, 0u);
    EXPECT_FLOAT_EQ(float(d.Sat_Gps[0].Snr1), 45.0f);
    EXPECT_EQ(int(d.Sat_Gps[0].Used), 1);
    EXPECT_EQ(int(d.Sat_Gps[1].Used), 0);  // elevation 10
}

// Every known id with a body one byte short of what it reads, with a valid CRC.
TEST(NovatelShortLogs, ChangeNothing) {
    const struct {
        int id;
        int need;
    } rows[] = {{7, 224},  {37, 112},   {41, 102}, {42, 72}, {174, 28},
                {175, 41}, {1047, 228}, {140, 4},  {43, 4}};
    for (const auto& r : rows) {
        Em_OemNovatelData d;
        Bytes body(static_cast<size_t>(r.need - 1), 0x11);
        if (r.id == 41 || r.id == 7 || r.id == 1047) {
            Put32(body, 0, 5);
        }
        Log_Header h;
        h.id = static_cast<uint16_t>(r.id);
        EXPECT_EQ(Decode(d, Make_Log(h, body)), 1) << r.id;
        EXPECT_EQ(d.Update_Mask, 0u) << r.id;
        EXPECT_EQ(d.Latitude, 0.0) << r.id;
        EXPECT_EQ(d.Pdop, 0.0) << r.id;
        EXPECT_EQ(d.Ref_X, 0.0) << r.id;
        EXPECT_EQ(d.Eph[4].iode, -1) << r.id;
        EXPECT_EQ(d.Identity[0], 0) << r.id;
    }
    // Range counts larger than the body holds.
    for (int id : {140, 43}) {
        Em_OemNovatelData d;
        Bytes body = id == 140 ? Cmp_Body({Cmp_Rec(), Cmp_Rec()}) : Bytes(4 + 44 * 2, 0);
        Put32(body, 0, id == 140 ? 3 : 0x7FFFFFFF);
        Log_Header h;
        h.id = static_cast<uint16_t>(id);
        Decode(d, Make_Log(h, body));
        EXPECT_EQ(d.Update_Mask, 0u) << id;
        EXPECT_EQ(d.Obs_Count, 0) << id;
    }
    // Raw copies need their whole length.
    for (int id : {241, 726}) {
        Em_OemNovatelData d;
        Log_Header h;
        h.id = static_cast<uint16_t>(id);
        Decode(d, Make_Log(h, Bytes(40, 0x22)));
        EXPECT_EQ(d.Ecef_Raw[0], 0) << id;
        EXPECT_EQ(d.Utm_Raw[0], 0) << id;
    }
    // Null frame, id 0 and length 0 are refused.
    Em_OemNovatelData d;
    const Bytes log = Make_Log(42, Best_Pos_Body(Best_Pos()));
    EXPECT_EQ(d.Parse_Message(nullptr, 42, 100), 0);
    EXPECT_EQ(d.Parse_Message(log.data(), 0, 100), 0);
    EXPECT_EQ(d.Parse_Message(log.data(), 42, 0), 0);
    // A length shorter than the header claims reads no further than the length.
    EXPECT_EQ(d.Parse_Message(log.data(), 42, 40), 1);
    EXPECT_EQ(d.Update_Mask, 0u);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
