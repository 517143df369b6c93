#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "BVComm/ComPort.h"
#include "BVComm/PortPaths.h"
#include "PtyPair.h"

using namespace Brevan2011::BVComm;
using namespace std::chrono_literals;

TEST(ComPortThreads, UninitializeWakesAWriteStuckOnAFullLine) {
    varnok_test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SetComPortPath(12, pty.slavePath());
    PARAM_COM param;
    param.port = 12;
    ComPort port;
    ASSERT_EQ(port.Initialize(&param), 0u);
    // Nobody reads the master side: the line fills and the write waits for room.
    auto writer = std::async(std::launch::async, [&port] {
        const std::string big(1 << 20, 'w');
        return port.WriteData(big.data(), static_cast<unsigned>(big.size()));
    });
    EXPECT_EQ(writer.wait_for(300ms), std::future_status::timeout);
    port.Uninitialize();
    ASSERT_EQ(writer.wait_for(5s), std::future_status::ready);
    EXPECT_LT(writer.get(), 1u << 20);
    ClearPortPaths();
}

TEST(ComPortThreads, ReaderAndCloserDoNotRace) {
    varnok_test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SetComPortPath(13, pty.slavePath());
    PARAM_COM param;
    param.port = 13;
    for (int round = 0; round < 20; ++round) {
        ComPort port;
        ASSERT_EQ(port.Initialize(&param), 0u);
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            char buf[256];
            while (!stop) {
                port.ReadData(buf, sizeof(buf));
                port.WriteData("ab", 2);
            }
        });
        pty.writeMaster("data");
        std::this_thread::sleep_for(2ms);
        port.Uninitialize();
        stop = true;
        reader.join();
        EXPECT_FALSE(port.IsOpen());
        pty.readMaster(1 << 16, 10);
    }
    ClearPortPaths();
}

// An unplugged receiver hangs the line up: the port ends, so its session can tell. A quiet
// line is not a hang-up.
TEST(ComPortThreads, AHungUpLineEndsThePortAndAQuietOneDoesNot) {
    varnok_test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SetComPortPath(14, pty.slavePath());
    PARAM_COM param;
    param.port = 14;
    ComPort port;
    ASSERT_EQ(port.Initialize(&param), 0u);
    char buf[64];
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_TRUE(port.IsOpen());
    pty.writeMaster("tail");
    ASSERT_TRUE(pty.waitQueued(4, 5000));
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 4u);
    EXPECT_TRUE(port.IsOpen());
    pty.closeMaster();
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.WriteData("x", 1), 0u);
    port.Uninitialize();
    ClearPortPaths();
}
