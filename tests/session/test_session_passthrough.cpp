// Send_QxMdl: pass-through to the main board and back, over a pseudo-terminal, a socket and a
// replay file.
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "BVComm/PortPaths.h"
#include "BVParse/Em_Gnss.h"
#include "FakeTcpPeer.h"
#include "PtyPair.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
using namespace Brevan2011::BVParse;

namespace {

constexpr int kCom = 23;

std::string bytesOf(const Cmd_List& cmds) {
    std::string s;
    for (const _STR_CMD& c : cmds) {
        s.append(reinterpret_cast<const char*>(c.data), c.length);
    }
    return s;
}

speed_t speedOf(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return 0;
    }
    return cfgetospeed(&t);
}

GNSS_MANUFACTURER makerAfterReset(EmGnss_Receiver& s, GNSS_MANUFACTURER want) {
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (s.Get_Gnss_Manufacturer() != want && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    return s.Get_Gnss_Manufacturer();
}

class PassThroughTest : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackRecorder::instance().reset();
        UseScriptedProtocol(false);
        ASSERT_TRUE(pty_.ok());
        Brevan2011::BVComm::SetComPortPath(kCom, pty_.slavePath());
    }
    void TearDown() override {
        session_.reset();
        Brevan2011::BVComm::ClearPortPaths();
    }
    void openSerial(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board, int baud) {
        session_ = std::make_unique<EmGnss_Receiver>(maker, board);
        session_->RegisterCbs_Receiver(CallbackRecorder::callbacks(), nullptr);
        Brevan2011::BVComm::PARAM_COM param;
        param.port = kCom;
        param.baud = baud;
        ASSERT_TRUE(session_->Port_Open(param));
        // The keep-alive of an old-protocol session is not part of these cases.
        session_->Send_200Data(false);
        std::this_thread::sleep_for(200ms);
        drain();
    }
    std::string drain() { return pty_.readMaster(1 << 16, 50); }
    static std::string reference(MAINBD_OEM_TYPE board, unsigned mode, bool direct) {
        Em_Gnss g(GNSS_MNFCTR_VELTA, board);
        Cmd_List cmds;
        if (direct) {
            g.Get_Cmd_Com_Direct(cmds, static_cast<QX_COM_DIRECT_ENUM>(mode));
        } else {
            g.Get_QxMdl(cmds, mode);
        }
        return bytesOf(cmds);
    }

    PtyPair pty_;
    std::unique_ptr<EmGnss_Receiver> session_;
};

}  // namespace

TEST_F(PassThroughTest, IntoPassThroughTheCommandGoesOutThenTheRateFollows) {
    for (int pending : {0, 8}) {
        SCOPED_TRACE(pending);
        CallbackRecorder::instance().reset();
        openSerial(GNSS_MNFCTR_VELTA, MAINBD_STXETX, 9600);
        ASSERT_EQ(session_->Get_MAINBD_OEM_TYPE(), MAINBD_STXETX);
        const std::string frame = reference(MAINBD_STXETX, 1, false);
        ASSERT_FALSE(frame.empty());  // "ST,B1,B254" in the serial frame form
        std::string before;
        for (int i = 0; i < pending; ++i) {
            const unsigned char b = static_cast<unsigned char>('a' + i);
            session_->Send_DataToPort(&b, 1);  // 100 ms each
            before += static_cast<char>(b);
        }
        auto done = std::async(std::launch::async, [&] { session_->Send_QxMdl(1); });
        const std::string got = pty_.readMaster(before.size() + frame.size(), 5000);
        // The frame's last byte is out while the handheld still runs at the old rate.
        EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B9600));
        EXPECT_EQ(got, before + frame);
        done.get();
        EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B38400));
        EXPECT_EQ(Probe::storedComBaud(*session_), 38400);
        EXPECT_EQ(makerAfterReset(*session_, GNSS_MNFCTR_OEM), GNSS_MNFCTR_OEM);
        ASSERT_TRUE(CallbackRecorder::instance().waitStatus(1, 5000));
        EXPECT_TRUE(CallbackRecorder::instance().status().back().flag);
        session_.reset();
    }
}

TEST_F(PassThroughTest, BackToTheOwnProtocolTheRateDropsFirst) {
    openSerial(GNSS_MNFCTR_VELTA, MAINBD_STXETX, 38400);
    ASSERT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B38400));
    const std::string frame = reference(MAINBD_STXETX, 2, false);
    ASSERT_FALSE(frame.empty());  // "ST,B0"
    auto done = std::async(std::launch::async, [&] { session_->Send_QxMdl(2); });
    const std::string got = pty_.readMaster(frame.size(), 5000);
    EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B9600));
    EXPECT_EQ(got, frame);
    done.get();
    EXPECT_EQ(Probe::storedComBaud(*session_), 9600);
    // The maker was 2 already: no reset, no status callback.
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(CallbackRecorder::instance().status().empty());
    EXPECT_EQ(session_->Get_Gnss_Manufacturer(), GNSS_MNFCTR_VELTA);
}

// In pass-through the session talks to the main board; the way back is still the receiver's own
// frame, or the receiver would stay in pass-through while the session switched back.
TEST_F(PassThroughTest, IntoPassThroughAndBackAgain) {
    openSerial(GNSS_MNFCTR_VELTA, MAINBD_STXETX, 9600);
    session_->Send_QxMdl(1);
    ASSERT_EQ(makerAfterReset(*session_, GNSS_MNFCTR_OEM), GNSS_MNFCTR_OEM);
    drain();
    const std::string frame = reference(MAINBD_STXETX, 2, false);
    ASSERT_FALSE(frame.empty());  // "ST,B0"
    session_->Send_QxMdl(2);
    EXPECT_EQ(pty_.readMaster(frame.size(), 5000), frame);
    EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B9600));
    EXPECT_EQ(makerAfterReset(*session_, GNSS_MNFCTR_VELTA), GNSS_MNFCTR_VELTA);
}

TEST_F(PassThroughTest, NewProtocolSendsTheDirectCommandOnly) {
    openSerial(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL, 9600);
    const std::string frame = reference(MAINBD_NEWPROTOCOL, 1, true);
    ASSERT_FALSE(frame.empty());
    session_->Send_QxMdl(1);
    const std::string got = pty_.readMaster(frame.size(), 5000);
    ASSERT_EQ(got.size(), frame.size());
    EXPECT_EQ(got.substr(0, 3), frame.substr(0, 3));
    EXPECT_EQ(got.substr(4), frame.substr(4));  // byte 3 is the chunk sequence number
    EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B9600));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(CallbackRecorder::instance().status().empty());
    EXPECT_EQ(session_->Get_Gnss_Manufacturer(), GNSS_MNFCTR_VELTA);
}

TEST_F(PassThroughTest, AlreadyInPassThroughNoReset) {
    openSerial(GNSS_MNFCTR_OEM, MAINBD_STXETX, 9600);
    session_->Send_QxMdl(1);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(CallbackRecorder::instance().status().empty());
    EXPECT_EQ(session_->Get_Gnss_Manufacturer(), GNSS_MNFCTR_OEM);
}

TEST_F(PassThroughTest, OverASocketTheMakerSwitchesWithoutARateChange) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_STXETX);
    s.RegisterCbs_Receiver(CallbackRecorder::callbacks(), nullptr);
    ASSERT_TRUE(s.Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    s.Send_QxMdl(1);
    EXPECT_EQ(makerAfterReset(s, GNSS_MNFCTR_OEM), GNSS_MNFCTR_OEM);
    EXPECT_EQ(Probe::storedComBaud(s), 9600);
    EXPECT_EQ(peer.received(), reference(MAINBD_STXETX, 1, false));
}

TEST_F(PassThroughTest, AReplayFileIgnoresTheSwitch) {
    TempDir dir;
    const std::string replay = dir.file("replay.bin");
    writeFile(replay, "");
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_STXETX);
    ASSERT_TRUE(s.Port_Open(replay.c_str()));
    Probe::clearWriteEvent(s);
    s.Send_QxMdl(1);
    s.Set_Com_Data_Monitor(true);
    EXPECT_FALSE(Probe::writeEventSet(s));
    EXPECT_TRUE(Probe::pendingLengths(s).empty());
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(s.Get_Gnss_Manufacturer(), GNSS_MNFCTR_VELTA);
}

TEST_F(PassThroughTest, KeepAliveSwitchOnlyForOldProtocolReceivers) {
    TempDir dir;
    const std::string replay = dir.file("replay.bin");
    writeFile(replay, "");
    struct Case {
        MAINBD_OEM_TYPE board;
        bool switches;
    } cases[] = {{MAINBD_NOVATEL, true}, {MAINBD_NEWPROTOCOL, false}};
    for (const Case& c : cases) {
        EmGnss_Receiver s(GNSS_MNFCTR_VELTA, c.board);
        ASSERT_TRUE(s.Port_Open(replay.c_str()));
        std::this_thread::sleep_for(50ms);
        s.Send_200Data(false);
        EXPECT_EQ(Probe::keepAliveOn(s), !c.switches) << c.board;
        EXPECT_TRUE(s.Port_Close());
    }
}

// Without a write thread nobody reports the command written: the wait has its bound.
TEST_F(PassThroughTest, TheWaitForTheCommandIsBoundedWithoutAWriter) {
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_STXETX);
    ASSERT_FALSE(s.Port_Open(closedLoopbackParam()));  // half-open: facade, no threads
    auto done = std::async(std::launch::async, [&] { s.Send_QxMdl(1); });
    EXPECT_EQ(done.wait_for(10s), std::future_status::ready);
    done.get();
    EXPECT_TRUE(s.Port_Close());
}

// Closing ends the wait for a command stuck behind long pauses.
TEST_F(PassThroughTest, ClosingEndsTheWaitForTheCommand) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_STXETX);
    ASSERT_TRUE(s.Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    for (int i = 0; i < 5; ++i) {
        s.Send_Null_For_Wait_Interval(3000);
    }
    auto done = std::async(std::launch::async, [&] { s.Send_QxMdl(1); });
    std::this_thread::sleep_for(300ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(s.Port_Close());
    EXPECT_EQ(done.wait_for(5s), std::future_status::ready);
    done.get();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

// The write thread is stuck waiting for dataLock in a maker reset while the switch holds the
// lock: the switch sends its command itself, before its pause, instead of running out its
// wait.
TEST_F(PassThroughTest, TheCommandGoesOutWhileTheWriterWaitsForAReset) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_STXETX);
    ASSERT_TRUE(s.Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    const std::string frame = reference(MAINBD_STXETX, 2, false);
    ASSERT_FALSE(frame.empty());
    FakeTcpPeer::Clock::time_point returned;
    {
        const auto hold = Probe::holdDataLock(s);
        s.ReSetMnfctr(GNSS_MNFCTR_OEM);  // the writer's handler now waits for dataLock
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (!Probe::writerWantsDataLock(s) && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(Probe::writerWantsDataLock(s));
        s.Send_QxMdl(2);
        returned = FakeTcpPeer::Clock::now();
    }
    ASSERT_TRUE(peer.waitReceived(frame.size(), 5000));
    const auto arrivals = peer.arrivals();
    ASSERT_FALSE(arrivals.empty());
    EXPECT_EQ(peer.received().substr(0, frame.size()), frame);
    EXPECT_LT(arrivals.front().at, returned);  // out before the switch's pause ended
    EXPECT_TRUE(s.Port_Close());
}

// A main-board reset asked for just before the switch: the write thread takes it up, and waits
// for dataLock, at any moment of the switch's wait for its command. The frame still leaves, at
// the old rate, every time.
TEST_F(PassThroughTest, WithABoardResetPendingTheFrameLeavesAtTheOldRate) {
    openSerial(GNSS_MNFCTR_VELTA, MAINBD_STXETX, 9600);
    const std::string frame = reference(MAINBD_STXETX, 1, false);
    ASSERT_FALSE(frame.empty());
    for (int round = 0; round < 16; ++round) {
        SCOPED_TRACE(round);
        auto done = std::async(std::launch::async, [&] {
            session_->ReSetGnsMd(MAINBD_STXETX);
            // Sweep where the switch lands against the write thread's wake-up.
            for (volatile int spin = 0; spin < (round % 8) * 500; spin = spin + 1) {
            }
            session_->Send_QxMdl(1);
        });
        const std::string got = pty_.readMaster(frame.size(), 5000);
        EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B9600));
        EXPECT_EQ(got, frame);
        done.get();
        EXPECT_EQ(speedOf(pty_.slave()), static_cast<speed_t>(B38400));
        // Back to the receiver's own protocol and rate without a command, for the next round.
        ASSERT_EQ(makerAfterReset(*session_, GNSS_MNFCTR_OEM), GNSS_MNFCTR_OEM);
        session_->ReSetMnfctr(GNSS_MNFCTR_VELTA);
        ASSERT_EQ(makerAfterReset(*session_, GNSS_MNFCTR_VELTA), GNSS_MNFCTR_VELTA);
        session_->Port_SetBaud(9600);
        EXPECT_EQ(drain(), "");
    }
}
