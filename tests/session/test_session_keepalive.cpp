// The read thread's keep-alive. Its pass counter is shared by the whole library, so this
// test runs in a process of its own and in one piece.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BVComm/PortPaths.h"
#include "SessionTestHooks.h"
#include "BVParse/Em_Gnss.h"
#include "PtyPair.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
using namespace Brevan2011::BVParse;
namespace BVDevice = Brevan2011::BVDevice;

namespace {

constexpr int kCom = 24;
using Clock = std::chrono::steady_clock;

struct Fired {
    unsigned long pass;
    Clock::time_point at;
};

std::mutex firedMutex;
std::vector<Fired> fired;  // each keep-alive, as the read thread sends it

void onKeepAlive(unsigned long pass) {
    std::lock_guard<std::mutex> guard(firedMutex);
    fired.push_back({pass, Clock::now()});
}

std::vector<Fired> firedSoFar() {
    std::lock_guard<std::mutex> guard(firedMutex);
    return fired;
}

// Waits for count keep-alives in all, draining what the session writes into wire.
bool waitFired(std::size_t count, PtyPair& pty, std::string& wire, int timeoutMs = 30000) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (firedSoFar().size() < count) {
        if (Clock::now() > until) {
            return false;
        }
        wire += pty.readMaster(1 << 16, 5);
    }
    return true;
}

// Gaps in milliseconds between the keep-alives from index from on.
std::vector<long long> gapsMs(const std::vector<Fired>& f, std::size_t from) {
    std::vector<long long> gaps;
    for (std::size_t i = from + 1; i < f.size(); ++i) {
        gaps.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(f[i].at - f[i - 1].at).count());
    }
    return gaps;
}

std::string printed(const std::vector<long long>& v) {
    std::string s;
    for (long long x : v) {
        s += std::to_string(x) + " ";
    }
    return s;
}

// The "RG,B200" / "RG,B0" request as the facade builds it.
std::string request200(bool on) {
    Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    Cmd_List cmds;
    g.Get_200Data(cmds, on);
    std::string s;
    for (const _STR_CMD& c : cmds) {
        s.append(reinterpret_cast<const char*>(c.data), c.length);
    }
    return s;
}

std::size_t countOf(const std::string& hay, const std::string& needle) {
    if (needle.empty()) {
        return 0;
    }
    std::size_t n = 0;
    for (std::size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) {
        ++n;
    }
    return n;
}

}  // namespace

// The cadence of 170 read passes of 1 ms, kept by the wall clock: on a quiet line (where the
// read loop waits longer between reads) and on a busy one (where it reads back to back) alike.
TEST(SessionKeepAlive, CadenceFollowsTheWallClockUntilSwitchedOff) {
    UseScriptedProtocol(false);
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    Brevan2011::BVComm::SetComPortPath(kCom, pty.slavePath());
    BVDevice::SetKeepAliveHook(&onKeepAlive);
    Brevan2011::BVComm::PARAM_COM param;
    param.port = kCom;

    // Another maker: never.
    {
        EmGnss_Receiver oem(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
        ASSERT_TRUE(oem.Port_Open(param));
        const auto until = Clock::now() + 5s;
        while (Probe::readPasses(oem) < 200 && Clock::now() < until) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_GE(Probe::readPasses(oem), 200u);
        EXPECT_TRUE(oem.Port_Close());
        EXPECT_TRUE(firedSoFar().empty());
    }

    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    ASSERT_TRUE(s.Port_Open(param));
    std::string wire;

    // Quiet line: the first pass of the process sends, then the gaps stay near 170 ms (bounded
    // generously here; the idle benchmark prints the figure).
    ASSERT_TRUE(waitFired(6, pty, wire));
    EXPECT_EQ(firedSoFar()[0].pass, 1u);
    for (long long gap : gapsMs(firedSoFar(), 0)) {
        EXPECT_LT(gap, 1000) << "quiet line gaps: " << printed(gapsMs(firedSoFar(), 0));
    }

    // Busy line: reads come back to back, yet the keep-alive does not come faster.
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        while (feeding.load()) {
            pty.writeMaster(std::string(64, '\x55'));
            std::this_thread::sleep_for(1ms);
        }
    });
    const std::size_t busyFrom = firedSoFar().size();
    ASSERT_TRUE(waitFired(busyFrom + 6, pty, wire));
    const std::vector<long long> busy = gapsMs(firedSoFar(), busyFrom);
    long long sum = 0;
    for (long long gap : busy) {
        EXPECT_LT(gap, 1000) << "busy line gaps: " << printed(busy);
        sum += gap;
    }
    EXPECT_GE(sum / static_cast<long long>(busy.size()), 150)
        << "busy line gaps: " << printed(busy);
    feeding = false;
    feeder.join();

    // Off: one "RG,B0", then silence for three periods.
    s.Send_200Data(false);
    const std::size_t firedAtOff = firedSoFar().size();
    const auto quietUntil = Clock::now() + 3 * 170ms;
    while (Clock::now() < quietUntil) {
        wire += pty.readMaster(1 << 16, 20);
    }
    wire += pty.readMaster(1 << 16, 200);
    EXPECT_EQ(firedSoFar().size(), firedAtOff);
    // Everything the session wrote so far: one "RG,B200" per keep-alive, then one "RG,B0" after
    // the last of them.
    const std::string on = request200(true);
    const std::string off = request200(false);
    ASSERT_FALSE(on.empty());
    ASSERT_FALSE(off.empty());
    EXPECT_EQ(countOf(wire, on), firedAtOff);
    EXPECT_EQ(countOf(wire, off), 1u);
    EXPECT_GT(wire.rfind(off), wire.rfind(on));

    // On again while someone holds dataLock for longer than a period, as the pass-through switch
    // does: the read thread goes on reading and sends the keep-alive once the lock is free.
    s.Send_200Data(true);
    const std::size_t firedAtOn = firedSoFar().size();
    {
        // On the quiet line a pass waits 25 ms: 40 passes are about five periods.
        const auto hold = Probe::holdDataLock(s);
        const unsigned long passes = Probe::readPasses(s);
        const auto until = Clock::now() + 10s;
        while (Probe::readPasses(s) < passes + 40 && Clock::now() < until) {
            wire += pty.readMaster(1 << 16, 5);
        }
        EXPECT_GE(Probe::readPasses(s), passes + 40) << "the read thread waited for dataLock";
        EXPECT_EQ(firedSoFar().size(), firedAtOn);
    }
    EXPECT_TRUE(waitFired(firedAtOn + 1, pty, wire));

    // And with the pass-through switch going back and forth meanwhile.
    std::thread switcher([&] {
        for (int i = 0; i < 2; ++i) {
            s.Send_QxMdl(1);
            s.Send_QxMdl(2);
        }
    });
    switcher.join();
    EXPECT_TRUE(s.Port_Close());
    BVDevice::SetKeepAliveHook(nullptr);
}

// A renewal waiting behind a long pause: the next one falls due meanwhile but is not queued
// a second time, and goes out once the first has. A slow queue no longer fills with renewals.
TEST(SessionKeepAlive, AtMostOneRenewalWaitsInTheQueue) {
    UseScriptedProtocol(false);
    {
        std::lock_guard<std::mutex> guard(firedMutex);
        fired.clear();
    }
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    Brevan2011::BVComm::SetComPortPath(kCom + 1, pty.slavePath());
    BVDevice::SetKeepAliveHook(&onKeepAlive);
    Brevan2011::BVComm::PARAM_COM param;
    param.port = kCom + 1;
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    ASSERT_TRUE(s.Port_Open(param));
    std::string wire;
    ASSERT_TRUE(waitFired(1, pty, wire));
    s.Send_Null_For_Wait_Interval(3000);  // the writer sits in this pause
    const std::size_t firedAtPause = firedSoFar().size();
    ASSERT_TRUE(waitFired(firedAtPause + 1, pty, wire));
    {
        // On the quiet line a pass waits 25 ms: 40 passes are about five periods.
        const unsigned long passes = Probe::readPasses(s);
        const auto until = Clock::now() + 10s;
        while (Probe::readPasses(s) < passes + 40 && Clock::now() < until) {
            wire += pty.readMaster(1 << 16, 5);
        }
        ASSERT_GE(Probe::readPasses(s), passes + 40);
    }
    const std::string on = request200(true);
    std::size_t queued = 0;
    for (const _STR_CMD& c : Probe::pending(s)) {
        queued += std::string(reinterpret_cast<const char*>(c.data), c.length) == on ? 1 : 0;
    }
    EXPECT_EQ(queued, 1u);
    EXPECT_EQ(firedSoFar().size(), firedAtPause + 1);
    // The renewal that stayed due follows once the queued one is out.
    EXPECT_TRUE(waitFired(firedAtPause + 2, pty, wire));
    EXPECT_TRUE(s.Port_Close());
    BVDevice::SetKeepAliveHook(nullptr);
    Brevan2011::BVComm::ClearPortPaths();
}
