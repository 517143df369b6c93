// Real NovAtel captures through the board in 255-byte and 1-byte slices: every log an
// independent CRC scan finds (up to 2,048 bytes) is decoded exactly once, nothing stalls.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "Novatel_Counting_Board.h"
#include "Novatel_Test_Log.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace novatel_test;

const char* const kFiles[] = {
    "rtklib/oemv_200911218.gps",
    "novatel_edie/BESTUTMBIN.GPS",
    "novatel_edie/binary_sync_error.BIN",
    "novatel_edie/proprietary_binary_sync_error.BIN",
    "novatel_edie/short_binary_sync_error.BIN",
};

bool Read_File(const std::string& path, Bytes* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct Scan {
    std::map<int, int> per_id;
    int too_long = 0;
    double last_lat = 0, last_lon = 0;
    bool has_pos = false;
};

// Every offset where a long-header log with a good CRC starts.
Scan Scan_File(const Bytes& d) {
    Scan s;
    for (size_t i = 0; i + 10 <= d.size(); ++i) {
        if (d[i] != 0xAA || d[i + 1] != 0x44 || d[i + 2] != 0x12 || d[i + 3] != 28) {
            continue;
        }
        const size_t total = 28 + (d[i + 8] | (d[i + 9] << 8)) + 4;
        if (i + total > d.size() || Crc32(d.data() + i, total) != 0) {
            continue;
        }
        if (total > 2048) {
            ++s.too_long;
            continue;
        }
        const int id = d[i + 4] | (d[i + 5] << 8);
        ++s.per_id[id];
        if (id == 42 && (d[i + 6] & 0x80) == 0 && total >= 28 + 72 + 4) {
            double lat, lon;
            std::memcpy(&lat, d.data() + i + 28 + 8, 8);
            std::memcpy(&lon, d.data() + i + 28 + 16, 8);
            s.last_lat = lat;
            s.last_lon = lon;
            s.has_pos = true;
        }
    }
    return s;
}

TEST(NovatelCapture, EveryLogDecodedOnceInAnySlicing) {
    int files = 0;
    for (const char* name : kFiles) {
        const std::string path = std::string(VARNOK_CORPUS_DIR) + "/" + name;
        Bytes data;
        if (!Read_File(path, &data)) {
            continue;
        }
        ++files;
        const Scan expected = Scan_File(data);
        if (std::string(name) == "rtklib/oemv_200911218.gps") {
            // The OEMV capture holds logs of six ids, and logs too long for the board.
            EXPECT_EQ(expected.per_id.size(), 6u);
            EXPECT_GT(expected.too_long, 0);
            EXPECT_TRUE(expected.has_pos);
        }
        for (size_t slice : {size_t(255), size_t(1)}) {
            Counting_Board board;
            board.Feed(data.data(), data.size(), slice);
            EXPECT_EQ(board.Counter().per_id, expected.per_id) << name << " slice " << slice;
            if (expected.has_pos) {
                EXPECT_DOUBLE_EQ(board.Data()->Latitude, expected.last_lat * M_PI / 180.0) << name;
                EXPECT_DOUBLE_EQ(board.Data()->Longitude, expected.last_lon * M_PI / 180.0) << name;
            }
            // Whatever is left is less than one log.
            EXPECT_LT(board.Input()->Fill, 2048) << name;
        }
    }
    if (files == 0) {
        GTEST_SKIP() << "no NovAtel capture in " << VARNOK_CORPUS_DIR;
    }
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
