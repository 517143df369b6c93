// A lost link is told once, through the session's own notification; a quiet line and a
// replay file's end are not losses.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "BVComm/PortPaths.h"
#include "FakeTcpPeer.h"
#include "PtyPair.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
using Brevan2011::BVComm::PARAM_COM;

namespace {

// Counts the notifications; the session calls it on its read thread.
struct LossRecord {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
    std::thread::id thread;

    static void onLost(void* user) {
        auto* self = static_cast<LossRecord*>(user);
        {
            std::lock_guard<std::mutex> guard(self->mutex);
            ++self->count;
            self->thread = std::this_thread::get_id();
        }
        self->changed.notify_all();
    }
    bool waitCount(int n, std::chrono::milliseconds within) {
        std::unique_lock<std::mutex> guard(mutex);
        return changed.wait_for(guard, within, [&] { return count >= n; });
    }
    int seen() {
        std::lock_guard<std::mutex> guard(mutex);
        return count;
    }
};

bool waitPasses(EmGnss_Receiver& s, unsigned long passes, std::chrono::milliseconds within) {
    const unsigned long start = Probe::readPasses(s);
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (Probe::readPasses(s) < start + passes) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

enum class Cut { TcpClose, TcpReset, PtyHangUp };

class SessionLinkLost : public SessionTest, public ::testing::WithParamInterface<Cut> {};

}  // namespace

TEST_P(SessionLinkLost, IsToldOnceAndThePortEnds) {
    FakeTcpPeer peer;
    PtyPair pty;
    ASSERT_TRUE(peer.ok());
    ASSERT_TRUE(pty.ok());
    LossRecord loss;
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    s->RegisterCb_LinkLost(&LossRecord::onLost, &loss);
    if (GetParam() == Cut::PtyHangUp) {
        Brevan2011::BVComm::SetComPortPath(21, pty.slavePath());
        PARAM_COM p;
        p.port = 21;
        ASSERT_TRUE(s->Port_Open(p));
        pty.writeMaster(scriptedRecord(4));
    } else {
        ASSERT_TRUE(s->Port_Open(peer.param()));
        ASSERT_TRUE(peer.waitConnected(5000));
        ASSERT_TRUE(peer.send(scriptedRecord(4)));
    }
    // The bytes before the loss are still delivered.
    ASSERT_TRUE(CallbackRecorder::instance().waitData(1, 5000));
    EXPECT_TRUE(s->IsPortOpen());
    EXPECT_EQ(loss.seen(), 0);
    switch (GetParam()) {
        case Cut::TcpClose:
            peer.closeConnection();
            break;
        case Cut::TcpReset:
            peer.resetConnection();
            break;
        case Cut::PtyHangUp:
            pty.closeMaster();
            break;
    }
    ASSERT_TRUE(loss.waitCount(1, 1s));
    EXPECT_FALSE(s->IsPortOpen());
    EXPECT_NE(loss.thread, std::this_thread::get_id());
    // Closing afterwards is an ordinary close, and tells nothing more.
    EXPECT_TRUE(s->Port_Close());
    EXPECT_EQ(loss.seen(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cuts, SessionLinkLost,
                         ::testing::Values(Cut::TcpClose, Cut::TcpReset, Cut::PtyHangUp));

TEST_F(SessionTest, AQuietTcpPeerIsNoLoss) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    LossRecord loss;
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    s->RegisterCb_LinkLost(&LossRecord::onLost, &loss);
    ASSERT_TRUE(s->Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    // A while of silence both ways, then the line carries again.
    std::this_thread::sleep_for(300ms);
    s->Send_DataToPort(bytesOf("ping"), 4);
    ASSERT_TRUE(peer.waitReceived(4, 5000));
    ASSERT_TRUE(peer.send(scriptedRecord(8)));
    ASSERT_TRUE(CallbackRecorder::instance().waitData(1, 5000));
    EXPECT_TRUE(s->IsPortOpen());
    EXPECT_EQ(loss.seen(), 0);
    EXPECT_TRUE(s->Port_Close());
    EXPECT_EQ(loss.seen(), 0);
}

TEST_F(SessionTest, AReplayAtItsEndIsNoLoss) {
    LossRecord loss;
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    s->RegisterCb_LinkLost(&LossRecord::onLost, &loss);
    ASSERT_TRUE(s->Port_Open(replay_.c_str()));
    ASSERT_TRUE(CallbackRecorder::instance().waitData(3, 5000));
    // Reads past the end of the file.
    ASSERT_TRUE(waitPasses(*s, 3, 10s));
    EXPECT_TRUE(s->IsPortOpen());
    EXPECT_EQ(loss.seen(), 0);
    EXPECT_TRUE(s->Port_Close());
    EXPECT_EQ(loss.seen(), 0);
}
