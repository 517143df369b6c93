// The simulator's own surface: its settings, its reading of broken input, and the executable.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_OldFrames.h"
#include "SimSession.h"

namespace varnok_test {
namespace {

namespace BV = Brevan2011::BVParse;

TEST(SimReceiverSettings, BadSettingsAreRefusedWithTheirKey) {
    struct Case {
        const char* script;
        const char* mentions;
    };
    const Case cases[] = {
        {"bogus=1", "bogus"},
        {"battery=101", "battery"},
        {"protocol=maybe", "protocol"},
        {"delay_ms=abc", "delay_ms"},
        {"baud=-1", "baud"},
        {"serial=ABCDEFGHIJKLMNOPQRSTUVWXYZ", "serial"},
        {"device_type=x", "device_type"},
        {"noequals", "noequals"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        varnok_sim::SimReceiver sim;
        std::string error;
        EXPECT_FALSE(sim.configure(c.script, &error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
}

TEST(SimReceiverSettings, ScriptsSetKeysAndDeviceTypeNamesTheProtocol) {
    varnok_sim::SimReceiver sim;
    ASSERT_TRUE(sim.configure("# a receiver\nprotocol=new; serial=X1\n  battery=5  # low\n"));
    EXPECT_EQ(sim.value("serial"), "X1");
    EXPECT_EQ(sim.value("battery"), "5");
    EXPECT_EQ(sim.value("firmware"), "1.2.3");
    ASSERT_TRUE(sim.configure("device_type=2"));
    EXPECT_EQ(sim.value("protocol"), "old");
    EXPECT_EQ(sim.value("firmware"), "8.20");
    ASSERT_TRUE(sim.configure("device_type=1"));
    EXPECT_EQ(sim.value("protocol"), "new");
    // A bad key stops the script; the settings before it stay.
    EXPECT_FALSE(sim.configure("serial=X2 nope=1 serial=X3"));
    EXPECT_EQ(sim.value("serial"), "X2");
}

int ConnectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        return fd;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return -1;
}

std::vector<std::uint8_t> OldText(const char* text) {
    std::vector<std::uint8_t> frame(BV::kOldFrameMaxLength);
    std::uint32_t length = 0;
    EXPECT_TRUE(
        BV::Pack_OldFrame(text, frame.data(), &length, BV::kOldFormSerial, BV::kOldKindText));
    frame.resize(length);
    return frame;
}

// Noise, a frame with a bad check byte, a chunk without its CR LF and a truncated frame are
// skipped; the whole request after them is decoded and answered.
TEST(SimReceiverWire, BrokenRequestsAreSkippedAndTheNextIsAnswered) {
    varnok_sim::SimReceiver sim;
    ASSERT_TRUE(sim.configure("protocol=old"));
    ASSERT_TRUE(sim.start());
    const int fd = ConnectTo(sim.tcpPort());
    ASSERT_GE(fd, 0);

    std::vector<std::uint8_t> wire = {0x00, 0xFF, '$', 'x', 0x24};
    std::vector<std::uint8_t> badCheck = OldText("SD");
    badCheck[badCheck.size() - 3] ^= 0x55;
    wire.insert(wire.end(), badCheck.begin(), badCheck.end());
    const std::uint8_t brokenChunk[] = {'$', '$', 0x01, 0x00, 0x02, 0x04, 0x11, 'x', 'x'};
    wire.insert(wire.end(), std::begin(brokenChunk), std::end(brokenChunk));
    const std::vector<std::uint8_t> query = OldText("SI");
    wire.insert(wire.end(), query.begin(), query.end());
    const std::vector<std::uint8_t> truncated = OldText("SD");
    wire.insert(wire.end(), truncated.begin(), truncated.end() - 4);
    ASSERT_EQ(::send(fd, wire.data(), wire.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(wire.size()));

    ASSERT_TRUE(sim.waitForRequest("Send_DeviceInfo", kWaitMs));
    ASSERT_TRUE(sim.waitForBytesSent(128 + 3 * 9, kWaitMs));  // the block in three SI frames
    const std::vector<std::string> names = {"Send_DeviceInfo"};
    EXPECT_EQ(sim.requestNames(), names);
    ::close(fd);
}

// Reads stdout lines of the child until one starts with the prefix.
bool ReadLine(int fd, std::string* pending, const std::string& prefix, std::string* line,
              int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::size_t end;
        while ((end = pending->find('\n')) != std::string::npos) {
            std::string l = pending->substr(0, end);
            pending->erase(0, end + 1);
            if (l.compare(0, prefix.size(), prefix) == 0) {
                *line = l;
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) {
            continue;
        }
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        pending->append(buffer, static_cast<std::size_t>(n));
    }
}

bool WaitExit(pid_t pid, int timeoutMs, int* status) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(SimReceiverTool, ExecutableServesUntilSigterm) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(VARNOK_SIMRECEIVER_EXE, VARNOK_SIMRECEIVER_EXE, "protocol=new", "serial=CHILD1",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string pending, tcpLine, ptyLine;
    ASSERT_TRUE(ReadLine(out[0], &pending, "tcp ", &tcpLine, kWaitMs));
    ASSERT_TRUE(ReadLine(out[0], &pending, "pty ", &ptyLine, kWaitMs));
    const int port = std::stoi(tcpLine.substr(4));
    ASSERT_GT(port, 0);
    EXPECT_EQ(ptyLine.compare(0, 9, "pty /dev/"), 0) << ptyLine;

    {
        Brevan2011::BVDevice::EmGnss_Receiver session(BV::GNSS_MNFCTR_VELTA,
                                                      BV::MAINBD_NEWPROTOCOL);
        Reports::instance().reset(&session);
        session.RegisterCbs_Receiver(Reports::callbacks(), nullptr);
        Brevan2011::BVComm::PARAM_SOCK p;
        p.address = htonl(INADDR_LOOPBACK);
        p.port = static_cast<std::uint32_t>(port);
        ASSERT_TRUE(session.Port_Open(p));
        session.Send_System_Hardware_Info_Query();
        Reported hardware;
        EXPECT_TRUE(Reports::instance().waitFor(4, 0x2, kWaitMs, &hardware));
        EXPECT_EQ(hardware.texts["serial"], "CHILD1");
        std::string request;
        EXPECT_TRUE(ReadLine(out[0], &pending, "request ", &request, kWaitMs));
        EXPECT_EQ(request, "request Send_System_Hardware_Info_Query query 0x0306");
        session.Port_Close();
        Reports::instance().reset(nullptr);
    }

    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_TRUE(WaitExit(pid, kWaitMs, &status));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(out[0]);
}

}  // namespace
}  // namespace varnok_test
