// The simulator's own surface: its settings, its reading of broken input, and the executable.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_OldFrames.h"
#include "SimReceiver/SimProcess.h"
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
        {"late=Send_Battery", "late"},
        {"late=Send_Battery:-5", "late"},
        {"battery_form=ints", "battery_form"},
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

std::string HardwareSerial(unsigned port) {
    Brevan2011::BVDevice::EmGnss_Receiver session(BV::GNSS_MNFCTR_VELTA, BV::MAINBD_NEWPROTOCOL);
    Reports::instance().reset(&session);
    session.RegisterCbs_Receiver(Reports::callbacks(), nullptr);
    Brevan2011::BVComm::PARAM_SOCK p;
    p.address = htonl(INADDR_LOOPBACK);
    p.port = port;
    Reported hardware;
    if (session.Port_Open(p)) {
        session.Send_System_Hardware_Info_Query();
        Reports::instance().waitFor(4, 0x2, kWaitMs, &hardware);
        session.Port_Close();
    }
    Reports::instance().reset(nullptr);
    return hardware.texts["serial"];
}

// The executable through SimProcess: its "tcp" and "pty" lines, an answer, settings on its
// standard input, and SIGTERM ending it with status 0.
TEST(SimReceiverTool, ExecutableServesUntilSigterm) {
    varnok_sim::SimProcess child;
    std::string error;
    ASSERT_TRUE(child.start({"protocol=new", "serial=CHILD1"}, &error)) << error;
    ASSERT_GT(child.tcpPort(), 0u);
    EXPECT_EQ(child.ptyPath().compare(0, 5, "/dev/"), 0) << child.ptyPath();

    EXPECT_EQ(HardwareSerial(child.tcpPort()), "CHILD1");
    EXPECT_TRUE(child.waitForRequest("Send_System_Hardware_Info_Query", kWaitMs));

    ASSERT_TRUE(child.configure("serial=CHILD2", &error)) << error;
    EXPECT_EQ(HardwareSerial(child.tcpPort()), "CHILD2");
    EXPECT_FALSE(child.configure("bogus=1", &error));
    EXPECT_NE(error.find("bogus"), std::string::npos) << error;
    // The answer can reach the session before the child's log line reaches this process.
    EXPECT_TRUE(child.waitForRequests(2, kWaitMs));
    const std::vector<std::string> both(2, "Send_System_Hardware_Info_Query");
    EXPECT_EQ(child.requestNames(), both);

    const int status = child.stop();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// "dump" on the standard input: every key with its value, settings made since included.
TEST(SimReceiverTool, ExecutableDumpsItsWholeState) {
    varnok_sim::SimProcess child;
    std::string error;
    ASSERT_TRUE(child.start({"protocol=old", "serial=DUMP01"}, &error)) << error;
    std::map<std::string, std::string> state;
    ASSERT_TRUE(child.state(&state, &error)) << error;
    EXPECT_EQ(state["protocol"], "old");
    EXPECT_EQ(state["serial"], "DUMP01");
    EXPECT_EQ(state["battery"], "80");
    EXPECT_EQ(state.count("point_name"), 1u);  // empty, but there
    varnok_sim::SimReceiver defaults;
    EXPECT_EQ(state.size(), defaults.state().size());
    ASSERT_TRUE(child.configure("battery=40 late=Send_Battery:250", &error)) << error;
    ASSERT_TRUE(child.state(&state, &error)) << error;
    EXPECT_EQ(state["battery"], "40");
    EXPECT_EQ(state["late"], "Send_Battery:250");
    // A dump between settings does not take their replies.
    EXPECT_FALSE(child.configure("late=Send_Battery", &error));
    EXPECT_NE(error.find("late"), std::string::npos) << error;
    ASSERT_TRUE(child.state(&state, &error)) << error;
    EXPECT_EQ(state["late"], "Send_Battery:250");
}

TEST(SimReceiverTool, ExecutableRefusesABadSetting) {
    varnok_sim::SimProcess child;
    std::string error;
    EXPECT_FALSE(child.start({"protocol=new", "battery=200"}, &error));
    EXPECT_NE(error.find("did not start"), std::string::npos) << error;
}

}  // namespace
}  // namespace varnok_test
