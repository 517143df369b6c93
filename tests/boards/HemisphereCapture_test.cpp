// The Crescent "$BIN" capture through the Hemisphere board, in 255-byte and 1-byte slices:
// every block 1 and 99 that an independent scan finds whole and summed is decoded, and the
// rest of the capture is consumed.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

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

// Blocks found by walking the file: "$BIN", length within the input buffer, data sum and
// CR LF; a good block is stepped over whole.
std::map<int, int> Independent_Scan(const Bytes& d) {
    std::map<int, int> ids;
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
                    ++ids[d[i + 4] | (d[i + 5] << 8)];
                    i += len + 12;
                    continue;
                }
            }
        }
        ++i;
    }
    return ids;
}

TEST(HemisphereCapture, CrescentBlocksInAnySlicing) {
    const std::string path = std::string(VARNOK_CORPUS_DIR) + "/rtklib/cres_20080526.bin";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        GTEST_SKIP() << "capture missing: " << path;
    }
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::map<int, int> expected = Independent_Scan(bytes);
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
        // A plausible fix: latitude and longitude inside their ranges.
        EXPECT_LE(std::fabs(b.D().Latitude), 3.14159265358979323846 / 2);
        EXPECT_LE(std::fabs(b.D().Longitude), 3.14159265358979323846);
    }
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
