// The item tags of the new protocol: how each value is sent and how a received value is
// checked. The encoder and the decoder both read this one table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

// How a value is laid out on the wire when the sender gives one.
enum class NewWire : uint8_t {
    None,       // no value is ever sent (n = 0)
    U8,         // uint8_t
    U16,        // uint16_t
    U32,        // uint32_t
    Sensor,     // QX_GSENSOR_VALID_PERIOD_STRUCT: byte, u16
    Source,     // QX_CORS_DATA_SOURCE_STRUCT: text 20
    BaseSet,    // QX_GNSS_BASE_SET_STRUCT: u16, three doubles
    SatEnable,  // QX_GNSS_SATELLITE_ENABLE_STRUCT: five u32
    BaseList,   // BASE_POS_LIST_STRUCT: double, byte, count, 20-byte entries
    Transfer,   // QX_DATA_TRANSFER_STRUCT: three u16
    RadioProp,  // QX_RADIO_PROPERTY_EX_STRUCT
    Callsign,   // QX_RADIO_CALLSIGN_STRUCT
    WifiAp,     // QX_WIFI_PARA_AP_STRUCT
    FileRec,    // QX_FILE_RECORD_CONFIG_STRUCT
    Block,      // QX_BLOCK_DATA_STRUCT: u32 count, then the bytes
    Ip,         // QX_IP_ADDRESS_STRUCT
    Account,    // QX_ACCOUNT_STRUCT
    Dial,       // QX_MODEM_DIAL_PARA_STRUCT
    Csd,        // QX_MODEM_CSD_PARA_STRUCT
};

// How the decoder checks a received value's length.
enum class NewLen : uint8_t {
    NotDecoded,  // the tag is only ever sent
    Exact,       // length == len
    AtLeast,     // length >= len
    Any,         // every length
    Counted,     // length >= len, then a count inside the value fixes it (see decoder)
};

struct NewTagInfo {
    uint16_t tag;
    NewWire wire;
    uint16_t n;     // value length sent with a value (0: variable, see wire)
    bool required;  // a value must be given when sending
    NewLen rule;
    uint16_t len;  // exact or minimum received length
    uint32_t bit;  // update bit raised when decoded
};

// The table entry of a tag, or null for a tag the protocol does not list.
const NewTagInfo* Find_NewTag(uint16_t tag);

// The whole table, sorted by tag, for tests and tools.
const NewTagInfo* NewTag_Table(size_t* count);

}  // namespace BVParse
}  // namespace Brevan2011
