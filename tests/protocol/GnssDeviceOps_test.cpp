// Em_Gnss device, power, static recording, kinematic point, tilt sensor and port operations:
// the frames an old receiver gets, the packets a new one gets, and nothing for another maker's.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "OldCmdDecode.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using oldcmd::Sent;
using oldtest::Bytes;
using oldtest::Sequence;

namespace {

using Build = std::function<void(Em_Gnss&, Cmd_List&)>;

// Reads every command from `from` on as one "$$" frame of the expected link form.
std::vector<Sent> ReadBack(const Cmd_List& cmds, size_t from = 0, uint8_t form = 1) {
    std::vector<Sent> out;
    for (size_t i = from; i < cmds.size(); ++i) {
        const oldcmd::Frame f = oldcmd::Decode(cmds[i]);
        EXPECT_TRUE(f.ok) << "frame " << i;
        EXPECT_EQ(f.mode, form * 16 + 8) << "frame " << i;
        out.push_back({f.letters, f.payload, f.pause});
    }
    return out;
}

// One item of a new-protocol packet and the packet as read back.
struct Item {
    uint16_t tag;
    Bytes value;
};

struct Packet {
    uint32_t commandId;
    std::vector<Item> items;  // the operation item first
};

void ExpectPacket(const Cmd_List& cmds, const Packet& want) {
    std::vector<NewWire::Frame> frames;
    std::string error;
    ASSERT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].commandId, want.commandId);
    ASSERT_EQ(frames[0].items.size(), want.items.size());
    for (size_t i = 0; i < want.items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(frames[0].items[i].tag, want.items[i].tag);
        EXPECT_EQ(NewWire::Hex(frames[0].items[i].value), NewWire::Hex(want.items[i].value));
    }
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        for (uint8_t b : p) {
            out.push_back(b);
        }
    }
    return out;
}

// An end point whose head starts 01 02 03 04 and whose value is 0x0A0B0C0D, and its
// encoding written out by hand: 01 0B F4, length 41, type 7, the head's first word, bytes
// 8-39 of the head (zero), the value little-endian, then the 16-bit sum 0x0168.
EndPointInfo EndPoint() {
    EndPointInfo p;
    std::memset(&p, 0, sizeof p);
    p.head[0] = 1;
    p.head[1] = 2;
    p.head[2] = 3;
    p.head[3] = 4;
    p.head[5] = 0xEE;  // bytes 4-7 are not sent
    p.value = 0x0A0B0C0Du;
    return p;
}

Bytes EndPointBody() {
    return Cat({{0x01, 0x0B, 0xF4, 41, 7, 1, 2, 3, 4},
                Bytes(32, 0),
                {0x0D, 0x0C, 0x0B, 0x0A},
                {0x68, 0x01}});
}

const QX_COM_BAUD_ENUM kBaud5 = static_cast<QX_COM_BAUD_ENUM>(5);
const QX_COM_BAUD_ENUM kBaud6 = static_cast<QX_COM_BAUD_ENUM>(6);
const QX_COM_BAUD_ENUM kBaud8 = static_cast<QX_COM_BAUD_ENUM>(8);
const QX_COM_BAUD_ENUM kBaud9 = static_cast<QX_COM_BAUD_ENUM>(9);
const QX_COM_BAUD_ENUM kBaud3 = static_cast<QX_COM_BAUD_ENUM>(3);
const QX_COM_PORT_ENUM kPort2 = static_cast<QX_COM_PORT_ENUM>(2);

using Setter = void (Em_Gnss::*)(Cmd_List&, unsigned);

// The nine one-byte device settings and their codes.
const struct {
    const char* name;
    Setter set;
    uint8_t code;
} kSettings[] = {
    {"channel status", &Em_Gnss::Set_DevcInfo_ChannelStatus, 0x2E},
    {"mask", &Em_Gnss::Set_DevcInfo_Mask, 0x32},
    {"record type", &Em_Gnss::Set_DevcInfo_RrdTp, 0x2A},
    {"record time", &Em_Gnss::Set_DevcInfo_RrdTime, 0x2B},
    {"record rate", &Em_Gnss::Set_DevcInfo_RrdFrq, 0x31},
    {"output", &Em_Gnss::Set_DevcInfo_OutPut, 0x28},
    {"start type", &Em_Gnss::Set_DevcInfo_StrtTp, 0x60},
    {"transmit port", &Em_Gnss::Set_DevcInfo_TrsmtPort, 0x3E},
    {"transmit format", &Em_Gnss::Set_DevcInfo_TrsmtFmat, 0x3F},
};

// Operations that build for old receivers only.
std::vector<std::pair<std::string, Build>> OldOnlyBuilders() {
    static const Bytes block = Sequence(128, 0);
    std::vector<std::pair<std::string, Build>> b = {
        {"200 data", [](Em_Gnss& g, Cmd_List& c) { g.Get_200Data(c, true); }},
        {"update str", [](Em_Gnss& g, Cmd_List& c) { g.Send_DevcInfo_Update_Str(c); }},
        {"update crs",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_DevcInfo_Update_Crs(c, 1, block.data()); }},
        {"update crs, count",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_DevcInfo_Update_Crs(c, 1, block.data(), 128); }},
        {"static point",
         [](Em_Gnss& g, Cmd_List& c) {
             Static_Point p{};
             g.Set_Static_Point(c, &p);
         }},
        {"query static point", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Static_Point(c); }},
        {"antenna type", [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_AnteType(c, "ab"); }},
        {"query antenna type", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Static_AntType(c); }},
        {"static begin", [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, true); }},
        {"nmea",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Velta_NMEA(c, {{1, 1}}, 1);
         }},
    };
    for (const auto& s : kSettings) {
        const Setter set = s.set;
        b.push_back({s.name, [set](Em_Gnss& g, Cmd_List& c) { (g.*set)(c, 1); }});
    }
    return b;
}

// Operations that build for old and new receivers.
std::vector<std::pair<std::string, Build>> MakerBuilders() {
    return {
        {"device info", [](Em_Gnss& g, Cmd_List& c) { g.Get_DeviceInfo(c); }},
        {"battery", [](Em_Gnss& g, Cmd_List& c) { g.Get_Battery(c); }},
        {"close", [](Em_Gnss& g, Cmd_List& c) { g.Get_CloseReceiver(c); }},
        {"auto base distance", [](Em_Gnss& g, Cmd_List& c) { g.Set_DevcInfo_AutoBaseDist(c, 5); }},
        {"static begin, value", [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, true, 5); }},
        {"end point",
         [](Em_Gnss& g, Cmd_List& c) {
             const EndPointInfo p = EndPoint();
             g.Get_Cmd_EndPPKpt(c, &p);
         }},
        {"bubble rate", [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_frq(c, GNSS_FRQ_1); }},
        {"position rate", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_1); }},
        {"calibration", [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_calibration(c, true, 1); }},
        {"baud", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud6, kPort2); }},
    };
}

// Feeds a new-protocol reply frame through the receive path.
void FeedNew(Em_Gnss& g, uint16_t operation, const std::vector<NewWire::Item>& items,
             uint32_t commandId) {
    uint8_t sequence = 0;
    const Bytes frame = NewWire::MakeFrame(operation, items, commandId);
    const Bytes wire = NewWire::ChunkFrame(frame, &sequence);
    g.RcvData(wire.data(), static_cast<unsigned>(wire.size()));
    g.ParseData();
}

}  // namespace

TEST(GnssDeviceOps, OldReceiverFramesMatchHandWrittenBytes) {
    const Bytes block = Sequence(128, 0x80);
    static_assert(sizeof(Static_Point::name) == 32, "name field");
    Static_Point point{};
    point.nameLength = 2;
    point.name[0] = 'A';
    point.name[1] = 'B';
    point.name[2] = 'Z';  // past the length: not sent
    point.value = 0x01020304u;
    point.byteField = 0x1FF;
    point.method = 4;

    const struct {
        const char* name;
        Build build;
        std::vector<Sent> want;
    } rows[] = {
        {"device info", [](Em_Gnss& g, Cmd_List& c) { g.Get_DeviceInfo(c); }, {{"SI", {}, 200}}},
        {"battery", [](Em_Gnss& g, Cmd_List& c) { g.Get_Battery(c); }, {{"SD", {}, 200}}},
        {"close", [](Em_Gnss& g, Cmd_List& c) { g.Get_CloseReceiver(c); }, {{"SG", {0}, 200}}},
        {"200 data on",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_200Data(c, true); },
         {{"RG", {200}, 100}}},
        {"200 data off",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_200Data(c, false); },
         {{"RG", {0}, 100}}},
        {"update str",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_DevcInfo_Update_Str(c); },
         {{"SS", {0, 0}, 100}}},
        {"update crs: a's second and low bytes, then the block",
         [&block](Em_Gnss& g, Cmd_List& c) {
             g.Send_DevcInfo_Update_Crs(c, 0xAB1234, block.data());
         },
         {{"SX", Cat({{0, 0, 0, 0x12, 0x34}, block}), 100}}},
        {"update crs with a count of 200",
         [&block](Em_Gnss& g, Cmd_List& c) {
             g.Send_DevcInfo_Update_Crs(c, 0x0102, block.data(), 200);
         },
         {{"SX", Cat({{0, 0, 0, 0x01, 0x02}, block}), 100}}},
        {"auto base distance, low byte first",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_DevcInfo_AutoBaseDist(c, 0x0102); },
         {{"SJ", {0x61, 0x02, 0x01}, 200}}},
        {"static point: name length, name, value, byte, method 4 as 3",
         [&point](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Point(c, &point); },
         {{"FA", {2, 'A', 'B', 4, 3, 2, 1, 0xFF, 3}, 10}}},
        {"query static point",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Static_Point(c); },
         {{"FB", {}, 10}}},
        {"antenna type padded to 20 fields",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_AnteType(c, "ab"); },
         {{"FS", Cat({{'a', 'b'}, Bytes(18, 0)}), 10}}},
        {"query antenna type",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Static_AntType(c); },
         {{"FT", {}, 10}}},
        {"static start",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, true); },
         {{"FD", {0}, 100}}},
        {"static stop",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, false); },
         {{"FD", {1}, 100}}},
        {"static start sequence",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, true, 0x0A0B); },
         {{"SJ", {42, 0}, 100},
          {"SJ", {92, 0x0B}, 100},
          {"SJ", {93, 0x0A}, 100},
          {"FD", {0}, 100},
          {"FH", {1}, 100}}},
        {"static stop sequence",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, false, 0x0A0B); },
         {{"SJ", {42, 1}, 100}, {"FD", {1}, 100}, {"FH", {0}, 100}}},
        {"end point",
         [](Em_Gnss& g, Cmd_List& c) {
             const EndPointInfo p = EndPoint();
             g.Get_Cmd_EndPPKpt(c, &p);
         },
         {{"FY", EndPointBody(), 10}}},
        {"bubble rate 1",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_frq(c, GNSS_FRQ_1); },
         {{"FF", {10}, 100}}},
        {"bubble rate 3",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_frq(c, GNSS_FRQ_3); },
         {{"FF", {1}, 100}}},
        {"bubble rate 2",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_frq(c, GNSS_FRQ_2); },
         {{"FF", {5}, 100}}},
        {"position rate 1",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_1); },
         {{"SW", {0, 10}, 200}}},
        {"position rate 2",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_2); },
         {{"SW", {0, 5}, 200}}},
        {"position rate 11",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_11); },
         {{"SW", {0, 2}, 200}}},
        {"position rate 3",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_3); },
         {{"SW", {0, 1}, 200}}},
        {"position rate 0 has no elevation to send",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_0); },
         {}},
        {"calibration on",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_calibration(c, true, 0x030201); },
         {{"FG", {1, 0x01, 0x02}, 10}}},
        {"calibration off",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_calibration(c, false, -1); },
         {{"FG", {0, 0xFF, 0xFF}, 10}}},
        {"baud 19200",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud5, kPort2); },
         {{"SB", {238}, 200}}},
        {"baud 38400",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud6, kPort2); },
         {{"SB", {247}, 200}}},
        {"baud 57600",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud8, kPort2); },
         {{"SB", {250}, 200}}},
        {"baud 115200",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud9, kPort2); },
         {{"SB", {253}, 200}}},
        {"baud 9600 is the default command",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud3, kPort2); },
         {{"SB", {220}, 200}}},
        {"no baud query on an old receiver",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, nullptr, kPort2); },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
        // The builders append: what the caller already queued stays first.
        Cmd_List cmds(1);
        cmds[0].length = 1;
        cmds[0].data[0] = 0x5A;
        row.build(g, cmds);
        ASSERT_GE(cmds.size(), 1u);
        EXPECT_EQ(cmds[0].length, 1u);
        EXPECT_EQ(cmds[0].data[0], 0x5A);
        EXPECT_EQ(ReadBack(cmds, 1), row.want);
    }
}

TEST(GnssDeviceOps, WholeFramesOnSerialAndBluetooth) {
    Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    Cmd_List cmds;
    g.Get_DeviceInfo(cmds);
    g.Set_DevcInfo_Mask(cmds, 0x0105);
    ASSERT_EQ(cmds.size(), 2u);
    // 0x53 ^ 0x49 ^ 0x18 ^ 0x00 = 0x02; 0x53 ^ 0x4A ^ 0x18 ^ 0x02 ^ 0x32 ^ 0x05 = 0x34.
    EXPECT_EQ(NewWire::Hex(cmds[0].data, cmds[0].length), "24 24 53 49 18 00 02 0D 0A");
    EXPECT_EQ(NewWire::Hex(cmds[1].data, cmds[1].length), "24 24 53 4A 18 02 32 05 34 0D 0A");

    g.Set_Com_Status(COM_STATUS_BLUETOOTH);
    cmds.clear();
    g.Get_CloseReceiver(cmds);
    ASSERT_EQ(cmds.size(), 1u);
    // 0x53 ^ 0x47 ^ 0x38 ^ 0x01 ^ 0x00 = 0x2D.
    EXPECT_EQ(NewWire::Hex(cmds[0].data, cmds[0].length), "24 24 53 47 38 01 00 2D 0D 0A");
}

TEST(GnssDeviceOps, DeviceSettingsCarryTheirCodeAndTheLowByte) {
    for (const auto& s : kSettings) {
        SCOPED_TRACE(s.name);
        Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
        Cmd_List cmds;
        (g.*s.set)(cmds, 0x1FF);
        (g.*s.set)(cmds, 0);
        EXPECT_EQ(ReadBack(cmds),
                  (std::vector<Sent>{{"SJ", {s.code, 0xFF}, 200}, {"SJ", {s.code, 0x00}, 200}}));
    }
}

TEST(GnssDeviceOps, RefusedInputsBuildNothing) {
    std::vector<std::unique_ptr<Em_Gnss>> receivers;
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL));
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL));
    const Bytes block = Sequence(128, 1);
    for (auto& g : receivers) {
        Cmd_List cmds;
        // A device block shorter than 128 bytes would be read past its end.
        g->Send_DevcInfo_Update_Crs(cmds, 1, block.data(), 127);
        g->Send_DevcInfo_Update_Crs(cmds, 1, nullptr);
        g->Send_DevcInfo_Update_Crs(cmds, 1, nullptr, 128);
        g->Set_Static_Point(cmds, nullptr);
        g->Set_Static_AnteType(cmds, nullptr);
        // A null point record: no block claiming bytes it does not have.
        g->Get_Cmd_StartPPKpt(cmds, nullptr);
        g->Get_Cmd_EndPPKpt(cmds, nullptr);
        g->Get_Cmd_AntPPKpt(cmds, nullptr);
        // Texts longer than their fields: the encoding refuses them.
        StartPointInfo start;
        std::memset(&start, 0, sizeof start);
        start.nameLength = 33;
        g->Get_Cmd_StartPPKpt(cmds, &start);
        EXPECT_TRUE(cmds.empty());
    }
}

TEST(GnssDeviceOps, LongPointRecordsGoInPiecesOf55) {
    StartPointInfo start;
    std::memset(&start, 0, sizeof start);
    start.nameLength = 30;
    start.textLength = 30;
    std::memset(start.name, 'n', sizeof start.name);
    std::memset(start.text, 't', sizeof start.text);
    AntPointInfo antenna;
    std::memset(&antenna, 0, sizeof antenna);
    antenna.kind = 0x1FF;
    antenna.value = 0x11223344u;

    Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    Cmd_List cmds;
    // 43 + 30 + 30 bytes and the sum: 105 bytes as 55 and 50.
    g.Get_Cmd_StartPPKpt(cmds, &start);
    const std::vector<Sent> sent = ReadBack(cmds);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].payload.size(), 55u);
    EXPECT_EQ(sent[1].payload.size(), 50u);
    EXPECT_EQ(sent[0].letters, "FY");
    EXPECT_EQ(sent[1].pause, 10u);
    EXPECT_EQ(sent[0].payload[4], 6) << "record type of a start point";
    EXPECT_EQ(sent[0].payload[41], 30) << "name length";

    cmds.clear();
    // 58 bytes and the sum: 55 and 5; kind's low byte, then the value little-endian.
    g.Get_Cmd_AntPPKpt(cmds, &antenna);
    const std::vector<Sent> ant = ReadBack(cmds);
    ASSERT_EQ(ant.size(), 2u);
    EXPECT_EQ(ant[0].payload[4], 12);
    EXPECT_EQ(ant[0].payload[41], 0xFF);
    EXPECT_EQ(ant[0].payload[42], 0x44);
    EXPECT_EQ(ant[0].payload[45], 0x11);
    EXPECT_EQ(ant[1].payload.size(), 5u);
}

TEST(GnssDeviceOps, NewReceiverPackets) {
    const struct {
        const char* name;
        Build build;
        Packet want;
    } rows[] = {
        {"battery: power status query",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Battery(c); },
         {0, {{1, NewWire::U16(11)}, {0x0304, {}}}}},
        {"close: power off",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_CloseReceiver(c); },
         {0x0303, {{1, NewWire::U16(10)}, {0x0303, {}}}}},
        {"end point as a file-record block",
         [](Em_Gnss& g, Cmd_List& c) {
             const EndPointInfo p = EndPoint();
             g.Get_Cmd_EndPPKpt(c, &p);
         },
         {0x0B08, {{1, NewWire::U16(0x26)}, {0x0B08, Cat({NewWire::U32(47), EndPointBody()})}}}},
        {"bubble rate: tag 0x0411 with the rate code of 1",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_frq(c, GNSS_FRQ_1); },
         {0x0E, {{1, NewWire::U16(0x0E)}, {0x0411, NewWire::U16(6)}}}},
        {"bubble rate: 255 gives code 2",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_frq(c, GNSS_FRQ_255); },
         {0x0E, {{1, NewWire::U16(0x0E)}, {0x0411, NewWire::U16(2)}}}},
        {"position rate: tag 0x0410 with the rate code of 11",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_11); },
         {0x0E, {{1, NewWire::U16(0x0E)}, {0x0410, NewWire::U16(8)}}}},
        {"position rate 0 gives code 1",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_0); },
         {0x0E, {{1, NewWire::U16(0x0E)}, {0x0410, NewWire::U16(1)}}}},
        {"calibration on: kind 1 and the value's low 16 bits",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_calibration(c, true, 0x12345); },
         {0x0309, {{1, NewWire::U16(0x0A)}, {0x0309, {0x01, 0x23, 0x45}}}}},
        {"calibration off: kind 0",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_eBubble_calibration(c, false, 7); },
         {0x0309, {{1, NewWire::U16(0x0A)}, {0x0309, {0x00, 0x00, 0x07}}}}},
        {"baud set: port, then the baud value",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, &kBaud6, kPort2); },
         {0x0103, {{1, NewWire::U16(2)}, {0x0104, NewWire::U16(2)}, {0x0103, NewWire::U16(6)}}}},
        {"baud query",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Com_Baudrate(c, nullptr, kPort2); },
         {0x0103, {{1, NewWire::U16(3)}, {0x0104, NewWire::U16(2)}, {0x0103, {}}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
        Cmd_List cmds;
        row.build(g, cmds);
        ExpectPacket(cmds, row.want);
    }
}

TEST(GnssDeviceOps, NewReceiverOldFramesFollowTheLink) {
    const struct {
        const char* name;
        Build build;
        std::vector<Sent> want;
    } rows[] = {
        {"device info", [](Em_Gnss& g, Cmd_List& c) { g.Get_DeviceInfo(c); }, {{"SI", {}, 200}}},
        {"auto base distance",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_DevcInfo_AutoBaseDist(c, 0xBEEF); },
         {{"SJ", {0x61, 0xEF, 0xBE}, 200}}},
        {"static start sequence",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, true, 0x0102); },
         {{"SJ", {42, 0}, 100},
          {"SJ", {92, 0x02}, 100},
          {"SJ", {93, 0x01}, 100},
          {"FD", {0}, 100},
          {"FH", {1}, 100}}},
    };
    for (const auto& row : rows) {
        for (Com_Status link : {COM_STATUS_SERIAL, COM_STATUS_BLUETOOTH}) {
            SCOPED_TRACE(std::string(row.name) + " link " + std::to_string(int(link)));
            Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
            g.Set_Com_Status(link);
            Cmd_List cmds;
            row.build(g, cmds);
            EXPECT_EQ(ReadBack(cmds, 0, link == COM_STATUS_SERIAL ? 1 : 3), row.want);
        }
    }
}

TEST(GnssDeviceOps, OldOnlyOperationsBuildNothingOnNewReceivers) {
    for (const auto& b : OldOnlyBuilders()) {
        SCOPED_TRACE(b.first);
        Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
        Cmd_List cmds;
        b.second(g, cmds);
        EXPECT_TRUE(cmds.empty());
    }
}

TEST(GnssDeviceOps, OtherMakersGetNothing) {
    for (MAINBD_OEM_TYPE board : {MAINBD_NMEA, MAINBD_NOVATEL, MAINBD_NEWPROTOCOL}) {
        std::vector<std::pair<std::string, Build>> all = OldOnlyBuilders();
        for (auto& b : MakerBuilders()) {
            all.push_back(b);
        }
        for (const auto& b : all) {
            SCOPED_TRACE(b.first + " board " + std::to_string(int(board)));
            Em_Gnss g(GNSS_MNFCTR_OEM, board);
            Cmd_List cmds;
            b.second(g, cmds);
            EXPECT_TRUE(cmds.empty());
        }
    }
}

TEST(GnssDeviceOps, MakerBuildersAppendOnOldAndNewReceivers) {
    for (MAINBD_OEM_TYPE board : {MAINBD_NOVATEL, MAINBD_NEWPROTOCOL}) {
        for (const auto& b : MakerBuilders()) {
            SCOPED_TRACE(b.first + " board " + std::to_string(int(board)));
            Em_Gnss g(GNSS_MNFCTR_VELTA, board);
            Cmd_List cmds(2);
            b.second(g, cmds);
            EXPECT_GT(cmds.size(), 2u);
        }
    }
}

TEST(GnssDeviceOps, NmeaOutputFormsCoexist) {
    // Without a board driver no board list goes out, only the old protocol's own frames.
    Em_Gnss g(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    g.Reset_Mnfctr(GNSS_MNFCTR_VELTA);
    ASSERT_TRUE(g.IsVeltaOldProtocolReceiver());
    const std::vector<_set_nmea> list = {{0x1, 1}, {0x800, 2}, {0x10000, 1}, {0x40000000, 1}};
    Cmd_List cmds;
    g.Set_Velta_NMEA(cmds, list, 3);
    // GGA gives 0x1; 0x800 and 0x10000 share 0x100; an unknown bit adds nothing.
    EXPECT_EQ(ReadBack(cmds), (std::vector<Sent>{{"RF", {0x01, 0x01, 3}, 100}}));

    cmds.clear();
    g.Set_Velta_NMEA(cmds, list, 3, true);
    const std::vector<Sent> sent = ReadBack(cmds);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].letters, "RF");
    EXPECT_EQ(sent[1].letters, "RD");

    // With the NovAtel board the board's own list comes first, passed through.
    Em_Gnss novatel(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    cmds.clear();
    novatel.Set_Velta_NMEA(cmds, {{0x1, 1}}, 2);
    const std::vector<Sent> framed = ReadBack(cmds);
    ASSERT_GE(framed.size(), 2u);
    for (size_t i = 0; i + 1 < framed.size(); ++i) {
        EXPECT_EQ(framed[i].letters, "RZ");
    }
    EXPECT_EQ(framed.back(), (Sent{"RF", {0x00, 0x01, 2}, 100}));
}

TEST(GnssDeviceOps, StaticPointReadsWhatTheReceiverReported) {
    Em_Gnss old(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    // Name "PT1", value 0x0A0B0C0D, byte 9, method byte 3 (method 4).
    const Bytes fb = {3, 'P', 'T', '1', 0x0D, 0x0C, 0x0B, 0x0A, 9, 3};
    const Bytes frame = oldtest::Frame("FB", fb);
    old.RcvData(frame.data(), static_cast<unsigned>(frame.size()));
    old.ParseData();

    Static_Point out;
    std::memset(&out, 0x5A, sizeof out);
    old.Get_Static_Point(out);
    EXPECT_EQ(out.nameLength, 3);
    EXPECT_EQ(std::string(out.name, 3), "PT1");
    EXPECT_EQ(out.name[3], 0) << "the rest of the name is cleared";
    EXPECT_EQ(out.value, 0x0A0B0C0Du);
    EXPECT_EQ(out.byteField, 9);
    EXPECT_EQ(out.method, 4);

    // Sent back unchanged, the point builds the frame it came from.
    Cmd_List cmds;
    old.Set_Static_Point(cmds, &out);
    EXPECT_EQ(ReadBack(cmds), (std::vector<Sent>{{"FA", fb, 10}}));

    for (auto* g : {new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL),
                    new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA)}) {
        std::unique_ptr<Em_Gnss> owner(g);
        Static_Point untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        g->Get_Static_Point(untouched);
        EXPECT_EQ(untouched.nameLength, 0x5A);
        EXPECT_EQ(untouched.value, 0x5A5A5A5Au);
    }
}

TEST(GnssDeviceOps, BaudAndSettingResponseOfTheNewReceiver) {
    Em_Gnss neu(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    // A reply of operation 3 with the baud code 9, then a setting answered with status 1 for
    // command id 0x0303.
    FeedNew(neu, 3, {{0x0103, NewWire::U16(9)}}, 0x0103);
    FeedNew(neu, 10, {{0x0002, NewWire::U16(1)}}, 0x0303);

    QX_COM_BAUD_ENUM baud = static_cast<QX_COM_BAUD_ENUM>(-1);
    neu.Get_Com_Baudrate(baud);
    EXPECT_EQ(static_cast<int>(baud), 9);
    QX_RESPONSE_STATUS_ENUM status = static_cast<QX_RESPONSE_STATUS_ENUM>(-1);
    unsigned id = 0;
    neu.Get_Cmd_Setting_Response(status, id);
    EXPECT_EQ(static_cast<int>(status), 1);
    EXPECT_EQ(id, 0x0303u);

    for (auto* g : {new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL),
                    new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA)}) {
        std::unique_ptr<Em_Gnss> owner(g);
        QX_COM_BAUD_ENUM b = static_cast<QX_COM_BAUD_ENUM>(-7);
        g->Get_Com_Baudrate(b);
        EXPECT_EQ(static_cast<int>(b), -7);
        QX_RESPONSE_STATUS_ENUM s = static_cast<QX_RESPONSE_STATUS_ENUM>(-7);
        unsigned i = 77;
        g->Get_Cmd_Setting_Response(s, i);
        EXPECT_EQ(static_cast<int>(s), -7);
        EXPECT_EQ(i, 77u);
    }
}
