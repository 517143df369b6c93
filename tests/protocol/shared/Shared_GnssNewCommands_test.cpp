// Built against the shared BVParse only: the new-protocol builders and readers are exported.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "BVParse/Em_Gnss.h"

using namespace Brevan2011::BVParse;

namespace {

struct Seen {
    std::vector<std::pair<Msg_Type, uint32_t>> reports;
    static void OnData(Msg_Type category, uint32_t flags, const void* user) {
        static_cast<Seen*>(const_cast<void*>(user))->reports.push_back({category, flags});
    }
};

}  // namespace

// A set command is itself a frame the receive path reads: its chunks, fed back in, store the
// value they carry.
TEST(SharedGnssNewCommandsTest, SetCommandFedBackIsReadBack) {
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    Seen seen;
    static const _CALLBACKS_RECEIVER callbacks = {&Seen::OnData, nullptr};
    gnss.Reg_Callbacks(&callbacks, &seen);

    const unsigned short mode = 2;
    Cmd_List cmds;
    gnss.Get_Cmd_WIFI_Mode(cmds, &mode);
    ASSERT_EQ(cmds.size(), 1u);
    gnss.RcvData(cmds[0].data, cmds[0].length);
    gnss.ParseData();
    ASSERT_EQ(seen.reports.size(), 1u);
    EXPECT_EQ(seen.reports[0].first, MSG_NEW_CLASS_5);
    QX_WIFI_MODE_ENUM read{};
    gnss.Get_WIFI_Mode(read);
    EXPECT_EQ(read, 2);

    Em_Gnss old(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    cmds.clear();
    old.Get_Cmd_WIFI_Mode(cmds, &mode);
    EXPECT_TRUE(cmds.empty());
    EXPECT_EQ(old.Get_Radio_Air_Baud(), 4800u);
}
