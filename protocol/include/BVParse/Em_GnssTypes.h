// Records and enums shared by the protocol library, the receiver session and the program:
// the command record, the callback record, the protocol and main-board selectors, the
// message category with its flag bits, and the small records the board drivers exchange.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Brevan2011 {
namespace BVParse {

// One command ready for the port. Only `length` bytes of `data` are written; a length of 0
// writes nothing but still waits `pause` milliseconds.
struct _STR_CMD {
    unsigned char data[512];
    uint32_t pause;
    uint32_t length;
};
static_assert(sizeof(_STR_CMD) == 520, "_STR_CMD layout");

// The caller-owned list every command builder appends to; builders never clear it.
typedef std::vector<_STR_CMD> Cmd_List;

// Category of the last parsed message. The program dispatches on these numbers.
enum Msg_Type : int32_t {
    MSG_NEW_OTHER = 0,     // new protocol: any other operation code (ignored by the program)
    MSG_GNSS_DATA = 1,     // GNSS data parsed by a board driver
    MSG_OLD_REPLY = 2,     // old protocol: device, status, modem and settings replies
    MSG_NEW_CLASS_3 = 3,   // new protocol: operation codes 14, 15, 16
    MSG_NEW_CLASS_4 = 4,   // new protocol: operation codes 2, 3, 10, 11, 38, 39
    MSG_NEW_CLASS_5 = 5,   // new protocol: operation codes 34, 35, 42, 43
    MSG_NEW_CLASS_6 = 6,   // new protocol: operation codes 22, 23, 46, 47, 50, 51
    MSG_NEW_GGA = 7,       // new protocol: a GGA sentence between frames (ignored by the program)
    MSG_OLD_REPLY_EX = 8,  // old protocol: further replies
};

// Protocol generation. Any value other than 1 and 2 is treated as the old protocol.
enum GNSS_MANUFACTURER : int32_t {
    GNSS_MNFCTR_NONE = 0,
    GNSS_MNFCTR_OEM = 1,    // another maker's main board, reached directly
    GNSS_MNFCTR_VELTA = 2,  // the maker's own receivers (old or new protocol)
};

// Main-board type: selects the board driver the protocol object creates.
enum MAINBD_OEM_TYPE : int32_t {
    MAINBD_NONE = 0,
    MAINBD_STXETX = 1,       // binary packets framed by STX and ETX
    MAINBD_NOVATEL = 2,      // NovAtel ASCII commands and binary logs
    MAINBD_COMENGINE = 3,    // software engine reached as a COM component
    MAINBD_HEMISPHERE = 4,   // Hemisphere "$J" commands
    MAINBD_NMEA = 5,         // NMEA-only board
    MAINBD_NMEA2 = 6,        // second NMEA-only board
    MAINBD_HEMISPHERE2 = 7,  // second Hemisphere variant
    MAINBD_NEWPROTOCOL = 8,  // the maker's new binary protocol
};

// Port kind word of the protocol object.
enum Com_Status : int32_t {
    COM_STATUS_SERIAL = 1,
    COM_STATUS_BLUETOOTH = 2,
};

// Output rate selector of the position, observation and sensor commands.
enum GNSS_FRQ : int32_t {
    GNSS_FRQ_0 = 0,
    GNSS_FRQ_1 = 1,
    GNSS_FRQ_2 = 2,
    GNSS_FRQ_3 = 3,
    GNSS_FRQ_4 = 4,
    GNSS_FRQ_5 = 5,
    GNSS_FRQ_6 = 6,
    GNSS_FRQ_11 = 11,
    GNSS_FRQ_255 = 255,
};

// Data callback: category, flag word (which values the message updated), user data.
typedef void (*Em_DataCallback)(Msg_Type category, uint32_t flags, const void* user);
// Status callback: true after the main board or the maker was reset, user data.
typedef void (*Em_StatusCallback)(bool changed, const void* user);

struct _CALLBACKS_RECEIVER {
    Em_DataCallback Data_Callback;
    Em_StatusCallback Status_Callback;
};

// Flag bits of category 1 (the board data parser's update mask).
constexpr uint32_t GNSS_FLAG_GGA_TEXT = 0x00001000u;   // text of the last GGA sentence
constexpr uint32_t GNSS_FLAG_RMC = 0x00002000u;        // RMC parsed
constexpr uint32_t GNSS_FLAG_RTCM3 = 0x00004000u;      // RTCM 3 frame accepted
constexpr uint32_t GNSS_FLAG_EPOCH_A = 0x00020000u;    // combined epoch: GGA seen
constexpr uint32_t GNSS_FLAG_OBS = 0x00040000u;        // observation store
constexpr uint32_t GNSS_FLAG_COUNTED = 0x00080000u;    // counted by the diagnostic logger
constexpr uint32_t GNSS_FLAG_SAT_2 = 0x00100000u;      // satellite table 2
constexpr uint32_t GNSS_FLAG_SAT_3 = 0x00200000u;      // satellite table 3
constexpr uint32_t GNSS_FLAG_SAT_4 = 0x00400000u;      // satellite table 4
constexpr uint32_t GNSS_FLAG_EPOCH_GST = 0x00800000u;  // combined epoch: GGA after a GST
constexpr uint32_t GNSS_FLAG_EPOCH_RMC = 0x01000000u;  // combined epoch: GGA after an RMC
constexpr uint32_t GNSS_FLAG_ELEV_MASK = 0x04000000u;  // elevation cut-off angle
constexpr uint32_t GNSS_FLAG_SAT_1 = 0x08000000u;      // satellite table 1
constexpr uint32_t GNSS_FLAG_POSITION = 0x10000000u;   // position and time of an epoch
constexpr uint32_t GNSS_FLAG_EPOCH_B = 0x20000000u;    // combined epoch: GGA seen
constexpr uint32_t GNSS_FLAG_OWN_SATS = 0x40000000u;   // old protocol's own satellite message
constexpr uint32_t GNSS_FLAG_DOPS = 0x80000000u;       // dilution-of-precision values
constexpr uint32_t GNSS_FLAG_OWN_SATS_LOW = 0x00000100u;

// Flag bits of category 2 (old-protocol replies).
constexpr uint32_t OLD_FLAG_BUBBLE = 0x00000001u;         // FF: tilt-sensor information
constexpr uint32_t OLD_FLAG_STATIC_TIME = 0x00000080u;    // FH: static recording times
constexpr uint32_t OLD_FLAG_FIRMWARE_DB = 0x00000100u;    // VY: firmware debug record
constexpr uint32_t OLD_FLAG_CLOSE_ACK = 0x00000200u;      // ST: close acknowledgement
constexpr uint32_t OLD_FLAG_FB = 0x00000400u;             // FB reply
constexpr uint32_t OLD_FLAG_GPRS_LIST = 0x00001000u;      // VM: GPRS list
constexpr uint32_t OLD_FLAG_GPRS_DIFF = 0x00002000u;      // RX: GPRS differential information
constexpr uint32_t OLD_FLAG_SX = 0x00040000u;             // SX reply
constexpr uint32_t OLD_FLAG_SC = 0x00080000u;             // SC reply
constexpr uint32_t OLD_FLAG_BATTERY_CLASS = 0x04000000u;  // SD with 5 data bytes
constexpr uint32_t OLD_FLAG_BATTERY = 0x40000000u;        // SD: battery grade
constexpr uint32_t OLD_FLAG_DEVICE_INFO = 0x80000000u;    // SI: device information

// Flag bits of the VI replies (the radio's and the modem's '@' frames): category 2, except the
// two channel lists, which are category 8.
constexpr uint32_t OLD_VI_NETWORK = 0x20000000u;        // 'Y', 's': network settings
constexpr uint32_t OLD_VI_MODEM_VERSION = 0x01000000u;  // '_': modem version
constexpr uint32_t OLD_VI_RADIO_FREQ = 0x02000000u;     // 'b', 'n': radio frequency
constexpr uint32_t OLD_VI_GPRS_STATUS = 0x08000000u;    // 'c': GPRS status
constexpr uint32_t OLD_VI_SIGNAL = 0x00200000u;         // 'e': signal quality
constexpr uint32_t OLD_VI_STATUS4 = 0x00800000u;        // 'g': wireless status word 4
constexpr uint32_t OLD_VI_GPRS_ERROR = 0x00100000u;     // 'h': GPRS error code
constexpr uint32_t OLD_VI_CORS_MODE = 0x00400000u;      // 'j': CORS mode
constexpr uint32_t OLD_VI_AUTO_LOGIN = 0x00010000u;     // 'l': automatic correction login
constexpr uint32_t OLD_VI_SOURCE_LIST = 0x00001000u;    // 't': source list text
constexpr uint32_t OLD_VI_RADIO_POWER = 0x00004000u;    // 'v': radio power
constexpr uint32_t OLD_VI_AIR_BAUD = 0x00008000u;       // 'y': radio air baud
constexpr uint32_t OLD_VI_SENSITIVITY = 0x00000800u;    // 0x81: radio sensitivity
constexpr uint32_t OLD_VI_FEC = 0x00000010u;            // 0x83: radio FEC switch
constexpr uint32_t OLD_VI_CHANNEL_FREQS = 0x00000400u;  // 0x85: channel frequencies (cat. 8)
constexpr uint32_t OLD_VI_SPACING = 0x00000040u;        // 0x89: channel spacing
constexpr uint32_t OLD_VI_CALLSIGN = 0x00000020u;       // 0x91: call sign
constexpr uint32_t OLD_VI_CHANNEL_TYPES = 0x00000200u;  // 0x93: channel types (cat. 8)

// Flag bits of category 8 (further old-protocol replies).
constexpr uint32_t OLD_EX_FLAG_FM_FULL = 0x00000002u;
constexpr uint32_t OLD_EX_FLAG_FM = 0x00000004u;
constexpr uint32_t OLD_EX_FLAG_FW_FULL = 0x00000008u;
constexpr uint32_t OLD_EX_FLAG_FW = 0x00000010u;
constexpr uint32_t OLD_EX_FLAG_FT = 0x00000020u;
constexpr uint32_t OLD_EX_FLAG_FJ_FULL = 0x00000040u;
constexpr uint32_t OLD_EX_FLAG_FJ = 0x00000080u;
constexpr uint32_t OLD_EX_FLAG_FK = 0x00000100u;
constexpr uint32_t OLD_EX_FLAG_RC = 0x00000800u;
constexpr uint32_t OLD_EX_FLAG_FC = 0x00001000u;

#pragma pack(push, 1)

// One satellite as the tables hold it (26 bytes).
struct SATLLITE_STR {
    int32_t Prn;
    int32_t Elevation;
    int16_t Azimuth;
    float Snr1;
    float Snr2;
    float Snr3;
    unsigned char Signal;
    unsigned char Used;  // 0x80 (old protocol) or 1 (board parsers) when used
    unsigned char Spare;
    unsigned char Status;
};
static_assert(sizeof(SATLLITE_STR) == 26, "SATLLITE_STR layout");

// Base settings block of the board command builder; the facade copies Base_Config into it whole
// (60 bytes).
struct Base_Config {
    int32_t Station_Id;       // station number, 1
    char Station_Name[10];    // "base"
    int32_t Obs_Interval;     // base observation interval in seconds, 1
    int32_t Port_Index;       // zero-based board port, 1
    int32_t Port_Baud;        // 38400
    int32_t Diff_Format;      // differential format code, 3
    double Latitude;          // radians
    double Longitude;         // radians
    double Height;            // metres
    unsigned char Elev_Mask;  // degrees, 10
    unsigned char Pdop_Mask;  // 95
    int32_t Output_Select;    // 0 port, 1 network link, 2 both
};
static_assert(sizeof(Base_Config) == 60, "Base_Config layout");

// Rover settings block of the board command builder (36 bytes), copied whole by the facade.
struct Rover_Config {
    unsigned char Elev_Mask;  // degrees, 5
    unsigned char Pdop_Mask;  // 95
    unsigned char Reserved;   // 0
    char Ref_Station[9];      // "ANY" or a decimal number; empty until a driver sets it
    int32_t Seq_Counter;      // 1
    int32_t Diff_Format;      // differential format code, 3
    int32_t Port_Index;       // zero-based board port, 1
    int32_t Port_Baud;        // 9600
    int32_t Ionosphere;       // ionosphere condition, 0
    int32_t Diff_Source;      // differential source, 2
};
static_assert(sizeof(Rover_Config) == 36, "Rover_Config layout");

#pragma pack(pop)

// One NMEA output entry: sentence identifier and rate identifier.
struct _set_nmea {
    int32_t Nmea_Id;
    int32_t Rate_Id;
};

// Satellite-use words of the board.
struct SAT_USE {
    uint32_t Word1;
    uint32_t Word2;
};

// Time value: whole seconds since 1970 and the fraction of a second. The seconds are 64-bit
// so the value survives 2038; the record keeps its 16 bytes.
struct Gnss_Time {
    int64_t Seconds;
    double Fraction;
};
static_assert(sizeof(Gnss_Time) == 16, "Gnss_Time layout");

// One satellite's broadcast ephemeris (272 bytes).
struct em_eph_t {
    int32_t sat, iode, iodc, sva, svh, week, code, flag;
    Gnss_Time toe, toc, ttr;
    double A, e, i0, OMG0, omg, M0, deln, OMGd, idot;
    double crc, crs, cuc, cus, cic, cis;
    double toes, fit, f0, f1, f2;
    double tgd[4];
};
static_assert(sizeof(em_eph_t) == 272, "em_eph_t layout");

// The last RTCM 3 frame a board handed to its frame store (2,060 bytes).
struct TRSMT_INFO {
    int32_t Length;  // whole frame, preamble to CRC
    int32_t Msg_No;
    unsigned char Data[2048];
    int32_t Selector;  // 1 the RTCM 3 decoder, 2 the pass decoder
};
static_assert(sizeof(TRSMT_INFO) == 2060, "TRSMT_INFO layout");

// The 24-byte base information area of the board data parser.
struct BASEINFO {
    unsigned char Data[24];
};

// The 84-byte pass-through character record.
struct PASSCOMCHAR {
    unsigned char Data[84];
};

}  // namespace BVParse
}  // namespace Brevan2011
