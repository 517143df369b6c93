// Data parser of the new-protocol board: decodes the items of the receiver's reply frames
// into receiver state and raises one update bit per decoded item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_NewRecords.h"
#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

// What the new-protocol decoders keep beyond the base parser's navigation stores. Values
// are native integers; each decoded item overwrites its field, lists are replaced whole.
struct NewReceiverState {
    // Response status and data link.
    uint16_t responseStatus = 0;  // 0x0002
    uint16_t dataLinkMode = 0;    // 0x1503
    // System.
    uint16_t baudCode = 0;       // 0x0103
    uint16_t baudCompanion = 0;  // 0x0104
    // Device.
    QX_SYSTEM_POWER_STATUS_STRUCT powerStatus{};         // 0x0304
    QX_SYSTEM_HARDWARE_INFO_STRUCT hardwareInfo{};       // 0x0306
    QX_SYSTEM_FIRMWARE_VERSION_STRUCT firmwareInfo{};    // 0x0307
    QX_GSENSOR_CALIBRATION_QUALITY calibrationResult{};  // 0x0309
    QX_GPSBOARD_INFO_STRUCT gpsBoardInfo{};              // 0x030C
    QX_MAC_INFO_STRUCT btMac{};                          // 0x030D
    QX_MAC_INFO_STRUCT wifiMac{};                        // 0x030E
    // GNSS.
    uint16_t diffType = 0;  // 0x0405
    uint16_t gpsWeek = 0;   // low 16 bits of the week of 0x040B / 0x0410
    uint32_t satTotal = 0;  // 0x040D: entries announced
    uint32_t satUsed = 0;   // 0x040D: entries with the used flag
    uint32_t systemsInView = 0;
    QX_GNSS_EBUBBLE_STRUCT eBubble{};                            // 0x0411
    QX_GNSS_DAT_MAGNETIC_STRUCT magnetic{};                      // 0x041B
    QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT headingCalibration{};  // 0x0425
    QX_GNSS_DAT_CALIBRATION_TILT_STRUCT tiltCalibration{};       // 0x0426
    uint8_t pdopMask = 0;                                        // 0x0450
    QX_GNSS_BASE_SET_STRUCT baseSet{};                           // 0x0452 (0x040F: position)
    QX_GNSS_SATELLITE_ENABLE_STRUCT satEnable{};                 // 0x0455
    QX_DATA_CONFIG_LIST configList{};                            // 0x0456
    BASE_POS_LIST_STRUCT basePositions{};                        // 0x0457
    std::vector<DATA_FREQS_STRUCT> subscriptions;                // 0x0459
    QX_DATA_CONFIG_LIST_STRUCT configListEx{};                   // 0x045A
    // Radio.
    uint32_t radioFrequency = 0;           // 0x0703, the 32 bits as received (a float's bits)
    uint32_t radioPower = 0;               // 0x0704
    uint32_t radioStepper = 0;             // 0x0709
    uint32_t radioAirBaud = 0;             // 0x070B
    uint16_t radioProtocol = 0;            // 0x070C
    QX_RADIO_INFOLIST_STRUCT radioInfo{};  // 0x070D
    uint8_t radioAutoPowerOn = 0;          // 0x0710
    uint16_t radioModuleType = 0;          // 0x0711
    uint16_t radioPowerStatus = 0;         // 0x0712
    QX_RADIO_CHANNEL_LIST_STRUCT radioChannels{};       // 0x0713
    QX_RADIO_PROPERTY_EX_STRUCT radioProperty{};        // 0x0714
    QX_RADIO_CHANNEL_LIST_EX_STRUCT radioChannelsEx{};  // 0x0715
    uint8_t radioSensitivity = 0;                       // 0x0716
    uint8_t radioFec = 0;                               // 0x0717
    QX_RADIO_CALLSIGN_STRUCT radioCallsign{};           // 0x0718
    uint8_t radioCallsignLength = 0;  // characters sent; 17 tells the record holds them cut
    // Wi-Fi (modem group A).
    QX_WIFI_PARA_AP_STRUCT wifiAp{};  // 0x0A03
    uint16_t wifiMode = 0;            // 0x0A04
    uint8_t wifiAutoOpen = 0;         // 0x0A07
    uint16_t wifiPowerStatus = 0;     // 0x0A08
    uint8_t wifiShare = 0;            // 0x0A09
    uint8_t wifiShareAuto = 0;        // 0x0A0A
    // File recording.
    uint8_t recordAutoOpen = 0;                   // 0x0B05
    QX_FILE_RECORD_CONFIG_STRUCT recordConfig{};  // 0x0B06
    uint16_t recordStatus = 0;                    // 0x0B07
    // Network link.
    uint32_t netValue = 0;                       // 0x1102
    QX_IP_ADDRESS_STRUCT netAddress{};           // 0x1103
    uint16_t netServerType = 0;                  // 0x1104
    QX_NETLINK_STATUS_STRUCT netStatus{};        // 0x1105
    uint32_t netSourceCount = 0;                 // 0x1106
    uint8_t netSourceList[4096] = {};            // 0x1106
    uint8_t netAutoOpen = 0;                     // 0x1109
    QX_CORS_DATA_SOURCE_STRUCT netDataSource{};  // 0x110A
    QX_ACCOUNT_STRUCT netAccount{};              // 0x110B
    // Modem (group B).
    QX_MODEM_DIAL_PARA_STRUCT modemDial{};           // 0x1403
    QX_MODEM_DIAL_STATUS_STRUCT modemDialStatus{};   // 0x1404
    uint8_t modemAutoDial = 0;                       // 0x1409
    uint8_t modemAutoPowerOn = 0;                    // 0x140A
    uint16_t modemPowerStatus = 0;                   // 0x140B
    QX_MODEM_SIGNAL_INTENSITY_STRUCT modemSignal{};  // 0x140C
    uint16_t modemBandMode = 0;                      // 0x140D
    uint16_t modemWorkMode = 0;                      // 0x140E
    QX_MODEM_CSD_PARA_STRUCT modemCsd{};             // 0x140F
    QX_MODEM_CSD_STATUS_STRUCT modemCsdStatus{};     // 0x1410
};

class Em_OemNewData : public Em_OemData {
public:
    static constexpr size_t kSentenceMax = 260;
    static constexpr uint16_t kGgaTag = 0x0408;

    Em_OemNewData();
    ~Em_OemNewData() override;

    // One item (value, tag, length), as Decode_NewItem.
    int Parse_Message(const unsigned char* frame, int id, int length) override;

    // Decodes one item; 1 when decoded (0x1504 included), 0 otherwise. Clears the update
    // mask first and raises the tag's bit on success.
    int Decode_NewItem(const uint8_t* value, uint16_t tag, uint32_t length);

    // A GGA sentence found between chunks; 1 when stored (tag 0x0408 only).
    int Store_NewGgaText(const char* text, uint16_t tag, uint32_t length);

    NewReceiverState state;
    uint32_t lastCommandId = 0;            // id of the last frame with an accepted item
    char sentence[kSentenceMax + 1] = {};  // the last GGA text, terminated
    uint32_t sentenceLength = 0;

private:
    bool Decode_Device(const uint8_t* v, uint16_t tag, uint32_t length);
    bool Decode_Gnss(const uint8_t* v, uint16_t tag, uint32_t length);
    bool Decode_Radio(const uint8_t* v, uint16_t tag, uint32_t length);
    bool Decode_Other(const uint8_t* v, uint16_t tag, uint32_t length);
    void Store_DataBlock(const uint8_t* v, uint32_t length);
    void Store_GpsTime(uint32_t week, double seconds);
    void Scale_Errors();
    void Store_BaseInfo();
    bool Store_Satellites(const uint8_t* v, uint32_t length);
};

}  // namespace BVParse
}  // namespace Brevan2011
