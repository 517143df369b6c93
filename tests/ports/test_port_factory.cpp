#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "BVComm/PortInstance.h"
#include "BVComm/PortPaths.h"
#include "PtyPair.h"
#include "TempDir.h"

using namespace Brevan2011::BVComm;

namespace {

// A loopback port number with nothing listening on it.
std::uint16_t closedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

IPortInstance* const kUntouched = reinterpret_cast<IPortInstance*>(0x1234);

}  // namespace

TEST(PortFactory, FailuresLeaveTheResultSlotUntouched) {
    SetComPortPath(77, "/dev/varnok-no-such-tty");
    PARAM_COM com;
    com.port = 77;
    PARAM_SOCK sock;
    sock.address = htonl(INADDR_LOOPBACK);
    sock.port = closedLoopbackPort();
    std::string missingFile = "/tmp/varnok-no-such-replay.bin";

    struct Case {
        const char* what;
        int type;
        void* param;
        int expected;
    } cases[] = {
        {"unknown type", 7, &com, 2},
        {"negative type", -1, &com, 2},
        {"serial with no record", 0, nullptr, 4},
        {"COM number mapped to a missing path", 0, &com, 4},
        {"Bluetooth COM number mapped nowhere", 1, &com, 4},
        {"TCP to a closed loopback port", 2, &sock, 2001},
        {"TCP with no record", 2, nullptr, 2001},
        {"missing replay file", 3, missingFile.data(), 1},
        {"replay with no path", 3, nullptr, 1},
    };
    SetBluetoothPortPath(77, "/dev/varnok-no-such-rfcomm");
    for (const Case& c : cases) {
        IPortInstance* slot = kUntouched;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(CreatePortInstance(c.type, c.param, &slot), c.expected) << c.what;
        EXPECT_EQ(slot, kUntouched) << c.what;
        // A refused connection is known at once, well before the 4 s connect limit.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << c.what;
    }
    ClearPortPaths();
}

TEST(PortFactory, DefaultDevicePaths) {
    ClearPortPaths();
    EXPECT_EQ(ComPortPath(1, false), "/dev/ttyS0");
    EXPECT_EQ(ComPortPath(8, false), "/dev/ttyS7");
    EXPECT_EQ(ComPortPath(0, false), "");
    EXPECT_EQ(ComPortPath(8, true), "/dev/rfcomm8");
    SetComPortPath(3, "/dev/ttyUSB0");
    EXPECT_EQ(ComPortPath(3, false), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortPath(3, true), "/dev/rfcomm3");
    ClearComPortPath(3, false);
    EXPECT_EQ(ComPortPath(3, false), "/dev/ttyS2");
}

TEST(PortFactory, BluetoothGivesASerialPortAndExitClearsTheSlot) {
    varnok_test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SetBluetoothPortPath(5, pty.slavePath());
    PARAM_BT bt;
    bt.port = 5;
    IPortInstance* port = nullptr;
    ASSERT_EQ(CreatePortInstance(1, &bt, &port), 0);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->GetType(), 0u);
    EXPECT_TRUE(port->IsOpen());
    port->Uninitialize();
    ExitPortInstance(&port);
    EXPECT_EQ(port, nullptr);
    ExitPortInstance(&port);
    ExitPortInstance(nullptr);
    ClearPortPaths();
}

TEST(PortFactory, SetBaudAfterExitTouchesNothing) {
    SetBaud(115200);  // nothing made yet
    varnok_test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SetComPortPath(6, pty.slavePath());
    PARAM_COM com;
    com.port = 6;
    com.baud = 9600;
    IPortInstance* port = nullptr;
    ASSERT_EQ(CreatePortInstance(0, &com, &port), 0);
    SetBaud(115200);
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));

    SetBaud(14400);  // not a rate the port knows: logged, the port keeps 115200
    ASSERT_EQ(::tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));

    port->Uninitialize();
    ExitPortInstance(&port);
    SetBaud(57600);  // the freed port must not be reached (ASan)
    ClearPortPaths();
}

TEST(PortFactory, FileReplayPort) {
    varnok_test::TempDir dir;
    const std::string path = dir.file("replay.bin");
    varnok_test::writeFile(path, "abc");
    IPortInstance* port = nullptr;
    ASSERT_EQ(CreatePortInstance(3, const_cast<char*>(path.c_str()), &port), 0);
    EXPECT_EQ(port->GetType(), 3u);
    SetBaud(9600);  // the port made last is not serial: nothing happens
    ExitPortInstance(&port);
}
