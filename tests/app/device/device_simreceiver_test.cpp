// The program's own stack (device manager, landed session, ports) against varnok-simreceiver
// running as a child process over loopback TCP and a pseudo-terminal.
#include <QTemporaryDir>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "device_test_support.h"
#include "record_view.h"

namespace varnok_test {
namespace {

using Varnok::SocketTarget;
using Strings = std::vector<std::string>;

constexpr int kWaitMs = 15000;
constexpr int kSimCom = 41;

class SimulatedReceiver : public DeviceFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        DeviceFixture::SetUp();
        dm->setSessionFactory({});  // the landed session
    }
    void TearDown() override {
        DeviceFixture::TearDown();
        Brevan2011::BVComm::ClearComPortPath(kSimCom, false);
    }

    void startSim(const Strings& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
    }
    SocketTarget loopback() const {
        SocketTarget t{};
        t.address[0] = 127;
        t.address[3] = 1;
        t.port = sim.tcpPort();
        return t;
    }
    bool waitForStatus(int status) {
        return QTest::qWaitFor([&] { return dm->workingStatus() == status; }, kWaitMs);
    }
    bool waitForFailure() {
        return QTest::qWaitFor([&] { return !hub->named("connectionFailed").empty(); }, kWaitMs);
    }

    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

TEST_F(SimulatedReceiver, NewProtocolOverTcpConnectsAfterTheFirstQueriesInOrder) {
    startSim({"protocol=new", "serial=SN4711", "firmware=1.2.3", "hardware_kind=2"});
    dm->setDeviceType(1);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    ASSERT_TRUE(waitForStatus(4));
    ASSERT_TRUE(sim.waitForRequest("Send_WIFI_Share", kWaitMs));
    Strings first = sim.requestNames();
    first.resize(std::min<std::size_t>(first.size(), 5));
    EXPECT_EQ(first, (Strings{"Send_System_Hardware_Info_Query", "Send_System_Firmware_Info_Query",
                              "Send_Radio_Module_Type_Query", "Send_Gnss_Base_Position_list",
                              "Send_WIFI_Share"}));
    EXPECT_EQ(hub->named("workingStatus"),
              (Strings{"workingStatus(1)", "workingStatus(2)", "workingStatus(4)"}));
    EXPECT_EQ(Varnok::SystemRecord::hardwareSerial(dm->hardwareInfo()), "SN4711");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dm->isWifiShareCapable(); }, kWaitMs));
    EXPECT_TRUE(dm->closePort());
    EXPECT_EQ(dm->workingStatus(), 0);
}

TEST_F(SimulatedReceiver, AutoBaudOnThePtyFindsTheOnlyRateTheReceiverAnswers) {
    startSim({"protocol=new", "baud=115200"});
    Brevan2011::BVComm::SetComPortPath(kSimCom, sim.ptyPath());
    dm->setConnectTimeoutMs(3000);
    dm->setDeviceType(1);
    dm->setConnectOptions(true, {9600, 38400, 115200});
    ASSERT_TRUE(dm->connectDevice(0, kSimCom, 9600, SocketTarget{}));
    ASSERT_TRUE(waitForStatus(4));
    EXPECT_EQ(dm->baudRate(), 115200);
    EXPECT_TRUE(hub->named("connectionFailed").empty());
    EXPECT_TRUE(dm->isSerialConnection());
}

TEST_F(SimulatedReceiver, OldProtocolWaitsAtTwoAfterTheDeviceQuery) {
    startSim({"protocol=old", "firmware=8.20"});
    dm->setDeviceType(2);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    EXPECT_EQ(dm->workingStatus(), 2);
    ASSERT_TRUE(sim.waitForRequest("Send_DeviceInfo", kWaitMs));
    // The device answer belongs to the old-protocol handler, not built yet: no status change.
    EXPECT_EQ(dm->workingStatus(), 2);
}

TEST_F(SimulatedReceiver, BadLinksUnderAutoBaudFailOnceAndLeaveTheManagerIdle) {
    for (const char* mode : {"mode=garbage", "close_after=10"}) {
        SCOPED_TRACE(mode);
        TearDown();
        SetUp();
        sim.stop();
        startSim({"protocol=new", mode});
        dm->setConnectTimeoutMs(400);
        dm->setDeviceType(1);
        dm->setConnectOptions(true, {9600, 115200});
        ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
        ASSERT_TRUE(waitForFailure());
        EXPECT_EQ(hub->named("connectionFailed").size(), 1u);
        EXPECT_EQ(dm->workingStatus(), 0);
        EXPECT_TRUE(sim.waitForRequest("Send_System_Hardware_Info_Query", kWaitMs));
        // A later connect is accepted.
        dm->setConnectOptions(false, {});
        EXPECT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
        EXPECT_TRUE(dm->closePort());
    }
}

}  // namespace
}  // namespace varnok_test
