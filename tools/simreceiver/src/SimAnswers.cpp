#include "SimAnswers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "Em_OldFrames.h"
#include "SimAnswersStaticFiles.h"
#include "SimAnswersSurvey.h"
#include "SimAnswersNetwork.h"
#include "SimAnswersNewLink.h"
#include "SimAnswersRadio.h"
#include "SimAnswersRtk.h"
#include "SimAnswersDataLink.h"
#include "support/NewWireHelpers.h"

namespace varnok_sim {

namespace {

namespace BV = Brevan2011::BVParse;
using NewWire::Cat;
using NewWire::U16;
using NewWire::U32;
using NewWire::U8;

constexpr std::uint16_t kResponseTag = 0x0002;
constexpr std::uint16_t kResponseOk = 1;
constexpr std::size_t kDeviceBlock = 128;
constexpr std::size_t kOldChunk = BV::kOldChunk;

// Text in a field of n bytes, zero-filled; a text of n characters fills it without a
// terminator, as a receiver may send it.
Bytes Text(const std::string& s, std::size_t n) {
    Bytes out(n, 0);
    std::memcpy(out.data(), s.data(), std::min(s.size(), n));
    return out;
}

std::uint32_t FloatWord(float v) {
    std::uint32_t w = 0;
    std::memcpy(&w, &v, sizeof w);
    return w;
}

Bytes Battery(const SimState& s) {
    const long percent = s.number("battery");
    const std::uint32_t level = s.text("battery_form") == "percent"
                                    ? static_cast<std::uint32_t>(percent)
                                    : FloatWord(static_cast<float>(percent));
    const std::uint32_t powerState = s.number("external_power") != 0 ? 2 : 1;
    return Cat({U32(powerState), U32(level), U32(level)});
}

// The long form: id, serial number, part number, four words (the second the hardware kind).
Bytes HardwareInfo(const SimState& s) {
    return Cat({U32(static_cast<std::uint32_t>(s.number("hardware_id"))),
                Text(s.text("serial"), 24), Text(s.model(), 24), U32(0),
                U32(static_cast<std::uint32_t>(s.number("hardware_kind"))), U32(0), U32(0)});
}

Bytes FirmwareInfo(const SimState& s) {
    return Cat({Text(s.firmware(), 50), Text(s.text("firmware_extra"), 50)});
}

// The radio's values: the frequency as a float's bits, the others as 32-bit words.
Bytes RadioFrequency(const SimState& s) {
    return U32(FloatWord(static_cast<float>(s.real("radio_frequency"))));
}

Bytes Word(const SimState& s, const char* key) {
    return U32(static_cast<std::uint32_t>(s.number(key)));
}

Bytes RadioPower(const SimState& s) {
    return Word(s, "radio_power");
}

Bytes RadioStepper(const SimState& s) {
    return Word(s, "radio_stepper");
}

Bytes RadioAirBaud(const SimState& s) {
    return Word(s, "radio_air_baud");
}

// ---- Old protocol.

Bytes OldFrame(char a, char b, const Bytes& payload) {
    Bytes out(BV::kOldFrameMaxLength, 0);
    std::uint32_t length = 0;
    if (!BV::Pack_OldBinFrame(a, b, payload.data(), payload.size(), out.data(), &length,
                              BV::kOldFormSerial)) {
        return {};
    }
    out.resize(length);
    return out;
}

// The 128-byte device block, sent in "SI" frames of at most 55 payload bytes.
std::vector<Bytes> DeviceInfo(const SimState& s, const std::uint8_t*, std::size_t, int*) {
    Bytes block(kDeviceBlock, 0);
    auto put = [&block](std::size_t at, const std::string& text, std::size_t n) {
        std::memcpy(block.data() + at, text.data(), std::min(text.size(), n));
    };
    put(0, s.model(), 4);  // the library finds the board id here
    put(5, s.text("serial"), 6);
    block[46] = static_cast<std::uint8_t>(s.number("sat_channels"));
    put(52, s.firmware(), 4);
    rtk::PutDeviceSettings(s, block);
    if (s.number("board") == 7) {
        block[90] = 4;  // the second Hemisphere board is named by this byte
    }
    PutSurveyBytes(block, s);
    RadioTypeBytes(s.number("radio_type"), &block[59], &block[126]);
    std::vector<Bytes> frames;
    for (std::size_t at = 0; at < block.size(); at += kOldChunk) {
        const std::size_t n = std::min(kOldChunk, block.size() - at);
        frames.push_back(OldFrame('S', 'I', Bytes(block.begin() + at, block.begin() + at + n)));
    }
    return frames;
}

std::vector<Bytes> OldBattery(const SimState& s, const std::uint8_t*, std::size_t, int*) {
    const long percent = s.number("battery");
    const int grade = static_cast<int>(std::floor(static_cast<double>(percent) / 10.0 + 0.5));
    const std::uint8_t source = s.number("external_power") != 0 ? 3 : 0;
    return {OldFrame('S', 'D', {source, BatteryLevelCode(grade)})};
}

// "RG,B200" switches the position output on, any other value off.
std::vector<Bytes> PositionOutput(const SimState&, const std::uint8_t* p, std::size_t n,
                                  int* stream) {
    *stream = (n >= 1 && p[0] == 200) ? 1 : -1;
    return {};
}

// The modem's "VS" requests carry an AT message: 0x40, the command byte, its complement, ...
// Only the GPRS version query (95) is answered: "VI" with the message '_' and the version text
// at bytes 7-10.
constexpr std::uint8_t kAtGprsVersion = 95;
constexpr std::uint8_t kAtSourceList = 116;

int AtCommand(const std::uint8_t* p, std::size_t n) {
    return n >= 2 && p[0] == 0x40 ? p[1] : -1;
}

std::vector<Bytes> ModemRequest(const SimState& s, const std::uint8_t* p, std::size_t n, int*) {
    if (AtCommand(p, n) != kAtGprsVersion) {
        return {};
    }
    Bytes at = {0x40, '_', static_cast<std::uint8_t>('_' ^ 0xFF), 4, 0, 0, 0};
    const std::string version = s.text("gprs_version");
    for (std::size_t i = 0; i < 4; ++i) {
        at.push_back(i < version.size() ? static_cast<std::uint8_t>(version[i]) : '0');
    }
    std::uint8_t check = 0;
    for (std::uint8_t b : at) {
        check ^= b;
    }
    at.push_back(check);
    at.push_back(0);
    at.push_back(0);
    return {OldFrame('V', 'I', at)};
}

// ---- The table.

enum class Wire { None, U8, U16, Custom };

using NewRender = Bytes (*)(const SimState&);
using OldRender = std::vector<Bytes> (*)(const SimState&, const std::uint8_t*, std::size_t, int*);
// New-protocol rows that depend on the request's IO or port (-1 when it names none).
using IoRender = Bytes (*)(const SimState&, int);
using IoStore = int (*)(SimState&, int, const Bytes&);  // +1/-1 switch the position output
using OldStore = void (*)(SimState&, const std::uint8_t*, std::size_t);

struct Row {
    bool newProtocol;
    std::uint16_t
        key;  // the new protocol's tag, or the old protocol's letters (first * 256 + second)
    const char* name;             // the session operation that sends the request
    Wire wire;                    // new protocol: how the value is encoded
    const char* stateKey;         // U8 and U16 rows: the key they answer with and a setting stores
    NewRender render;             // Custom rows
    OldRender old;                // old-protocol rows; null: no answer
    bool ack;                     // new protocol: a setting gets a command-setting response
    IoRender ioRender = nullptr;  // query answer, in place of the wire above
    IoStore ioStore = nullptr;    // setting
    OldStore oldStore = nullptr;  // old protocol: what the frame sets, before any answer
};

constexpr std::uint16_t Letters(char a, char b) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(a) * 256 +
                                      static_cast<unsigned char>(b));
}

constexpr Row kRows[] = {
    // New protocol.
    {true, 0x0108, "Send_QxMdl", Wire::None, nullptr, nullptr, nullptr, false},
    {true, 0x0303, "Send_CloseReceiver", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x0304, "Send_Battery", Wire::Custom, nullptr, Battery, nullptr, true},
    {true, 0x0306, "Send_System_Hardware_Info_Query", Wire::Custom, nullptr, HardwareInfo, nullptr,
     true},
    {true, 0x0307, "Send_System_Firmware_Info_Query", Wire::Custom, nullptr, FirmwareInfo, nullptr,
     true},
    {true, 0x0451, "Send_Gnss_ElevMask", Wire::U8, "elevation_mask", nullptr, nullptr, true},
    // File recording; output rates by sentence (the list of IO 0, the other IOs as below).
    {true, 0x0B03, "Send_File_Record_Open", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x0B04, "Send_File_Record_Open", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x0B05, "Send_File_Record_Auto_Open", Wire::U8, "record_auto_open", nullptr, nullptr,
     true},
    {true, 0x0B06, "Send_File_Record_Param", Wire::Custom, nullptr, FileRecordParam, nullptr, true},
    {true, 0x0B07, "Send_File_Record_Status_Query", Wire::U16, "record_status", nullptr, nullptr,
     true},
    {true, 0x0456, "Send_Gnss_Data_Configlist_Query", Wire::None, nullptr, nullptr, nullptr, true,
     DataConfigList, nullptr},
    {true, 0x0457, "Send_Gnss_Base_Position_list", Wire::None, nullptr, nullptr, nullptr, true,
     rtk::BaseList, rtk::SetBaseList},
    {true, 0x0103, "Send_Com_Baudrate", Wire::None, nullptr, nullptr, nullptr, true, rtk::ComBaud,
     rtk::SetComBaud},
    {true, 0x0405, "Send_Gnss_Diff_Type", Wire::None, nullptr, nullptr, nullptr, true,
     rtk::DiffType, rtk::SetDiffType},
    {true, 0x0410, "Send_Gnss_Data_Freq", Wire::None, nullptr, nullptr, nullptr, true, nullptr,
     rtk::SetPositionRate},
    {true, 0x0450, "Send_Gnss_Pdop_Mask", Wire::U8, "pdop_mask", nullptr, nullptr, true},
    {true, 0x0452, "Send_Gnss_Base_Position", Wire::None, nullptr, nullptr, nullptr, true,
     rtk::BaseSet, rtk::SetBaseSet},
    {true, 0x0454, "Send_Gnss_Data_Unlogall", Wire::None, nullptr, nullptr, nullptr, true, nullptr,
     rtk::Unlog},
    {true, 0x0703, "Send_Radio_Frequency", Wire::Custom, nullptr, RadioFrequency, nullptr, true},
    {true, 0x0704, "Send_Radio_Power", Wire::Custom, nullptr, RadioPower, nullptr, true},
    {true, 0x0709, "Send_Radio_Stepper", Wire::Custom, nullptr, RadioStepper, nullptr, true},
    {true, 0x070B, "Send_Radio_Air_Baud", Wire::Custom, nullptr, RadioAirBaud, nullptr, true},
    {true, 0x070C, "Send_Radio_Protocol", Wire::U16, "radio_protocol", nullptr, nullptr, true},
    {true, 0x0713, "Send_Radio_Channel_List_Query", Wire::Custom, nullptr, RadioChannelList,
     nullptr, true},
    {true, 0x0715, "Send_Radio_Channel_List_All_Query", Wire::Custom, nullptr, RadioChannelTables,
     nullptr, true},
    {true, 0x0711, "Send_Radio_Module_Type_Query", Wire::U16, "radio_module", nullptr, nullptr,
     true},
    {true, 0x0710, "Send_Radio_Auto_Power_On", Wire::U8, "radio_auto_power", nullptr, nullptr,
     true},
    {true, 0x0712, "Send_Radio_Power_Status_Query", Wire::U16, "radio_power_status", nullptr,
     nullptr, true},
    {true, 0x070E, "Send_Radio_Power_On", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x070F, "Send_Radio_Power_On", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x0716, "Send_Radio_Sensitivity", Wire::U8, "radio_sensitivity", nullptr, nullptr, true},
    {true, 0x0717, "Send_Radio_FEC", Wire::U8, "radio_fec", nullptr, nullptr, true},
    {true, 0x0718, "Send_Radio_Callsign", Wire::Custom, nullptr, RadioCallsignRecord, nullptr,
     true},
    {true, 0x1103, "Send_NetLink_Address", Wire::Custom, nullptr, NetLinkAddressRecord, nullptr,
     true},
    {true, 0x1104, "Send_NetLink_Server_Type", Wire::U16, "server_type", nullptr, nullptr, true},
    {true, 0x1109, "Send_NetLink_Auto_Open", Wire::U8, "net_auto_open", nullptr, nullptr, true},
    {true, 0x110A, "Send_NetLink_Data_Source", Wire::Custom, nullptr, NetLinkSourceRecord, nullptr,
     true},
    {true, 0x110B, "Send_NetLink_Account", Wire::Custom, nullptr, NetLinkAccountRecord, nullptr,
     true},
    {true, 0x1503, "Send_DataLink_Mode", Wire::U16, "datalink_mode", nullptr, nullptr, true},
    {true, 0x0A03, "Send_WIFI_Param_AP", Wire::Custom, nullptr, WifiApRecord, nullptr, true},
    {true, 0x0A04, "Send_WIFI_Mode", Wire::U16, "wifi_mode", nullptr, nullptr, true},
    {true, 0x0A05, "Send_WIFI_Open", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x0A06, "Send_WIFI_Open", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x0A07, "Send_WIFI_Auto_Open", Wire::U8, "wifi_auto_open", nullptr, nullptr, true},
    {true, 0x0A08, "Send_WIFI_Power_Status_Query", Wire::U16, "wifi_power", nullptr, nullptr, true},
    {true, 0x0A09, "Send_WIFI_Share", Wire::U8, "wifi_share", nullptr, nullptr, true},
    {true, 0x0A0A, "Send_WIFI_Share_Auto", Wire::U8, "wifi_share_auto", nullptr, nullptr, true},
    {true, 0x1403, "Send_Modem_Dial_Param", Wire::Custom, nullptr, ModemDialRecord, nullptr, true},
    {true, 0x1404, "Send_Modem_Dial_Status_Query", Wire::Custom, nullptr, DialStatusRecord, nullptr,
     true},
    {true, 0x1405, "Send_Modem_Dial", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x1406, "Send_Modem_Dial", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x1407, "Send_Modem_Power", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x1408, "Send_Modem_Power", Wire::None, nullptr, nullptr, nullptr, true},
    {true, 0x1409, "Send_Modem_Auto_Dial", Wire::U8, "modem_auto_dial", nullptr, nullptr, true},
    {true, 0x140A, "Send_Modem_Auto_Power_On", Wire::U8, "modem_auto_power", nullptr, nullptr,
     true},
    {true, 0x140B, "Send_Modem_Power_Status_Query", Wire::U16, "modem_power", nullptr, nullptr,
     true},
    {true, 0x140D, "Send_Modem_Band_Mode", Wire::U16, "modem_band", nullptr, nullptr, true},
    {true, 0x140E, "Send_Modem_Work_Mode", Wire::U16, "modem_work_mode", nullptr, nullptr, true},
    {true, 0x140F, "Send_Modem_CSD_Param", Wire::Custom, nullptr, CsdParamRecord, nullptr, true},
    {true, 0x1410, "Send_Modem_CSD_Status_Query", Wire::Custom, nullptr, CsdStatusRecord, nullptr,
     true},
    {true, kSourceListTag, "Send_NetLink_Source_List_Query", Wire::None, nullptr, nullptr, nullptr,
     true},
    // Old protocol.
    {false, Letters('S', 'I'), "Send_DeviceInfo", Wire::None, nullptr, nullptr, DeviceInfo, false},
    {false, Letters('S', 'D'), "Send_Battery", Wire::None, nullptr, nullptr, OldBattery, false},
    {false, Letters('R', 'G'), "Send_200Data", Wire::None, nullptr, nullptr, PositionOutput, false},
    {false, Letters('S', 'T'), "Send_QxMdl", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('V', 'S'), "old VS", Wire::None, nullptr, nullptr, ModemRequest, false},
    {false, Letters('F', 'M'), "Send_Static_FileDir", Wire::None, nullptr, nullptr,
     StaticFileDirectory, false},
    {false, Letters('F', 'W'), "Send_Read_Static_File", Wire::None, nullptr, nullptr,
     StaticFileData, false},
    // Recording and static point: settings are kept (StoreOldSurveySetting), queries answered.
    {false, Letters('F', 'A'), "Set_Static_Point", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('F', 'B'), "Send_Static_Point", Wire::None, nullptr, nullptr, OldStaticPoint,
     false},
    {false, Letters('F', 'S'), "Set_Static_AntType", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('F', 'T'), "Send_Static_AntType", Wire::None, nullptr, nullptr, OldAntennaType,
     false},
    {false, Letters('F', 'D'), "Set_Static_Begin", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('F', 'C'), "QueryStaticStatus", Wire::None, nullptr, nullptr, OldStaticStatus,
     false},
    {false, Letters('R', 'C'), "Query_NMEA_Output_Configs", Wire::None, nullptr, nullptr,
     OldNmeaConfig, false},
    {false, Letters('R', 'F'), "Set_Velta_NMEA", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('R', 'D'), "Set_Velta_NMEA", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('S', 'B'), "Set_Com_Baudrate", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('V', 'M'), "Send_Gprs_GetList", Wire::None, nullptr, nullptr, SourceListOld,
     false},
    {false, Letters('S', 'J'), "Set_DevcInfo", Wire::None, nullptr, nullptr, nullptr, false,
     nullptr, nullptr, rtk::OldDeviceSetting},
    {false, Letters('F', 'I'), "Add_BasePos_To_List", Wire::None, nullptr, nullptr, nullptr, false,
     nullptr, nullptr, rtk::OldBaseListChange},
    {false, Letters('F', 'L'), "Remove_BasePos_From_List", Wire::None, nullptr, nullptr, nullptr,
     false, nullptr, nullptr, rtk::OldBaseListChange},
    {false, Letters('F', 'J'), "Query_BasePosition_List", Wire::None, nullptr, nullptr,
     rtk::OldBaseList, false, nullptr, nullptr, rtk::OldClearBaseList},
    {false, Letters('F', 'K'), "Query_BasePosition_Difference", Wire::None, nullptr, nullptr,
     rtk::OldBaseDifference, false, nullptr, nullptr, rtk::OldSetBaseDifference},
    {false, Letters('R', 'K'), "Send_Gnss_Reset", Wire::None, nullptr, nullptr, nullptr, false},
    {false, Letters('S', 'W'), "Set_Position_Frq", Wire::None, nullptr, nullptr, nullptr, false,
     nullptr, nullptr, rtk::OldRate},
};

const Row* FindRow(bool newProtocol, std::uint16_t key) {
    for (const Row& r : kRows) {
        if (r.newProtocol == newProtocol && r.key == key) {
            return &r;
        }
    }
    return nullptr;
}

// The bytes as hex digits without blanks, so a request's detail stays one word per item.
std::string CompactHex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

std::string Hex16(std::uint16_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(v));
    return text;
}

// The value a query row answers with; empty when the row has none.
Bytes Render(const Row& row, const SimState& s) {
    switch (row.wire) {
        case Wire::U8:
            return U8(static_cast<std::uint8_t>(s.number(row.stateKey)));
        case Wire::U16:
            return U16(static_cast<std::uint16_t>(s.number(row.stateKey)));
        case Wire::Custom:
            return row.render(s);
        case Wire::None:
            break;
    }
    return {};
}

// A setting of a scalar row is kept, so the next query reads it back.
void Store(const Row& row, const Bytes& value, SimState& s) {
    long v = -1;
    if (row.wire == Wire::U8 && value.size() == 1) {
        v = value[0];
    } else if (row.wire == Wire::U16 && value.size() == 2) {
        v = value[0] * 256 + value[1];
    }
    if (v >= 0) {
        s.set(row.stateKey, std::to_string(v), nullptr);
    }
}

// The IO (0x0404) or serial port (0x0104) a request names; -1 when none.
constexpr std::uint16_t kIoTag = 0x0404;
constexpr std::uint16_t kPortTag = 0x0104;

bool IsTarget(const NewRequestItem& item) {
    return (item.tag == kIoTag || item.tag == kPortTag) && item.value.size() == 2;
}

// The file-record commands name their IO with this item first.
bool IsRecordIo(const NewRequestItem& item) {
    return item.tag == 0x0B09;
}

int TargetOf(const NewRequest& request) {
    for (const NewRequestItem& item : request.items) {
        if (IsTarget(item)) {
            return item.value[0] * 256 + item.value[1];
        }
    }
    return -1;
}

// Set codes are even; the query code of each group is the set code plus one.
bool IsQuery(std::uint16_t operation) {
    return (operation & 1u) != 0;
}

// A sentence with its "*hh" checksum and CR LF.
std::string Sentence(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum & 0xFFu);
    return "$" + body + tail;
}

// A NovAtel-style best-position log (binary, message 42): 28-byte header, 72-byte body, CRC-32.
// The quality key picks the position type as a GGA quality would: 1 single, 2 differential,
// 4 fixed RTK, 5 float RTK, any other none.
Bytes BestPositionLog(const SimState& s) {
    auto put = [](Bytes& out, std::size_t at, const void* v, std::size_t n) {
        std::memcpy(out.data() + at, v, n);
    };
    Bytes log(28 + 72, 0);
    log[0] = 0xAA;
    log[1] = 0x44;
    log[2] = 0x12;
    log[3] = 28;
    const std::uint16_t id = 42;
    const std::uint16_t length = 72;
    put(log, 4, &id, 2);
    log[7] = 0x20;
    put(log, 8, &length, 2);
    log[13] = 180;  // fine steering
    // GPS time of now: the epoch is 1980-01-06, 18 leap seconds since.
    const double gps = static_cast<double>(std::time(nullptr)) - 315964800.0 + 18.0;
    const std::uint16_t week = static_cast<std::uint16_t>(gps / 604800.0);
    const std::uint32_t ms = static_cast<std::uint32_t>(std::fmod(gps, 604800.0) * 1000.0);
    put(log, 14, &week, 2);
    put(log, 16, &ms, 4);
    std::uint32_t type = 0;
    switch (s.number("quality")) {
        case 1:
            type = 16;
            break;
        case 2:
            type = 17;
            break;
        case 4:
            type = 50;
            break;
        case 5:
            type = 34;
            break;
        default:
            break;
    }
    put(log, 28 + 4, &type, 4);
    const double lat = s.real("latitude");
    const double lon = s.real("longitude");
    const double height = s.real("height");
    put(log, 28 + 8, &lat, 8);
    put(log, 28 + 16, &lon, 8);
    put(log, 28 + 24, &height, 8);
    const float sigma = 0.02f;
    for (std::size_t at : {40u, 44u, 48u}) {
        put(log, 28 + at, &sigma, 4);
    }
    const float age = type == 0 ? 60.0f : 1.0f;
    put(log, 28 + 56, &age, 4);
    log[28 + 64] = static_cast<std::uint8_t>(s.number("satellites"));
    log[28 + 65] = static_cast<std::uint8_t>(s.number("satellites"));
    std::uint32_t crc = 0;
    for (std::uint8_t b : log) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    for (int shift = 0; shift < 32; shift += 8) {
        log.push_back(static_cast<std::uint8_t>(crc >> shift));  // little-endian, as the log
    }
    return log;
}

std::string Angle(double degrees, int degreeDigits) {
    const double a = std::fabs(degrees);
    const int whole = static_cast<int>(a);
    const double minutes = (a - whole) * 60.0;
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%010.7f", degreeDigits, whole, minutes);
    return text;
}

}  // namespace

Answer AnswerNew(const NewRequest& request, SimState& state) {
    Answer a;
    a.chunked = true;
    const bool query = IsQuery(request.operation);
    a.detail = query ? "query" : "set";
    std::vector<NewWire::Item> items;
    bool ack = false;
    const int target = TargetOf(request);
    // A request naming its IO or port first is named after what it asks.
    const std::size_t named =
        request.items.size() > 1 && (IsTarget(request.items[0]) || IsRecordIo(request.items[0]))
            ? 1
            : 0;
    for (std::size_t i = 0; i < request.items.size(); ++i) {
        const NewRequestItem& item = request.items[i];
        a.detail += " " + Hex16(item.tag);
        if (!item.value.empty()) {
            a.detail += "=" + CompactHex(item.value);
        }
        const Row* row = FindRow(true, item.tag);
        const char* freq = DataFreqRequestName(item.tag);
        if (i == named) {
            a.name = row != nullptr ? row->name : (freq ? freq : "new " + Hex16(item.tag));
        }
        if (!state.newProtocol()) {
            continue;  // an old receiver does not understand the frame
        }
        NetworkItem(item.tag, query, item.value, state);
        if (!query && StoreNewSurveySetting(item.tag, item.value, state, target)) {
            ack = true;
            if (row == nullptr || row->wire == Wire::Custom || row->wire == Wire::None) {
                continue;
            }
        }
        if (row == nullptr) {
            ack = ack || !query;
            continue;
        }
        if (query) {
            Bytes value = row->ioRender ? row->ioRender(state, target) : Render(*row, state);
            if (!value.empty()) {
                items.push_back({item.tag, std::move(value)});
            }
        } else {
            StoreNewLink(item.tag, item.value, state);
            Store(*row, item.value, state);
            if (row->ioStore != nullptr) {
                const int stream = row->ioStore(state, target, item.value);
                a.stream = stream != 0 ? stream : a.stream;
            }
            ack = ack || row->ack;
        }
    }
    if (request.items.empty()) {
        a.name = "new op " + std::to_string(request.operation);
    }
    if (query && state.newProtocol() && !request.items.empty() &&
        request.items[0].tag == kSourceListTag) {
        a.frames = SourceListNew(request, state);
    } else if (!items.empty()) {
        a.frames.push_back(NewWire::MakeFrame(request.operation, items, request.commandId));
    } else if (ack) {
        a.frames.push_back(NewWire::MakeFrame(request.operation, {{kResponseTag, U16(kResponseOk)}},
                                              request.commandId));
    }
    return a;
}

Answer AnswerOld(char first, char second, const std::uint8_t* payload, std::size_t length,
                 SimState& state) {
    Answer a;
    const Row* row = FindRow(false, Letters(first, second));
    a.name = row != nullptr ? row->name : std::string("old ") + first + second;
    DataLinkAnswer link;
    const bool dataLink = first == 'V' && second == 'S' && !state.newProtocol() &&
                          AnswerDataLinkAt(payload, length, state, link);
    if (dataLink) {
        a.name = link.name;
        a.frames = std::move(link.frames);
    }
    if (first == 'V' && second == 'S' && AtCommand(payload, length) == kAtGprsVersion) {
        a.name = "Send_Gprs_Version";
    }
    // Boards reached through "RZ" frames are restarted by their own command.
    if (first == 'R' && second == 'Z' && rtk::IsBoardReset(payload, length)) {
        a.name = "Send_Gnss_Reset";
    }
    if (first == 'F' && second == 'C' && length > 0) {
        a.name = "Delete_Static_File";
    }
    // The source-list request's first frame asks the modem for the table; "VM" sends it.
    if (first == 'V' && second == 'S' && AtCommand(payload, length) == kAtSourceList) {
        a.name = "Send_Gprs_GetList";
    }
    a.detail = std::string(1, first) + second;
    if (length > 0) {
        a.detail += " " + NewWire::Hex(payload, length);
    }
    // The radio's channel table is read and written through modem messages too.
    if (!dataLink && first == 'V' && second == 'S' && !state.newProtocol() &&
        AnswerRadioChannelAt(payload, length, state, a.frames, a.name)) {
        return a;
    }
    if (!state.newProtocol()) {
        StoreOldSurveySetting(first, second, payload, length, state);
    }
    if (row != nullptr && row->oldStore != nullptr && !state.newProtocol()) {
        row->oldStore(state, payload, length);
    }
    if (!dataLink && row != nullptr && row->old != nullptr && !state.newProtocol()) {
        a.frames = row->old(state, payload, length, &a.stream);
    }
    return a;
}

std::vector<Bytes> PositionEpoch(const SimState& s) {
    // A NovAtel main board (type 2) gives its positions as the best-position log.
    if (s.number("board") == 2) {
        return {OldFrame('R', 'G', BestPositionLog(s))};
    }
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char clock[40];
    std::snprintf(clock, sizeof clock, "%02d%02d%02d.00", utc.tm_hour, utc.tm_min, utc.tm_sec);
    char date[40];
    std::snprintf(date, sizeof date, "%02d%02d%02d", utc.tm_mday, utc.tm_mon + 1,
                  utc.tm_year % 100);
    const double lat = s.real("latitude");
    const double lon = s.real("longitude");
    const std::string latText = Angle(lat, 2) + (lat < 0 ? ",S" : ",N");
    const std::string lonText = Angle(lon, 3) + (lon < 0 ? ",W" : ",E");
    char height[32];
    std::snprintf(height, sizeof height, "%.3f", s.real("height"));
    const std::string gga =
        Sentence("GPGGA," + std::string(clock) + "," + latText + "," + lonText + "," +
                 std::to_string(s.number("quality")) + "," +
                 std::to_string(s.number("satellites")) + ",0.9," + height + ",M,0.000,M,,");
    const std::string rmc = Sentence("GPRMC," + std::string(clock) + ",A," + latText + "," +
                                     lonText + ",0.00,0.00," + date + ",,,A");
    const std::string gst =
        Sentence("GPGST," + std::string(clock) + ",0.50,0.30,0.20,0.0,0.30,0.20,0.40");
    std::vector<Bytes> frames;
    for (const std::string* text : {&gga, &rmc, &gst}) {
        frames.push_back(OldFrame('R', 'G', Bytes(text->begin(), text->end())));
    }
    return frames;
}

std::uint8_t BatteryLevelCode(int grade) {
    // The library's reading of a level code (65 to 83 spread over 5 to 100 percent).
    auto gradeOf = [](int code) {
        if (code <= 64) {
            return 0;
        }
        if (code >= 84) {
            return 10;
        }
        const int percent = 5 + static_cast<int>((code - 65) * 5.555555555555555);
        return std::min(100, percent) / 10;
    };
    for (int code = 0; code <= 255; ++code) {
        if (gradeOf(code) >= grade) {
            return static_cast<std::uint8_t>(code);
        }
    }
    return 255;
}

}  // namespace varnok_sim
