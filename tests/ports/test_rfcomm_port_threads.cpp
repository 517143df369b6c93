// The Bluetooth port over a bound COM number, with an AF_UNIX socketpair standing in for the
// radio link: bytes both ways, a hang-up ends the port, a refused connect says why, a close
// wakes a waiting write.
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "BVComm/PortInstance.h"
#include "BVComm/PortPaths.h"
#include "BVComm/RfcommPort.h"
#include "TempDir.h"

using namespace Brevan2011::BVComm;
using namespace std::chrono_literals;
using varnok_test::readFile;

namespace {

constexpr int kCom = 5;
constexpr std::uint64_t kReceiver = 0x00025B0A1C2DULL;

// Reads from the port until want bytes came or a few seconds passed.
std::string readPort(IPortInstance* port, std::size_t want) {
    std::string got;
    const auto until = std::chrono::steady_clock::now() + 5s;
    char buffer[256];
    while (got.size() < want && std::chrono::steady_clock::now() < until) {
        const unsigned int n = port->ReadData(buffer, sizeof buffer);
        if (n == 0) {
            std::this_thread::sleep_for(1ms);  // the session's read thread polls the same way
        }
        got.append(buffer, n);
    }
    return got;
}

class RfcommLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair_), 0);
        SetBluetoothPortAddress(kCom, kReceiver);
        SetRfcommConnector([this](std::uint64_t address, int* error) {
            asked_ = address;
            if (refuse_ != 0) {
                *error = refuse_;
                return -1;
            }
            const int fd = pair_[0];
            pair_[0] = -1;  // the port owns it now
            return fd;
        });
    }
    void TearDown() override {
        if (port_ != nullptr) {
            port_->Uninitialize();
            ExitPortInstance(&port_);
        }
        SetRfcommConnector({});
        ClearBluetoothPortAddress(kCom);
        for (int fd : pair_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    int open() {
        PARAM_BT p;
        p.port = kCom;
        return CreatePortInstance(kPortBluetooth, &p, &port_);
    }
    void hangUp() {
        ::close(pair_[1]);
        pair_[1] = -1;
    }

    int pair_[2] = {-1, -1};
    int refuse_ = 0;
    std::atomic<std::uint64_t> asked_{0};
    IPortInstance* port_ = nullptr;
};

TEST_F(RfcommLink, TheBoundNumberCarriesBytesBothWays) {
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(asked_.load(), kReceiver);
    EXPECT_EQ(port_->GetType(), 0u);
    EXPECT_TRUE(port_->IsOpen());
    EXPECT_EQ(LastBluetoothConnectError(), 0);

    EXPECT_EQ(port_->WriteData("$$SI\r\n", 6), 6u);
    char buffer[16] = {};
    ASSERT_EQ(::recv(pair_[1], buffer, sizeof buffer, 0), 6);
    EXPECT_EQ(std::string(buffer, 6), "$$SI\r\n");

    char empty[8];
    EXPECT_EQ(port_->ReadData(empty, sizeof empty), 0u) << "nothing has arrived: no wait";
    const std::string answer(3000, 'x');
    ASSERT_EQ(::send(pair_[1], answer.data(), answer.size(), 0),
              static_cast<ssize_t>(answer.size()));
    EXPECT_EQ(readPort(port_, answer.size()), answer);
    EXPECT_TRUE(port_->IsOpen());
}

TEST_F(RfcommLink, AHangUpEndsThePort) {
    struct Case {
        const char* what;
        bool writeFirst;
    };
    for (const Case c : {Case{"seen by a read", false}, Case{"seen by a write", true}}) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        ASSERT_EQ(open(), 0);
        ASSERT_EQ(::send(pair_[1], "ab", 2, 0), 2);
        hangUp();
        if (c.writeFirst) {
            EXPECT_EQ(port_->WriteData("x", 1), 0u);
        } else {
            EXPECT_EQ(readPort(port_, 2), "ab") << "what came before the hang-up is read";
            char buffer[8];
            EXPECT_EQ(port_->ReadData(buffer, sizeof buffer), 0u);
        }
        EXPECT_FALSE(port_->IsOpen());
        char buffer[8];
        EXPECT_EQ(port_->ReadData(buffer, sizeof buffer), 0u);
        EXPECT_EQ(port_->WriteData("y", 1), 0u);
    }
    const std::string log = readFile(LogDirectory() + "/runtime.log");
    EXPECT_NE(log.find("Bluetooth COM5: link to 00:02:5B:0A:1C:2D lost"), std::string::npos) << log;
}

TEST_F(RfcommLink, AFailedConnectSaysWhyAndHandsNoPort) {
    for (int error : {ECONNREFUSED, EHOSTDOWN}) {
        refuse_ = error;
        IPortInstance* untouched = reinterpret_cast<IPortInstance*>(0x1);
        port_ = untouched;
        EXPECT_EQ(open(), kPortSerialNotOpened);
        EXPECT_EQ(port_, untouched);
        port_ = nullptr;
        EXPECT_EQ(LastBluetoothConnectError(), error);
    }
    const std::string log = readFile(LogDirectory() + "/runtime.log");
    EXPECT_NE(log.find("connection to 00:02:5B:0A:1C:2D failed: Connection refused"),
              std::string::npos)
        << log;

    // A number that no binding leads to is no socket: it opens the serial device (none here).
    ClearBluetoothPortAddress(kCom);
    SetBluetoothPortPath(kCom, "/nonexistent/rfcomm5");
    refuse_ = 0;
    asked_ = 0;
    EXPECT_EQ(open(), kPortSerialNotOpened);
    EXPECT_EQ(asked_.load(), 0u);
    ClearComPortPath(kCom, true);
}

TEST_F(RfcommLink, ACloseWakesAWriteThatWaitsForRoom) {
    ASSERT_EQ(open(), 0);
    // The peer reads nothing, so the socket's buffer fills and the write waits for room.
    const std::string big(8 * 1024 * 1024, 'z');
    auto writing = std::async(std::launch::async, [this, &big] {
        return port_->WriteData(big.data(), static_cast<unsigned int>(big.size()));
    });
    // Once bytes arrive the write is under way; it then waits for room that never comes.
    ASSERT_TRUE([this] {
        const auto until = std::chrono::steady_clock::now() + 5s;
        int queued = 0;
        while (std::chrono::steady_clock::now() < until) {
            if (::ioctl(pair_[1], FIONREAD, &queued) == 0 && queued > 0) {
                return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }());
    port_->Uninitialize();
    ASSERT_EQ(writing.wait_for(5s), std::future_status::ready);
    EXPECT_LT(writing.get(), big.size());
    EXPECT_FALSE(port_->IsOpen());
}

TEST_F(RfcommLink, ReaderAndWriterMeetAHangUp) {
    ASSERT_EQ(open(), 0);
    std::atomic<bool> stop{false};
    std::thread reader([this, &stop] {
        char buffer[64];
        while (!stop && port_->IsOpen()) {
            port_->ReadData(buffer, sizeof buffer);
        }
    });
    std::thread writer([this, &stop] {
        while (!stop && port_->IsOpen()) {
            port_->WriteData("0123456789", 10);
        }
    });
    char sink[4096];
    ASSERT_GT(::recv(pair_[1], sink, sizeof sink, 0), 0);
    hangUp();
    const bool ended = [this] {
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (port_->IsOpen() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(1ms);
        }
        return !port_->IsOpen();
    }();
    stop = true;
    reader.join();
    writer.join();
    EXPECT_TRUE(ended);
}

TEST(RfcommPlatform, TheRealSocketCallReachesTheKernel) {
    // On a machine without Bluetooth the kernel has no such family, or no adapter to route by.
    int error = 0;
    const int fd = ConnectRfcomm(kReceiver, &error);
    EXPECT_EQ(fd, -1);
    if (fd >= 0) {
        ::close(fd);
    }
    EXPECT_TRUE(error == EAFNOSUPPORT || error == EHOSTUNREACH) << error;
}

}  // namespace
