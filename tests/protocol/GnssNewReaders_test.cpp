// The new-protocol readers of Em_Gnss: defaults on other receivers, item bytes decoded by the
// new-protocol board and read back, the text rules, and the buffer readers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemNewProtocol.h"
#include "Em_OldProtocol.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using NewWire::Cat;
using NewWire::F64;
using NewWire::U16;
using NewWire::U32;
using NewWire::U8;

namespace {

std::vector<uint8_t> Text(const std::string& s, size_t n) {
    std::vector<uint8_t> v(n, 0);
    std::memcpy(v.data(), s.data(), std::min(n, s.size()));
    return v;
}

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) {
        v[i] = static_cast<uint8_t>(first + i);
    }
    return v;
}

class NewReceiver {
public:
    NewReceiver() : gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL) {}
    // One item through the board's slot 17, as the frame reader hands it on.
    int Feed(uint16_t tag, const std::vector<uint8_t>& value) {
        auto* board = dynamic_cast<Em_OemNewProtocol*>(gnss.Get_Protocol()->Board());
        EXPECT_NE(board, nullptr);
        return board
                   ? board->Forward_NewItem(value.data(), tag, static_cast<uint32_t>(value.size()))
                   : 0;
    }
    Em_Gnss gnss;
};

// Builds the three receivers that are not new-protocol ones.
std::vector<std::unique_ptr<Em_Gnss>> OtherReceivers() {
    std::vector<std::unique_ptr<Em_Gnss>> out;
    out.emplace_back(new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL));
    out.emplace_back(new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA));
    out.emplace_back(new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_HEMISPHERE));
    return out;
}

template <typename R>
std::function<bool(Em_Gnss&)> Untouched(void (Em_Gnss::*reader)(R&)) {
    return [reader](Em_Gnss& g) {
        R r;
        std::memset(static_cast<void*>(&r), 0xA5, sizeof r);
        R before;
        std::memcpy(static_cast<void*>(&before), static_cast<const void*>(&r), sizeof r);
        (g.*reader)(r);
        return std::memcmp(static_cast<const void*>(&r), static_cast<const void*>(&before),
                           sizeof r) == 0;
    };
}

}  // namespace

TEST(GnssNewReadersTest, DefaultsOnOtherReceivers) {
    using E = Em_Gnss;
    const std::pair<const char*, std::function<long long(Em_Gnss&)>> values[] = {
        {"Get_Radio_Air_Baud", [](E& g) { return g.Get_Radio_Air_Baud(); }},
        {"Get_Gnss_Pdop_Mask", [](E& g) { return g.Get_Gnss_Pdop_Mask(); }},
        {"Get_Modem_Auto_Dial", [](E& g) { return g.Get_Modem_Auto_Dial(); }},
        {"Get_Modem_Auto_Power_On", [](E& g) { return g.Get_Modem_Auto_Power_On(); }},
        {"Get_Radio_Power_V2", [](E& g) { return g.Get_Radio_Power_V2(); }},
        {"Get_Radio_Stepper", [](E& g) { return g.Get_Radio_Stepper(); }},
        {"Get_Radio_Auto_Power_On", [](E& g) { return g.Get_Radio_Auto_Power_On(); }},
        {"Get_Radio_Sensitivity", [](E& g) { return g.Get_Radio_Sensitivity(); }},
        {"Get_Radio_FEC", [](E& g) { return g.Get_Radio_FEC(); }},
        {"Get_WIFI_Auto_Open", [](E& g) { return g.Get_WIFI_Auto_Open(); }},
        {"Get_WIFI_Share", [](E& g) { return g.Get_WIFI_Share(); }},
        {"Get_WIFI_Share_Auto", [](E& g) { return g.Get_WIFI_Share_Auto(); }},
        {"Get_File_Record_Auto_Open", [](E& g) { return g.Get_File_Record_Auto_Open(); }},
    };
    const long long expected[] = {4800, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::pair<const char*, std::function<bool(Em_Gnss&)>> records[] = {
        {"Get_Modem_Dial_Param", Untouched(&E::Get_Modem_Dial_Param)},
        {"Get_Modem_Dial_Status", Untouched(&E::Get_Modem_Dial_Status)},
        {"Get_Modem_Signal_Intensity", Untouched(&E::Get_Modem_Signal_Intensity)},
        {"Get_Modem_CSD_Param", Untouched(&E::Get_Modem_CSD_Param)},
        {"Get_Modem_CSD_Status", Untouched(&E::Get_Modem_CSD_Status)},
        {"Get_Modem_Power_Status", Untouched(&E::Get_Modem_Power_Status)},
        {"Get_Modem_Band_Mode", Untouched(&E::Get_Modem_Band_Mode)},
        {"Get_Modem_Work_Mode", Untouched(&E::Get_Modem_Work_Mode)},
        {"Get_Gnss_Diff_Type", Untouched(&E::Get_Gnss_Diff_Type)},
        {"Get_Gnss_Data_Configlist", Untouched(&E::Get_Gnss_Data_Configlist)},
        {"Get_Gnss_Base_Position", Untouched(&E::Get_Gnss_Base_Position)},
        {"Get_Gnss_Sat_Enable", Untouched(&E::Get_Gnss_Sat_Enable)},
        {"Get_Magnetometer_info", Untouched(&E::Get_Magnetometer_info)},
        {"Get_Heading_Calibration_info", Untouched(&E::Get_Heading_Calibration_info)},
        {"Get_Tilt_Calibration_info", Untouched(&E::Get_Tilt_Calibration_info)},
        {"Get_System_Power_Status", Untouched(&E::Get_System_Power_Status)},
        {"Get_System_Hardware_Info", Untouched(&E::Get_System_Hardware_Info)},
        {"Get_System_Firmware_Info", Untouched(&E::Get_System_Firmware_Info)},
        {"Get_System_GPSBoard_Info", Untouched(&E::Get_System_GPSBoard_Info)},
        {"Get_System_Calibration_Result", Untouched(&E::Get_System_Calibration_Result)},
        {"Get_System_BtMac_Info", Untouched(&E::Get_System_BtMac_Info)},
        {"Get_System_WifiMac_Info", Untouched(&E::Get_System_WifiMac_Info)},
        {"Get_NetLink_Server_Type", Untouched(&E::Get_NetLink_Server_Type)},
        {"Get_NetLink_Status", Untouched(&E::Get_NetLink_Status)},
        {"Get_NetLink_Address", Untouched(&E::Get_NetLink_Address)},
        {"Get_NetLink_Data_Source", Untouched(&E::Get_NetLink_Data_Source)},
        {"Get_NetLink_Account", Untouched(&E::Get_NetLink_Account)},
        {"Get_DataLink_Mode", Untouched(&E::Get_DataLink_Mode)},
        {"Get_Radio_Protocol", Untouched(&E::Get_Radio_Protocol)},
        {"Get_Radio_Module_Type", Untouched(&E::Get_Radio_Module_Type)},
        {"Get_Radio_Power_Status", Untouched(&E::Get_Radio_Power_Status)},
        {"Get_Radio_Infolist", Untouched(&E::Get_Radio_Infolist)},
        {"Get_Radio_Channel_List", Untouched(&E::Get_Radio_Channel_List)},
        {"Get_Radio_Property_Ex", Untouched(&E::Get_Radio_Property_Ex)},
        {"Get_Radio_Callsign", Untouched<QX_RADIO_CALLSIGN_STRUCT>(&E::Get_Radio_Callsign)},
        {"Get_WIFI_Mode", Untouched(&E::Get_WIFI_Mode)},
        {"Get_WIFI_Power_Status", Untouched(&E::Get_WIFI_Power_Status)},
        {"Get_WIFI_Param_AP", Untouched(&E::Get_WIFI_Param_AP)},
        {"Get_File_Record_Status", Untouched(&E::Get_File_Record_Status)},
        {"Get_File_Record_Param", Untouched(&E::Get_File_Record_Param)},
    };
    for (auto& g : OtherReceivers()) {
        const int kind = g->Get_Mnfctr() * 10 + g->GetMainBdType();
        for (size_t i = 0; i < std::size(values); ++i) {
            EXPECT_EQ(values[i].second(*g), expected[i]) << values[i].first << " on " << kind;
        }
        EXPECT_EQ(g->Get_Radio_Frequency(), 0.0f);
        for (const auto& [name, untouched] : records) {
            EXPECT_TRUE(untouched(*g)) << name << " on " << kind;
        }
        // Records with lists keep what the caller had.
        QX_DATA_CONFIG_LIST_STRUCT ex{7, {{1, 2}}};
        g->Get_Gnss_Data_Configlist_Ex(ex);
        EXPECT_EQ(ex.first, 7);
        EXPECT_EQ(ex.list.size(), 1u);
        std::vector<DATA_FREQS_STRUCT> subs{{1, 2}};
        g->Get_Gnss_Data_Subscribe_Feature(subs);
        EXPECT_EQ(subs.size(), 1u);
        BASE_POS_LIST_STRUCT list{3.5, 9, {{1, 2, 3}}};
        g->Get_Gnss_Base_Position_list(list);
        EXPECT_EQ(list.value, 3.5);
        EXPECT_EQ(list.limit, 9);
        EXPECT_EQ(list.list.size(), 1u);
        QX_RADIO_CHANNEL_LIST_EX_STRUCT channels{{{1, 1}}, {}, {{2, 2}}};
        g->Get_Radio_Channel_List_All(channels);
        EXPECT_EQ(channels.list1.size(), 1u);
        EXPECT_EQ(channels.list3.size(), 1u);
        unsigned int length = 1234;
        g->Get_NetLink_Source_List(nullptr, length);
        EXPECT_EQ(length, 0u) << "no list on another receiver";
    }
}

namespace {

struct RoundTrip {
    uint16_t tag;
    std::vector<uint8_t> value;
    std::function<void(Em_Gnss&)> check;
};

}  // namespace

TEST(GnssNewReadersTest, ItemBytesReadBack) {
    const RoundTrip rows[] = {
        {0x1409, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Modem_Auto_Dial(), 1); }},
        {0x140A, U8(2), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Modem_Auto_Power_On(), 2); }},
        {0x140B, U16(0x8001),
         [](Em_Gnss& g) {
             QX_MODEM_POWER_STATUS_ENUM e{};
             g.Get_Modem_Power_Status(e);
             EXPECT_EQ(e, 0x8001);
         }},
        {0x140D, U16(3),
         [](Em_Gnss& g) {
             QX_MODEM_BAND_MODE_ENUM e{};
             g.Get_Modem_Band_Mode(e);
             EXPECT_EQ(e, 3);
         }},
        {0x140E, U16(4),
         [](Em_Gnss& g) {
             QX_MODEM_WORK_MODE_ENUM e{};
             g.Get_Modem_Work_Mode(e);
             EXPECT_EQ(e, 4);
         }},
        {0x1403,
         Cat({Text("cmnet", 20), Text("user", 20), Text("pass", 20), Text("*99#", 20),
              Text("x", 20)}),
         [](Em_Gnss& g) {
             QX_MODEM_DIAL_PARA_STRUCT r;
             std::memset(&r, 0x55, sizeof r);
             g.Get_Modem_Dial_Param(r);
             EXPECT_STREQ(r.text[0], "cmnet");
             EXPECT_STREQ(r.text[3], "*99#");
             EXPECT_STREQ(r.text[4], "x");
         }},
        {0x1404, Cat({U16(1), U32(0x01020304), U16(9)}),
         [](Em_Gnss& g) {
             QX_MODEM_DIAL_STATUS_STRUCT r{};
             g.Get_Modem_Dial_Status(r);
             EXPECT_EQ(r.status, 1);
             EXPECT_EQ(r.value, 0x01020304u);
             EXPECT_EQ(r.code, 9);
         }},
        {0x140C, Cat({U32(31), U8(4)}),
         [](Em_Gnss& g) {
             QX_MODEM_SIGNAL_INTENSITY_STRUCT r{};
             g.Get_Modem_Signal_Intensity(r);
             EXPECT_EQ(r.intensity, 31u);
             EXPECT_EQ(r.level, 4);
         }},
        {0x140F, Cat({Text("5551234", 20), U8(2)}),
         [](Em_Gnss& g) {
             QX_MODEM_CSD_PARA_STRUCT r;
             std::memset(&r, 0x55, sizeof r);
             g.Get_Modem_CSD_Param(r);
             EXPECT_STREQ(r.number, "5551234");
             EXPECT_EQ(r.mode, 2);
         }},
        {0x1410, Cat({U16(2), U32(7), U16(8)}),
         [](Em_Gnss& g) {
             QX_MODEM_CSD_STATUS_STRUCT r{};
             g.Get_Modem_CSD_Status(r);
             EXPECT_EQ(r.status, 2);
             EXPECT_EQ(r.value, 7u);
             EXPECT_EQ(r.code, 8);
         }},
        {0x0450, U8(95), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Gnss_Pdop_Mask(), 95); }},
        {0x0451, U8(15),
         [](Em_Gnss& g) {
             EXPECT_EQ(g.Get_Gnss_ElevMask(), 15);
             EXPECT_EQ(g.GetInfo_Gnss_ElevMask(), 15);
         }},
        {0x0405, U16(6),
         [](Em_Gnss& g) {
             QX_GNSS_DIFF_TYPE_ENUM e{};
             g.Get_Gnss_Diff_Type(e);
             EXPECT_EQ(e, 6);
         }},
        {0x0456, Cat({U16(3), Bytes(88, 1)}),
         [](Em_Gnss& g) {
             QX_DATA_CONFIG_LIST r{};
             g.Get_Gnss_Data_Configlist(r);
             EXPECT_EQ(r.count, 3);
             EXPECT_EQ(r.entries[0], 0x0102);
             EXPECT_EQ(r.entries[43], (87 << 8) | 88) << "all 44 entries whatever the count";
         }},
        {0x045A, Cat({U16(9), U16(2), U16(0x0412), U16(5), U16(0x0413), U16(1)}),
         [](Em_Gnss& g) {
             QX_DATA_CONFIG_LIST_STRUCT r{0, {{9, 9}, {9, 9}, {9, 9}}};
             g.Get_Gnss_Data_Configlist_Ex(r);
             EXPECT_EQ(r.first, 9);
             ASSERT_EQ(r.list.size(), 2u);
             EXPECT_EQ(r.list[1].tag, 0x0413);
             EXPECT_EQ(r.list[1].rate, 1);
         }},
        {0x0459, Cat({U16(1), U16(0x0410), U32(100000)}),
         [](Em_Gnss& g) {
             std::vector<DATA_FREQS_STRUCT> r{{1, 1}};
             g.Get_Gnss_Data_Subscribe_Feature(r);
             ASSERT_EQ(r.size(), 1u);
             EXPECT_EQ(r[0].tag, 0x0410);
             EXPECT_EQ(r[0].value, 100000u);
         }},
        {0x0452, Cat({U16(3), F64(0.5), F64(-1.25), F64(100.0)}),
         [](Em_Gnss& g) {
             QX_GNSS_BASE_SET_STRUCT r{};
             g.Get_Gnss_Base_Position(r);
             EXPECT_EQ(r.mode, 3);
             EXPECT_EQ(r.lat, 0.5);
             EXPECT_EQ(r.lon, -1.25);
             EXPECT_EQ(r.height, 100.0);
         }},
        {0x0455, Cat({U32(1), U32(2), U32(3), U32(4), U32(5)}),
         [](Em_Gnss& g) {
             QX_GNSS_SATELLITE_ENABLE_STRUCT r{};
             g.Get_Gnss_Sat_Enable(r);
             EXPECT_EQ(r.enable[4], 5u);
         }},
        {0x0457,
         Cat({F64(2.5), U8(10), U8(2), F64(1.0), F64(2.0), U32(7), F64(3.0), F64(4.0), U32(8)}),
         [](Em_Gnss& g) {
             BASE_POS_LIST_STRUCT r{0, 0, {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}}};
             g.Get_Gnss_Base_Position_list(r);
             EXPECT_EQ(r.value, 2.5);
             EXPECT_EQ(r.limit, 10);
             ASSERT_EQ(r.list.size(), 2u);
             EXPECT_EQ(r.list[1].second, 4.0);
             EXPECT_EQ(r.list[1].value, 8u);
         }},
        {0x041B, Cat({U8(1), U16(0xFFFF), U16(2), U16(3), U16(4), U16(5), U16(6), U8(7)}),
         [](Em_Gnss& g) {
             QX_GNSS_DAT_MAGNETIC_STRUCT r{};
             g.Get_Magnetometer_info(r);
             EXPECT_EQ(r.axis[0], -1);
             EXPECT_EQ(r.quality, 7);
         }},
        {0x0425, Bytes(13, 1),
         [](Em_Gnss& g) {
             QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT r{};
             g.Get_Heading_Calibration_info(r);
             EXPECT_EQ(r.count, 0x0607);
             EXPECT_EQ(r.b3, 13);
         }},
        {0x0426, Cat({U8(1), U8(0xFE), U8(3), U8(4)}),
         [](Em_Gnss& g) {
             QX_GNSS_DAT_CALIBRATION_TILT_STRUCT r{};
             g.Get_Tilt_Calibration_info(r);
             EXPECT_EQ(r.x, -2);
             EXPECT_EQ(r.quality, 4);
         }},
        {0x0304, Cat({U32(1), U32(2), U32(3)}),
         [](Em_Gnss& g) {
             QX_SYSTEM_POWER_STATUS_STRUCT r{};
             g.Get_System_Power_Status(r);
             EXPECT_EQ(r.value[2], 3u);
         }},
        {0x0306, Cat({U32(5), Text("model", 24), Text("serial", 24), U32(1), U32(2), U32(3), U32(4)}),
         [](Em_Gnss& g) {
             QX_SYSTEM_HARDWARE_INFO_STRUCT r{};
             g.Get_System_Hardware_Info(r);
             EXPECT_EQ(r.id, 5u);
             EXPECT_STREQ(r.text2, "serial");
             EXPECT_EQ(r.word[3], 4u);
         }},
        {0x0307, Cat({Text("fw 1.0", 50), Text("boot 2", 50)}),
         [](Em_Gnss& g) {
             QX_SYSTEM_FIRMWARE_VERSION_STRUCT r{};
             g.Get_System_Firmware_Info(r);
             EXPECT_STREQ(r.text1, "fw 1.0");
             EXPECT_STREQ(r.text2, "boot 2");
         }},
        {0x030C, Cat({U16(1), U16(2), Text("board", 12), U16(3), Text("ver", 20)}),
         [](Em_Gnss& g) {
             QX_GPSBOARD_INFO_STRUCT r{};
             g.Get_System_GPSBoard_Info(r);
             EXPECT_EQ(r.v3, 3);
             EXPECT_STREQ(r.text2, "ver");
         }},
        {0x0309, Cat({U8(1), U8(2), U8(3)}),
         [](Em_Gnss& g) {
             QX_GSENSOR_CALIBRATION_QUALITY r{};
             g.Get_System_Calibration_Result(r);
             EXPECT_EQ(r.quality[2], 3);
         }},
        {0x030D, Text("00:11:22:33:44:55", 20),
         [](Em_Gnss& g) {
             QX_MAC_INFO_STRUCT r{};
             g.Get_System_BtMac_Info(r);
             EXPECT_STREQ(r.mac, "00:11:22:33:44:55");
         }},
        {0x030E, Text("66:77", 20),
         [](Em_Gnss& g) {
             QX_MAC_INFO_STRUCT r{};
             g.Get_System_WifiMac_Info(r);
             EXPECT_STREQ(r.mac, "66:77");
         }},
        {0x1109, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_NetLink_Auto_Open(), 1); }},
        {0x1104, U16(2),
         [](Em_Gnss& g) {
             QX_NETLINK_SERVER_TYPE_ENUM e{};
             g.Get_NetLink_Server_Type(e);
             EXPECT_EQ(e, 2);
         }},
        {0x1105, Cat({U16(1), U32(2), U16(3)}),
         [](Em_Gnss& g) {
             QX_NETLINK_STATUS_STRUCT r{};
             g.Get_NetLink_Status(r);
             EXPECT_EQ(r.value, 2u);
         }},
        {0x1103, Cat({U32(0xC0A80001), U16(2101), U8(1), Text("caster.example", 50)}),
         [](Em_Gnss& g) {
             QX_IP_ADDRESS_STRUCT r{};
             g.Get_NetLink_Address(r);
             EXPECT_EQ(r.address, 0xC0A80001u);
             EXPECT_EQ(r.port, 2101);
             EXPECT_STREQ(r.name, "caster.example");
         }},
        {0x110A, Text("RTCM32", 20),
         [](Em_Gnss& g) {
             QX_CORS_DATA_SOURCE_STRUCT r{};
             g.Get_NetLink_Data_Source(r);
             EXPECT_STREQ(r.source, "RTCM32");
         }},
        {0x110B, Cat({Text("user", 50), Text("secret", 20)}),
         [](Em_Gnss& g) {
             QX_ACCOUNT_STRUCT r{};
             g.Get_NetLink_Account(r);
             EXPECT_STREQ(r.user, "user");
             EXPECT_STREQ(r.password, "secret");
         }},
        {0x1106, Cat({U32(5), Text("STR;A", 5)}),
         [](Em_Gnss& g) {
             unsigned int length = 0;
             g.Get_NetLink_Source_List(nullptr, length);
             EXPECT_EQ(length, 5u);
         }},
        {0x1503, U16(2),
         [](Em_Gnss& g) {
             QX_DATALINK_MODE_ENUM e{};
             g.Get_DataLink_Mode(e);
             EXPECT_EQ(e, 2);
         }},
        {0x0703, U32(0x43D20000), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_Frequency(), 420.0f); }},
        {0x0704, U32(3), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_Power_V2(), 3u); }},
        {0x0709, U32(125), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_Stepper(), 125u); }},
        {0x070B, U32(19200), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_Air_Baud(), 19200u); }},
        {0x070C, U16(1),
         [](Em_Gnss& g) {
             QX_RADIO_PROTOCOL_ENUM e{};
             g.Get_Radio_Protocol(e);
             EXPECT_EQ(e, 1);
         }},
        {0x070D, Cat({U16(1), U16(2), U32(3), U32(4), U16(5), U32(6), U32(7), U32(8)}),
         [](Em_Gnss& g) {
             QX_RADIO_INFOLIST_STRUCT r{};
             g.Get_Radio_Infolist(r);
             EXPECT_EQ(r.v5, 5);
             EXPECT_EQ(r.v8, 8u);
         }},
        {0x0710, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_Auto_Power_On(), 1); }},
        {0x0711, U16(3),
         [](Em_Gnss& g) {
             QX_RADIO_MODULE_TYPE_ENUM e{};
             g.Get_Radio_Module_Type(e);
             EXPECT_EQ(e, 3);
         }},
        {0x0712, U16(1),
         [](Em_Gnss& g) {
             QX_RADIO_POWER_STATUS_ENUM e{};
             g.Get_Radio_Power_Status(e);
             EXPECT_EQ(e, 1);
         }},
        {0x0713, Bytes(40, 0),
         [](Em_Gnss& g) {
             QX_RADIO_CHANNEL_LIST_STRUCT r{};
             g.Get_Radio_Channel_List(r);
             EXPECT_EQ(r.channel[9], 0x24252627u);
         }},
        {0x0715,
         Cat({U32(1), U32(0), U32(2), U16(1), U16(2), U8(3), U16(4), U16(5), U8(6), U16(7),
              U16(8), U8(9)}),
         [](Em_Gnss& g) {
             QX_RADIO_CHANNEL_LIST_EX_STRUCT r{{{9, 9}, {9, 9}}, {{9, 9}}, {}};
             g.Get_Radio_Channel_List_All(r);
             ASSERT_EQ(r.list1.size(), 1u);
             EXPECT_TRUE(r.list2.empty());
             ASSERT_EQ(r.list3.size(), 2u);
             EXPECT_EQ(r.list3[1].flag, 9);
         }},
        {0x0714, Cat({U32(1), U8(2), U8(3), U32(4), Text("property", 16)}),
         [](Em_Gnss& g) {
             QX_RADIO_PROPERTY_EX_STRUCT r{};
             g.Get_Radio_Property_Ex(r);
             EXPECT_EQ(r.v2, 4u);
             EXPECT_STREQ(r.text, "property");
         }},
        {0x0716, U8(2), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_Sensitivity(), 2); }},
        {0x0717, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_Radio_FEC(), 1); }},
        {0x0718, Cat({U8(1), U8(30), Text("CALL", 17)}),
         [](Em_Gnss& g) {
             QX_RADIO_CALLSIGN_STRUCT r{};
             g.Get_Radio_Callsign(r);
             EXPECT_EQ(r.b2, 30);
             EXPECT_STREQ(r.text, "CALL");
         }},
        {0x0A03, Cat({Text("ssid", 20), U16(6), Text("wpa", 20)}),
         [](Em_Gnss& g) {
             QX_WIFI_PARA_AP_STRUCT r{};
             g.Get_WIFI_Param_AP(r);
             EXPECT_STREQ(r.ssid, "ssid");
             EXPECT_EQ(r.value, 6);
             EXPECT_STREQ(r.password, "wpa");
         }},
        {0x0A04, U16(2),
         [](Em_Gnss& g) {
             QX_WIFI_MODE_ENUM e{};
             g.Get_WIFI_Mode(e);
             EXPECT_EQ(e, 2);
         }},
        {0x0A07, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_WIFI_Auto_Open(), 1); }},
        {0x0A08, U16(1),
         [](Em_Gnss& g) {
             QX_WIFI_POWER_STATUS_ENUM e{};
             g.Get_WIFI_Power_Status(e);
             EXPECT_EQ(e, 1);
         }},
        {0x0A09, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_WIFI_Share(), 1); }},
        {0x0A0A, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_WIFI_Share_Auto(), 1); }},
        {0x0B05, U8(1), [](Em_Gnss& g) { EXPECT_EQ(g.Get_File_Record_Auto_Open(), 1); }},
        {0x0B06,
         Cat({Text("rec", 20), U8(1), U32(2), U32(3), U32(4), U8(5), U8(6), U8(7), U16(8), U8(9),
              U32(10)}),
         [](Em_Gnss& g) {
             QX_FILE_RECORD_CONFIG_STRUCT r{};
             g.Get_File_Record_Param(r);
             EXPECT_STREQ(r.name, "rec");
             EXPECT_EQ(r.v4, 8);
             EXPECT_EQ(r.v5, 10u);
         }},
        {0x0B07, U16(3),
         [](Em_Gnss& g) {
             QX_FILE_RECORD_STATUS_ENUM e{};
             g.Get_File_Record_Status(e);
             EXPECT_EQ(e, 3);
         }},
    };
    for (const RoundTrip& row : rows) {
        SCOPED_TRACE(testing::Message() << "tag 0x" << std::hex << row.tag);
        NewReceiver rx;
        ASSERT_EQ(rx.Feed(row.tag, row.value), 1);
        row.check(rx.gnss);
    }
}

TEST(GnssNewReadersTest, TextRules) {
    NewReceiver rx;
    QX_MODEM_DIAL_PARA_STRUCT dial;

    // A full 20-byte text has no zero byte; the field is not terminated.
    std::vector<uint8_t> value(100, 0);
    std::memset(value.data(), 'A', 20);
    std::memcpy(value.data() + 20, "abcde", 5);
    ASSERT_EQ(rx.Feed(0x1403, value), 1);
    std::memset(&dial, 0x55, sizeof dial);
    rx.gnss.Get_Modem_Dial_Param(dial);
    EXPECT_EQ(std::string(dial.text[0], 20), std::string(20, 'A'));
    // Five characters, then zeros to the end of the field.
    EXPECT_EQ(std::string(dial.text[1], 20), std::string("abcde") + std::string(15, '\0'));

    // Bytes after a zero byte are not copied.
    std::memcpy(value.data() + 40, "ab\0cd", 5);
    ASSERT_EQ(rx.Feed(0x1403, value), 1);
    rx.gnss.Get_Modem_Dial_Param(dial);
    EXPECT_EQ(std::string(dial.text[2], 20), std::string("ab") + std::string(18, '\0'));

    // The call sign is always terminated within its 17 bytes.
    ASSERT_EQ(rx.Feed(0x0718, Cat({U8(1), U8(2), std::vector<uint8_t>(17, 'K')})), 1);
    QX_RADIO_CALLSIGN_STRUCT call;
    std::memset(&call, 0x55, sizeof call);
    rx.gnss.Get_Radio_Callsign(call);
    EXPECT_EQ(std::strlen(call.text), 16u);
    // The length sent tells a reader whether the record holds the call sign whole.
    struct CallCase {
        std::vector<uint8_t> text;  // the 17 bytes sent
        int32_t length;
    };
    const CallCase calls[] = {
        {std::vector<uint8_t>(17, 'K'), 17},
        {Cat({std::vector<uint8_t>(16, 'K'), U8(0)}), 16},
        {Cat({std::vector<uint8_t>(3, 'K'), std::vector<uint8_t>(14, 0)}), 3},
    };
    for (const CallCase& c : calls) {
        ASSERT_EQ(rx.Feed(0x0718, Cat({U8(1), U8(2), c.text})), 1);
        Text_Lengths lengths;
        rx.gnss.Get_Text_Lengths(lengths);
        EXPECT_EQ(lengths.callsign, c.length);
    }

    // So is the radio property's text.
    ASSERT_EQ(rx.Feed(0x0714, Cat({U32(1), U8(2), U8(3), U32(4), std::vector<uint8_t>(16, 'P')})),
              1);
    QX_RADIO_PROPERTY_EX_STRUCT prop;
    std::memset(&prop, 0x55, sizeof prop);
    rx.gnss.Get_Radio_Property_Ex(prop);
    EXPECT_EQ(prop.text[15], 0);
    EXPECT_EQ(std::strlen(prop.text), 15u);
}

TEST(GnssNewReadersTest, ListReadersCalledTwiceGiveTheSameList) {
    NewReceiver rx;
    ASSERT_EQ(rx.Feed(0x045A, Cat({U16(1), U16(2), U16(0x0412), U16(5), U16(0x0413), U16(1)})), 1);
    ASSERT_EQ(rx.Feed(0x0459, Cat({U16(2), U16(1), U32(2), U16(3), U32(4)})), 1);
    ASSERT_EQ(rx.Feed(0x0457, Cat({F64(1), U8(5), U8(1), F64(1), F64(2), U32(3)})), 1);
    ASSERT_EQ(rx.Feed(0x0715, Cat({U32(1), U32(1), U32(1), Bytes(15, 1)})), 1);
    QX_DATA_CONFIG_LIST_STRUCT ex{};
    std::vector<DATA_FREQS_STRUCT> subs;
    BASE_POS_LIST_STRUCT bases{};
    QX_RADIO_CHANNEL_LIST_EX_STRUCT channels;
    for (int i = 0; i < 2; ++i) {
        rx.gnss.Get_Gnss_Data_Configlist_Ex(ex);
        rx.gnss.Get_Gnss_Data_Subscribe_Feature(subs);
        rx.gnss.Get_Gnss_Base_Position_list(bases);
        rx.gnss.Get_Radio_Channel_List_All(channels);
    }
    EXPECT_EQ(ex.list.size(), 2u);
    EXPECT_EQ(subs.size(), 2u);
    EXPECT_EQ(bases.list.size(), 1u);
    EXPECT_EQ(channels.list1.size(), 1u);
    EXPECT_EQ(channels.list2.size(), 1u);
    EXPECT_EQ(channels.list3.size(), 1u);
}

TEST(GnssNewReadersTest, ReadersThatAnswerForOtherReceivers) {
    // An old receiver's automatic network switch is the low byte of its CORS mode word.
    Em_Gnss old(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    auto* proto = dynamic_cast<Em_OldProtocol*>(old.Get_Protocol());
    ASSERT_NE(proto, nullptr);
    EXPECT_EQ(old.Get_NetLink_Auto_Open(), 0xFF) << "the word starts at -1";
    proto->Receiver().wireless.corsMode = 0x1201;
    EXPECT_EQ(old.Get_NetLink_Auto_Open(), 0x01);

    // An OEM receiver's elevation mask is its board's.
    Em_Gnss oem(GNSS_MNFCTR_OEM, MAINBD_NMEA);
    ASSERT_NE(oem.Get_Protocol()->Board(), nullptr);
    oem.Get_Protocol()->Board()->Data()->Status_Word = 10;
    EXPECT_EQ(oem.Get_Gnss_ElevMask(), 10);
    EXPECT_EQ(oem.GetInfo_Gnss_ElevMask(), 10);
    EXPECT_EQ(oem.Get_NetLink_Auto_Open(), 0);

    // Without a board driver there is no mask.
    Em_Gnss bare(GNSS_MNFCTR_OEM, MAINBD_NONE);
    EXPECT_EQ(bare.Get_Gnss_ElevMask(), 0);
}

TEST(GnssNewReadersTest, BufferReaders) {
    // The sentence buffer exists only on the new-protocol board.
    for (auto& g : OtherReceivers()) {
        unsigned int length = 77;
        EXPECT_EQ(g->Get_NMEA_Data_Buff(length), nullptr);
        EXPECT_EQ(length, 77u);
    }

    NewReceiver rx;
    auto* board = dynamic_cast<Em_OemNewProtocol*>(rx.gnss.Get_Protocol()->Board());
    ASSERT_NE(board, nullptr);
    const std::string gga = "$GPGGA,123519,4807.038,N*47";
    ASSERT_EQ(board->Store_NewGgaText(gga.data(), 0x0408, static_cast<uint32_t>(gga.size())), 1);
    unsigned int length = 0;
    const unsigned char* text = rx.gnss.Get_NMEA_Data_Buff(length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text), length), gga);

    // The data block of items 0x0406-0x0409.
    ASSERT_EQ(rx.Feed(0x0407, Cat({U32(3), Text("abc", 3)})), 1);
    const unsigned char* block = rx.gnss.Get_Gnss_Data_Buff(length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block), length), "abc");

    // Any board keeps a data block; without a board there is none.
    Em_Gnss oem(GNSS_MNFCTR_OEM, MAINBD_NMEA);
    length = 5;
    EXPECT_NE(oem.Get_Gnss_Data_Buff(length), nullptr);
    EXPECT_EQ(length, 0u);
    Em_Gnss bare(GNSS_MNFCTR_OEM, MAINBD_NONE);
    length = 5;
    EXPECT_EQ(bare.Get_Gnss_Data_Buff(length), nullptr);
    EXPECT_EQ(length, 5u);
}
