// The program's own stack (device manager, landed session, ports) against varnok-simreceiver
// running as a child process over loopback TCP and a pseudo-terminal.
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "device_test_support.h"
#include "radio_config.h"
#include "record_view.h"

#include <algorithm>

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

TEST_F(SimulatedReceiver, OldProtocolDeviceTypeTwoConnectsOnTheDeviceInformation) {
    startSim({"protocol=old", "firmware=8.20"});
    dm->setDeviceType(2);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    ASSERT_TRUE(sim.waitForRequest("Send_DeviceInfo", kWaitMs));
    ASSERT_TRUE(waitForStatus(4));
    EXPECT_EQ(hub->named("workingStatus"),
              (Strings{"workingStatus(1)", "workingStatus(2)", "workingStatus(4)"}));
    EXPECT_EQ(dm->boardType(), 2);
    EXPECT_TRUE(dm->closePort());
}

TEST_F(SimulatedReceiver, OldProtocolTypeFiveGoesThroughTheGprsVersion) {
    startSim({"protocol=old", "firmware=8.20", "gprs_version=3.60"});
    dm->setDeviceType(5);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    ASSERT_TRUE(waitForStatus(4));
    EXPECT_EQ(hub->named("workingStatus"), (Strings{"workingStatus(1)", "workingStatus(2)",
                                                    "workingStatus(3)", "workingStatus(4)"}));
    EXPECT_TRUE(sim.waitForRequest("Send_Gprs_Version", kWaitMs));
    EXPECT_DOUBLE_EQ(dm->gprsVersion(), 3.6);
    EXPECT_EQ(hub->named("gprsVersion").size(), 1u);
    EXPECT_TRUE(dm->closePort());
}

TEST_F(SimulatedReceiver, NewProtocolRadioAnswersLandInTheRadioStore) {
    startSim({"protocol=new", "radio_module=4", "radio_frequency=438.125", "radio_power=20",
              "radio_stepper=250", "radio_air_baud=19200", "radio_protocol=5"});
    dm->setDeviceType(1);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    ASSERT_TRUE(waitForStatus(4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("radioType").empty(); }, kWaitMs));
    EXPECT_EQ(hub->named("radioType"), Strings{"radioType(4)"});
    dm->queryRadioSettings();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !hub->named("radioFreq").empty() && !hub->named("radioProtocol").empty() &&
                   !hub->named("radioPower").empty() && !hub->named("radioFreqStep").empty() &&
                   !hub->named("radioBaudrate").empty();
        },
        kWaitMs));
    const Strings events = hub->events();
    const auto at = [&events](const std::string& e) {
        return std::find(events.begin(), events.end(), e) - events.begin();
    };
    EXPECT_LT(at("radioType(4)"), at("radioFreq()"));
    const RadioConfig& radio = RadioConfig::instance();
    EXPECT_EQ(radio.radioType(), 4);
    EXPECT_EQ(radio.frequency(), 438.125);
    EXPECT_EQ(radio.power(), 20);
    EXPECT_EQ(radio.stepper(), 250);
    EXPECT_EQ(radio.baud(), 19200);
    EXPECT_EQ(radio.protocol(), 5);
    EXPECT_TRUE(sim.waitForRequest("Send_Radio_Channel_List_All_Query", kWaitMs));
    EXPECT_TRUE(dm->closePort());
}

TEST_F(SimulatedReceiver, NewProtocolPositionOutputIsOneRateItemWithoutAPort) {
    startSim({"protocol=new"});
    dm->setDeviceType(1);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    ASSERT_TRUE(waitForStatus(4));
    // The details of the requests that carry the position's data type, in order.
    const auto positionRequests = [this] {
        Strings out;
        for (const std::string& d : sim.requestDetails()) {
            if (d.find("0x0410") != std::string::npos) {
                out.push_back(d);
            }
        }
        return out;
    };
    dm->startPositionOutput();
    ASSERT_TRUE(QTest::qWaitFor([&] { return positionRequests().size() == 1; }, kWaitMs));
    dm->stopPositionOutput();
    ASSERT_TRUE(QTest::qWaitFor([&] { return positionRequests().size() == 2; }, kWaitMs));
    // Rate code 9 on, 1 off; no port item (0x0404) goes with it.
    EXPECT_EQ(positionRequests(), (Strings{"set 0x0410=0009", "set 0x0410=0001"}));
    EXPECT_TRUE(dm->closePort());
}

TEST_F(SimulatedReceiver, OldProtocolStaticFilesAreListedAndDownloaded) {
    // Two files: 2020-09-15 05:26:24 (1 h 30 min) and 16 s later; 130 bytes each, so a
    // download comes in pieces of 55, 55 and 20.
    startSim({"protocol=old", "firmware=8.21", "serial=000123",
              "static_files=1284182784:36872:90,1284182800:70:5", "static_file_size=130",
              "static_status=1", "static_antenna=ANT-7"});
    dm->setDeviceType(2);
    dm->setReceiverId(QStringLiteral("0001"));
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, loopback()));
    ASSERT_TRUE(waitForStatus(4));

    dm->queryStaticFileDir();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("staticFileDir").empty(); }, kWaitMs));
    const std::vector<Varnok::StaticFileRecord> files = dm->staticFileList();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "0001259F");
    EXPECT_EQ(files[0].size, 36872);
    EXPECT_EQ(files[0].secondTime.hour, 1);
    EXPECT_EQ(files[0].secondTime.minute, 30);
    EXPECT_EQ(files[1].gpsTime, 1284182800u);
    EXPECT_EQ(files[1].size, 70);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("0001259F.dat"));
    const std::uint32_t file = 7;
    ASSERT_TRUE(dm->openStaticFileDownload(file, path.toUtf8().constData(), "2020-09-15"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("staticFileData").empty(); }, kWaitMs));
    EXPECT_EQ(hub->named("staticFileLength"),
              (Strings{"staticFileLength(55)", "staticFileLength(55)", "staticFileLength(20)"}));
    QByteArray expected(
        "VELTANAV COLLECTED DATA FILE\r\nver 54.0\r\nReceiverID:0001\r\n"
        "Date:2020-09-15\r\nModel:1905\r\nAntHigh:0.000\r\n");
    expected.resize(160, '\0');
    for (int i = 0; i < 130; ++i) {
        expected.append(static_cast<char>((i + file) % 251));
    }
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), expected);

    // A file of whole pieces ends with an empty one.
    std::string error;
    ASSERT_TRUE(sim.configure("static_file_size=110", &error)) << error;
    hub->clear();
    const QString second = dir.filePath(QStringLiteral("second.dat"));
    ASSERT_TRUE(dm->openStaticFileDownload(file, second.toUtf8().constData(), "2020-09-15"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("staticFileData").empty(); }, kWaitMs));
    EXPECT_EQ(hub->named("staticFileLength"),
              (Strings{"staticFileLength(55)", "staticFileLength(55)", "staticFileLength(0)"}));
    EXPECT_EQ(QFileInfo(second).size(), 160 + 110);

    // The recording status and the antenna type.
    ASSERT_TRUE(dm->hasStaticStatusQuery());
    dm->queryStaticStatus();
    dm->queryStaticPoint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dm->staticStatus(); }, kWaitMs));
    EXPECT_EQ(hub->named("fileRecordStatus").size(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dm->staticAntennaType() == QStringLiteral("ANT-7"); },
                                kWaitMs));
    EXPECT_TRUE(dm->closePort());
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
