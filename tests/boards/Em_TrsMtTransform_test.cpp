#include "BVParse/Em_TrsMtPrlRTCM.h"

#include <gtest/gtest.h>

#include <cmath>

#include "RtcmTestFrames.h"

using namespace Brevan2011::BVParse;
using rtcm_test::BitWriter;

namespace {

std::vector<rtcm_test::Frame> Corpus_Frames(const char* name) {
    std::vector<std::uint8_t> data;
    if (!rtcm_test::Read_File(std::string(VARNOK_CORPUS_DIR) + "/gpsd/" + name, data)) {
        return {};
    }
    return rtcm_test::Frames_In(data);
}

std::vector<std::uint8_t> Frame1022() {
    BitWriter w;
    w.Put(1022, 12).Put(2, 5).Put('A', 8).Put('B', 8).Put(1, 5).Put('C', 8);
    w.Put(9, 8).Put(0, 10).Put(0, 5).Put(2, 4).Put(1, 2);
    w.PutS(-1000, 19).PutS(2000, 20).Put(30, 14).Put(40, 14);
    w.PutS(-577326, 23).PutS(-90129, 23).PutS(-463919, 23);
    w.PutS(256850, 32).PutS(-73700, 32).PutS(264850, 32).PutS(-242320, 25);
    w.PutS(4000000000LL, 35).PutS(-1234567, 35).PutS(-4000000000LL, 35);
    w.Put(8137000, 24).Put(6752314, 25).Put(7397155, 24).Put(6078963, 25);
    w.Put(1, 3).Put(2, 3);
    return w.Frame();
}

std::vector<std::uint8_t> Frame1027(double lat_deg) {
    BitWriter w;
    w.Put(1027, 12).Put(9, 8).Put(5, 6).Put(1, 1);
    w.PutS(std::llround(lat_deg / 1.1e-8), 34).PutS(std::llround(-8.5 / 1.1e-8), 35);
    w.Put(std::llround(30.0 / 1.1e-8), 35).PutS(std::llround(-0.25 / 1.1e-8), 26);
    w.Put(700000000, 30).Put(60000000000ULL, 36).PutS(-12345678901LL, 35);
    return w.Frame();
}

std::vector<std::uint8_t> Frame1024() {
    BitWriter w;
    w.Put(1024, 12).Put(9, 8).Put(1, 1).Put(1, 1);
    w.PutS(-500000, 25).Put(30000000, 26).Put(100, 12).Put(200, 12);
    w.PutS(-300, 10).PutS(250, 10).PutS(82, 15);
    for (int i = 0; i < 16; ++i) {
        w.PutS(i - 8, 9).PutS(8 - i, 9).PutS(i, 9);
    }
    w.Put(1, 2).Put(2, 2).Put(3, 3).Put(4, 3).Put(59586, 16);
    return w.Frame();
}

std::vector<std::uint8_t> Frame1023(int mean_lat, int grid_lat) {
    BitWriter w;
    w.Put(1023, 12).Put(9, 8).Put(1, 1).Put(1, 1);
    w.PutS(345600, 21).PutS(115200, 22).Put(10, 12).Put(14, 12);
    w.PutS(mean_lat, 8).PutS(8, 8).PutS(82, 15);
    for (int i = 0; i < 16; ++i) {
        w.PutS(grid_lat, 9).PutS(6, 9).PutS(-3, 9);
    }
    w.Put(0, 2).Put(0, 2).Put(0, 3).Put(0, 3).Put(59586, 16);
    return w.Frame();
}

}  // namespace

TEST(RtcmTransform, Corpus1021MatchesPublishedValues) {
    auto frames = Corpus_Frames("rtcm3_102x135.log");
    if (frames.empty()) {
        GTEST_SKIP() << "corpus capture missing";
    }
    Em_TrsMtPrlRTCM dec;
    int seen = 0;
    for (auto f : frames) {
        if (f.number != 1021) {
            continue;
        }
        ASSERT_TRUE(dec.Prc_Prtcl_ID(1021, f.bytes.data(), unsigned(f.bytes.size())));
        int sys = -1, comp = -1, hgt = -1, utm = -1;
        trancood_t t;
        ASSERT_TRUE(
            dec.Decode_type1021(f.bytes.data(), unsigned(f.bytes.size()), sys, comp, hgt, utm, t));
        EXPECT_EQ(sys, 9);
        EXPECT_NEAR(t.lat_origin, 46.900000, 1e-6);
        EXPECT_NEAR(t.lon_origin, 13.355556, 1e-6);
        EXPECT_NEAR(t.dx, -577.326, 1e-9);
        EXPECT_NEAR(t.dy, -90.129, 1e-9);
        EXPECT_NEAR(t.dz, -463.919, 1e-9);
        EXPECT_NEAR(t.r1 / 3600.0, 0.001427, 1e-6);
        EXPECT_NEAR(t.r2 / 3600.0, 0.000409, 1e-6);
        EXPECT_NEAR(t.r3 / 3600.0, 0.001471, 1e-6);
        EXPECT_NEAR(t.ds, -2.4232, 1e-9);
        EXPECT_NEAR(t.src_a, 6378137.000, 1e-6);
        EXPECT_NEAR(t.src_b, 6356752.314, 1e-6);
        EXPECT_NEAR(t.tgt_a, 6377397.155, 1e-6);
        EXPECT_NEAR(t.tgt_b, 6356078.963, 1e-6);
        ++seen;
    }
    EXPECT_GT(seen, 0);
}

TEST(RtcmTransform, Corpus1023MatchesPublishedValues) {
    auto frames = Corpus_Frames("rtcm3_102x135.log");
    if (frames.empty()) {
        GTEST_SKIP() << "corpus capture missing";
    }
    // First grid point of the published decode: -0.00048", 0.00018", 0.000 m.
    Em_TrsMtPrlRTCM dec;
    int seen = 0;
    for (auto f : frames) {
        if (f.number != 1023) {
            continue;
        }
        EXPECT_TRUE(dec.Prc_Prtcl_ID(1023, f.bytes.data(), unsigned(f.bytes.size())));
        geoid_mdel_para g;
        ASSERT_TRUE(dec.Decode_type1023(f.bytes.data(), unsigned(f.bytes.size()), g));
        EXPECT_NEAR(g.origin1 / 3600.0, 48.000694, 1e-6);
        EXPECT_NEAR(g.origin2 / 3600.0, 16.000417, 1e-6);
        EXPECT_NEAR(g.ext1 / 3600.0, 0.001389, 1e-6);
        EXPECT_NEAR(g.ext2 / 3600.0, 0.001944, 1e-6);
        EXPECT_NEAR(g.mean1, 0.010, 1e-9);
        EXPECT_NEAR(g.mean2, 0.008, 1e-9);
        EXPECT_NEAR(g.mean_h, 0.82, 1e-9);
        EXPECT_NEAR(g.grid[0][0], 0.010 - 0.00048, 1e-9);
        EXPECT_NEAR(g.grid[0][1], 0.008 + 0.00018, 1e-9);
        EXPECT_NEAR(g.grid[0][2], 0.82, 1e-9);
        EXPECT_NEAR(g.grid[3][2], 0.82 - 0.011, 1e-9);
        EXPECT_NEAR(g.grid[15][1], 0.008 + 0.00036, 1e-9);
        EXPECT_EQ(g.mjd, 59586.0);
        ++seen;
    }
    EXPECT_GT(seen, 0);
}

TEST(RtcmTransform, Synthetic1022CarriesWideRotationPoint) {
    auto f = Frame1022();
    Em_TrsMtPrlRTCM dec;
    EXPECT_TRUE(dec.Prc_Prtcl_ID(1022, f.data(), unsigned(f.size())));
    trancood_t t;
    ASSERT_TRUE(dec.Decode_type1022(f.data(), unsigned(f.size()), t));
    EXPECT_DOUBLE_EQ(t.xp, 4000000.0);
    EXPECT_DOUBLE_EQ(t.yp, -1234.567);
    EXPECT_DOUBLE_EQ(t.zp, -4000000.0);
    EXPECT_NEAR(t.lat_origin, -1000 * 2.0 / 3600.0, 1e-12);
    EXPECT_NEAR(t.r1, 5.137, 1e-12);
    EXPECT_NEAR(t.src_a, 6378137.0, 1e-6);
    EXPECT_NEAR(t.tgt_b, 6356078.963, 1e-6);
}

TEST(RtcmTransform, Synthetic1027ReadsTheStandardOrder) {
    auto f = Frame1027(45.0);
    Em_TrsMtPrlRTCM dec;
    int type = -1;
    projection_param p;
    ASSERT_TRUE(dec.Decode_type1027(f.data(), unsigned(f.size()), type, p));
    EXPECT_EQ(type, 5);
    EXPECT_TRUE(p.rectified);
    EXPECT_NEAR(p.lat_center, 45.0, 1.1e-8);
    EXPECT_NEAR(p.lon_center, -8.5, 1.1e-8);
    EXPECT_NEAR(p.azimuth, 30.0, 1.1e-8);
    EXPECT_NEAR(p.skew_angle, 30.0 - 0.25, 2.2e-8);
    EXPECT_NEAR(p.scale, 993000.0 + 7000.0, 1e-6);
    EXPECT_NEAR(p.easting, 60000000.0, 1e-6);
    EXPECT_NEAR(p.northing, -12345678.901, 1e-6);
}

TEST(RtcmTransform, GridResidualsAddedToTheirMeans) {
    // Mean latitude residual 100 (0.1") and grid residual 100 (0.003"): 0.103".
    auto f = Frame1023(100, 100);
    Em_TrsMtPrlRTCM dec;
    geoid_mdel_para g;
    ASSERT_TRUE(dec.Decode_type1023(f.data(), unsigned(f.size()), g));
    EXPECT_NEAR(g.mean1, 0.1, 1e-12);
    EXPECT_NEAR(g.grid[7][0], 0.103, 1e-12);
    EXPECT_NEAR(g.grid[7][2], 0.82 - 0.003, 1e-12);

    auto p = Frame1024();
    ASSERT_TRUE(dec.Decode_type1024(p.data(), unsigned(p.size()), g));
    EXPECT_NEAR(g.origin1, -5000000.0, 1e-6);
    EXPECT_NEAR(g.origin2, 300000000.0, 1e-6);
    EXPECT_NEAR(g.ext2, 2000.0, 1e-9);
    EXPECT_NEAR(g.mean1, -3.0, 1e-12);
    EXPECT_NEAR(g.grid[0][0], -3.0 - 0.008, 1e-12);
    EXPECT_NEAR(g.grid[15][2], 0.82 + 0.015, 1e-12);
    EXPECT_EQ(g.h_interp, 1);
    EXPECT_EQ(g.v_quality, 4);
    EXPECT_EQ(g.mjd, 59586.0);
}

TEST(RtcmTransform, EveryTruncationIsRefusedOrDecodedInBounds) {
    std::vector<std::pair<unsigned, std::vector<std::uint8_t>>> frames = {{1022, Frame1022()},
                                                                          {1023, Frame1023(3, -5)},
                                                                          {1024, Frame1024()},
                                                                          {1027, Frame1027(45.0)}};
    for (const auto& f : Corpus_Frames("rtcm3_102x135.log")) {
        frames.emplace_back(f.number, f.bytes);
    }
    // N = 31 and M = 31 in a short frame must not be read past its end.
    std::vector<std::uint8_t> names(50, 0xFF);
    frames.emplace_back(1021, names);
    frames.emplace_back(1022, names);
    Em_TrsMtPrlRTCM dec;
    for (const auto& [number, full] : frames) {
        for (std::size_t len = 0; len <= full.size(); ++len) {
            // An exact-size copy so a read past the end trips AddressSanitizer.
            std::unique_ptr<std::uint8_t[]> buf(new std::uint8_t[len ? len : 1]);
            std::copy(full.begin(), full.begin() + long(len), buf.get());
            const unsigned n = unsigned(len);
            std::uint8_t* p = len ? buf.get() : nullptr;
            dec.Prc_Prtcl_ID(number, p, n);
            int a, b, c, d;
            trancood_t t;
            geoid_mdel_para g;
            projection_param pp;
            const bool r21 = dec.Decode_type1021(p, n, a, b, c, d, t);
            const bool r22 = dec.Decode_type1022(p, n, t);
            const bool r23 = dec.Decode_type1023(p, n, g);
            const bool r24 = dec.Decode_type1024(p, n, g);
            const bool r27 = dec.Decode_type1027(p, n, a, pp);
            EXPECT_FALSE(r23 && n * 8 < 602);
            EXPECT_FALSE(r24 && n * 8 < 614);
            EXPECT_FALSE(r27 && n * 8 < 282);
            EXPECT_FALSE((r21 || r22) && n * 8 < 436);
        }
    }
}
