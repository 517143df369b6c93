// What the recording, static point and output requests put on the wire, as the simulated
// receiver decodes them from a real session.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "SimSession.h"

namespace varnok_test {
namespace {

namespace BV = Brevan2011::BVParse;

// The detail of the first request of that name ("" when none came).
std::string DetailOf(const varnok_sim::SimReceiver& sim, const std::string& name) {
    for (const varnok_sim::Request& r : sim.requests()) {
        if (r.name == name) {
            return r.detail;
        }
    }
    return std::string();
}

TEST(SimReceiverSurvey, OldProtocolRecordingAndStaticPointBytes) {
    SimSession link("protocol=old firmware=8.21", BV::MAINBD_NOVATEL);
    ASSERT_TRUE(link.openPty(9600));
    auto& s = link.session();
    s.Set_DevcInfo_RrdTp(1);
    s.Set_DevcInfo_RrdTime(128);
    s.Set_DevcInfo_RrdFrq(5);
    s.Set_DevcInfo_Mask(10);
    BV::Static_Point point{};
    point.nameLength = 4;
    std::memcpy(point.name, "PT01", 4);
    const float height = 1.5f;
    std::memcpy(&point.value, &height, sizeof height);
    point.byteField = 28;
    point.method = 4;
    s.Set_Static_Point(&point);
    s.Set_Static_AntType("ZORK45");
    s.Set_SatelliteChannelStatus(0x40);
    s.Set_Static_Begin(true);
    ASSERT_TRUE(link.sim().waitForRequest("Set_Static_Begin", kWaitMs));

    std::vector<std::string> records;
    for (const varnok_sim::Request& r : link.sim().requests()) {
        if (r.name == "Set_DevcInfo") {
            records.push_back(r.detail);
        }
    }
    EXPECT_EQ(records, (std::vector<std::string>{"SJ 2A 01", "SJ 2B 80", "SJ 31 05", "SJ 32 0A",
                                                 "SJ 2E 40"}));
    EXPECT_EQ(DetailOf(link.sim(), "Set_Static_Point"), "FA 04 50 54 30 31 00 00 C0 3F 1C 03");
    EXPECT_EQ(DetailOf(link.sim(), "Set_Static_AntType"),
              "FS 5A 4F 52 4B 34 35 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(DetailOf(link.sim(), "Set_Static_Begin"), "FD 00");
    EXPECT_EQ(link.sim().value("record_session"), "128");
    EXPECT_EQ(link.sim().value("sat_channels"), "64");
    EXPECT_EQ(link.sim().value("static_status"), "1");
}

// "RD" carries the rates in the order "RC" reports them; the tenth and eleventh travel as one
// word, high byte first, so a swap shows here.
TEST(SimReceiverSurvey, OldNmeaOutputAndPortBaudAreKeptForTheConfigurationAnswer) {
    SimSession link("protocol=old firmware=8.21 board=2", BV::MAINBD_NOVATEL);
    ASSERT_TRUE(link.openPty(9600));
    std::vector<BV::_set_nmea> list = {{0x1, 4}, {0x40, 11}, {0x800, 5}, {0x1000, 13}};
    link.session().Set_Velta_NMEA(list, 3, true);
    link.session().Set_Com_Baudrate(static_cast<BV::Com_Baudrate>(3));
    ASSERT_TRUE(link.sim().waitForRequest("Set_Com_Baudrate", kWaitMs));
    EXPECT_EQ(link.sim().value("nmea_rates"), "4,11,0,0,0,0,0,0,0,5,13");
    EXPECT_EQ(link.sim().value("nmea_output"), "3");
    EXPECT_EQ(link.sim().value("nmea_keep"), "1");
    EXPECT_EQ(link.sim().value("nmea_port"), "250");
}

TEST(SimReceiverSurvey, NewProtocolPositionOutputIsOneRateItemWithoutIo) {
    SimSession link("protocol=new", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Gnss_Data_Freq(std::vector<BV::DataFreq>{{0x410, 9}},
                                       static_cast<BV::QX_GNSS_IO_ID_ENUM>(0));
    ASSERT_TRUE(link.sim().waitForRequest("Send_Gnss_Data_Freq", kWaitMs));
    EXPECT_EQ(DetailOf(link.sim(), "Send_Gnss_Data_Freq"), "set 0x0410=0009");

    link.sim().clearRequests();
    link.session().Send_Gnss_Data_Freq(std::vector<BV::DataFreq>{{0x408, 6}, {0x409, 2}},
                                       static_cast<BV::QX_GNSS_IO_ID_ENUM>(4));
    ASSERT_TRUE(link.sim().waitForRequest("Send_Gnss_Data_Freq", kWaitMs));
    EXPECT_EQ(DetailOf(link.sim(), "Send_Gnss_Data_Freq"),
              "set 0x0404=0004 0x0408=0006 0x0409=0002");
    // Each port keeps its own rates; IO 0's list, the one the query answers, is untouched.
    EXPECT_EQ(link.sim().value("io4_rates"), "12:6,13:2");
    EXPECT_EQ(link.sim().value("io1_rates"), "");
    EXPECT_EQ(link.sim().value("data_rates"), "");
    link.session().Send_Gnss_Data_Freq(std::vector<BV::DataFreq>{{0x414, 9}},
                                       static_cast<BV::QX_GNSS_IO_ID_ENUM>(1));
    link.session().Send_Gnss_Data_Freq(std::vector<BV::DataFreq>{{0x408, 11}},
                                       static_cast<BV::QX_GNSS_IO_ID_ENUM>(0));
    ASSERT_TRUE(link.sim().waitForRequests(3, kWaitMs));
    EXPECT_EQ(link.sim().value("io1_rates"), "27:9");
    EXPECT_EQ(link.sim().value("data_rates"), "12:11");
}

// The file-record settings come back whole: a set keeps every field, the session and the
// interval in keys of their own, the rest as hex.
TEST(SimReceiverSurvey, NewProtocolRecordSettingsAreKeptWhole) {
    SimSession link("protocol=new", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    BV::QX_FILE_RECORD_CONFIG_STRUCT record{};
    std::memcpy(record.name, "REC", 3);
    record.b1 = 1;
    record.v1 = 2;
    record.v3 = 90;
    record.b4 = 5;
    record.v4 = 12;
    record.b5 = 0x5A;
    record.v5 = 6;
    link.session().Send_File_Record_Param(&record, static_cast<BV::QX_FILE_RECORD_IO_ID_ENUM>(1));
    ASSERT_TRUE(link.sim().waitForRequest("Send_File_Record_Param", kWaitMs));
    EXPECT_EQ(link.sim().value("record_minutes"), "90");
    EXPECT_EQ(link.sim().value("record_code"), "12");
    EXPECT_EQ(link.sim().value("record_param_raw"),
              "52454300000000000000000000000000000000000100000002000000000000000000000500005A"
              "00000006");

    ASSERT_TRUE(link.sim().configure("record_minutes=30"));
    link.session().Send_File_Record_Param(nullptr, static_cast<BV::QX_FILE_RECORD_IO_ID_ENUM>(1));
    Reported r;
    ASSERT_TRUE(Reports::instance().waitFor(4, 0x10, kWaitMs, &r));
    BV::QX_FILE_RECORD_CONFIG_STRUCT read{};
    link.session().Get_File_Record_Param(read);
    EXPECT_EQ(std::string(read.name, 3), "REC");
    EXPECT_EQ(read.v3, 30u);
    EXPECT_EQ(read.v4, 12);
    EXPECT_EQ(read.b5, 0x5A);
    EXPECT_EQ(read.v5, 6u);
}

}  // namespace
}  // namespace varnok_test
