// The command queue seen from the device manager, on the landed session over loopback TCP:
// what the user asks for on the way out reaches the wire before the port closes.
#include <QTemporaryDir>

#include <chrono>
#include <string>

#include "BVComm/PortPaths.h"
#include "FakeTcpPeer.h"
#include "SimReceiver/SimProcess.h"
#include "device_test_support.h"

namespace varnok_test {
namespace {

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class QueueOverTcp : public DeviceFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        DeviceFixture::SetUp();
        dm->setSessionFactory({});  // the landed session
        ASSERT_TRUE(peer.ok());
        Varnok::SocketTarget target{};
        target.address[0] = 127;
        target.address[3] = 1;
        target.port = peer.port();
        dm->setManufacturer(2);
        dm->setDeviceType(0);  // the old protocol, whose commands pause 100-200 ms each
        ASSERT_TRUE(dm->connectDevice(2, 0, 9600, target));
        ASSERT_TRUE(peer.waitConnected(5000));
    }
    void TearDown() override {
        dm->closePort();
        DeviceFixture::TearDown();
    }

    QTemporaryDir logs_;
    FakeTcpPeer peer;
};

class PowerOffOnExit : public QueueOverTcp, public ::testing::WithParamInterface<int> {};

TEST_P(PowerOffOnExit, ReachesTheWireBeforeTheClose) {
    const int ahead = GetParam();
    for (int i = 0; i < ahead; ++i) {
        dm->send200Data(true);  // "RG,B200", 100 ms each
    }
    EXPECT_TRUE(dm->powerOffReceiver());
    EXPECT_TRUE(dm->closePort());
    // What was written before the close arrives, however late the peer reads it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string wire = peer.received();
    while (wire.find("$$SG") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        peer.waitReceived(wire.size() + 1, 50);
        wire = peer.received();
    }
    ASSERT_NE(wire.find("$$SG"), std::string::npos) << ahead << " ahead, " << wire.size();
    // Everything queued ahead went out first.
    EXPECT_GE(countOf(wire.substr(0, wire.find("$$SG")), "$$RG"), static_cast<std::size_t>(ahead));
}

INSTANTIATE_TEST_SUITE_P(Ahead, PowerOffOnExit, ::testing::Values(0, 10, 39));

class QueueOnTheSimulator : public DeviceFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        DeviceFixture::SetUp();
        dm->setSessionFactory({});  // the landed session
    }
    void TearDown() override {
        dm->closePort();
        DeviceFixture::TearDown();
    }
    void connectOld(const std::vector<std::string>& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        Varnok::SocketTarget target{};
        target.address[0] = 127;
        target.address[3] = 1;
        target.port = sim.tcpPort();
        dm->setManufacturer(2);
        dm->setDeviceType(0);
        ASSERT_TRUE(dm->connectDevice(2, 0, 9600, target));
        ASSERT_TRUE(QTest::qWaitFor([&] { return dm->workingStatus() == 4; }, 15000));
    }
    std::size_t requestsNamed(const std::string& prefix) const {
        std::size_t n = 0;
        for (const std::string& name : sim.requestNames()) {
            n += name.rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return n;
    }

    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

// The keep-alive renews while a long set drains at 200 ms a command: the renewals no longer
// pile up behind it, so the page's read-back right after the set is taken.
TEST_F(QueueOnTheSimulator, AGetAfterA32CommandSetGoesOut) {
    connectOld({"protocol=old", "firmware=8.20"});
    for (int ch = 0; ch < 16; ++ch) {
        dm->setRadioChannelFreq(ch, 455.05 + 0.5 * ch, static_cast<Channel_Space>(0));
        dm->setRadioChannelType(ch, static_cast<Rdo_Channel_Type>(0));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestsNamed("Set_Radio_Channel_") >= 32; }, 30000));
    const std::size_t before = sim.requestNames().size();
    // A read-back of seven requests: the channel lists and what the info pages ask.
    dm->queryRadioChannelList(true, true);
    dm->sendBattery();
    dm->queryDeviceInfo();
    dm->queryStaticPoint();
    dm->queryNmeaOutputConfigs();
    const auto asked = [&] {
        const std::vector<std::string> names = sim.requestNames();
        std::size_t n = 0;
        for (std::size_t i = before; i < names.size(); ++i) {
            n += names[i] != "Send_200Data" ? 1 : 0;
        }
        return n;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked() >= 6; }, 5000)) << [&] {
        std::string out;
        const std::vector<std::string> names = sim.requestNames();
        for (std::size_t i = before; i < names.size(); ++i) {
            out += names[i] + " ";
        }
        return out;
    }();
}

}  // namespace
}  // namespace varnok_test
