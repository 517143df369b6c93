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
#include "BVDevice/SessionTestHooks.h"
#include "BVParse/Em_Gnss.h"
#include "PtyPair.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
using namespace Brevan2011::BVParse;
namespace BVDevice = Brevan2011::BVDevice;

namespace {

constexpr int kCom = 24;

std::mutex firedMutex;
std::vector<unsigned long> fired;  // read pass of each keep-alive

void onKeepAlive(unsigned long pass) {
    std::lock_guard<std::mutex> guard(firedMutex);
    fired.push_back(pass);
}

std::vector<unsigned long> firedSoFar() {
    std::lock_guard<std::mutex> guard(firedMutex);
    return fired;
}

bool waitFired(std::size_t count, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (firedSoFar().size() < count) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
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

TEST(SessionKeepAlive, FirstPassThenEvery170thUntilSwitchedOff) {
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
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (Probe::readPasses(oem) < 200 && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_GE(Probe::readPasses(oem), 200u);
        EXPECT_TRUE(oem.Port_Close());
        EXPECT_TRUE(firedSoFar().empty());
    }

    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    ASSERT_TRUE(s.Port_Open(param));
    // Keep the line busy so read passes come quickly.
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        while (feeding.load()) {
            pty.writeMaster(std::string(8, '\x55'));
            std::this_thread::sleep_for(1ms);
        }
    });
    std::string wire;
    ASSERT_TRUE(waitFired(3, 30000));
    std::vector<unsigned long> passes = firedSoFar();
    EXPECT_EQ(passes[0], 1u);
    EXPECT_EQ(passes[1], 1u + EmGnss_Receiver::kKeepAlivePasses);
    EXPECT_EQ(passes[2], 1u + 2 * EmGnss_Receiver::kKeepAlivePasses);

    // Off: one "RG,B0", then silence for well over a period.
    s.Send_200Data(false);
    const std::size_t firedAtOff = firedSoFar().size();
    const unsigned long passAtOff = Probe::readPasses(s);
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (Probe::readPasses(s) < passAtOff + 2 * EmGnss_Receiver::kKeepAlivePasses + 10 &&
           std::chrono::steady_clock::now() < until) {
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

    // On again, with the pass-through switch going back and forth meanwhile.
    s.Send_200Data(true);
    std::thread switcher([&] {
        for (int i = 0; i < 4; ++i) {
            s.Send_QxMdl(1);
            s.Send_QxMdl(2);
        }
    });
    switcher.join();
    feeding = false;
    feeder.join();
    EXPECT_TRUE(s.Port_Close());
    BVDevice::SetKeepAliveHook(nullptr);
}
