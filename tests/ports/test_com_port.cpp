#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>

#include "BVComm/ComPort.h"
#include "BVComm/PortPaths.h"
#include "PtyPair.h"

using namespace Brevan2011::BVComm;
using varnok_test::PtyPair;

namespace {

class ComPortOnPty : public ::testing::Test {
protected:
    static constexpr int kCom = 11;
    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        SetComPortPath(kCom, pty_.slavePath());
        param_.port = kCom;
    }
    void TearDown() override { ClearPortPaths(); }
    termios slaveSettings() {
        termios t{};
        EXPECT_EQ(::tcgetattr(pty_.slave(), &t), 0);
        return t;
    }
    PtyPair pty_;
    PARAM_COM param_;
};

}  // namespace

TEST_F(ComPortOnPty, Applies38400EightNoneOneRaw) {
    param_.baud = 38400;
    ComPort port;
    ASSERT_EQ(port.Initialize(&param_), 0u);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.GetType(), 0u);
    const termios t = slaveSettings();
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    port.Uninitialize();
    EXPECT_FALSE(port.IsOpen());
}

TEST(ComPortSettings, ParityStopBitsAndByteSizeCodes) {
    struct Case {
        int byteSize, parity, stopBits;
        tcflag_t size, parityFlags;
        bool twoStops;
    } cases[] = {
        {8, 0, 0, CS8, 0, false},
        {7, 1, 0, CS7, PARENB | PARODD, false},
        {7, 2, 0, CS7, PARENB, false},
        {6, 3, 2, CS6, PARENB | PARODD | CMSPAR, true},
        {5, 4, 1, CS5, PARENB | CMSPAR, true},
        {8, 2, 2, CS8, PARENB, true},
    };
    for (const Case& c : cases) {
        termios t{};
        t.c_cflag = PARENB | PARODD | CMSPAR | CSTOPB | CS5;
        ASSERT_EQ(ComPort::makeSettings(t, 19200, c.byteSize, c.parity, c.stopBits), 0);
        EXPECT_EQ(t.c_cflag & CSIZE, c.size);
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.parityFlags);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStops);
        EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B19200));
    }
}

TEST_F(ComPortOnPty, StopBitsAndMarkParityReachTheDevice) {
    // A pseudo-terminal forces 8 data bits and no parity enable; the other bits stay.
    param_.parity = 3;
    param_.stopBits = 2;
    ComPort port;
    ASSERT_EQ(port.Initialize(&param_), 0u);
    const termios t = slaveSettings();
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), static_cast<tcflag_t>(PARODD | CMSPAR));
    port.Uninitialize();
}

TEST_F(ComPortOnPty, SettingsTheDeviceCannotTakeFailTheOpen) {
    struct Case {
        int baud, byteSize, parity, stopBits;
    } cases[] = {{14400, 8, 0, 0}, {9600, 9, 0, 0}, {9600, 8, 5, 0}, {9600, 8, 0, 3}};
    for (const Case& c : cases) {
        param_.baud = c.baud;
        param_.byteSize = static_cast<std::uint8_t>(c.byteSize);
        param_.parity = static_cast<std::uint8_t>(c.parity);
        param_.stopBits = static_cast<std::uint8_t>(c.stopBits);
        ComPort port;
        EXPECT_NE(port.Initialize(&param_), 0u) << c.baud << " " << c.byteSize;
        EXPECT_FALSE(port.IsOpen());
        char buf[8];
        EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 0u);
    }
}

TEST_F(ComPortOnPty, ReadsOnlyWhatIsQueued) {
    ComPort port;
    ASSERT_EQ(port.Initialize(&param_), 0u);
    char buf[2048];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    pty_.writeMaster("0123456789");
    ASSERT_TRUE(pty_.waitQueued(10, 2000));
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 10u);
    EXPECT_EQ(std::string(buf, 10), "0123456789");

    pty_.writeMaster("abcdef");
    ASSERT_TRUE(pty_.waitQueued(6, 2000));
    EXPECT_EQ(port.ReadData(buf, 4), 4u);
    EXPECT_EQ(port.ReadData(buf + 4, 100), 2u);
    EXPECT_EQ(std::string(buf, 6), "abcdef");
    EXPECT_EQ(port.ReadData(nullptr, 10), 0u);
}

TEST_F(ComPortOnPty, WritesReachTheOtherSideAndClosedPortsDoNothing) {
    ComPort port;
    ASSERT_EQ(port.Initialize(&param_), 0u);
    const std::string frame = "$$hello\r\n";
    EXPECT_EQ(port.WriteData(frame.data(), static_cast<unsigned>(frame.size())), frame.size());
    EXPECT_EQ(pty_.readMaster(frame.size(), 2000), frame);
    EXPECT_EQ(port.WriteData(frame.data(), 0), 0u);

    port.Uninitialize();
    port.Uninitialize();
    char buf[16];
    EXPECT_EQ(port.WriteData(frame.data(), static_cast<unsigned>(frame.size())), 0u);
    EXPECT_EQ(port.ReadData(buf, sizeof(buf)), 0u);
    EXPECT_NE(port.SetBaudRate(9600), 0);
}
