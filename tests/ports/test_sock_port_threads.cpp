#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "BVComm/SockPort.h"
#include "FakeTcpPeer.h"

using Brevan2011::BVComm::PARAM_SOCK;
using Brevan2011::BVComm::SockPort;
using varnok_test::FakeTcpPeer;
using namespace std::chrono_literals;

namespace {

class SockPortOnLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(peer_.ok());
        PARAM_SOCK p = peer_.param();
        ASSERT_EQ(port_.Initialize(&p), 0u);
        ASSERT_TRUE(peer_.waitConnected(5000));
    }
    void TearDown() override { port_.Uninitialize(); }

    // Reads until count bytes came or a few seconds passed.
    std::string readSome(std::size_t count) {
        std::string got;
        char buf[2048];
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            const unsigned n = port_.ReadData(buf, sizeof(buf));
            if (n == 0) {
                break;
            }
            got.append(buf, n);
        }
        return got;
    }

    FakeTcpPeer peer_;
    SockPort port_;
};

}  // namespace

TEST_F(SockPortOnLoopback, CarriesBytesBothWays) {
    EXPECT_EQ(port_.GetType(), 2u);
    EXPECT_TRUE(port_.IsOpen());
    ASSERT_TRUE(peer_.send("$GPGGA,1*00\r\n"));
    EXPECT_EQ(readSome(13), "$GPGGA,1*00\r\n");
    EXPECT_EQ(port_.WriteData("RG,B0", 5), 5u);
    EXPECT_EQ(port_.WriteData("RG,B0", 0), 0u);
    ASSERT_TRUE(peer_.waitReceived(5, 5000));
    EXPECT_EQ(peer_.received(), "RG,B0");
}

TEST_F(SockPortOnLoopback, AMegabyteToASlowPeerGoesOutWhole) {
    peer_.setSlowReader(1ms, 16384);
    const std::string big(1 << 20, 'z');
    EXPECT_EQ(port_.WriteData(big.data(), static_cast<unsigned>(big.size())), big.size());
    ASSERT_TRUE(peer_.waitReceived(big.size(), 60000));
    EXPECT_EQ(peer_.received(), big);
}

TEST_F(SockPortOnLoopback, WritingToAClosedPeerReturnsShortAndTheProcessLives) {
    peer_.closeConnection();
    EXPECT_EQ(port_.WriteData("x", 1), 1u);  // accepted locally; the peer answers with a reset
    std::this_thread::sleep_for(200ms);
    const std::string big(1 << 20, 'z');
    EXPECT_LT(port_.WriteData(big.data(), static_cast<unsigned>(big.size())), big.size());
}

TEST_F(SockPortOnLoopback, OrderlyCloseReadsZeroAndEndsThePort) {
    peer_.closeConnection();
    char buf[64];
    EXPECT_EQ(port_.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_FALSE(port_.IsOpen());
    EXPECT_EQ(port_.WriteData("x", 1), 0u);
}

TEST_F(SockPortOnLoopback, BytesBeforeThePeersCloseAreReadFirst) {
    ASSERT_TRUE(peer_.send("last words"));
    peer_.closeConnection();
    EXPECT_EQ(readSome(10), "last words");
    char buf[64];
    EXPECT_EQ(port_.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(SockPortOnLoopback, ResetReadsZeroAndCloses) {
    peer_.resetConnection();
    char buf[64];
    EXPECT_EQ(port_.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_FALSE(port_.IsOpen());
    EXPECT_EQ(port_.WriteData("x", 1), 0u);
}

TEST_F(SockPortOnLoopback, UninitializeWakesABlockedRead) {
    auto reader = std::async(std::launch::async, [this] {
        char buf[64];
        return port_.ReadData(buf, sizeof(buf));
    });
    EXPECT_EQ(reader.wait_for(200ms), std::future_status::timeout);  // blocked in recv
    port_.Uninitialize();
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(reader.get(), 0u);
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(SockPortOnLoopback, UninitializeWakesABlockedWrite) {
    peer_.setReading(false);
    auto writer = std::async(std::launch::async, [this] {
        const std::string huge(64 << 20, 'q');
        return port_.WriteData(huge.data(), static_cast<unsigned>(huge.size()));
    });
    EXPECT_EQ(writer.wait_for(300ms), std::future_status::timeout);
    port_.Uninitialize();
    ASSERT_EQ(writer.wait_for(10s), std::future_status::ready);
    EXPECT_LT(writer.get(), 64u << 20);
}

TEST(SockPort, ConnectTimesOutOnAnAddressThatNeverAnswers) {
    // TEST-NET-1 is not routed; a connect there either waits out the limit or fails at once.
    PARAM_SOCK p;
    p.address = htonl(0xC0000201);  // 192.0.2.1
    p.port = 9;
    SockPort port;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Initialize(&p), 2001u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(port.IsOpen());
}
