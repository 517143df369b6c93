// Recording settings, the static point and the satellite channels against varnok-simreceiver
// over a pseudo-terminal: what the manager sends is what the receiver reads back.
#include <QTemporaryDir>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "device_test_support.h"
#include "record_view.h"

namespace varnok_test {
namespace {

constexpr int kWaitMs = 15000;
constexpr int kSimCom = 42;

class SimulatedSurvey : public DeviceFixture {
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
    void connectOld(int deviceType, const std::vector<std::string>& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        Brevan2011::BVComm::SetComPortPath(kSimCom, sim.ptyPath());
        dm->setDeviceType(deviceType);
        ASSERT_TRUE(dm->connectDevice(0, kSimCom, 9600, Varnok::SocketTarget{}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return dm->workingStatus() == 4; }, kWaitMs));
    }
    // Sends the request and waits for one more answer of that event.
    template <class Request>
    bool answered(const char* event, Request request) {
        const std::size_t before = hub->named(event).size();
        request();
        return QTest::qWaitFor([&] { return hub->named(event).size() > before; }, kWaitMs);
    }

    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

TEST_F(SimulatedSurvey, OldProtocolRecordingSettingsAndPointReadBack) {
    connectOld(0, {"protocol=old", "firmware=8.21", "board=2", "memory=3"});
    Varnok::StaticPointSettings point;
    point.name = "PT01";
    point.height = 1.5f;
    point.antennaType = 28;
    point.antennaCode = "ZORK45";
    point.heightReference = 4;
    dm->setStaticSettings(1, 128, 5, 10, point);
    ASSERT_TRUE(sim.waitForRequest("Set_Static_AntType", kWaitMs));

    ASSERT_TRUE(answered("deviceInfo", [&] { dm->queryFileRecordSettings(); }));
    const Varnok::RecordView device(*dm->deviceInfo());
    EXPECT_EQ(device.byte(76), 1);
    EXPECT_EQ(device.byte(77), 128);
    EXPECT_EQ(device.byte(81), 5);
    EXPECT_EQ(device.byte(82), 10);
    EXPECT_EQ(device.byte(83), 3);

    ASSERT_TRUE(answered("staticPointInfo", [&] { dm->queryStaticPoint(); }));
    const Varnok::StaticPointSettings back = dm->staticPointSettings();
    EXPECT_EQ(back.name, "PT01");
    EXPECT_FLOAT_EQ(back.height, 1.5f);
    EXPECT_EQ(back.antennaType, 28);
    EXPECT_EQ(back.heightReference, 4);

    dm->startStaticRecord();
    EXPECT_TRUE(sim.waitForRequest("Set_Static_Begin", kWaitMs));
    EXPECT_TRUE(dm->closePort());
}

TEST_F(SimulatedSurvey, OldProtocolSatelliteChannelsReadBack) {
    connectOld(0, {"protocol=old", "firmware=8.21", "board=2", "sat_channels=224"});
    Varnok::SatelliteChannelBytes l5;
    l5.l5 = 1;
    dm->setSatelliteChannelStatus(l5);
    ASSERT_TRUE(sim.waitForRequest("Set_DevcInfo", kWaitMs));
    ASSERT_TRUE(answered("deviceInfo", [&] { dm->queryDeviceInfo(); }));
    const bool* on = dm->satelliteChannelStatus();
    EXPECT_FALSE(on[0]);
    EXPECT_TRUE(on[1]);
    EXPECT_FALSE(on[2]);
    EXPECT_TRUE(dm->closePort());
}

TEST_F(SimulatedSurvey, NewProtocolFileRecordingAndOutputRatesReadBack) {
    std::string error;
    ASSERT_TRUE(sim.start({"protocol=new", "com_baud=8", "data_rates=12:9,13:2"}, &error)) << error;
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = sim.tcpPort();
    dm->setDeviceType(1);
    ASSERT_TRUE(dm->connectDevice(2, 0, 9600, target));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dm->workingStatus() == 4; }, kWaitMs));

    dm->setFileRecordSettings(0, 30, 12, 15, true);
    ASSERT_TRUE(sim.waitForRequest("Send_File_Record_Param", kWaitMs));
    ASSERT_TRUE(answered("fileRecordParam", [&] { dm->queryFileRecordSettings(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("elevMask").empty(); }, kWaitMs));
    const QX_FILE_RECORD_CONFIG_STRUCT param = dm->fileRecordParam();
    const Varnok::RecordView record(param);
    EXPECT_EQ(record.le32(32), 30u);
    EXPECT_EQ(record.le32(40) & 0xFFFF, 12u);
    EXPECT_TRUE(dm->fileRecordAutoOpen());
    EXPECT_EQ(dm->elevMask(), 15);
    EXPECT_EQ(dm->fileRecordStatus(), 2);

    ASSERT_TRUE(answered("fileRecordStatus", [&] { dm->startStaticRecord(); }));
    EXPECT_EQ(dm->fileRecordStatus(), 1);

    // Rates as the output page writes them: GPGGA at 1 Hz, GPGSV with the code it was read at,
    // GPRMC off. They go to the Bluetooth and serial ports; IO 0's list is what the query reads.
    std::vector<_set_nmea> rates = {{12, 3}, {13, 255}, {27, 0}};
    dm->setNmeaOutput(rates, false, 3);
    ASSERT_TRUE(answered("ioConfigs", [&] { dm->queryNmeaOutputConfigs(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("comBaud").empty(); }, kWaitMs));
    QX_DATA_CONFIG_LIST list{};
    ASSERT_TRUE(dm->ioConfigs(0, list));
    EXPECT_EQ(list.entries[12], 9);
    EXPECT_EQ(list.entries[13], 2);
    EXPECT_EQ(list.entries[27], 0);
    std::map<std::string, std::string> state;
    ASSERT_TRUE(sim.state(&state));
    EXPECT_EQ(state["io1_rates"], "12:9,13:2,27:1");
    EXPECT_EQ(state["io4_rates"], "12:9,13:2,27:1");
    EXPECT_EQ(dm->comBaudrate(), 8);
    EXPECT_TRUE(dm->closePort());
}

}  // namespace
}  // namespace varnok_test
