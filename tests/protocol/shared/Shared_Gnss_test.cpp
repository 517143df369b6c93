// Built against the shared BVParse only: everything used here must be exported.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BVParse/Em_Base64.h"
#include "BVParse/Em_Critcal_Section.h"
#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"

using namespace Brevan2011::BVParse;

namespace {

// Reports one message, then nothing more.
class One_Message_Protocol : public Em_GnssProtocol {
public:
    One_Message_Protocol(int kind, Msg_Type category, uint32_t flags)
        : Em_GnssProtocol(kind), m_category0(category), m_flags0(flags) {}
    int Parse_Step() override {
        if (m_done) {
            return 0;
        }
        m_done = true;
        m_category = m_category0;
        m_flags = m_flags0;
        return 1;
    }
    bool Create_Board(MAINBD_OEM_TYPE) override { return true; }
    int Send_DiffDataToGnss(Cmd_List&, const unsigned char*, unsigned) override { return 0; }

private:
    Msg_Type m_category0;
    uint32_t m_flags0;
    bool m_done = false;
};

struct Received {
    Msg_Type category;
    uint32_t flags;
    const void* user;
};
std::vector<Received> g_received;

void On_Data(Msg_Type category, uint32_t flags, const void* user) {
    g_received.push_back({category, flags, user});
}

struct Row {
    int maker, board;
    Em_Protocol_Kind kind;
    int mnfctr;
};
const Row kRows[] = {
    {1, 2, Em_Protocol_Kind::Oem, 1}, {1, 4, Em_Protocol_Kind::Oem, 1},
    {2, 8, Em_Protocol_Kind::New, 2}, {2, 7, Em_Protocol_Kind::Old, 2},
    {5, 8, Em_Protocol_Kind::Old, 2}, {7, 2, Em_Protocol_Kind::Old, 2},
};

TEST(SharedLibrary, EveryChoiceDeliversEachScriptedMessageOnce) {
    for (const Row& row : kRows) {
        const uint32_t flags = 0x100u + static_cast<uint32_t>(row.maker * 16 + row.board);
        Em_Protocol_Kind chosen = Em_Protocol_Kind::Old;
        Em_Protocol_Factory previous =
            Em_Gnss::Set_Protocol_Factory([&](Em_Protocol_Kind kind) -> Em_GnssProtocol* {
                chosen = kind;
                return new One_Message_Protocol(kind == Em_Protocol_Kind::Oem ? 1 : 2,
                                                MSG_OLD_REPLY, flags);
            });
        Em_Gnss gnss(static_cast<GNSS_MANUFACTURER>(row.maker),
                     static_cast<MAINBD_OEM_TYPE>(row.board));
        Em_Gnss::Set_Protocol_Factory(previous);

        const std::string at = std::to_string(row.maker) + "," + std::to_string(row.board);
        EXPECT_EQ(chosen, row.kind) << at;
        EXPECT_EQ(gnss.Get_Mnfctr(), row.mnfctr) << at;
        const _CALLBACKS_RECEIVER callbacks{&On_Data, nullptr};
        int user = 0;
        gnss.Reg_Callbacks(&callbacks, &user);
        g_received.clear();
        const unsigned char bytes[] = {'$', '$'};
        gnss.RcvData(bytes, 2);
        gnss.ParseData();
        gnss.ParseData();
        ASSERT_EQ(g_received.size(), 1u) << at;
        EXPECT_EQ(g_received[0].category, MSG_OLD_REPLY);
        EXPECT_EQ(g_received[0].flags, flags);
        EXPECT_EQ(g_received[0].user, &user);
    }
}

TEST(SharedLibrary, DefaultProtocolObjectsAndUtilitiesAreReachable) {
    for (const Row& row : kRows) {
        Em_Gnss gnss(static_cast<GNSS_MANUFACTURER>(row.maker),
                     static_cast<MAINBD_OEM_TYPE>(row.board));
        EXPECT_EQ(gnss.Get_Mnfctr(), row.mnfctr);
        EXPECT_EQ(gnss.IsVeltaNewProtocolReceiver(), row.kind == Em_Protocol_Kind::New);
        const unsigned char bytes[] = {0xD3, 0x00, 0x00};
        gnss.RcvData(bytes, 3);
        gnss.ParseData();
    }
    const unsigned char text[] = {'a', 'b', 'c'};
    EXPECT_EQ(Em_Base64::base64_encode(text, 3), "YWJj");
    Em_Critcal_Section section;
    Em_CrtSect_Lock guard(&section);
}

}  // namespace
