// The new-protocol builders of Em_Gnss, read back through the chunk reassembler: golden
// bodies, set/query symmetry, the receiver-kind guard and the list forms; and one command's
// reply fed back through the receive path.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using NewWire::Hex;

namespace {

Em_Gnss* NewReceiver() {
    return new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
}

std::vector<NewWire::Frame> Frames(const Cmd_List& cmds) {
    std::vector<NewWire::Frame> frames;
    std::string error;
    EXPECT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    return frames;
}

// The body of a frame (between the 13 header bytes and the check field).
std::string Body(const NewWire::Frame& f) {
    return Hex(std::vector<uint8_t>(f.bytes.begin() + 13, f.bytes.end() - 6));
}

const std::vector<DataFreq> kTwoRates = {{0x0412, 5}, {0x0413, 1}};

struct GoldenRow {
    const char* name;
    std::function<void(Em_Gnss&, Cmd_List&)> build;
    const char* body;
    uint32_t id;
};

}  // namespace

TEST(GnssNewCommandsTest, GoldenBodiesAndIds) {
    const GoldenRow rows[] = {
        {"Modem_Auto_Dial query",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Modem_Auto_Dial(c, nullptr); },
         "00 01 00 02 00 2B 14 09 00 00", 0x1409},
        {"Radio_Power 2",
         [](Em_Gnss& g, Cmd_List& c) {
             const unsigned int power = 2;
             g.Get_Cmd_Radio_Power(c, &power);
         },
         "00 01 00 02 00 16 07 04 00 04 00 00 00 02", 0x0704},
        {"NetLink_Connect false",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_NetLink_Connect(c, false); },
         "00 01 00 02 00 2E 11 08 00 00", 0x1108},
        {"NetLink_Connect true",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_NetLink_Connect(c, true); },
         "00 01 00 02 00 2E 11 07 00 00", 0x1107},
        {"WIFI_Open true", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_WIFI_Open(c, true); },
         "00 01 00 02 00 22 0A 06 00 00", 0},
        {"WIFI_Open false", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_WIFI_Open(c, false); },
         "00 01 00 02 00 22 0A 05 00 00", 0},
        {"Data_Freq list io 0",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Gnss_Data_Freq(c, kTwoRates, static_cast<QX_GNSS_IO_ID_ENUM>(0));
         },
         "00 01 00 02 00 0E 04 12 00 02 00 05 04 13 00 02 00 01", 0x0E},
        {"Data_Freq list io 6",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Gnss_Data_Freq(c, kTwoRates, static_cast<QX_GNSS_IO_ID_ENUM>(6));
         },
         "00 01 00 02 00 0E 04 04 00 02 00 06 04 12 00 02 00 05 04 13 00 02 00 01", 0x0E},
        {"Data_Freq negative io sends no port",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Gnss_Data_Freq(c, kTwoRates, static_cast<QX_GNSS_IO_ID_ENUM>(-1));
         },
         "00 01 00 02 00 0E 04 12 00 02 00 05 04 13 00 02 00 01", 0x0E},
        {"Heading calibration 1.2345",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Heading_Calibration(c, true, 1.2345f); },
         "00 01 00 02 00 0A 03 09 00 03 04 04 D2", 0x0309},
        {"Heading calibration stop, negative",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Heading_Calibration(c, false, -0.0019f); },
         "00 01 00 02 00 0A 03 09 00 03 05 FF FF", 0x0309},
        {"Heading calibration huge value stays defined",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Heading_Calibration(c, true, 1e30f); },
         "00 01 00 02 00 0A 03 09 00 03 04 FF FF", 0x0309},
        {"Magnetometer calibration 0x12345",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Magnetometer_Calibration(c, true, 0x12345); },
         "00 01 00 02 00 0A 03 09 00 03 02 23 45", 0x0309},
        {"Magnetometer stop",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Magnetometer_Calibration(c, false, 7); },
         "00 01 00 02 00 0A 03 09 00 03 03 00 07", 0x0309},
        {"Radio frequency 420.0 as its bits",
         [](Em_Gnss& g, Cmd_List& c) {
             const float mhz = 420.0f;
             g.Get_Cmd_Radio_Frequency(c, &mhz);
         },
         "00 01 00 02 00 16 07 03 00 04 43 D2 00 00", 0x0703},
        {"Modem dial on", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Modem_Dial(c, true); },
         "00 01 00 02 00 2A 14 05 00 00", 0},
        {"Modem power off", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Modem_Power(c, false); },
         "00 01 00 02 00 2A 14 08 00 00", 0},
        {"Radio power off", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Power_On(c, false); },
         "00 01 00 02 00 16 07 0F 00 00", 0},
        {"File record open, io 3",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_File_Record_Open(c, true, static_cast<QX_FILE_RECORD_IO_ID_ENUM>(3));
         },
         "00 01 00 02 00 26 0B 09 00 02 00 03 0B 03 00 00", 0},
        {"File record status, io 0x10002 sends low 16 bits",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_File_Record_Status_Query(c, static_cast<QX_FILE_RECORD_IO_ID_ENUM>(0x10002));
         },
         "00 01 00 02 00 27 0B 09 00 02 00 02 0B 07 00 00", 0},
        {"Unlogall io 5",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Gnss_Data_Unlogall(c, static_cast<QX_GNSS_IO_ID_ENUM>(5));
         },
         "00 01 00 02 00 0E 04 04 00 02 00 05 04 54 00 00", 0x0454},
        {"IO diff data",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Gnss_IO_DiffData(c, static_cast<QX_GNSS_IO_ID_ENUM>(6),
                                        static_cast<QX_GNSS_DIFF_TYPE_ENUM>(3));
         },
         "00 01 00 02 00 0E 04 04 00 02 00 06 04 05 00 02 00 03", 0},
        {"Com direct",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Com_Direct(c, static_cast<QX_COM_DIRECT_ENUM>(1));
         },
         "00 01 00 02 00 02 01 08 00 02 00 01", 0x0108},
        {"Power off", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_System_Power_Off(c); },
         "00 01 00 02 00 0A 03 03 00 00", 0x0303},
        {"Differential data, null block is still a set",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_DataLink_Differential_Data(c, nullptr); },
         "00 01 00 02 00 32 15 04 00 00", 0x1504},
        {"Differential data block",
         [](Em_Gnss& g, Cmd_List& c) {
             const uint8_t bytes[3] = {0xD3, 0x00, 0x13};
             const QX_BLOCK_DATA_STRUCT block = {3, bytes};
             g.Get_Cmd_DataLink_Differential_Data(c, &block);
         },
         "00 01 00 02 00 32 15 04 00 07 00 00 00 03 D3 00 13", 0x1504},
        {"PPK block, null", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_File_Record_PPK(c, nullptr); },
         "00 01 00 02 00 26 0B 08 00 00", 0x0B08},
    };
    for (const GoldenRow& row : rows) {
        std::unique_ptr<Em_Gnss> g(NewReceiver());
        Cmd_List cmds;
        row.build(*g, cmds);
        auto frames = Frames(cmds);
        ASSERT_EQ(frames.size(), 1u) << row.name;
        EXPECT_EQ(Body(frames[0]), row.body) << row.name;
        EXPECT_EQ(frames[0].commandId, row.id) << row.name;
    }
}

namespace {

// A const-pointer builder called with a value (true) or with null (false).
struct SymmetryRow {
    const char* name;
    uint16_t setCode;
    uint16_t tag;
    std::function<void(Em_Gnss&, Cmd_List&, bool)> build;
    std::string value;   // expected value bytes of the main item with a value
    std::string prefix;  // items before the main one (io), as "tag:value" hex
};

template <typename T, typename F>
std::function<void(Em_Gnss&, Cmd_List&, bool)> With(T value, F member) {
    return [value, member](Em_Gnss& g, Cmd_List& c, bool set) {
        (g.*member)(c, set ? &value : nullptr);
    };
}

template <typename Io, typename T, typename F>
std::function<void(Em_Gnss&, Cmd_List&, bool)> WithIo(T value, F member, int io) {
    return [value, member, io](Em_Gnss& g, Cmd_List& c, bool set) {
        (g.*member)(c, set ? &value : nullptr, static_cast<Io>(io));
    };
}

std::string Repeat(const std::string& byte, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += (i ? " " : "") + byte;
    }
    return out;
}

QX_MODEM_DIAL_PARA_STRUCT DialParam() {
    QX_MODEM_DIAL_PARA_STRUCT r{};
    for (auto& t : r.text) {
        std::memset(t, 'A', sizeof t);
    }
    return r;
}

}  // namespace

TEST(GnssNewCommandsTest, SetOrQuerySymmetry) {
    using E = Em_Gnss;
    QX_MODEM_CSD_PARA_STRUCT csd{};
    std::memcpy(csd.number, "5551234", 7);
    csd.mode = 9;
    QX_GNSS_BASE_SET_STRUCT base{3, 1.0, -2.0, 0.5};
    QX_GNSS_SATELLITE_ENABLE_STRUCT sats{{1, 2, 3, 4, 0xFFFFFFFF}};
    BASE_POS_LIST_STRUCT list{2.5, 10, {{1.0, 2.0, 7}}};
    QX_DATA_TRANSFER_STRUCT transfer{{1, 2, 0xABCD}};
    QX_IP_ADDRESS_STRUCT ip{};
    ip.address = 0xC0A80001;
    ip.port = 2101;
    ip.flag = 1;
    std::memcpy(ip.name, "caster", 6);
    QX_CORS_DATA_SOURCE_STRUCT source{};
    std::memcpy(source.source, "MOUNT", 5);
    QX_ACCOUNT_STRUCT account{};
    std::memcpy(account.user, "u", 1);
    std::memcpy(account.password, "p", 1);
    QX_RADIO_PROPERTY_EX_STRUCT prop{};
    prop.v1 = 1;
    std::memset(prop.text, 'X', sizeof prop.text);
    QX_RADIO_CALLSIGN_STRUCT call{};
    call.b1 = 1;
    call.b2 = 60;
    std::memset(call.text, 'K', sizeof call.text);
    QX_WIFI_PARA_AP_STRUCT ap{};
    std::memcpy(ap.ssid, "net", 3);
    ap.value = 6;
    QX_FILE_RECORD_CONFIG_STRUCT rec{};
    std::memcpy(rec.name, "rec", 3);
    rec.v5 = 0x01020304;

    const SymmetryRow rows[] = {
        {"Modem_Auto_Dial", 0x2A, 0x1409, With<unsigned char>(1, &E::Get_Cmd_Modem_Auto_Dial), "01",
         ""},
        {"Modem_Auto_Power_On", 0x2A, 0x140A,
         With<unsigned char>(0, &E::Get_Cmd_Modem_Auto_Power_On), "00", ""},
        {"Modem_Dial_Param", 0x2A, 0x1403, With(DialParam(), &E::Get_Cmd_Modem_Dial_Param),
         Repeat("41", 100), ""},
        {"Modem_Band_Mode", 0x2A, 0x140D, With<unsigned short>(0x1234, &E::Get_Cmd_Modem_Band_Mode),
         "12 34", ""},
        {"Modem_Work_Mode", 0x2A, 0x140E, With<unsigned short>(2, &E::Get_Cmd_Modem_Work_Mode),
         "00 02", ""},
        {"Modem_CSD_Param", 0x2A, 0x140F, With(csd, &E::Get_Cmd_Modem_CSD_Param),
         "35 35 35 31 32 33 34 " + Repeat("00", 13) + " 09", ""},
        {"Gnss_ElevMask", 0x0E, 0x0451, With<unsigned char>(15, &E::Get_Cmd_Gnss_ElevMask), "0F",
         ""},
        {"Gnss_Pdop_Mask", 0x0E, 0x0450, With<unsigned char>(95, &E::Get_Cmd_Gnss_Pdop_Mask), "5F",
         ""},
        {"Gnss_Diff_Type", 0x0E, 0x0405, With<unsigned short>(7, &E::Get_Cmd_Gnss_Diff_Type),
         "00 07", ""},
        {"Gnss_Base_Position", 0x0E, 0x0452, With(base, &E::Get_Cmd_Gnss_Base_Position),
         "00 03 3F F0 00 00 00 00 00 00 C0 00 00 00 00 00 00 00 3F E0 00 00 00 00 00 00", ""},
        {"Gnss_Sat_Enable", 0x0E, 0x0455, With(sats, &E::Get_Cmd_Gnss_Sat_Enable),
         "00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04 FF FF FF FF", ""},
        {"Gnss_Base_Position_list", 0x0E, 0x0457, With(list, &E::Get_Cmd_Gnss_Base_Position_list),
         "40 04 00 00 00 00 00 00 0A 01 3F F0 00 00 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 "
         "07",
         ""},
        {"Gnss_Data_Transfer", 0x0E, 0x0458,
         WithIo<QX_GNSS_IO_ID_ENUM>(transfer, &E::Get_Cmd_Gnss_Data_Transfer, 6),
         "00 01 00 02 AB CD", "0404:00 06"},
        {"NetLink_Auto_Open", 0x2E, 0x1109, With<unsigned char>(1, &E::Get_Cmd_NetLink_Auto_Open),
         "01", ""},
        {"NetLink_Address", 0x2E, 0x1103, With(ip, &E::Get_Cmd_NetLink_Address),
         "C0 A8 00 01 08 35 01 63 61 73 74 65 72 " + Repeat("00", 44), ""},
        {"NetLink_Server_Type", 0x2E, 0x1104,
         With<unsigned short>(3, &E::Get_Cmd_NetLink_Server_Type), "00 03", ""},
        {"NetLink_Data_Source", 0x2E, 0x110A, With(source, &E::Get_Cmd_NetLink_Data_Source),
         "4D 4F 55 4E 54 " + Repeat("00", 15), ""},
        {"NetLink_Account", 0x2E, 0x110B, With(account, &E::Get_Cmd_NetLink_Account),
         "75 " + Repeat("00", 49) + " 70 " + Repeat("00", 19), ""},
        {"DataLink_Mode", 0x32, 0x1503, With<unsigned short>(4, &E::Get_Cmd_DataLink_Mode), "00 04",
         ""},
        {"Radio_Frequency", 0x16, 0x0703, With<float>(1.0f, &E::Get_Cmd_Radio_Frequency),
         "3F 80 00 00", ""},
        {"Radio_Power", 0x16, 0x0704, With<unsigned int>(0x01020304, &E::Get_Cmd_Radio_Power),
         "01 02 03 04", ""},
        {"Radio_Stepper", 0x16, 0x0709, With<unsigned int>(125, &E::Get_Cmd_Radio_Stepper),
         "00 00 00 7D", ""},
        {"Radio_Air_Baud", 0x16, 0x070B, With<unsigned int>(9600, &E::Get_Cmd_Radio_Air_Baud),
         "00 00 25 80", ""},
        {"Radio_Protocol", 0x16, 0x070C, With<unsigned short>(1, &E::Get_Cmd_Radio_Protocol),
         "00 01", ""},
        {"Radio_Auto_Power_On", 0x16, 0x0710,
         With<unsigned char>(1, &E::Get_Cmd_Radio_Auto_Power_On), "01", ""},
        {"Radio_Property_Ex", 0x16, 0x0714, With(prop, &E::Get_Cmd_Radio_Property_Ex),
         "00 00 00 01 00 00 00 00 00 00 " + Repeat("58", 15) + " 00", ""},
        {"Radio_Sensitivity", 0x16, 0x0716,
         With<unsigned char>(2, static_cast<void (E::*)(Cmd_List&, const unsigned char*)>(
                                    &E::Get_Cmd_Radio_Sensitivity)),
         "02", ""},
        {"Radio_FEC", 0x16, 0x0717,
         With<unsigned char>(
             1, static_cast<void (E::*)(Cmd_List&, const unsigned char*)>(&E::Get_Cmd_Radio_FEC)),
         "01", ""},
        {"Radio_Callsign", 0x16, 0x0718,
         With(call, static_cast<void (E::*)(Cmd_List&, const QX_RADIO_CALLSIGN_STRUCT*)>(
                        &E::Get_Cmd_Radio_Callsign)),
         "01 3C " + Repeat("4B", 16) + " 00", ""},
        {"WIFI_Param_AP", 0x22, 0x0A03, With(ap, &E::Get_Cmd_WIFI_Param_AP),
         "6E 65 74 " + Repeat("00", 17) + " 00 06 " + Repeat("00", 20), ""},
        {"WIFI_Mode", 0x22, 0x0A04, With<unsigned short>(2, &E::Get_Cmd_WIFI_Mode), "00 02", ""},
        {"WIFI_Auto_Open", 0x22, 0x0A07, With<unsigned char>(1, &E::Get_Cmd_WIFI_Auto_Open), "01",
         ""},
        {"WIFI_Share", 0x22, 0x0A09, With<unsigned char>(1, &E::Get_Cmd_WIFI_Share), "01", ""},
        {"WIFI_Share_Auto", 0x22, 0x0A0A, With<unsigned char>(0, &E::Get_Cmd_WIFI_Share_Auto), "00",
         ""},
        {"File_Record_Auto_Open", 0x26, 0x0B05,
         WithIo<QX_FILE_RECORD_IO_ID_ENUM, unsigned char>(1, &E::Get_Cmd_File_Record_Auto_Open, 2),
         "01", "0B09:00 02"},
        {"File_Record_Param", 0x26, 0x0B06,
         WithIo<QX_FILE_RECORD_IO_ID_ENUM>(rec, &E::Get_Cmd_File_Record_Param, 1),
         "72 65 63 " + Repeat("00", 36) + " 01 02 03 04", "0B09:00 01"},
    };
    for (const SymmetryRow& row : rows) {
        for (bool set : {true, false}) {
            const std::string name = std::string(row.name) + (set ? " set" : " query");
            std::unique_ptr<Em_Gnss> g(NewReceiver());
            Cmd_List cmds;
            row.build(*g, cmds, set);
            auto frames = Frames(cmds);
            ASSERT_EQ(frames.size(), 1u) << name;
            const NewWire::Frame& f = frames[0];
            EXPECT_EQ(f.Operation(), set ? row.setCode : row.setCode + 1) << name;
            EXPECT_EQ(f.commandId, row.tag) << name;
            std::string prefix;
            for (size_t i = 1; i + 1 < f.items.size(); ++i) {
                char tag[8];
                std::snprintf(tag, sizeof tag, "%04X:", f.items[i].tag);
                prefix += tag + Hex(f.items[i].value);
            }
            EXPECT_EQ(prefix, row.prefix) << name;
            ASSERT_GE(f.items.size(), 2u) << name;
            EXPECT_EQ(f.items.back().tag, row.tag) << name;
            EXPECT_EQ(Hex(f.items.back().value), set ? row.value : "") << name;
        }
    }
}

namespace {

using Builder = std::function<void(Em_Gnss&, Cmd_List&)>;

struct NamedBuilder {
    const char* name;
    Builder build;
};

// Every builder of the new protocol, with arguments that make a valid packet.
std::vector<NamedBuilder> AllBuilders() {
    static const unsigned char b = 1;
    static const unsigned short s = 1;
    static const unsigned int u = 1;
    static const float f = 1.0f;
    static const QX_MODEM_DIAL_PARA_STRUCT dial{};
    static const QX_MODEM_CSD_PARA_STRUCT csd{};
    static const QX_GNSS_BASE_SET_STRUCT base{};
    static const QX_GNSS_SATELLITE_ENABLE_STRUCT sats{};
    static const BASE_POS_LIST_STRUCT list{};
    static const QX_DATA_TRANSFER_STRUCT transfer{};
    static const QX_IP_ADDRESS_STRUCT ip{};
    static const QX_CORS_DATA_SOURCE_STRUCT source{};
    static const QX_ACCOUNT_STRUCT account{};
    static const QX_BLOCK_DATA_STRUCT block{};
    static const QX_RADIO_PROPERTY_EX_STRUCT prop{};
    static const QX_RADIO_CALLSIGN_STRUCT call{};
    static const QX_WIFI_PARA_AP_STRUCT ap{};
    static const QX_FILE_RECORD_CONFIG_STRUCT rec{};
    const auto io = static_cast<QX_GNSS_IO_ID_ENUM>(6);
    const auto rio = static_cast<QX_FILE_RECORD_IO_ID_ENUM>(1);
#define B(call_)                                            \
    {                                                       \
#call_, [=](Em_Gnss & g, Cmd_List & c) { g.call_; } \
    }
    return {
        B(Get_Cmd_Modem_Dial(c, true)),
        B(Get_Cmd_Modem_Power(c, true)),
        B(Get_Cmd_Modem_Auto_Dial(c, &b)),
        B(Get_Cmd_Modem_Auto_Power_On(c, &b)),
        B(Get_Cmd_Modem_Dial_Param(c, &dial)),
        B(Get_Cmd_Modem_Dial_Status_Query(c)),
        B(Get_Cmd_Modem_Power_Status_Query(c)),
        B(Get_Cmd_Modem_Signal_Intensity_Query(c)),
        B(Get_Cmd_Modem_Band_Mode(c, &s)),
        B(Get_Cmd_Modem_Work_Mode(c, &s)),
        B(Get_Cmd_Modem_CSD_Param(c, &csd)),
        B(Get_Cmd_Modem_CSD_Status_Query(c)),
        B(Get_Cmd_Gnss_Data_Freq(c, static_cast<QX_DATA_FRQ_ENUM>(1))),
        B(Get_Cmd_Gnss_Data_Freq(c, kTwoRates, io)),
        B(Get_Cmd_Gnss_Data_Freq(c, DataFreq{0x0411, 5}, io)),
        B(Get_Cmd_Gnss_Data_Unlogall(c, io)),
        B(Get_Cmd_Gnss_Data_Configlist_Query(c, io)),
        B(Get_Cmd_Gnss_Data_Configlist_Ex_Query(c, io)),
        B(Get_Cmd_Gnss_IO_ID(c, io)),
        B(Get_Cmd_Gnss_IO_DiffData(c, io, static_cast<QX_GNSS_DIFF_TYPE_ENUM>(2))),
        B(Get_Cmd_Gnss_ElevMask(c, &b)),
        B(Get_Cmd_Gnss_ElevMask(c, nullptr)),
        B(Get_Cmd_Gnss_Pdop_Mask(c, &b)),
        B(Get_Cmd_Gnss_Diff_Type(c, &s)),
        B(Get_Cmd_Gnss_Base_Position(c, &base)),
        B(Get_Cmd_Gnss_Sat_Enable(c, &sats)),
        B(Get_Cmd_Gnss_Current_Position_Query(c)),
        B(Get_Cmd_Gnss_Base_Position_list(c, &list)),
        B(Get_Cmd_Gnss_Data_Transfer(c, &transfer, io)),
        B(Get_Cmd_Gnss_Data_Subscribe_Feature_Query(c)),
        B(Get_Cmd_System_Admin(c, 1)),
        B(Get_Cmd_System_Power_Off(c)),
        B(Get_Cmd_System_Power_Status_Query(c)),
        B(Get_Cmd_System_Reboot(c)),
        B(Get_Cmd_System_Hardware_Info_Query(c)),
        B(Get_Cmd_System_Firmware_Info_Query(c)),
        B(Get_Cmd_System_GSensor_Valid(c, QX_GSENSOR_VALID_PERIOD_STRUCT{1, 2})),
        B(Get_Cmd_System_GPSBoard_Info_Query(c)),
        B(Get_Cmd_System_BtMac_Info_Query(c)),
        B(Get_Cmd_System_WifiMac_Info_Query(c)),
        B(Send_Magnetometer_Calibration(c, true, 3)),
        B(Send_Heading_Calibration(c, true, 1.0f)),
        B(Get_Cmd_Com_Direct(c, static_cast<QX_COM_DIRECT_ENUM>(1))),
        B(Get_Cmd_NetLink_Auto_Open(c, &b)),
        B(Get_Cmd_NetLink_Status_Query(c)),
        B(Get_Cmd_NetLink_Source_List_Query(c)),
        B(Send_Gprs_GetList(c)),
        B(Get_Cmd_NetLink_Address(c, &ip)),
        B(Get_Cmd_NetLink_Server_Type(c, &s)),
        B(Get_Cmd_NetLink_Data_Source(c, &source)),
        B(Get_Cmd_NetLink_Account(c, &account)),
        B(Get_Cmd_NetLink_Connect(c, true)),
        B(Get_Cmd_DataLink_Mode(c, &s)),
        B(Get_Cmd_DataLink_Differential_Data(c, &block)),
        B(Get_Cmd_Radio_Frequency(c, &f)),
        B(Get_Cmd_Radio_Power(c, &u)),
        B(Get_Cmd_Radio_Stepper(c, &u)),
        B(Get_Cmd_Radio_Air_Baud(c, &u)),
        B(Get_Cmd_Radio_Protocol(c, &s)),
        B(Get_Cmd_Radio_Infolist_Query(c)),
        B(Get_Cmd_Radio_Power_On(c, true)),
        B(Get_Cmd_Radio_Auto_Power_On(c, &b)),
        B(Get_Cmd_Radio_Module_Type_Query(c)),
        B(Get_Cmd_Radio_Power_Status_Query(c)),
        B(Get_Cmd_Radio_Channel_List_Query(c)),
        B(Get_Cmd_Radio_Property_Ex(c, &prop)),
        B(Get_Cmd_Radio_Channel_List_All_Query(c)),
        B(Get_Cmd_Radio_Sensitivity(c, &b)),
        B(Get_Cmd_Radio_FEC(c, &b)),
        B(Get_Cmd_Radio_Callsign(c, &call)),
        B(Get_Cmd_WIFI_Param_AP(c, &ap)),
        B(Get_Cmd_WIFI_Mode(c, &s)),
        B(Get_Cmd_WIFI_Open(c, true)),
        B(Get_Cmd_WIFI_Auto_Open(c, &b)),
        B(Get_Cmd_WIFI_Power_Status_Query(c)),
        B(Get_Cmd_WIFI_Share(c, &b)),
        B(Get_Cmd_WIFI_Share_Auto(c, &b)),
        B(Get_Cmd_File_Record_Open(c, true, rio)),
        B(Get_Cmd_File_Record_Auto_Open(c, &b, rio)),
        B(Get_Cmd_File_Record_Param(c, &rec, rio)),
        B(Get_Cmd_File_Record_Status_Query(c, rio)),
        B(Get_Cmd_File_Record_PPK(c, &block)),
    };
#undef B
}

// Builders that also serve an old-protocol receiver.
bool HasOldBranch(const std::string& name) {
    return name.find("Signal_Intensity") != std::string::npos ||
           name.find("Source_List") != std::string::npos ||
           name.find("Gprs_GetList") != std::string::npos ||
           name.find("Gnss_ElevMask") != std::string::npos;
}

}  // namespace

TEST(GnssNewCommandsTest, EveryBuilderMakesOneWellFormedFrameOnANewReceiver) {
    for (const NamedBuilder& b : AllBuilders()) {
        std::unique_ptr<Em_Gnss> g(NewReceiver());
        Cmd_List cmds;
        cmds.push_back(_STR_CMD{});  // builders append; they never clear
        b.build(*g, cmds);
        ASSERT_GE(cmds.size(), 2u) << b.name;
        cmds.erase(cmds.begin());
        auto frames = Frames(cmds);
        ASSERT_EQ(frames.size(), 1u) << b.name;
        EXPECT_GE(frames[0].items.size(), 2u) << b.name;
    }
}

TEST(GnssNewCommandsTest, GuardOnOldAndOemReceivers) {
    // An OEM receiver gets nothing from any of them.
    for (const NamedBuilder& b : AllBuilders()) {
        Em_Gnss oem(GNSS_MNFCTR_OEM, MAINBD_NMEA);
        Cmd_List cmds;
        b.build(oem, cmds);
        EXPECT_TRUE(cmds.empty()) << "OEM: " << b.name;
    }
    // An old receiver gets nothing except from the builders with an old-protocol branch.
    for (const NamedBuilder& b : AllBuilders()) {
        if (HasOldBranch(b.name)) {
            continue;
        }
        Em_Gnss old(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
        Cmd_List cmds;
        b.build(old, cmds);
        EXPECT_TRUE(cmds.empty()) << "old: " << b.name;
    }
}

TEST(GnssNewCommandsTest, OldReceiverBranches) {
    Em_Gnss old(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    Cmd_List cmds;
    old.Get_Cmd_Modem_Signal_Intensity_Query(cmds);
    ASSERT_EQ(cmds.size(), 1u);
    // "VS" carrier (kind 11) around '@' 101 with no data.
    EXPECT_EQ(Hex(cmds[0].data, cmds[0].length), "24 24 56 53 1B 06 40 65 9A 00 00 BF 18 0D 0A");
    EXPECT_EQ(cmds[0].pause, 200u);

    Cmd_List list;
    Cmd_List gprs;
    old.Get_Cmd_NetLink_Source_List_Query(list);
    old.Send_Gprs_GetList(gprs);
    ASSERT_EQ(list.size(), 2u);
    ASSERT_EQ(gprs.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(Hex(gprs[i].data, gprs[i].length), Hex(list[i].data, list[i].length)) << i;
        EXPECT_EQ(gprs[i].pause, 200u);
        EXPECT_EQ(list[i].pause, 200u);
    }
    EXPECT_EQ(Hex(list[0].data, list[0].length), "24 24 56 53 1B 06 40 74 8B 00 00 BF 18 0D 0A");
    EXPECT_EQ(Hex(list[1].data, list[1].length), "24 24 56 4D 1B 01 01 00 0D 0A") << "VM,B1";

    // The elevation mask goes through the protocol object's slots 24 and 31.
    const unsigned char mask = 12;
    Cmd_List viaFacade;
    Cmd_List viaSlots;
    old.Get_Cmd_Gnss_ElevMask(viaFacade, &mask);
    old.Get_Cmd_Gnss_ElevMask(viaFacade, nullptr);
    old.Get_Protocol()->Set_Gnss_ElevDgre(viaSlots, 12, 5.0, 4);
    old.Get_Protocol()->Get_Gnss_ElevMask(viaSlots);
    ASSERT_EQ(viaFacade.size(), viaSlots.size());
    for (size_t i = 0; i < viaSlots.size(); ++i) {
        EXPECT_EQ(Hex(viaFacade[i].data, viaFacade[i].length),
                  Hex(viaSlots[i].data, viaSlots[i].length));
        EXPECT_EQ(viaFacade[i].pause, viaSlots[i].pause);
    }

    // On Bluetooth the carrier's mode byte changes with the link.
    old.Set_Com_Status(COM_STATUS_BLUETOOTH);
    cmds.clear();
    old.Get_Cmd_Modem_Signal_Intensity_Query(cmds);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].data[4], 0x3B);
}

TEST(GnssNewCommandsTest, CustomPacketsOnEveryReceiverKind) {
    std::vector<uint8_t> raw(1030, 0x5A);
    const std::pair<GNSS_MANUFACTURER, MAINBD_OEM_TYPE> kinds[] = {
        {GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL},
        {GNSS_MNFCTR_VELTA, MAINBD_NOVATEL},
        {GNSS_MNFCTR_OEM, MAINBD_NMEA}};
    for (const auto& [maker, board] : kinds) {
        Em_Gnss g(maker, board);
        Cmd_List cmds;
        g.GetCustomCommandPackets(cmds, raw.data(), static_cast<unsigned>(raw.size()), 99);
        ASSERT_EQ(cmds.size(), 3u) << maker;
        EXPECT_EQ(cmds[0].length, 512u);
        EXPECT_EQ(cmds[1].length, 512u);
        EXPECT_EQ(cmds[2].length, 6u);
        for (const _STR_CMD& c : cmds) {
            EXPECT_EQ(c.pause, 50u);
        }
    }
}

TEST(GnssNewCommandsTest, DataFreqListForms) {
    std::unique_ptr<Em_Gnss> g(NewReceiver());
    const auto io0 = static_cast<QX_GNSS_IO_ID_ENUM>(0);
    Cmd_List cmds;
    g->Get_Cmd_Gnss_Data_Freq(cmds, std::vector<DataFreq>{}, io0);
    EXPECT_TRUE(cmds.empty()) << "the operation item alone is not sent";

    // A port alone is a valid packet.
    g->Get_Cmd_Gnss_Data_Freq(cmds, std::vector<DataFreq>{}, static_cast<QX_GNSS_IO_ID_ENUM>(6));
    auto frames = Frames(cmds);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Body(frames[0]), "00 01 00 02 00 0E 04 04 00 02 00 06");

    // Each rate travels in its tag's own width; a record tag cannot carry one.
    cmds.clear();
    g->Get_Cmd_Gnss_Data_Freq(cmds, std::vector<DataFreq>{{0x0450, 0x1234}, {0x0704, 7}}, io0);
    frames = Frames(cmds);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Body(frames[0]), "00 01 00 02 00 0E 04 50 00 01 34 07 04 00 04 00 00 00 07");
    cmds.clear();
    g->Get_Cmd_Gnss_Data_Freq(cmds, std::vector<DataFreq>{{0x0412, 1}, {0x0452, 1}}, io0);
    EXPECT_TRUE(cmds.empty());

    // The one-entry form equals a list of that entry.
    Cmd_List one;
    Cmd_List asList;
    g->Get_Cmd_Gnss_Data_Freq(one, DataFreq{0x0411, 10}, io0);
    g->Get_Cmd_Gnss_Data_Freq(asList, std::vector<DataFreq>{{0x0411, 10}}, io0);
    auto a = Frames(one);
    auto b = Frames(asList);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(Body(a[0]), Body(b[0]));
    EXPECT_EQ(Body(a[0]), "00 01 00 02 00 0E 04 11 00 02 00 0A");
}

TEST(GnssNewCommandsTest, BasePositionListCounts) {
    std::unique_ptr<Em_Gnss> g(NewReceiver());
    auto build = [&](size_t n) {
        BASE_POS_LIST_STRUCT list{1.5, 255, {}};
        for (size_t i = 0; i < n; ++i) {
            list.list.push_back({0.1 * i, 0.2 * i, static_cast<uint32_t>(i)});
        }
        Cmd_List cmds;
        g->Get_Cmd_Gnss_Base_Position_list(cmds, &list);
        return cmds;
    };
    auto frames = Frames(build(3));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].items.back().value.size(), 70u);
    EXPECT_EQ(frames[0].items.back().value[9], 3);

    frames = Frames(build(255));
    ASSERT_EQ(frames.size(), 1u) << "a long frame over many chunks";
    const auto& v = frames[0].items.back().value;
    ASSERT_EQ(v.size(), 10u + 20u * 255u);
    EXPECT_EQ(v[9], 255);
    EXPECT_EQ(v[10 + 20 * 254 + 19], 254) << "the last entry's value";

    // 256 would travel as count 0 and empty the receiver's list.
    EXPECT_TRUE(build(256).empty());
    EXPECT_TRUE(build(257).empty());

    // An empty list is sent with count 0, as asked.
    frames = Frames(build(0));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].items.back().value.size(), 10u);
}

namespace {

struct Seen {
    std::vector<std::pair<Msg_Type, uint32_t>> reports;
    static void OnData(Msg_Type category, uint32_t flags, const void* user) {
        static_cast<Seen*>(const_cast<void*>(user))->reports.push_back({category, flags});
    }
};

}  // namespace

TEST(GnssNewCommandsTest, RadioPowerRoundTripThroughTheReceivePath) {
    std::unique_ptr<Em_Gnss> g(NewReceiver());
    Seen seen;
    static const _CALLBACKS_RECEIVER callbacks = {&Seen::OnData, nullptr};
    g->Reg_Callbacks(&callbacks, &seen);

    const unsigned int power = 2;
    Cmd_List cmds;
    g->Get_Cmd_Radio_Power(cmds, &power);
    auto sent = Frames(cmds);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Body(sent[0]), "00 01 00 02 00 16 07 04 00 04 00 00 00 02");

    // The receiver answers the group's query class with the value.
    uint8_t sequence = 17;
    const auto reply = NewWire::ChunkFrame(
        NewWire::MakeFrame(0x17, {{0x0704, NewWire::U32(2)}}, 0x0704), &sequence);
    EXPECT_EQ(g->Get_Radio_Power_V2(), 0u);
    g->RcvData(reply.data(), static_cast<unsigned>(reply.size()));
    g->ParseData();
    ASSERT_EQ(seen.reports.size(), 1u);
    EXPECT_EQ(seen.reports[0].first, MSG_NEW_CLASS_6);
    EXPECT_EQ(seen.reports[0].second, 0x2u);
    EXPECT_EQ(g->Get_Radio_Power_V2(), 2u);
}
