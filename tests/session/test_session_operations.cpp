// The session's command operations and getters on a closed session, the forwarders' tables
// and the byte-order helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BVDevice/ByteOrder.h"
#include "BVDevice/CommandDump.h"
#include "FakeTcpPeer.h"
#include "SessionFixture.h"
#include "SessionRows.h"

using namespace varnok_test;
namespace BVDevice = Brevan2011::BVDevice;

namespace {

void runAll(EmGnss_Receiver& s, const char* when) {
    for (const auto& row : AllSessionRows()) {
        EXPECT_TRUE(row.call(s)) << row.name << " " << when << ": result not 0";
        EXPECT_TRUE(RowArgs::unchanged()) << row.name << " " << when << ": argument changed";
        EXPECT_TRUE(Probe::pendingLengths(s).empty()) << row.name << " " << when;
        EXPECT_FALSE(Probe::writeEventSet(s)) << row.name << " " << when;
    }
}

}  // namespace

TEST_F(SessionTest, ClosedSessionRowsDoNothing) {
    ASSERT_GT(AllSessionRows().size(), 250u);
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    runAll(*s, "before open");

    // Nothing was held back for the next open either.
    ASSERT_TRUE(s->Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(peer.received(), "");

    ASSERT_TRUE(s->Port_Close());
    runAll(*s, "after close");
}

TEST(SessionByteOrder, ReversesEachWidth) {
    EXPECT_EQ(BVDevice::ByteSwapU16(0x8000), 0x0080);
    EXPECT_EQ(BVDevice::ByteSwap16(static_cast<std::int16_t>(0x8000)), 0x0080);
    EXPECT_EQ(BVDevice::ByteSwap16(0x0080), static_cast<std::int16_t>(0x8000));
    EXPECT_EQ(BVDevice::ByteSwapU32(0x12345678u), 0x78563412u);
    EXPECT_EQ(BVDevice::ByteSwap32(0x12345678), 0x78563412);
    EXPECT_EQ(BVDevice::ByteSwap32(static_cast<std::int32_t>(0x80000001u)),
              static_cast<std::int32_t>(0x01000080u));
    float f = 1.0f;  // 0x3F800000
    std::uint32_t bits;
    const float swapped = BVDevice::ByteSwapF32(f);
    std::memcpy(&bits, &swapped, sizeof bits);
    EXPECT_EQ(bits, 0x0000803Fu);
    EXPECT_EQ(BVDevice::ByteSwapF32(swapped), f);
    EXPECT_EQ(BVDevice::ByteSwapU64(0x0102030405060708ull), 0x0807060504030201ull);
}

// Every row on open sessions of the old and the new protocol with the library's own protocol
// objects: nothing crashes or blocks.
TEST(SessionRowsOpen, EveryRowRunsOnOldAndNewProtocolSessions) {
    UseScriptedProtocol(false);
    struct Kind {
        const char* what;
        Brevan2011::BVParse::MAINBD_OEM_TYPE board;
    } kinds[] = {{"old protocol", Brevan2011::BVParse::MAINBD_NOVATEL},
                 {"new protocol", Brevan2011::BVParse::MAINBD_NEWPROTOCOL}};
    for (const Kind& k : kinds) {
        FakeTcpPeer peer;
        ASSERT_TRUE(peer.ok());
        EmGnss_Receiver s(Brevan2011::BVParse::GNSS_MNFCTR_VELTA, k.board);
        ASSERT_TRUE(s.Port_Open(peer.param()));
        ASSERT_TRUE(peer.waitConnected(5000));
        std::fflush(stdout);
        for (const auto& row : AllSessionRows()) {
            row.call(s);
        }
        EXPECT_TRUE(s.Port_Close()) << k.what;
    }
}

TEST(SessionCommandDump, EachCommandIsAnFsBlock) {
    std::vector<Brevan2011::BVParse::_STR_CMD> cmds(2);
    cmds[0].length = 3;
    cmds[0].data[0] = 0x24;
    cmds[0].data[1] = 0x00;
    cmds[0].data[2] = 0xFF;
    cmds[1].length = 1;
    cmds[1].data[0] = 0x0A;
    ::testing::internal::CaptureStdout();
    BVDevice::PrintCommands(cmds);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "FS:0\n 0x24 0x00 0xFF\nFS:1\n 0x0A\n");
    ::testing::internal::CaptureStdout();
    BVDevice::PrintCommands({});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}
