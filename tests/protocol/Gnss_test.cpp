#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_BoardRegistry.h"
#include "Em_NewProtocol.h"
#include "Em_OemProtocol.h"
#include "Em_OldProtocol.h"
#include "Em_RawRecorder.h"
#include "support/Fake_Board.h"
#include "support/Scoped_Protocol_Factory.h"
#include "support/Scripted_Protocol.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;

namespace {

GNSS_MANUFACTURER M(int v) {
    return static_cast<GNSS_MANUFACTURER>(v);
}
MAINBD_OEM_TYPE T(int v) {
    return static_cast<MAINBD_OEM_TYPE>(v);
}

TEST(Gnss, ChoosesTheProtocolObjectByMakerAndBoard) {
    struct Case {
        int maker, board;
        Em_Protocol_Kind kind;
        int mnfctr;
        int boardType;
    };
    const Case cases[] = {
        {1, 1, Em_Protocol_Kind::Oem, 1, 1}, {1, 2, Em_Protocol_Kind::Oem, 1, 2},
        {1, 4, Em_Protocol_Kind::Oem, 1, 4}, {1, 8, Em_Protocol_Kind::Oem, 1, 0},
        {1, 3, Em_Protocol_Kind::Oem, 1, 0}, {2, 8, Em_Protocol_Kind::New, 2, 8},
        {2, 7, Em_Protocol_Kind::Old, 2, 7}, {5, 8, Em_Protocol_Kind::Old, 2, 2},
        {7, 2, Em_Protocol_Kind::Old, 2, 2}, {2, 0, Em_Protocol_Kind::Old, 2, 2},
    };
    for (const auto& c : cases) {
        const std::string at = std::to_string(c.maker) + "," + std::to_string(c.board);
        EXPECT_EQ(Em_Gnss::Choose_Protocol(M(c.maker), T(c.board)), c.kind) << at;
        Em_Gnss gnss(M(c.maker), T(c.board));
        Em_GnssProtocol* p = gnss.Get_Protocol();
        ASSERT_NE(p, nullptr);
        switch (c.kind) {
            case Em_Protocol_Kind::Oem:
                EXPECT_NE(dynamic_cast<Em_OemProtocol*>(p), nullptr) << at;
                break;
            case Em_Protocol_Kind::New:
                EXPECT_NE(dynamic_cast<Em_NewProtocol*>(p), nullptr) << at;
                break;
            case Em_Protocol_Kind::Old:
                EXPECT_NE(dynamic_cast<Em_OldProtocol*>(p), nullptr) << at;
                break;
        }
        EXPECT_EQ(gnss.Get_Mnfctr(), c.mnfctr) << at;
        EXPECT_EQ(gnss.IsVeltaManufacturer(), c.mnfctr == 2) << at;
        EXPECT_EQ(gnss.GetMainBdType(), c.boardType) << at;
        EXPECT_EQ(gnss.Get_GnsMd(), c.boardType) << at;
        EXPECT_EQ(gnss.IsVeltaNewProtocolReceiver(), c.kind == Em_Protocol_Kind::New) << at;
        EXPECT_EQ(gnss.IsVeltaOldProtocolReceiver(), c.kind == Em_Protocol_Kind::Old) << at;
        EXPECT_EQ(gnss.Get_Com_Status(), COM_STATUS_SERIAL);
    }
}

TEST(Gnss, DefaultConstructionIsTheOldProtocolWithTheNovatelBoard) {
    Em_Gnss gnss;
    EXPECT_NE(dynamic_cast<Em_OldProtocol*>(gnss.Get_Protocol()), nullptr);
    EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NOVATEL);
}

TEST(Gnss, ResetMnfctrReplacesTheObjectAndKeepsThePortKind) {
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    gnss.Set_Com_Status(COM_STATUS_BLUETOOTH);
    gnss.Reset_Mnfctr(GNSS_MNFCTR_VELTA);  // 2 always makes the old object
    EXPECT_NE(dynamic_cast<Em_OldProtocol*>(gnss.Get_Protocol()), nullptr);
    EXPECT_TRUE(gnss.IsVeltaOldProtocolReceiver());
    EXPECT_FALSE(gnss.IsVeltaNewProtocolReceiver());
    EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NONE);
    EXPECT_EQ(gnss.Get_Com_Status(), COM_STATUS_BLUETOOTH);
    EXPECT_TRUE(gnss.Reset_GnsMd(MAINBD_HEMISPHERE2));
    EXPECT_EQ(gnss.GetMainBdType(), MAINBD_HEMISPHERE2);

    gnss.Reset_Mnfctr(GNSS_MNFCTR_OEM);
    EXPECT_NE(dynamic_cast<Em_OemProtocol*>(gnss.Get_Protocol()), nullptr);
    EXPECT_EQ(gnss.Get_Mnfctr(), GNSS_MNFCTR_OEM);
    EXPECT_FALSE(gnss.IsVeltaOldProtocolReceiver());
    EXPECT_EQ(gnss.Get_Com_Status(), COM_STATUS_BLUETOOTH);

    gnss.Reset_Mnfctr(M(9));
    EXPECT_NE(dynamic_cast<Em_OldProtocol*>(gnss.Get_Protocol()), nullptr);
}

TEST(Gnss, ResetGnsMdFollowsTheFactoryOfEachProtocol) {
    struct Case {
        int maker, board, reset;
        bool result;
        int type;
    };
    const Case cases[] = {
        {2, 2, 0, true, 2}, {2, 2, 5, true, 2}, {2, 2, 6, true, 2},  {2, 2, 9, true, 2},
        {2, 2, 3, true, 3}, {2, 2, 1, true, 1}, {1, 4, 3, false, 4}, {1, 4, 7, false, 4},
        {1, 4, 5, true, 5}, {1, 4, 2, true, 2}, {2, 8, 1, true, 8},  {1, 9, 9, false, 0},
    };
    for (const auto& c : cases) {
        Em_Gnss gnss(M(c.maker), T(c.board));
        EXPECT_EQ(gnss.Reset_GnsMd(T(c.reset)), c.result)
            << c.maker << "," << c.board << " -> " << c.reset;
        EXPECT_EQ(gnss.GetMainBdType(), c.type) << c.maker << "," << c.board << " -> " << c.reset;
    }
}

struct Seen {
    std::vector<std::pair<Msg_Type, uint32_t>> data;
    std::vector<const void*> users;
    std::vector<bool> status;
};
Seen* g_seen = nullptr;

void On_Data(Msg_Type category, uint32_t flags, const void* user) {
    g_seen->data.emplace_back(category, flags);
    g_seen->users.push_back(user);
}
void On_Status(bool changed, const void* user) {
    g_seen->status.push_back(changed);
    g_seen->users.push_back(user);
}

class GnssParse : public ::testing::Test {
protected:
    void SetUp() override { g_seen = &seen; }
    void TearDown() override { g_seen = nullptr; }

    // An Em_Gnss whose protocol object plays the script.
    std::unique_ptr<Em_Gnss> Make(std::vector<Script_Step> script, int maker = 2, int board = 2) {
        Scoped_Protocol_Factory factory([&](Em_Protocol_Kind kind) {
            proto = new Scripted_Protocol(kind == Em_Protocol_Kind::Oem ? 1 : 2, script);
            return proto;
        });
        return std::unique_ptr<Em_Gnss>(new Em_Gnss(M(maker), T(board)));
    }

    Seen seen;
    Scripted_Protocol* proto = nullptr;
    const _CALLBACKS_RECEIVER callbacks{&On_Data, &On_Status};
    int userA = 0, userB = 0;
};

TEST_F(GnssParse, OneCallbackPerMessageWithFlags) {
    auto gnss = Make({{1, MSG_OLD_REPLY, 2}, {1, MSG_OLD_REPLY, 0}, {1, MSG_GNSS_DATA, 4}});
    gnss->Reg_Callbacks(&callbacks, &userA);
    gnss->ParseData();
    ASSERT_EQ(seen.data.size(), 2u);
    EXPECT_EQ(seen.data[0], std::make_pair(MSG_OLD_REPLY, 2u));
    EXPECT_EQ(seen.data[1], std::make_pair(MSG_GNSS_DATA, 4u));
    EXPECT_EQ(seen.users, (std::vector<const void*>{&userA, &userA}));
    EXPECT_EQ(proto->Steps, 4);
    Msg_Type category = MSG_NEW_OTHER;
    uint32_t flags = 99;
    gnss->Get_RevMsg(&category, &flags);
    EXPECT_EQ(category, MSG_GNSS_DATA);
    EXPECT_EQ(flags, 4u);
}

TEST_F(GnssParse, FirstStepOfZeroCallsNothing) {
    auto gnss = Make({{0, MSG_OLD_REPLY, 2}, {1, MSG_OLD_REPLY, 8}});
    gnss->Reg_Callbacks(&callbacks, &userA);
    gnss->ParseData();
    EXPECT_TRUE(seen.data.empty());
    EXPECT_EQ(proto->Steps, 1);
    gnss->ParseData();  // the rest of the script
    ASSERT_EQ(seen.data.size(), 1u);
    EXPECT_EQ(seen.data[0].second, 8u);
}

TEST_F(GnssParse, NullUserDataKeepsTheEarlierOne) {
    auto gnss = Make({{1, MSG_OLD_REPLY, 1}});
    gnss->Reg_Callbacks(&callbacks, &userA);
    gnss->Reg_Callbacks(&callbacks, nullptr);
    gnss->ParseData();
    gnss->IsOemChanged(true);
    EXPECT_EQ(seen.users, (std::vector<const void*>{&userA, &userA}));
    EXPECT_EQ(seen.status, std::vector<bool>{true});
    gnss->Reg_Callbacks(&callbacks, &userB);
    gnss->IsOemChanged(false);
    EXPECT_EQ(seen.users.back(), &userB);
    EXPECT_EQ(seen.status.back(), false);
}

TEST_F(GnssParse, NoCallbacksRegisteredStillDrainsTheRing) {
    auto gnss = Make({{1, MSG_OLD_REPLY, 1}, {1, MSG_OLD_REPLY, 1}});
    gnss->ParseData();
    gnss->IsOemChanged(true);
    EXPECT_EQ(proto->Steps, 3);
    gnss->Reg_Callbacks(nullptr, nullptr);
    EXPECT_TRUE(seen.data.empty());
}

TEST_F(GnssParse, ReceivedBytesGoToTheRingAndDataClearEmptiesIt) {
    auto gnss = Make({});
    const unsigned char bytes[] = {'$', '$', 'R', 'G'};
    gnss->RcvData(bytes, 4);
    gnss->RcvData(nullptr, 4);
    gnss->RcvData(bytes, 0);
    EXPECT_EQ(proto->Ring()->Fill(), 4);
    gnss->Data_Clear();
    EXPECT_EQ(proto->Ring()->Fill(), 0);
}

TEST(Gnss, WithoutAProtocolObjectEverythingIsQuiet) {
    Scoped_Protocol_Factory none([](Em_Protocol_Kind) { return nullptr; });
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    EXPECT_EQ(gnss.Get_Protocol(), nullptr);
    const unsigned char bytes[] = {1, 2, 3};
    gnss.RcvData(bytes, 3);
    gnss.ParseData();
    gnss.Data_Clear();
    EXPECT_EQ(gnss.Get_Mnfctr(), GNSS_MNFCTR_NONE);
    EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NONE);
    EXPECT_FALSE(gnss.IsVeltaOldProtocolReceiver());
    EXPECT_FALSE(gnss.IsVeltaNewProtocolReceiver());
    EXPECT_FALSE(gnss.Reset_GnsMd(MAINBD_NOVATEL));
    Msg_Type category = MSG_OLD_REPLY;
    gnss.Get_RevMsg(&category, nullptr);
    EXPECT_EQ(category, MSG_OLD_REPLY);
}

TEST(Gnss, LoggerWritesTheElevationLineAndCounts) {
    Scoped_Board_Registration fake(2, [] {
        auto* b = new Scripted_Board(2);
        b->Data()->Status_Word = 15;
        return b;
    });
    std::ostringstream out;
    Em_Gnss::Set_Log_Stream(&out);
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    const unsigned long before = Em_Gnss::Logger_Count();
    gnss.Gnss_Logger(MSG_GNSS_DATA, GNSS_FLAG_ELEV_MASK | GNSS_FLAG_COUNTED);
    gnss.Gnss_Logger(MSG_OLD_REPLY, GNSS_FLAG_ELEV_MASK | GNSS_FLAG_COUNTED);
    gnss.Gnss_Logger_Md(GNSS_FLAG_DOPS);
    Em_Gnss::Set_Log_Stream(nullptr);
    EXPECT_EQ(out.str(), "高度截止角:15\r\n");
    EXPECT_EQ(Em_Gnss::Logger_Count(), before + 1);
}

// Runs a test body in a fresh working directory and comes back.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/varnok_rec_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        home = cwd;
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    void TearDown() override {
        Em_Gnss::Set_Record_Clock(nullptr);
        EXPECT_EQ(chdir(home.c_str()), 0);
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string dir, home;
};

std::time_t March3rd2016() {
    return 1457036107;  // 2016-03-03 20:15:07 UTC
}

TEST(RecordFileName, HourRunsFromEightToThirtyOne) {
    EXPECT_EQ(Record_File_Name(March3rd2016()), "20163328157.bin");
    EXPECT_EQ(Record_File_Name(1457036107 - 20 * 3600), "201633 8157.bin");  // %2d pads the hour
    EXPECT_EQ(Record_File_Name(1457036107 - 19 * 3600 - 15 * 60), "201633 907.bin");
}

TEST_F(InTempDir, RecordingWritesEveryReceivedByteToTheNamedFile) {
    Em_Gnss::Set_Record_Clock(&March3rd2016);
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    const unsigned char before[] = {'n', 'o'};
    gnss.RcvData(before, 2);
    gnss.SetRcrdData(true, nullptr);
    ASSERT_TRUE(Record_Is_Open());
    const unsigned char first[] = {'$', '$', 0, 1, 2};
    const unsigned char second[] = {0xFF, '\r', '\n'};
    gnss.RcvData(first, 5);
    gnss.RcvData(second, 3);
    EXPECT_EQ(Slurp("20163328157.bin"), std::string("$$\0\1\2\xFF\r\n", 8));  // flushed
    gnss.SetRcrdData(false, nullptr);
    EXPECT_FALSE(Record_Is_Open());
    gnss.RcvData(before, 2);
    EXPECT_EQ(Slurp("20163328157.bin").size(), 8u);
}

TEST_F(InTempDir, OneRecordingFileAtATimeAndOnlyItsOwnerClosesItOnDestruction) {
    Em_Gnss owner(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    owner.SetRcrdData(true, "first.bin");
    {
        Em_Gnss other(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
        other.SetRcrdData(true, "second.bin");  // the open file stays the one in use
        EXPECT_FALSE(std::ifstream("second.bin").good());
        const unsigned char b[] = {'x'};
        other.RcvData(b, 1);
        other.SetRcrdData(false, nullptr);  // closes the process-wide file
    }
    EXPECT_FALSE(Record_Is_Open());
    owner.SetRcrdData(true, "third.bin");
    { Em_Gnss bystander(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL); }
    EXPECT_TRUE(Record_Is_Open());
    const unsigned char b[] = {'y'};
    owner.RcvData(b, 1);
    EXPECT_EQ(Slurp("first.bin"), "x");
    EXPECT_EQ(Slurp("third.bin"), "y");
}

TEST_F(InTempDir, AFileThatCannotOpenLeavesRecordingWithoutEffect) {
    Em_Gnss gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    gnss.SetRcrdData(true, "no/such/dir/file.bin");
    EXPECT_FALSE(Record_Is_Open());
    const unsigned char b[] = {'z'};
    gnss.RcvData(b, 1);
    gnss.SetRcrdData(false, nullptr);
}

}  // namespace
