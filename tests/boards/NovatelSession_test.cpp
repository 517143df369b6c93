// The NovAtel board behind both protocol families: which board types make it, and a replay of
// a NovAtel capture through the old protocol's board-data frames up to the data callback.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemNovatel.h"
#include "Em_OemNovatelData.h"
#include "Em_OldTestFrames.h"
#include "Novatel_Test_Log.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace novatel_test;

Em_OemNovatel* Novatel_Of(Em_Gnss& gnss) {
    Em_GnssProtocol* p = gnss.Get_Protocol();
    return p != nullptr ? dynamic_cast<Em_OemNovatel*>(p->Board()) : nullptr;
}

TEST(NovatelSession, BothProtocolFamiliesMakeTheDriver) {
    {
        Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
        Em_OemNovatel* board = Novatel_Of(gnss);
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NOVATEL);
    }
    for (int type : {0, 2, 5, 6, 9, 42}) {
        Em_Gnss gnss(GNSS_MNFCTR_VELTA, static_cast<MAINBD_OEM_TYPE>(type));
        EXPECT_NE(Novatel_Of(gnss), nullptr) << type;
    }
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    Em_OemNovatel* board = Novatel_Of(gnss);
    ASSERT_NE(board, nullptr);
    // The old protocol's factory takes satellite signals from the observations.
    EXPECT_EQ(board->Data()->Sat_Switch_Gps, 1);
    EXPECT_EQ(board->Data()->Sat_Switch_Glo, 1);
    EXPECT_EQ(board->Data()->Sat_Switch_Bds, 1);
}

std::vector<std::pair<Msg_Type, uint32_t>> g_calls;

void On_Data(Msg_Type category, uint32_t flags, const void*) {
    g_calls.emplace_back(category, flags);
}

TEST(NovatelSession, OldProtocolReplayReportsPositions) {
    const std::string path = std::string(VARNOK_CORPUS_DIR) + "/rtklib/oemv_200911218.gps";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        GTEST_SKIP() << "missing " << path;
    }
    const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    const _CALLBACKS_RECEIVER callbacks = {&On_Data, nullptr};
    gnss.Reg_Callbacks(&callbacks, nullptr);
    g_calls.clear();
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        // Old-protocol board-data frames ("$$RG") of up to 255 payload bytes.
        const Bytes frame = oldtest::Frame("RG", Bytes(data.begin() + at, data.begin() + at + n));
        gnss.RcvData(frame.data(), static_cast<unsigned>(frame.size()));
        gnss.ParseData();
    }
    int positions = 0;
    for (const auto& c : g_calls) {
        EXPECT_EQ(c.first, MSG_GNSS_DATA);
        positions += (c.second & GNSS_FLAG_POSITION) != 0;
    }
    EXPECT_GT(positions, 0);

    // The last best-position log of the file.
    double lat = 0;
    for (size_t i = 0; i + 28 + 72 + 4 <= data.size(); ++i) {
        if (data[i] == 0xAA && data[i + 1] == 0x44 && data[i + 2] == 0x12 && data[i + 3] == 28 &&
            data[i + 4] == 42 && data[i + 5] == 0 && Crc32(data.data() + i, 28 + 72 + 4) == 0) {
            std::memcpy(&lat, data.data() + i + 28 + 8, 8);
        }
    }
    Em_OemNovatel* board = Novatel_Of(gnss);
    ASSERT_NE(board, nullptr);
    EXPECT_DOUBLE_EQ(board->Data()->Latitude, lat * M_PI / 180.0);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
