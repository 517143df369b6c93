// The request operations: each sends one session call or a fixed batch and returns at once.
#include <chrono>
#include <cstring>

#include "device_codes.h"
#include "device_manager.h"
#include "logic_context.h"
#include "radio_config.h"
#include "record_view.h"

namespace Varnok {

namespace {

constexpr QX_FILE_RECORD_IO_ID_ENUM kRecordIo = static_cast<QX_FILE_RECORD_IO_ID_ENUM>(1);
constexpr QX_COM_PORT_ENUM kComPort = static_cast<QX_COM_PORT_ENUM>(1);

QX_GNSS_IO_ID_ENUM io(int id) {
    return static_cast<QX_GNSS_IO_ID_ENUM>(id);
}

}  // namespace

// Every operation goes to the session when there is one (none after a connect with another
// maker).
#define VARNOK_SESSION(s)                 \
    ReceiverSession* s = receiver_.get(); \
    if (!s) {                             \
        return;                           \
    }

// ---- Plain forwarders.

void DeviceManager::sendGprsEroinfo() {
    VARNOK_SESSION(s);
    s->Send_Gprs_Eroinfo();
}

void DeviceManager::sendCloseReceiver() {
    VARNOK_SESSION(s);
    s->Send_CloseReceiver();
}

std::uint64_t DeviceManager::refusedRequests() const {
    return receiver_ ? receiver_->Refused_Requests() : 0;
}

bool DeviceManager::powerOffReceiver() {
    ReceiverSession* s = receiver_.get();
    if (!s) {
        return false;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto left = [&] {
        const long long spent =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        return spent >= static_cast<long long>(kPowerOffWaitMs)
                   ? 0ul
                   : static_cast<unsigned long>(kPowerOffWaitMs - spent);
    };
    for (;;) {
        const std::uint64_t refused = s->Refused_Requests();
        s->Send_CloseReceiver();
        if (s->Refused_Requests() == refused) {
            break;
        }
        // A full queue: wait for a slot to come free, then ask again.
        if (left() == 0 || !s->Wait_Room(1, left())) {
            LogicContext::log(QStringLiteral("Power off not sent: the command queue stayed full"));
            return false;
        }
    }
    if (!s->Wait_Written(left())) {
        LogicContext::log(QStringLiteral("Power off not written before the close"));
        return false;
    }
    return true;
}

void DeviceManager::sendGnssReset() {
    VARNOK_SESSION(s);
    s->Send_Gnss_Reset();
}

void DeviceManager::sendBattery() {
    VARNOK_SESSION(s);
    s->Send_Battery();
}

void DeviceManager::sendRadioPower() {
    VARNOK_SESSION(s);
    s->Send_Radio_Power();
}

void DeviceManager::sendRadioSensitivity() {
    VARNOK_SESSION(s);
    s->Send_Radio_Sensitivity();
}

void DeviceManager::sendRadioCallsign() {
    VARNOK_SESSION(s);
    s->Send_Radio_Callsign();
}

void DeviceManager::sendRadioFec() {
    VARNOK_SESSION(s);
    s->Send_Radio_FEC();
}

void DeviceManager::sendGprsInfo() {
    VARNOK_SESSION(s);
    s->Send_Gprs_Info();
}

void DeviceManager::sendRadioAutoPowerQuery() {
    VARNOK_SESSION(s);
    s->Send_Radio_Auto_Power_On(nullptr);
}

void DeviceManager::sendRadioFrequencyQuery() {
    VARNOK_SESSION(s);
    s->Send_Radio_Frequency(nullptr);
}

void DeviceManager::sendWifiPowerStatusQuery() {
    VARNOK_SESSION(s);
    s->Send_WIFI_Power_Status_Query();
}

void DeviceManager::sendModemPowerStatusQuery() {
    VARNOK_SESSION(s);
    s->Send_Modem_Power_Status_Query();
}

void DeviceManager::sendRadioPowerStatusQuery() {
    VARNOK_SESSION(s);
    s->Send_Radio_Power_Status_Query();
}

void DeviceManager::sendModemWorkModeQuery() {
    VARNOK_SESSION(s);
    s->Send_Modem_Work_Mode(nullptr);
}

void DeviceManager::queryCsdStatus() {
    VARNOK_SESSION(s);
    s->Send_Modem_CSD_Status_Query();
}

void DeviceManager::queryStaticPoint() {
    VARNOK_SESSION(s);
    s->Send_Static_AntType();
    s->Send_Static_Point();
}

void DeviceManager::connectNetLink() {
    VARNOK_SESSION(s);
    s->Send_NetLink_Connect(true);
}

void DeviceManager::sendFileRecordStatusQuery() {
    VARNOK_SESSION(s);
    s->Send_File_Record_Status_Query(kRecordIo);
}

void DeviceManager::setDevcInfoAutoBaseDist(unsigned short distance) {
    VARNOK_SESSION(s);
    s->Set_DevcInfo_AutoBaseDist(distance);
}

void DeviceManager::setGprsSvcInfo(SvcInfo info) {
    VARNOK_SESSION(s);
    s->Set_Gprs_SvcInfo(info);
}

void DeviceManager::setGprsModel(Gprs_Modle model) {
    VARNOK_SESSION(s);
    s->Set_Gprs_Modle(model);
}

void DeviceManager::setGprsIp(IP_ADRES address, unsigned int port, Protocol_Net protocol) {
    VARNOK_SESSION(s);
    s->Set_Gprs_Ip(address, port, protocol);
}

void DeviceManager::setGnssNmea(unsigned long mask, GNSS_FRQ rate) {
    VARNOK_SESSION(s);
    s->Set_Gnss_Nmea(mask, rate, 3);
}

void DeviceManager::send200Data(bool on) {
    VARNOK_SESSION(s);
    s->Send_200Data(on);
}

void DeviceManager::setRadioMdl(Rdo_Mdl mode) {
    VARNOK_SESSION(s);
    s->Set_Radio_Mdl(mode);
}

void DeviceManager::sendWifiOpen(bool on) {
    VARNOK_SESSION(s);
    s->Send_WIFI_Open(on);
}

void DeviceManager::sendModemPower(bool on) {
    VARNOK_SESSION(s);
    s->Send_Modem_Power(on);
}

void DeviceManager::sendModemDial(bool on) {
    VARNOK_SESSION(s);
    s->Send_Modem_Dial(on);
}

void DeviceManager::sendNetLinkAddress(const QX_IP_ADDRESS_STRUCT* address) {
    VARNOK_SESSION(s);
    s->Send_NetLink_Address(address);
}

void DeviceManager::setComDataMonitor(bool on) {
    VARNOK_SESSION(s);
    s->Set_Com_Data_Monitor(on);
}

void DeviceManager::deleteStaticFile(unsigned int index) {
    VARNOK_SESSION(s);
    s->Delete_Static_File(index);
}

void DeviceManager::setRadioChannelFreq(int channel, double mhz, Channel_Space space) {
    VARNOK_SESSION(s);
    s->Set_Radio_Channel_Freq(channel, mhz, space);
}

void DeviceManager::setRadioChannelType(int channel, Rdo_Channel_Type type) {
    VARNOK_SESSION(s);
    s->Set_Radio_Channel_Type(channel, type);
}

void DeviceManager::setRadioChannel0Enabled(bool on) {
    VARNOK_SESSION(s);
    s->Set_Radio_Channel0_Enabled(on);
}

void DeviceManager::sendRadioPowerOn(bool on) {
    VARNOK_SESSION(s);
    s->Send_Radio_Power_On(on);
}

void DeviceManager::sendModemWorkMode(unsigned short mode) {
    VARNOK_SESSION(s);
    s->Send_Modem_Work_Mode(&mode);
}

void DeviceManager::sendCsdParams(const QX_MODEM_CSD_PARA_STRUCT* params) {
    VARNOK_SESSION(s);
    s->Send_Modem_CSD_Param(params);
}

// ---- Operations with a rule of their own.

void DeviceManager::sendQxMdl(bool on) {
    VARNOK_SESSION(s);
    s->Send_QxMdl(on ? 1 : (deviceType_ == 1 ? 3 : 2));
}

void DeviceManager::setSatelliteChannelStatus(SatelliteChannelBytes bytes) {
    VARNOK_SESSION(s);
    unsigned int mask = 0;
    mask += bytes.l2c == 1 ? 0x80 : 0;
    mask += bytes.l5 == 1 ? 0x40 : 0;
    mask += bytes.l3 == 1 ? 0x20 : 0;
    s->Set_SatelliteChannelStatus(mask);
}

void DeviceManager::queryModemDialStatus() {
    VARNOK_SESSION(s);
    if (cache_.modemPowerStatus == 3) {
        s->Send_Modem_Power(true);
    }
    s->Send_Modem_Dial_Status_Query();
}

void DeviceManager::sendModemDialStatusQuery() {
    VARNOK_SESSION(s);
    s->Send_Modem_Dial_Status_Query();
}

void DeviceManager::queryStaticStatus() {
    VARNOK_SESSION(s);
    if (hasStaticStatusQuery()) {
        s->QueryStaticStatus();
    }
}

void DeviceManager::queryRadioModuleType() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Radio_Module_Type_Query();
    }
}

void DeviceManager::queryRadioProtocol() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Radio_Protocol(nullptr);
    }
}

void DeviceManager::startBase(Base_Config config) {
    VARNOK_SESSION(s);
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&config);
    bytes[55] = 6;
    std::memset(bytes + 18, 0, 4);
    cache_.baseConfig = config;
    s->Set_Gnss_BsCfg(config);
    s->Send_Gnss_StartBs();
}

void DeviceManager::setConnectionParams(int kind, unsigned char port, int baud,
                                        SocketTarget target) {
    kind_ = kind;
    port_ = port;
    baudRate_ = baud;
    std::memcpy(block_.bytes, &target, sizeof block_.bytes);
    sockPort_ = static_cast<int>(target.port);
}

// ---- Operations that differ by protocol.

void DeviceManager::disconnectNetLink() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_NetLink_Connect(false);
    } else {
        s->Send_Gprs_DisConct();
    }
}

void DeviceManager::queryBasePosDifference() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Gnss_Base_Position_list(nullptr);
    } else {
        s->Query_BasePosition_Difference();
    }
}

bool DeviceManager::setBasePosDifference(double value) {
    if (!receiver_) {
        return false;
    }
    if (deviceType_ != 1) {
        receiver_->Set_BasePosition_Difference(value);
        return true;
    }
    // Sending before this connection's list answer would replace the receiver's positions.
    if (!basePositions_.setDifference(value)) {
        LogicContext::log(QStringLiteral("Base position difference not sent: no list answer yet"));
        return false;
    }
    receiver_->Send_Gnss_Base_Position_list(&basePositions_.record());
    return true;
}

void DeviceManager::queryDataLinkMode() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_DataLink_Mode(nullptr);
    } else {
        s->Send_Radio_Frq();
    }
}

void DeviceManager::queryNetLinkStatus() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_NetLink_Status_Query();
    } else {
        s->Send_Gprs_Status();
    }
}

void DeviceManager::queryRadioBaudrates() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Radio_Air_Baud(nullptr);
    } else {
        s->Send_Radio_Baudrate();
    }
}

void DeviceManager::queryRadioChannelSpacing() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Radio_Stepper(nullptr);
    } else {
        s->Send_Radio_ChannelSpace();
    }
}

void DeviceManager::startStaticRecord() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_File_Record_Open(true, kRecordIo);
        s->Send_File_Record_Status_Query(kRecordIo);
    } else {
        s->Set_Static_Begin(true);
    }
}

void DeviceManager::stopStaticRecord() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_File_Record_Open(false, kRecordIo);
        s->Send_File_Record_Status_Query(kRecordIo);
    } else {
        s->Set_Static_Begin(false);
    }
}

void DeviceManager::queryNmeaOutputConfigs() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        clearIoList(0);
        s->Send_Gnss_Data_Configlist_Query(io(0));
        s->Send_Com_Baudrate(nullptr, kComPort);
    } else {
        s->Query_NMEA_Output_Configs();
    }
}

void DeviceManager::queryDeviceInfo() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Battery();
        s->Send_System_Firmware_Info_Query();
        s->Send_System_Hardware_Info_Query();
    } else {
        s->Send_DeviceInfo();
        s->Send_Gprs_Version();
        s->Send_Battery();
    }
}

void DeviceManager::queryFileRecordSettings() {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Send_DeviceInfo();
        return;
    }
    s->Send_File_Record_Status_Query(kRecordIo);
    s->Send_File_Record_Auto_Open(nullptr, kRecordIo);
    s->Send_File_Record_Param(nullptr, kRecordIo);
    s->Send_Gnss_ElevMask(nullptr);
}

void DeviceManager::queryRtkSettings() {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Send_DeviceInfo();
        return;
    }
    clearIoLists();
    s->Send_Gnss_Data_Configlist_Query(io(5));
    s->Send_Gnss_Data_Configlist_Query(io(6));
    s->Send_Gnss_Data_Configlist_Query(io(1));
    s->Send_Gnss_Base_Position(nullptr);
    s->Send_Gnss_Diff_Type(nullptr);
    s->Send_Gnss_ElevMask(nullptr);
    s->Send_Gnss_Pdop_Mask(nullptr);
    s->Send_Com_Baudrate(nullptr, kComPort);
}

void DeviceManager::queryModemSettings() {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Send_Gprs_Info();
        return;
    }
    s->Send_Modem_Power_Status_Query();
    s->Send_Modem_Dial_Status_Query();
    s->Send_Modem_Dial_Param(nullptr);
    s->Send_Modem_Auto_Power_On(nullptr);
    s->Send_Modem_Auto_Dial(nullptr);
    s->Send_Modem_Band_Mode(nullptr);
    s->Send_Modem_Work_Mode(nullptr);
    s->Send_Modem_CSD_Param(nullptr);
    s->Send_Modem_CSD_Status_Query();
}

void DeviceManager::queryNetLinkSettings() {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Send_Gprs_Info();
        s->Send_Gprs_CosMdl();
        s->Send_Cors_Info_Auto();
        return;
    }
    s->Send_Modem_Dial_Status_Query();
    s->Send_NetLink_Server_Type(nullptr);
    s->Send_NetLink_Address(nullptr);
    s->Send_NetLink_Data_Source(nullptr);
    s->Send_NetLink_Account(nullptr);
    s->Send_NetLink_Auto_Open(nullptr);
}

void DeviceManager::queryRadioSettings() {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        return;
    }
    s->Send_Radio_Power_Status_Query();
    s->Send_Radio_Protocol(nullptr);
    s->Send_Radio_Frequency(nullptr);
    s->Send_Radio_Auto_Power_On(nullptr);
    s->Send_Radio_Power(nullptr);
    s->Send_Radio_Air_Baud(nullptr);
    s->Send_Radio_Sensitivity(nullptr);
    s->Send_Radio_Stepper(nullptr);
    s->Send_Radio_Callsign(nullptr);
    s->Send_Radio_FEC(nullptr);
}

// ---- Setting batches.

void DeviceManager::setRtkSettings(unsigned int output, unsigned int startType, unsigned int port,
                                   unsigned int format, unsigned int mask, GNSS_FRQ rate) {
    VARNOK_SESSION(s);
    s->Set_Gnss_ElevMask(mask);
    s->Set_DevcInfo_OutPut(output);
    s->Set_DevcInfo_StrtTp(startType);
    s->Set_DevcInfo_TrsmtPort(port);
    s->Set_DevcInfo_TrsmtFmat(format);
    s->Set_Position_Frq(rate);
    s->Set_Gnss_PosFrq(rate);
}

void DeviceManager::setFileRecordSettings(unsigned int mode, unsigned int session,
                                          unsigned int interval, unsigned int mask, bool autoOpen) {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Set_DevcInfo_RrdTp(mode);
        s->Set_DevcInfo_RrdTime(session);
        s->Set_DevcInfo_RrdFrq(interval);
        s->Set_DevcInfo_Mask(mask);
        return;
    }
    // The interval is the low half of the 11th word of the record (the upper half is the
    // receiver's and goes back as read), the session the 9th.
    unsigned char* words = reinterpret_cast<unsigned char*>(&cache_.fileRecordParam);
    static_assert(sizeof(QX_FILE_RECORD_CONFIG_STRUCT) >= 44, "file-record words");
    const std::uint16_t rate = static_cast<std::uint16_t>(interval);
    const std::uint32_t time = session;
    std::memcpy(words + 40, &rate, 2);
    std::memcpy(words + 32, &time, 4);
    const unsigned char open = autoOpen ? 1 : 0;
    const unsigned char elev = static_cast<unsigned char>(mask);
    s->Send_File_Record_Auto_Open(&open, kRecordIo);
    s->Send_File_Record_Param(&cache_.fileRecordParam, kRecordIo);
    s->Send_Gnss_ElevMask(&elev);
}

void DeviceManager::setStaticSettings(unsigned int mode, unsigned int session,
                                      unsigned int interval, unsigned int mask,
                                      Static_Point* point) {
    if (!point) {
        VARNOK_SESSION(s);
        setFileRecordSettings(mode, session, interval, mask, false);
        s->Set_Static_Point(nullptr);
        return;
    }
    // The record keeps no antenna code (its last word is the method): none is sent.
    setStaticSettings(mode, session, interval, mask,
                      StaticPointSettings::fromRecord(*point, nullptr, 0));
}

void DeviceManager::setStaticSettings(unsigned int mode, unsigned int session,
                                      unsigned int interval, unsigned int mask,
                                      const StaticPointSettings& point) {
    VARNOK_SESSION(s);
    setFileRecordSettings(mode, session, interval, mask, false);
    Static_Point record = point.toRecord();
    s->Set_Static_Point(&record);
    const std::string code = point.codeToSend();
    s->Set_Static_AntType(code.c_str());
}

StaticPointSettings DeviceManager::staticPointSettings() const {
    return StaticPointSettings::fromRecord(cache_.staticPoint, cache_.staticAntType,
                                           sizeof cache_.staticAntType);
}

void DeviceManager::setGprsSettings(int workMode, int baseIdLength, WirelessInfo info,
                                    int autoLogin, cors_info cors) {
    setGprsSettings(workMode, baseIdLength, info, autoLogin, &cors);
}

void DeviceManager::setGprsSettings(int workMode, int baseIdLength, const WirelessInfo& given,
                                    int autoLogin, const cors_info* cors) {
    VARNOK_SESSION(s);
    WirelessInfo info = given;
    s->Set_Radio_Mdl(static_cast<Rdo_Mdl>(0));
    s->Set_Gprs_Modle(static_cast<Gprs_Modle>(workMode));
    s->Set_Gprs_Ip(info.server, static_cast<unsigned int>(info.port),
                   static_cast<Protocol_Net>(info.protocol));
    // The base ID runs from byte 52 to the record's end at most.
    constexpr int kBaseIdOffset = static_cast<int>(offsetof(WirelessInfo, textC));
    constexpr int kMaxBaseId = static_cast<int>(sizeof(WirelessInfo)) - kBaseIdOffset;
    if (baseIdLength >= 0) {
        const int length = baseIdLength > kMaxBaseId ? kMaxBaseId : baseIdLength;
        s->Set_Gprs_Baseid(reinterpret_cast<unsigned char*>(&info) + kBaseIdOffset,
                           static_cast<unsigned int>(length));
    }
    if (cors) {
        s->Set_Cors_Info_Auto(*cors, 0);
    }
    if (autoLogin >= 0) {
        s->Set_Gprs_CosMdl(static_cast<unsigned int>(autoLogin));
    }
}

void DeviceManager::setRadioSettings(Rdo_Mdl mode, double mhz, Radio_Power power,
                                     Radio_Baudrate baud, Rdo_Sensitv sensitivity,
                                     Channel_Space space, bool fec, Radio_Callsign callsign) {
    setRadioSettings(mode, mhz, power, baud, sensitivity, space, fec, &callsign);
}

void DeviceManager::setRadioSettings(Rdo_Mdl mode, double mhz, Radio_Power power,
                                     Radio_Baudrate baud, Rdo_Sensitv sensitivity,
                                     Channel_Space space, bool fec, const Radio_Callsign* callsign,
                                     bool sendFec) {
    VARNOK_SESSION(s);
    s->Set_Radio_Mdl(mode);
    const std::uint32_t word = cache_.radioInfo.wordC;
    auto has = [word](int bit) { return (word >> bit & 1u) != 0; };
    if (has(27)) {
        s->Set_Radio_Power(power);
    }
    if (has(17)) {
        s->Set_Radio_Baudrate(baud);
    }
    if (has(20)) {
        s->Set_Radio_Sensitivity(sensitivity);
    }
    if (has(16)) {
        s->Set_Radio_ChannelSpace(space);
    }
    if (has(24)) {
        s->Set_Radio_Frq(mhz);
    }
    if (has(22) && sendFec) {
        s->Set_Radio_FEC(fec);
    }
    if (has(23) && callsign) {
        s->Set_Radio_Callsign(*callsign);
    }
}

void DeviceManager::setWifiSettings(int, const QX_WIFI_PARA_AP_STRUCT* params, bool autoOpen,
                                    bool apply, int share, int shareAuto) {
    VARNOK_SESSION(s);
    if (!apply) {
        return;
    }
    const unsigned char open = autoOpen ? 1 : 0;
    s->Send_WIFI_Auto_Open(&open);
    s->Send_WIFI_Param_AP(params);
    if (isWifiShareSupported()) {
        const unsigned char on = share > 0 ? 1 : 0;
        const unsigned char onAuto = shareAuto > 0 ? 1 : 0;
        if (share >= 0) {
            s->Send_WIFI_Share(&on);
        }
        if (shareAuto >= 0) {
            s->Send_WIFI_Share_Auto(&onAuto);
        }
    }
}

void DeviceManager::queryWifiSettings() {
    VARNOK_SESSION(s);
    s->Send_WIFI_Power_Status_Query();
    s->Send_WIFI_Param_AP(nullptr);
    s->Send_WIFI_Mode(nullptr);
    s->Send_WIFI_Auto_Open(nullptr);
    s->Send_Modem_Dial_Status_Query();
    if (isWifiShareSupported()) {
        s->Send_WIFI_Share(nullptr);
        s->Send_WIFI_Share_Auto(nullptr);
    }
}

void DeviceManager::setModemSettings(const QX_MODEM_DIAL_PARA_STRUCT* params, bool autoPower,
                                     bool autoDial, unsigned short bandMode) {
    VARNOK_SESSION(s);
    const unsigned char power = autoPower ? 1 : 0;
    const unsigned char dial = autoDial ? 1 : 0;
    s->Send_Modem_Auto_Power_On(&power);
    s->Send_Modem_Auto_Dial(&dial);
    s->Send_Modem_Band_Mode(&bandMode);
    s->Send_Modem_Dial_Param(params);
}

void DeviceManager::setNetLinkSettings(const unsigned short* serverType,
                                       const QX_IP_ADDRESS_STRUCT* address,
                                       const QX_CORS_DATA_SOURCE_STRUCT* source,
                                       const QX_ACCOUNT_STRUCT* account, int autoOpen) {
    VARNOK_SESSION(s);
    const unsigned short network = 3;
    const unsigned char open = autoOpen > 0 ? 1 : 0;
    s->Send_DataLink_Mode(&network);
    // A null would ask instead of set: the item is left out.
    if (serverType) {
        s->Send_NetLink_Server_Type(serverType);
    }
    if (address) {
        s->Send_NetLink_Address(address);
    }
    if (source) {
        s->Send_NetLink_Data_Source(source);
    }
    if (account) {
        s->Send_NetLink_Account(account);
    }
    if (autoOpen >= 0) {
        s->Send_NetLink_Auto_Open(&open);
    }
}

void DeviceManager::setRadioLinkSettings(int protocol, double mhz, bool autoPower,
                                         unsigned int stepper, unsigned int airBaud,
                                         unsigned int power, bool fec, int sensitivity,
                                         const QX_RADIO_CALLSIGN_STRUCT* callsign) {
    VARNOK_SESSION(s);
    constexpr unsigned int kUnset = ~0u;
    const RadioConfig& radio = RadioConfig::instance();
    const unsigned short radioMode = 1;
    const unsigned char powerOn = autoPower ? 1 : 0;
    s->Send_DataLink_Mode(&radioMode);
    s->Send_Radio_Auto_Power_On(&powerOn);
    // -1: the page holds no protocol (none read, or one without an item): the radio keeps its own.
    if (radio.capability(1) == 2 && protocol >= 0 && protocol < 0xFFFF) {
        const unsigned short code = static_cast<unsigned short>(protocol);
        s->Send_Radio_Protocol(&code);
    }
    if (radio.capability(3) == 2 && stepper != kUnset) {
        s->Send_Radio_Stepper(&stepper);
    }
    if (radio.capability(2) == 2 && power != kUnset) {
        s->Send_Radio_Power(&power);
    }
    const float frequency = static_cast<float>(mhz);
    s->Send_Radio_Frequency(&frequency);
    if (radio.capability(4) == 2 && airBaud != kUnset) {
        s->Send_Radio_Air_Baud(&airBaud);
    }
    if (radio.capability(5) == 2 && sensitivity != -1) {
        const unsigned char code =
            static_cast<unsigned char>(RadioConfig::sensitivityCode(sensitivity));
        s->Send_Radio_Sensitivity(&code);
    }
    if (radio.capability(6) == 2) {
        const unsigned char on = fec ? 1 : 0;
        s->Send_Radio_FEC(&on);
    }
    if (radio.capability(7) == 2 && callsign) {
        s->Send_Radio_Callsign(callsign);
    }
}

void DeviceManager::sendRtkSettings(int startMode, QX_GNSS_DIFF_TYPE_ENUM diffType, int comBaud,
                                    unsigned int elevMask, int pdopMask, double latitude,
                                    double longitude, double height,
                                    const std::map<int, bool>& outputs) {
    VARNOK_SESSION(s);
    for (const auto& [port, on] : outputs) {
        if (on) {
            s->Send_Gnss_IO_DiffData(io(port), diffType);
        } else {
            s->Send_Gnss_Data_Unlogall(io(port));
        }
    }
    if (comBaud > 0) {
        QX_COM_BAUD_ENUM code = static_cast<QX_COM_BAUD_ENUM>(comBaud);
        s->Send_Com_Baudrate(&code, kComPort);
        if (comBaud != baudRate_) {
            announce(66);  // no signal of its own
        }
    }
    cache_.baseSet.mode = static_cast<std::uint16_t>(startMode);
    if (startMode == 3) {
        cache_.baseSet.lat = latitude;
        cache_.baseSet.lon = longitude;
        cache_.baseSet.height = height;
    }
    s->Send_Gnss_Base_Position(&cache_.baseSet);
    const unsigned char elev = static_cast<unsigned char>(elevMask & 0xFF);
    const unsigned char pdop = static_cast<unsigned char>(pdopMask & 0xFF);
    s->Send_Gnss_ElevMask(&elev);
    s->Send_Gnss_Pdop_Mask(&pdop);
}

// ---- Base position list.

void DeviceManager::queryBasePositionList() {
    VARNOK_SESSION(s);
    basePositions_.clearDisplay();
    if (deviceType_ == 1) {
        s->Send_Gnss_Base_Position_list(nullptr);
    } else {
        s->Query_BasePosition_List();
    }
}

bool DeviceManager::clearBasePositionList() {
    if (!receiver_) {
        return false;
    }
    basePositions_.clearDisplay();
    if (deviceType_ != 1) {
        receiver_->Clear_BasePosition_List();
        return true;
    }
    if (!basePositions_.clear()) {
        LogicContext::log(QStringLiteral("Base position list not cleared: no list answer yet"));
        return false;
    }
    receiver_->Send_Gnss_Base_Position_list(&basePositions_.record());
    return true;
}

bool DeviceManager::removeBasePosition(int index) {
    if (!receiver_) {
        return false;
    }
    if (index < 0) {
        // No row chosen: nothing to remove on either protocol.
        LogicContext::log(QStringLiteral("Base position %1 not removed").arg(index));
        return false;
    }
    if (deviceType_ != 1) {
        receiver_->Remove_BasePos_From_List(index);
        return true;
    }
    if (!basePositions_.remove(index)) {
        LogicContext::log(QStringLiteral("Base position %1 not removed").arg(index));
        return false;
    }
    receiver_->Send_Gnss_Base_Position_list(&basePositions_.record());
    return true;
}

bool DeviceManager::addBasePosition(double latitude, double longitude, double height) {
    if (!receiver_) {
        return false;
    }
    if (deviceType_ != 1) {
        receiver_->Add_BasePos_To_List(latitude, longitude, height);
        return true;
    }
    if (!basePositions_.add(latitude, longitude, height)) {
        LogicContext::log(QStringLiteral("Base position not added: no list answer or no room"));
        return false;
    }
    receiver_->Send_Gnss_Base_Position_list(&basePositions_.record());
    return true;
}

// ---- NMEA and position output.

void DeviceManager::setNmeaOutput(std::vector<_set_nmea>& list, bool keep, int selector) {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Set_Velta_NMEA(list, selector, keep);
        return;
    }
    std::vector<DataFreq> freqs;
    freqs.reserve(list.size());
    for (const _set_nmea& e : list) {
        freqs.push_back({static_cast<std::uint16_t>(DeviceCodes::sentenceDataTypeCode(e.Nmea_Id)),
                         static_cast<std::uint16_t>(DeviceCodes::mapTypeCode(e.Rate_Id))});
    }
    if (freqs.empty()) {
        return;
    }
    switch (selector) {
        case 1:
            s->Send_Gnss_Data_Freq(freqs, io(1));
            break;
        case 2:
            s->Send_Gnss_Data_Freq(freqs, io(4));
            break;
        case 3:
            s->Send_Gnss_Data_Freq(freqs, io(4));
            s->Send_Gnss_Data_Freq(freqs, io(1));
            break;
        default:
            break;
    }
}

namespace {

constexpr std::uint16_t kPositionDataType = 0x410;

}  // namespace

void DeviceManager::startPositionOutput() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Gnss_Data_Freq(std::vector<DataFreq>{{kPositionDataType, 9}}, io(0));
    } else {
        s->Send_200Data(true);
        s->Set_Gnss_PosFrq(GNSS_FRQ_3);
    }
}

void DeviceManager::stopPositionOutput() {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Gnss_Data_Freq(std::vector<DataFreq>{{kPositionDataType, 1}}, io(0));
    } else {
        s->Send_200Data(false);
        // The board's own position rate, as the device information reported it, comes back
        // (its RTK output may depend on it); 0 where that rate has no code.
        GNSS_FRQ rate = GNSS_FRQ_0;
        switch (DeviceRecord::byteAt(cache_.deviceInfo, DeviceRecord::OutputRateHz)) {
            case 1:
                rate = static_cast<GNSS_FRQ>(3);
                break;
            case 2:
                rate = static_cast<GNSS_FRQ>(11);
                break;
            case 5:
                rate = static_cast<GNSS_FRQ>(2);
                break;
            case 10:
                rate = static_cast<GNSS_FRQ>(1);
                break;
            default:
                break;
        }
        s->Set_Gnss_PosFrq(rate);
    }
}

// ---- Radio channel lists.

void DeviceManager::queryRadioInfo() {
    VARNOK_SESSION(s);
    if (deviceType_ != 1) {
        s->Send_Gprs_Version();
    }
}

void DeviceManager::queryRadioChannelList(bool withSpacing, bool withTypes) {
    VARNOK_SESSION(s);
    if (deviceType_ == 1) {
        s->Send_Radio_Channel_List_Query();
        s->Send_Radio_Channel_List_All_Query();
        return;
    }
    cache_.channelTypes.clear();
    cache_.channelFreqs.clear();
    if (withSpacing) {
        s->Send_Radio_ChannelSpace();
    }
    s->Query_Radio_ChannelList_Freq();
    if (withTypes) {
        s->Query_Radio_ChannelList_Type();
    }
}

#undef VARNOK_SESSION

}  // namespace Varnok
