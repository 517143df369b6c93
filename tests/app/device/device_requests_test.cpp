// Page requests as the session calls they make, by protocol: the golden request table.
#include <functional>

#include "device_test_support.h"
#include "radio_config.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManager;
using Strings = std::vector<std::string>;

struct Row {
    const char* name;
    std::function<void(DeviceManager&)> call;
    Strings calls;
};

class GoldenRequestTable : public DeviceFixture {
protected:
    void run(int deviceType, const std::vector<Row>& rows) {
        ASSERT_TRUE(connectTcp(deviceType));
        for (const Row& row : rows) {
            fake.script->clear();
            row.call(*dm);
            EXPECT_EQ(fake.script->lines(), row.calls) << row.name;
        }
    }
};

// Rows whose calls are the same for both protocols.
std::vector<Row> commonRows() {
    return {
        {"sendGprsEroinfo", [](DeviceManager& m) { m.sendGprsEroinfo(); }, {"Send_Gprs_Eroinfo()"}},
        {"sendCloseReceiver",
         [](DeviceManager& m) { m.sendCloseReceiver(); },
         {"Send_CloseReceiver()"}},
        {"sendGnssReset", [](DeviceManager& m) { m.sendGnssReset(); }, {"Send_Gnss_Reset()"}},
        {"sendBattery", [](DeviceManager& m) { m.sendBattery(); }, {"Send_Battery()"}},
        {"sendRadioPower", [](DeviceManager& m) { m.sendRadioPower(); }, {"Send_Radio_Power()"}},
        {"sendRadioSensitivity",
         [](DeviceManager& m) { m.sendRadioSensitivity(); },
         {"Send_Radio_Sensitivity()"}},
        {"sendRadioCallsign",
         [](DeviceManager& m) { m.sendRadioCallsign(); },
         {"Send_Radio_Callsign()"}},
        {"sendRadioFec", [](DeviceManager& m) { m.sendRadioFec(); }, {"Send_Radio_FEC()"}},
        {"sendGprsInfo", [](DeviceManager& m) { m.sendGprsInfo(); }, {"Send_Gprs_Info()"}},
        {"sendRadioAutoPowerQuery",
         [](DeviceManager& m) { m.sendRadioAutoPowerQuery(); },
         {"Send_Radio_Auto_Power_On(null)"}},
        {"sendRadioFrequencyQuery",
         [](DeviceManager& m) { m.sendRadioFrequencyQuery(); },
         {"Send_Radio_Frequency(null)"}},
        {"sendWifiPowerStatusQuery",
         [](DeviceManager& m) { m.sendWifiPowerStatusQuery(); },
         {"Send_WIFI_Power_Status_Query()"}},
        {"sendModemPowerStatusQuery",
         [](DeviceManager& m) { m.sendModemPowerStatusQuery(); },
         {"Send_Modem_Power_Status_Query()"}},
        {"sendRadioPowerStatusQuery",
         [](DeviceManager& m) { m.sendRadioPowerStatusQuery(); },
         {"Send_Radio_Power_Status_Query()"}},
        {"sendModemWorkModeQuery",
         [](DeviceManager& m) { m.sendModemWorkModeQuery(); },
         {"Send_Modem_Work_Mode(null)"}},
        {"queryCsdStatus",
         [](DeviceManager& m) { m.queryCsdStatus(); },
         {"Send_Modem_CSD_Status_Query()"}},
        {"queryStaticPoint",
         [](DeviceManager& m) { m.queryStaticPoint(); },
         {"Send_Static_AntType()", "Send_Static_Point()"}},
        {"connectNetLink",
         [](DeviceManager& m) { m.connectNetLink(); },
         {"Send_NetLink_Connect(true)"}},
        {"sendFileRecordStatusQuery",
         [](DeviceManager& m) { m.sendFileRecordStatusQuery(); },
         {"Send_File_Record_Status_Query(1)"}},
        {"setDevcInfoAutoBaseDist",
         [](DeviceManager& m) { m.setDevcInfoAutoBaseDist(300); },
         {"Set_DevcInfo_AutoBaseDist(300)"}},
        {"setGprsSvcInfo",
         [](DeviceManager& m) { m.setGprsSvcInfo(SvcInfo{}); },
         {"Set_Gprs_SvcInfo({})"}},
        {"setGprsModel",
         [](DeviceManager& m) { m.setGprsModel(static_cast<Gprs_Modle>(2)); },
         {"Set_Gprs_Modle(2)"}},
        {"setGprsIp",
         [](DeviceManager& m) { m.setGprsIp(IP_ADRES{}, 2101, static_cast<Protocol_Net>(1)); },
         {"Set_Gprs_Ip({}, 2101, 1)"}},
        {"setGnssNmea",
         [](DeviceManager& m) { m.setGnssNmea(0x41, GNSS_FRQ_2); },
         {"Set_Gnss_Nmea(65, 2, 3)"}},
        {"send200Data", [](DeviceManager& m) { m.send200Data(true); }, {"Send_200Data(true)"}},
        {"setRadioMdl",
         [](DeviceManager& m) { m.setRadioMdl(static_cast<Rdo_Mdl>(5)); },
         {"Set_Radio_Mdl(5)"}},
        {"sendWifiOpen",
         [](DeviceManager& m) { m.sendWifiOpen(false); },
         {"Send_WIFI_Open(false)"}},
        {"sendModemPower",
         [](DeviceManager& m) { m.sendModemPower(true); },
         {"Send_Modem_Power(true)"}},
        {"sendModemDial",
         [](DeviceManager& m) { m.sendModemDial(false); },
         {"Send_Modem_Dial(false)"}},
        {"sendNetLinkAddress query",
         [](DeviceManager& m) { m.sendNetLinkAddress(nullptr); },
         {"Send_NetLink_Address(null)"}},
        {"sendNetLinkAddress",
         [](DeviceManager& m) {
             QX_IP_ADDRESS_STRUCT a{};
             m.sendNetLinkAddress(&a);
         },
         {"Send_NetLink_Address(&{})"}},
        {"setComDataMonitor",
         [](DeviceManager& m) { m.setComDataMonitor(true); },
         {"Set_Com_Data_Monitor(true)"}},
        {"deleteStaticFile",
         [](DeviceManager& m) { m.deleteStaticFile(4); },
         {"Delete_Static_File(4)"}},
        {"setRadioChannelFreq",
         [](DeviceManager& m) { m.setRadioChannelFreq(3, 438.125, static_cast<Channel_Space>(2)); },
         {"Set_Radio_Channel_Freq(3, 438.125, 2)"}},
        {"setRadioChannelType",
         [](DeviceManager& m) { m.setRadioChannelType(2, static_cast<Rdo_Channel_Type>(1)); },
         {"Set_Radio_Channel_Type(2, 1)"}},
        {"setRadioChannel0Enabled",
         [](DeviceManager& m) { m.setRadioChannel0Enabled(true); },
         {"Set_Radio_Channel0_Enabled(true)"}},
        {"sendRadioPowerOn",
         [](DeviceManager& m) { m.sendRadioPowerOn(true); },
         {"Send_Radio_Power_On(true)"}},
        {"sendModemWorkMode",
         [](DeviceManager& m) { m.sendModemWorkMode(2); },
         {"Send_Modem_Work_Mode(&2)"}},
        {"sendCsdParams",
         [](DeviceManager& m) {
             QX_MODEM_CSD_PARA_STRUCT p{};
             m.sendCsdParams(&p);
         },
         {"Send_Modem_CSD_Param(&{})"}},
        {"sendQxMdl on", [](DeviceManager& m) { m.sendQxMdl(true); }, {"Send_QxMdl(1)"}},
        {"setSatelliteChannelStatus 1,0,1",
         [](DeviceManager& m) {
             m.setSatelliteChannelStatus({1, 0, 1});
         },
         {"Set_SatelliteChannelStatus(160)"}},
        {"setSatelliteChannelStatus 2 is off",
         [](DeviceManager& m) {
             m.setSatelliteChannelStatus({2, 1, 2});
         },
         {"Set_SatelliteChannelStatus(64)"}},
        {"queryModemDialStatus",
         [](DeviceManager& m) { m.queryModemDialStatus(); },
         {"Send_Modem_Dial_Status_Query()"}},
        {"queryStaticStatus without the capability",
         [](DeviceManager& m) { m.queryStaticStatus(); },
         {}},
        {"startBase",
         [](DeviceManager& m) {
             Base_Config c{};
             c.Port_Index = 7;
             c.Pdop_Mask = 1;
             m.startBase(c);
             const Base_Config sent = m.baseConfig();
             const int port = sent.Port_Index;
             const int pdop = sent.Pdop_Mask;
             EXPECT_EQ(port, 0);
             EXPECT_EQ(pdop, 6);
         },
         {"Set_Gnss_BsCfg({})", "Send_Gnss_StartBs()"}},
        {"setRtkSettings",
         [](DeviceManager& m) { m.setRtkSettings(1, 2, 3, 4, 10, GNSS_FRQ_5); },
         {"Set_Gnss_ElevMask(10)", "Set_DevcInfo_OutPut(1)", "Set_DevcInfo_StrtTp(2)",
          "Set_DevcInfo_TrsmtPort(3)", "Set_DevcInfo_TrsmtFmat(4)", "Set_Position_Frq(5)",
          "Set_Gnss_PosFrq(5)"}},
        {"setGprsSettings",
         [](DeviceManager& m) { m.setGprsSettings(1, 999, WirelessInfo{}, 1, cors_info{}); },
         {"Set_Radio_Mdl(0)", "Set_Gprs_Modle(1)", "Set_Gprs_Ip({}, 0, 0)",
          "Set_Gprs_Baseid(&0, 248)", "Set_Cors_Info_Auto({}, 0)", "Set_Gprs_CosMdl(1)"}},
        {"setGprsSettings without the base ID",
         [](DeviceManager& m) { m.setGprsSettings(1, -1, WirelessInfo{}, -1, nullptr); },
         {"Set_Radio_Mdl(0)", "Set_Gprs_Modle(1)", "Set_Gprs_Ip({}, 0, 0)"}},
        {"setWifiSettings apply false",
         [](DeviceManager& m) { m.setWifiSettings(1, nullptr, true, false, true, true); },
         {}},
        {"setWifiSettings",
         [](DeviceManager& m) {
             QX_WIFI_PARA_AP_STRUCT ap{};
             m.setWifiSettings(2, &ap, true, true, true, true);
         },
         {"Send_WIFI_Auto_Open(&1)", "Send_WIFI_Param_AP(&{})"}},
        {"queryWifiSettings",
         [](DeviceManager& m) { m.queryWifiSettings(); },
         {"Send_WIFI_Power_Status_Query()", "Send_WIFI_Param_AP(null)", "Send_WIFI_Mode(null)",
          "Send_WIFI_Auto_Open(null)", "Send_Modem_Dial_Status_Query()"}},
        {"setModemSettings",
         [](DeviceManager& m) {
             QX_MODEM_DIAL_PARA_STRUCT p{};
             m.setModemSettings(&p, true, false, 3);
         },
         {"Send_Modem_Auto_Power_On(&1)", "Send_Modem_Auto_Dial(&0)", "Send_Modem_Band_Mode(&3)",
          "Send_Modem_Dial_Param(&{})"}},
        {"setNetLinkSettings",
         [](DeviceManager& m) {
             const unsigned short type = 2;
             QX_IP_ADDRESS_STRUCT a{};
             QX_CORS_DATA_SOURCE_STRUCT src{};
             QX_ACCOUNT_STRUCT acc{};
             m.setNetLinkSettings(&type, &a, &src, &acc, true);
         },
         {"Send_DataLink_Mode(&3)", "Send_NetLink_Server_Type(&2)", "Send_NetLink_Address(&{})",
          "Send_NetLink_Data_Source(&{})", "Send_NetLink_Account(&{})",
          "Send_NetLink_Auto_Open(&1)"}},
    };
}

TEST_F(GoldenRequestTable, OldProtocol) {
    std::vector<Row> rows = commonRows();
    const std::vector<Row> own = {
        {"sendQxMdl off", [](DeviceManager& m) { m.sendQxMdl(false); }, {"Send_QxMdl(2)"}},
        {"queryRadioModuleType", [](DeviceManager& m) { m.queryRadioModuleType(); }, {}},
        {"queryRadioProtocol", [](DeviceManager& m) { m.queryRadioProtocol(); }, {}},
        {"disconnectNetLink",
         [](DeviceManager& m) { m.disconnectNetLink(); },
         {"Send_Gprs_DisConct()"}},
        {"queryBasePosDifference",
         [](DeviceManager& m) { m.queryBasePosDifference(); },
         {"Query_BasePosition_Difference()"}},
        {"setBasePosDifference",
         [](DeviceManager& m) { m.setBasePosDifference(2.5); },
         {"Set_BasePosition_Difference(2.5)"}},
        {"queryDataLinkMode",
         [](DeviceManager& m) { m.queryDataLinkMode(); },
         {"Send_Radio_Frq()"}},
        {"queryNetLinkStatus",
         [](DeviceManager& m) { m.queryNetLinkStatus(); },
         {"Send_Gprs_Status()"}},
        {"queryRadioBaudrates",
         [](DeviceManager& m) { m.queryRadioBaudrates(); },
         {"Send_Radio_Baudrate()"}},
        {"queryRadioChannelSpacing",
         [](DeviceManager& m) { m.queryRadioChannelSpacing(); },
         {"Send_Radio_ChannelSpace()"}},
        {"startStaticRecord",
         [](DeviceManager& m) { m.startStaticRecord(); },
         {"Set_Static_Begin(true)"}},
        {"stopStaticRecord",
         [](DeviceManager& m) { m.stopStaticRecord(); },
         {"Set_Static_Begin(false)"}},
        {"queryNmeaOutputConfigs",
         [](DeviceManager& m) { m.queryNmeaOutputConfigs(); },
         {"Query_NMEA_Output_Configs()"}},
        {"queryDeviceInfo",
         [](DeviceManager& m) { m.queryDeviceInfo(); },
         {"Send_DeviceInfo()", "Send_Gprs_Version()", "Send_Battery()"}},
        {"queryFileRecordSettings",
         [](DeviceManager& m) { m.queryFileRecordSettings(); },
         {"Send_DeviceInfo()"}},
        {"queryRtkSettings", [](DeviceManager& m) { m.queryRtkSettings(); }, {"Send_DeviceInfo()"}},
        {"queryModemSettings",
         [](DeviceManager& m) { m.queryModemSettings(); },
         {"Send_Gprs_Info()"}},
        {"queryNetLinkSettings",
         [](DeviceManager& m) { m.queryNetLinkSettings(); },
         {"Send_Gprs_Info()", "Send_Gprs_CosMdl()", "Send_Cors_Info_Auto()"}},
        {"queryRadioSettings", [](DeviceManager& m) { m.queryRadioSettings(); }, {}},
        {"setFileRecordSettings",
         [](DeviceManager& m) { m.setFileRecordSettings(1, 2, 3, 4, true); },
         {"Set_DevcInfo_RrdTp(1)", "Set_DevcInfo_RrdTime(2)", "Set_DevcInfo_RrdFrq(3)",
          "Set_DevcInfo_Mask(4)"}},
        {"setStaticSettings",
         [](DeviceManager& m) {
             Static_Point p{};
             m.setStaticSettings(1, 2, 3, 4, &p);
         },
         {"Set_DevcInfo_RrdTp(1)", "Set_DevcInfo_RrdTime(2)", "Set_DevcInfo_RrdFrq(3)",
          "Set_DevcInfo_Mask(4)", "Set_Static_Point(&{})", "Set_Static_AntType(\"\")"}},
        {"queryRadioChannelList spacing, no types",
         [](DeviceManager& m) { m.queryRadioChannelList(true, false); },
         {"Send_Radio_ChannelSpace()", "Query_Radio_ChannelList_Freq()"}},
        {"queryRadioChannelList types",
         [](DeviceManager& m) { m.queryRadioChannelList(false, true); },
         {"Query_Radio_ChannelList_Freq()", "Query_Radio_ChannelList_Type()"}},
        {"queryBasePositionList",
         [](DeviceManager& m) { m.queryBasePositionList(); },
         {"Query_BasePosition_List()"}},
        {"clearBasePositionList",
         [](DeviceManager& m) { m.clearBasePositionList(); },
         {"Clear_BasePosition_List()"}},
        {"removeBasePosition",
         [](DeviceManager& m) { m.removeBasePosition(1); },
         {"Remove_BasePos_From_List(1)"}},
        {"removeBasePosition without a row",
         [](DeviceManager& m) { m.removeBasePosition(-1); },
         {}},
        {"addBasePosition",
         [](DeviceManager& m) { m.addBasePosition(30, 120, 5); },
         {"Add_BasePos_To_List(30, 120, 5)"}},
        {"startPositionOutput",
         [](DeviceManager& m) { m.startPositionOutput(); },
         {"Send_200Data(true)", "Set_Gnss_PosFrq(3)"}},
        {"stopPositionOutput",
         [](DeviceManager& m) { m.stopPositionOutput(); },
         {"Send_200Data(false)", "Set_Gnss_PosFrq(0)"}},
        // The device information's rate (2 Hz, byte 78) is put back.
        {"stopPositionOutput after a read rate",
         [](DeviceManager& m) {
             reinterpret_cast<unsigned char*>(&DeviceManagerTestAccess::cache(m).deviceInfo)[78] =
                 2;
             m.stopPositionOutput();
             DeviceManagerTestAccess::cache(m).deviceInfo = {};
         },
         {"Send_200Data(false)", "Set_Gnss_PosFrq(11)"}},
        {"setNmeaOutput empty",
         [](DeviceManager& m) {
             std::vector<_set_nmea> list;
             m.setNmeaOutput(list, true, 2);
         },
         {"Set_Velta_NMEA({}, 2, true)"}},
    };
    rows.insert(rows.end(), own.begin(), own.end());
    run(2, rows);
}

TEST_F(GoldenRequestTable, NewProtocol) {
    std::vector<Row> rows = commonRows();
    const std::vector<Row> own = {
        {"sendQxMdl off", [](DeviceManager& m) { m.sendQxMdl(false); }, {"Send_QxMdl(3)"}},
        {"queryRadioModuleType",
         [](DeviceManager& m) { m.queryRadioModuleType(); },
         {"Send_Radio_Module_Type_Query()"}},
        {"queryRadioProtocol",
         [](DeviceManager& m) { m.queryRadioProtocol(); },
         {"Send_Radio_Protocol(null)"}},
        {"disconnectNetLink",
         [](DeviceManager& m) { m.disconnectNetLink(); },
         {"Send_NetLink_Connect(false)"}},
        {"queryBasePosDifference",
         [](DeviceManager& m) { m.queryBasePosDifference(); },
         {"Send_Gnss_Base_Position_list(null)"}},
        {"setBasePosDifference before the list answer",
         [](DeviceManager& m) { m.setBasePosDifference(2.5); },
         {}},
        {"queryDataLinkMode",
         [](DeviceManager& m) { m.queryDataLinkMode(); },
         {"Send_DataLink_Mode(null)"}},
        {"queryNetLinkStatus",
         [](DeviceManager& m) { m.queryNetLinkStatus(); },
         {"Send_NetLink_Status_Query()"}},
        {"queryRadioBaudrates",
         [](DeviceManager& m) { m.queryRadioBaudrates(); },
         {"Send_Radio_Air_Baud(null)"}},
        {"queryRadioChannelSpacing",
         [](DeviceManager& m) { m.queryRadioChannelSpacing(); },
         {"Send_Radio_Stepper(null)"}},
        {"startStaticRecord",
         [](DeviceManager& m) { m.startStaticRecord(); },
         {"Send_File_Record_Open(true, 1)", "Send_File_Record_Status_Query(1)"}},
        {"stopStaticRecord",
         [](DeviceManager& m) { m.stopStaticRecord(); },
         {"Send_File_Record_Open(false, 1)", "Send_File_Record_Status_Query(1)"}},
        {"queryNmeaOutputConfigs",
         [](DeviceManager& m) { m.queryNmeaOutputConfigs(); },
         {"Send_Gnss_Data_Configlist_Query(0)", "Send_Com_Baudrate(null, 1)"}},
        {"queryDeviceInfo",
         [](DeviceManager& m) { m.queryDeviceInfo(); },
         {"Send_Battery()", "Send_System_Firmware_Info_Query()",
          "Send_System_Hardware_Info_Query()"}},
        {"queryFileRecordSettings",
         [](DeviceManager& m) { m.queryFileRecordSettings(); },
         {"Send_File_Record_Status_Query(1)", "Send_File_Record_Auto_Open(null, 1)",
          "Send_File_Record_Param(null, 1)", "Send_Gnss_ElevMask(null)"}},
        {"queryRtkSettings",
         [](DeviceManager& m) { m.queryRtkSettings(); },
         {"Send_Gnss_Data_Configlist_Query(5)", "Send_Gnss_Data_Configlist_Query(6)",
          "Send_Gnss_Data_Configlist_Query(1)", "Send_Gnss_Base_Position(null)",
          "Send_Gnss_Diff_Type(null)", "Send_Gnss_ElevMask(null)", "Send_Gnss_Pdop_Mask(null)",
          "Send_Com_Baudrate(null, 1)"}},
        {"queryModemSettings",
         [](DeviceManager& m) { m.queryModemSettings(); },
         {"Send_Modem_Power_Status_Query()", "Send_Modem_Dial_Status_Query()",
          "Send_Modem_Dial_Param(null)", "Send_Modem_Auto_Power_On(null)",
          "Send_Modem_Auto_Dial(null)", "Send_Modem_Band_Mode(null)", "Send_Modem_Work_Mode(null)",
          "Send_Modem_CSD_Param(null)", "Send_Modem_CSD_Status_Query()"}},
        {"queryNetLinkSettings",
         [](DeviceManager& m) { m.queryNetLinkSettings(); },
         {"Send_Modem_Dial_Status_Query()", "Send_NetLink_Server_Type(null)",
          "Send_NetLink_Address(null)", "Send_NetLink_Data_Source(null)",
          "Send_NetLink_Account(null)", "Send_NetLink_Auto_Open(null)"}},
        {"queryRadioSettings",
         [](DeviceManager& m) { m.queryRadioSettings(); },
         {"Send_Radio_Power_Status_Query()", "Send_Radio_Protocol(null)",
          "Send_Radio_Frequency(null)", "Send_Radio_Auto_Power_On(null)", "Send_Radio_Power(null)",
          "Send_Radio_Air_Baud(null)", "Send_Radio_Sensitivity(null)", "Send_Radio_Stepper(null)",
          "Send_Radio_Callsign(null)", "Send_Radio_FEC(null)"}},
        {"setFileRecordSettings",
         [](DeviceManager& m) {
             m.setFileRecordSettings(1, 3600, 5, 15, true);
             const QX_FILE_RECORD_CONFIG_STRUCT p = m.fileRecordParam();
             std::uint32_t words[12] = {};
             std::memcpy(words, &p, sizeof words);
             EXPECT_EQ(words[10], 5u);
             EXPECT_EQ(words[8], 3600u);
         },
         {"Send_File_Record_Auto_Open(&1, 1)", "Send_File_Record_Param(&{}, 1)",
          "Send_Gnss_ElevMask(&15)"}},
        {"queryRadioChannelList",
         [](DeviceManager& m) { m.queryRadioChannelList(true, true); },
         {"Send_Radio_Channel_List_Query()", "Send_Radio_Channel_List_All_Query()"}},
        {"queryBasePositionList",
         [](DeviceManager& m) { m.queryBasePositionList(); },
         {"Send_Gnss_Base_Position_list(null)"}},
        {"base list edits before the list answer",
         [](DeviceManager& m) {
             m.clearBasePositionList();
             m.removeBasePosition(0);
             m.addBasePosition(30, 120, 5);
         },
         {}},
        {"startPositionOutput",
         [](DeviceManager& m) { m.startPositionOutput(); },
         {"Send_Gnss_Data_Freq({}, 0)"}},
        {"stopPositionOutput",
         [](DeviceManager& m) { m.stopPositionOutput(); },
         {"Send_Gnss_Data_Freq({}, 0)"}},
        {"sendRtkSettings",
         [](DeviceManager& m) {
             m.sendRtkSettings(1, static_cast<QX_GNSS_DIFF_TYPE_ENUM>(6), 4, 0x10F, 3, 1, 2, 3,
                               {{5, true}, {1, false}});
         },
         {"Send_Gnss_Data_Unlogall(1)", "Send_Gnss_IO_DiffData(5, 6)", "Send_Com_Baudrate(&4, 1)",
          "Send_Gnss_Base_Position(&{})", "Send_Gnss_ElevMask(&15)", "Send_Gnss_Pdop_Mask(&3)"}},
        {"sendRtkSettings without baud",
         [](DeviceManager& m) {
             m.sendRtkSettings(3, static_cast<QX_GNSS_DIFF_TYPE_ENUM>(6), 0, 10, 5, 1, 2, 3, {});
         },
         {"Send_Gnss_Base_Position(&{})", "Send_Gnss_ElevMask(&10)", "Send_Gnss_Pdop_Mask(&5)"}},
    };
    rows.insert(rows.end(), own.begin(), own.end());
    run(1, rows);
}

}  // namespace
}  // namespace varnok_test
