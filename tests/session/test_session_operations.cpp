// The session's command operations and getters on a closed session, the forwarders' tables
// and the byte-order helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>
#include <memory>
#include <string>

#include "BVDevice/ByteOrder.h"
#include "BVDevice/CommandDump.h"
#include "BVParse/Em_Gnss.h"
#include "FakeTcpPeer.h"
#include "SessionFixture.h"
#include "SessionRows.h"

using namespace varnok_test;
using namespace Brevan2011::BVParse;
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

namespace {

// A command operation of the row list beside its builder: the session's call and the same
// builder run on a reference facade, both with the rows' sentinel arguments.
struct BuilderRow {
    const char* name;
    std::function<void(EmGnss_Receiver&)> call;
    std::function<void(Em_Gnss&, Cmd_List&)> build;
};

std::vector<BuilderRow> BuilderRows() {
    std::vector<BuilderRow> rows;
#define VARNOK_OP(result, name, params, args, builder, builderArgs)                \
    rows.push_back({#name,                                                         \
                    [](EmGnss_Receiver& s) {                                       \
                        [[maybe_unused]] RowArgs::Arg a1, a2, a3, a4, a5;          \
                        auto pmf = static_cast<result(EmGnss_Receiver::*) params>( \
                            &EmGnss_Receiver::name);                               \
                        (s.*pmf) args;                                             \
                    },                                                             \
                    [](Em_Gnss& g, Cmd_List& cmds) {                               \
                        [[maybe_unused]] RowArgs::Arg a1, a2, a3, a4, a5;          \
                        auto build = [&] params { g.builder builderArgs; };        \
                        build args;                                                \
                    }});
#define VARNOK_OPX(result, name, params, args)
#include "BVDevice/EmGnss_ReceiverOps.def"
#undef VARNOK_OP
#undef VARNOK_OPX
    return rows;
}

// Same commands, apart from the new protocol's chunk sequence byte.
bool sameCommands(const std::vector<_STR_CMD>& got, const Cmd_List& want) {
    if (got.size() != want.size()) {
        return false;
    }
    for (std::size_t i = 0; i < got.size(); ++i) {
        const _STR_CMD& a = got[i];
        const _STR_CMD& b = want[i];
        if (a.length != b.length || a.pause != b.pause) {
            return false;
        }
        const bool chunk = b.length > 3 && b.data[0] == '$' && b.data[1] == '$' && b.data[2] == 1;
        for (unsigned k = 0; k < b.length && k < sizeof(b.data); ++k) {
            if (a.data[k] != b.data[k] && !(chunk && k == 3)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

// Every row on open sessions of the old and the new protocol with the library's own protocol
// objects: nothing crashes or blocks. Then on half-open sessions of both (a facade, no write
// thread to take the commands): each command operation queues exactly what its builder makes
// (nothing when the builder makes nothing for that receiver), and a getter queues nothing.
TEST(SessionRowsOpen, EveryRowRunsOnOldAndNewProtocolSessions) {
    UseScriptedProtocol(false);
    struct Kind {
        const char* what;
        MAINBD_OEM_TYPE board;
    } kinds[] = {{"old protocol", MAINBD_NOVATEL}, {"new protocol", MAINBD_NEWPROTOCOL}};
    for (const Kind& k : kinds) {
        FakeTcpPeer peer;
        ASSERT_TRUE(peer.ok());
        EmGnss_Receiver s(GNSS_MNFCTR_VELTA, k.board);
        ASSERT_TRUE(s.Port_Open(peer.param()));
        ASSERT_TRUE(peer.waitConnected(5000));
        std::fflush(stdout);
        for (const auto& row : AllSessionRows()) {
            row.call(s);
        }
        EXPECT_TRUE(s.Port_Close()) << k.what;
    }
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.what);
        EmGnss_Receiver s(GNSS_MNFCTR_VELTA, k.board);
        ASSERT_FALSE(s.Port_Open(closedLoopbackParam()));
        Em_Gnss reference(GNSS_MNFCTR_VELTA, k.board);
        int built = 0;
        for (const BuilderRow& row : BuilderRows()) {
            Probe::clearPending(s);
            Cmd_List want;
            row.build(reference, want);
            row.call(s);
            const std::vector<_STR_CMD> got = Probe::pending(s);
            if (want.size() > EmGnss_Receiver::kMaxPendingCommands) {
                EXPECT_TRUE(got.empty()) << row.name << ": too long for the queue";
            } else {
                EXPECT_TRUE(sameCommands(got, want))
                    << row.name << ": " << got.size() << " commands, " << want.size() << " built";
            }
            built += want.empty() ? 0 : 1;
        }
        EXPECT_GT(built, 50);  // many rows build something for each receiver
        Probe::clearPending(s);
        for (const auto& row : AllSessionRows()) {
            if (row.name.rfind("Get", 0) == 0) {
                row.call(s);
                EXPECT_TRUE(Probe::pendingLengths(s).empty()) << row.name;
            }
        }
        EXPECT_TRUE(s.Port_Close());
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
