// Records of the maker's new binary protocol: what the item builders take and the item
// decoders fill. Fields keep natural alignment; the wire layout (big-endian, packed) is
// produced and read field by field, never by copying a record whole.
#pragma once

#include <cstdint>
#include <vector>

namespace Brevan2011 {
namespace BVParse {

// Enums of the new protocol. Their values are the receiver's own codes, passed through
// unchanged: builders send the low 16 bits, readers return the 32-bit word decoded.
enum QX_MODEM_POWER_STATUS_ENUM : int32_t {};   // reply to 0x140B
enum QX_MODEM_BAND_MODE_ENUM : int32_t {};      // 0x140D
enum QX_MODEM_WORK_MODE_ENUM : int32_t {};      // 0x140E
enum QX_DATA_FRQ_ENUM : int32_t {};             // 0x0403
enum QX_GNSS_IO_ID_ENUM : int32_t {};           // 0x0404: the output port concerned
enum QX_GNSS_DIFF_TYPE_ENUM : int32_t {};       // 0x0405: the differential data format
enum QX_NETLINK_SERVER_TYPE_ENUM : int32_t {};  // 0x1104
enum QX_DATALINK_MODE_ENUM : int32_t {};        // 0x1503
enum QX_COM_DIRECT_ENUM : int32_t {};           // 0x0108
enum QX_RADIO_PROTOCOL_ENUM : int32_t {};       // 0x070C
enum QX_RADIO_MODULE_TYPE_ENUM : int32_t {};    // reply to 0x0711
enum QX_RADIO_POWER_STATUS_ENUM : int32_t {};   // reply to 0x0712
enum QX_WIFI_MODE_ENUM : int32_t {};            // 0x0A04
enum QX_WIFI_POWER_STATUS_ENUM : int32_t {};    // reply to 0x0A08
enum QX_FILE_RECORD_IO_ID_ENUM : int32_t {};    // 0x0B09: the recording concerned
enum QX_FILE_RECORD_STATUS_ENUM : int32_t {};   // reply to 0x0B07
enum QX_COM_BAUD_ENUM : int32_t {};             // serial port baud code (0x0103)
enum QX_COM_PORT_ENUM : int32_t {};             // serial port (0x0104)
enum QX_RESPONSE_STATUS_ENUM : int32_t {};      // response status (0x0002)

// Modem.
struct QX_MODEM_DIAL_PARA_STRUCT {
    char text[5][20];  // the five dial settings in the order sent (0x1403)
};
struct QX_MODEM_DIAL_STATUS_STRUCT {
    uint16_t status;
    uint32_t value;
    uint16_t code;
};
struct QX_MODEM_SIGNAL_INTENSITY_STRUCT {
    uint32_t intensity;
    uint8_t level;
};
struct QX_MODEM_CSD_PARA_STRUCT {
    char number[20];
    uint8_t mode;
};
struct QX_MODEM_CSD_STATUS_STRUCT {
    uint16_t status;
    uint32_t value;
    uint16_t code;
};

// GNSS.
struct DataFreq {
    uint16_t tag;
    uint16_t rate;
};
static_assert(sizeof(DataFreq) == 4, "DataFreq is built from four raw bytes by its users");

struct QX_DATA_CONFIG_LIST {
    uint16_t count;
    uint16_t entries[44];
};
struct QX_DATA_CONFIG_LIST_STRUCT {
    uint16_t first;
    std::vector<DataFreq> list;
};
struct DATA_FREQS_STRUCT {
    uint16_t tag;
    uint32_t value;
};
struct QX_DATA_TRANSFER_STRUCT {
    uint16_t value[3];
};
struct QX_GNSS_BASE_SET_STRUCT {
    uint16_t mode;
    double lat;
    double lon;
    double height;
};
struct QX_GNSS_SATELLITE_ENABLE_STRUCT {
    uint32_t enable[5];
};
struct BASE_POS_ENTRY {
    double first;
    double second;
    uint32_t value;
};
struct BASE_POS_LIST_STRUCT {
    double value;
    uint8_t limit;  // the receiver's maximum number of entries
    std::vector<BASE_POS_ENTRY> list;
};
struct QX_GNSS_DAT_MAGNETIC_STRUCT {
    uint8_t state;
    int16_t axis[6];
    uint8_t quality;
};
struct QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT {
    uint8_t state;
    int8_t s1;
    int8_t s2;
    int8_t s3;
    int8_t s4;
    uint16_t count;
    int8_t s5;
    int8_t s6;
    int8_t s7;
    uint8_t b1;
    uint8_t b2;
    uint8_t b3;
};
struct QX_GNSS_DAT_CALIBRATION_TILT_STRUCT {
    uint8_t state;
    int8_t x;
    int8_t y;
    uint8_t quality;
};

// Electronic bubble state (0x0411).
struct QX_GNSS_EBUBBLE_STRUCT {
    uint8_t state;
    uint32_t v1;
    uint16_t v2;
    uint16_t v3;
    uint16_t v4;
    uint32_t v5;
    uint32_t v6;
    int32_t v7;
    int32_t v8;
};

// System.
struct QX_SYSTEM_POWER_STATUS_STRUCT {
    uint32_t value[3];
};
struct QX_SYSTEM_HARDWARE_INFO_STRUCT {
    uint32_t id;
    char text1[24];
    char text2[24];
    uint32_t word[4];
};
struct QX_SYSTEM_FIRMWARE_VERSION_STRUCT {
    char text1[50];
    char text2[50];
};
struct QX_GSENSOR_VALID_PERIOD_STRUCT {
    uint8_t kind;
    uint16_t value;
};
struct QX_GSENSOR_CALIBRATION_QUALITY {
    uint8_t quality[3];
};
struct QX_GPSBOARD_INFO_STRUCT {
    uint16_t v1;
    uint16_t v2;
    char text1[12];
    uint16_t v3;
    char text2[50];  // the receiver sends 20 bytes of it
};
struct QX_MAC_INFO_STRUCT {
    char mac[20];
};

// Network link and data link.
struct QX_IP_ADDRESS_STRUCT {
    uint32_t address;
    uint16_t port;
    uint8_t flag;
    char name[50];
};
struct QX_CORS_DATA_SOURCE_STRUCT {
    char source[20];
};
struct QX_ACCOUNT_STRUCT {
    char user[50];
    char password[20];
};
struct QX_NETLINK_STATUS_STRUCT {
    uint16_t status;
    uint32_t value;
    uint16_t code;
};
// A block of raw bytes owned by the caller (0x1504, 0x0B08).
struct QX_BLOCK_DATA_STRUCT {
    uint32_t count;
    const uint8_t* data;
};

// Radio.
struct QX_RADIO_INFOLIST_STRUCT {
    uint16_t v1;
    uint16_t v2;
    uint32_t v3;
    uint32_t v4;
    uint16_t v5;
    uint32_t v6;
    uint32_t v7;
    uint32_t v8;
};
struct QX_RADIO_CHANNEL_LIST_STRUCT {
    uint32_t channel[10];
};
struct QX_RADIO_CHANNEL_ENTRY {
    uint32_t value;
    uint8_t flag;
};
struct QX_RADIO_CHANNEL_LIST_EX_STRUCT {
    std::vector<QX_RADIO_CHANNEL_ENTRY> list1;
    std::vector<QX_RADIO_CHANNEL_ENTRY> list2;
    std::vector<QX_RADIO_CHANNEL_ENTRY> list3;
};
struct QX_RADIO_PROPERTY_EX_STRUCT {
    uint32_t v1;
    uint8_t b1;
    uint8_t b2;
    uint32_t v2;
    char text[16];  // last byte always 0
};
struct QX_RADIO_CALLSIGN_STRUCT {
    uint8_t b1;
    uint8_t b2;
    char text[17];  // last byte always 0
};

// Wi-Fi.
struct QX_WIFI_PARA_AP_STRUCT {
    char ssid[20];
    uint16_t value;
    char password[20];
};

// File recording.
struct QX_FILE_RECORD_CONFIG_STRUCT {
    char name[20];
    uint8_t b1;
    uint32_t v1;
    uint32_t v2;
    uint32_t v3;
    uint8_t b2;
    uint8_t b3;
    uint8_t b4;
    uint16_t v4;
    uint8_t b5;
    uint32_t v5;
};

}  // namespace BVParse
}  // namespace Brevan2011
