// The Crescent "$BIN" capture through the Hemisphere board, in 255-byte and 1-byte slices:
// every block 1 and 99 that an independent scan finds whole and summed is decoded, and the
// rest of the capture is consumed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Board_Test_Support.h"
#include "Em_OemHemisphere.h"
#include "Em_OemHemisphereData.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace board_test;

struct Counting_Data : public Em_OemHemisphereData {
    int Parse_Message(const unsigned char* frame, int id, int length) override {
        ++per_id[id];
        return Em_OemHemisphereData::Parse_Message(frame, id, length);
    }
    std::map<int, int> per_id;
};

struct Counting_Board : public Em_OemHemisphere {
    Counting_Board() { Set_Data(new Counting_Data); }
    Counting_Data& D() { return *static_cast<Counting_Data*>(Data()); }
};

constexpr double kDeg = 3.14159265358979323846 / 180.0;

double Le_Double(const unsigned char* p) {
    uint64_t u = 0;
    for (int k = 7; k >= 0; --k) {
        u = (u << 8) | p[k];
    }
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

struct Scan_Result {
    std::map<int, int> ids;
    int positions = 0;        // block 1 with the whole position (32 data bytes or more)
    double lat = 0, lon = 0;  // of the last one, degrees
};

// Blocks found by walking the file: "$BIN", length within the input buffer, data sum and
// CR LF; a good block is stepped over whole.
Scan_Result Independent_Scan(const Bytes& d) {
    Scan_Result r;
    std::map<int, int>& ids = r.ids;
    size_t i = 0;
    while (i + 12 <= d.size()) {
        if (d[i] == '$' && d[i + 1] == 'B' && d[i + 2] == 'I' && d[i + 3] == 'N') {
            const size_t len = d[i + 6] | (d[i + 7] << 8);
            if (len <= 2036 && i + len + 12 <= d.size()) {
                unsigned sum = 0;
                for (size_t k = 0; k < len; ++k) {
                    sum += d[i + 8 + k];
                }
                const unsigned stored = d[i + 8 + len] | (d[i + 9 + len] << 8);
                if ((sum & 0xFFFF) == stored && d[i + 10 + len] == '\r' &&
                    d[i + 11 + len] == '\n') {
                    const int id = d[i + 4] | (d[i + 5] << 8);
                    ++ids[id];
                    if (id == 1 && len >= 32) {
                        ++r.positions;
                        r.lat = Le_Double(&d[i + 8 + 12]);
                        r.lon = Le_Double(&d[i + 8 + 20]);
                    }
                    i += len + 12;
                    continue;
                }
            }
        }
        ++i;
    }
    return r;
}

// The capture's bytes; empty when it is missing.
Bytes Crescent_Capture() {
    std::ifstream in(std::string(VARNOK_CORPUS_DIR) + "/rtklib/cres_20080526.bin",
                     std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void On_Position(Msg_Type, uint32_t flags, const void* user) {
    *static_cast<int*>(const_cast<void*>(user)) += (flags & HEMI_FLAG_POSITION) != 0;
}

TEST(HemisphereCapture, CrescentBlocksInAnySlicing) {
    const Bytes bytes = Crescent_Capture();
    if (bytes.empty()) {
        GTEST_SKIP() << "capture missing";
    }
    const Scan_Result scan = Independent_Scan(bytes);
    const std::map<int, int>& expected = scan.ids;
    ASSERT_GT(expected.count(1), 0u) << bytes.size();
    RecordProperty("blocks_1", expected.at(1));
    ASSERT_GT(expected.count(99), 0u);
    for (size_t slice : {size_t(255), size_t(1)}) {
        Counting_Board b;
        b.D().Sat_Switch_Gps = 0;
        const Feed_Result r = Feed(b, bytes, slice);
        EXPECT_EQ(b.D().per_id[1], expected.at(1)) << slice;
        EXPECT_EQ(b.D().per_id[99], expected.at(99)) << slice;
        EXPECT_NE(r.mask & HEMI_FLAG_POSITION, 0u);
        EXPECT_NE(r.mask & GNSS_FLAG_SAT_1, 0u);
        EXPECT_LT(Pending(b), 2048);
        // The fix is the last position block's.
        EXPECT_DOUBLE_EQ(b.D().Latitude, scan.lat * kDeg);
        EXPECT_DOUBLE_EQ(b.D().Longitude, scan.lon * kDeg);
    }
}

// The same capture as a session feeds it, through the protocol object in 2,048-byte reads:
// every position block is reported once, those whose bytes happen to XOR to 0 included.
TEST(HemisphereCapture, CrescentPositionsThroughEmGnss) {
    const Bytes bytes = Crescent_Capture();
    if (bytes.empty()) {
        GTEST_SKIP() << "capture missing";
    }
    const Scan_Result scan = Independent_Scan(bytes);
    ASSERT_GT(scan.positions, 300);
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_HEMISPHERE);
    int positions = 0;
    const _CALLBACKS_RECEIVER cb{&On_Position, nullptr};
    gnss.Reg_Callbacks(&cb, &positions);
    for (size_t at = 0; at < bytes.size(); at += 2048) {
        const size_t n = std::min<size_t>(2048, bytes.size() - at);
        gnss.RcvData(&bytes[at], static_cast<unsigned>(n));
        gnss.ParseData();
    }
    EXPECT_EQ(positions, scan.positions);
    const Em_OemData* d = gnss.Get_Protocol()->Board()->Data();
    EXPECT_DOUBLE_EQ(d->Latitude, scan.lat * kDeg);
    EXPECT_DOUBLE_EQ(d->Longitude, scan.lon * kDeg);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
