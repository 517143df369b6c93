// Em_Gnss GPRS modem and network operations: old receivers get their modem's '@' frames byte
// for byte, new receivers the network-link packets where they have one, other receivers
// nothing; the modem state readers give the old receiver's replies back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "support/Facade_Receivers.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using oldtest::Bytes;
using oldtest::Text;
using oldtest::VsCommand;

namespace {

struct Expected {
    Bytes frame;
    uint32_t pause;
};

// Copies at most size bytes of the text; a text that fills the field has no terminator.
template <size_t N>
void Put(char (&field)[N], const char* text) {
    std::memcpy(field, text, std::min(N, std::strlen(text)));
}

cors_info Login(const char* mount, const char* user, const char* password) {
    cors_info info;
    std::memset(&info, 0, sizeof(info));
    Put(info.mountPoint, mount);
    Put(info.userName, user);
    Put(info.password, password);
    return info;
}

Bytes Field(const char* text, size_t size) {
    Bytes b(size, 0);
    std::memcpy(b.data(), text, std::min(size, std::strlen(text)));
    return b;
}

// A command already in the caller's list: the operations append after it, never clear it.
_STR_CMD Sentinel() {
    _STR_CMD c;
    std::memset(&c, 0, sizeof(c));
    c.data[0] = 0x7E;
    c.length = 1;
    c.pause = 1234;
    return c;
}

typedef std::function<void(Em_Gnss&, Cmd_List&)> Op;

// Runs op on a list that already holds the sentinel and returns what it appended.
Cmd_List Appended(Em_Gnss& g, const Op& op) {
    Cmd_List cmds{Sentinel()};
    op(g, cmds);
    EXPECT_FALSE(cmds.empty());
    if (cmds.empty()) {
        return cmds;
    }
    EXPECT_EQ(Bytes_Of(cmds[0]), Bytes{0x7E});
    EXPECT_EQ(cmds[0].pause, 1234u);
    return Cmd_List(cmds.begin() + 1, cmds.end());
}

std::vector<NewWire::Frame> Frames_Of(const Cmd_List& cmds) {
    std::vector<NewWire::Frame> frames;
    std::string error;
    EXPECT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    return frames;
}

}  // namespace

// The '@' frame helper agrees with a frame worked out by hand: the modem version query on a
// serial link, and the modem disconnect on Bluetooth.
TEST(GnssNetworkOps, AtFrameLayout) {
    EXPECT_EQ(VsCommand(95, {}), (Bytes{0x24, 0x24, 0x56, 0x53, 0x1B, 0x06, 0x40, 0x5F, 0xA0, 0x00,
                                        0x00, 0xBF, 0x18, 0x0D, 0x0A}));
    EXPECT_EQ(VsCommand(113, {1}, 0x3B), (Bytes{0x24, 0x24, 0x56, 0x53, 0x3B, 0x07, 0x40, 0x71,
                                                0x8E, 0x01, 0x00, 0x01, 0xBF, 0x39, 0x0D, 0x0A}));
}

// Every modem command of the old receiver: its frames in order with their pauses.
TEST(GnssNetworkOps, OldReceiverModemCommands) {
    SvcInfo svc;
    std::memset(&svc, 0, sizeof(svc));
    std::strcpy(svc.text1, "apn");
    std::strcpy(svc.text2, "usr");
    std::strcpy(svc.text3, "*99#");
    std::strcpy(svc.text4, "pw");

    const std::string gsm63(63, '7');

    struct Case {
        const char* name;
        uint8_t layoutFlag;
        Op op;
        std::vector<Expected> frames;
    };
    const Case cases[] = {
        {"Get_Gprs_Info numeric",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Info(c); },
         {{VsCommand(89, {}), 200}}},
        {"Get_Gprs_Info by name",
         1,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Info(c); },
         {{VsCommand(115, {}), 200}}},
        {"Get_Gprs_Signal",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Signal(c); },
         {{VsCommand(101, {}), 200}}},
        {"Get_Gprs_Status",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Status(c); },
         {{VsCommand(99, {}), 200}}},
        {"Get_Gprs_Eroinfo",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Eroinfo(c); },
         {{VsCommand(104, {}), 200}}},
        {"Get_Gprs_Reset",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Reset(c); },
         {{VsCommand(43, {}), 200}}},
        {"Get_Gprs_CosMdl",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_CosMdl(c); },
         {{VsCommand(106, {}), 200}}},
        {"Set_Gprs_CosMdl",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_CosMdl(c, 0x102); },
         {{VsCommand(113, {0}), 2000}, {VsCommand(105, {0x02}), 200}}},
        {"Send_Gprs_DisConct",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DisConct(c); },
         {{VsCommand(113, {1}), 2000}}},
        {"Set_Gprs_Modle",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_Modle(c, static_cast<Gprs_Modle>(3)); },
         {{VsCommand(93, {3}), 200}}},
        {"Set_GSM_NumInfo",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_GSM_NumInfo(c, "13800138000"); },
         {{VsCommand(113, {0}), 2000}, {VsCommand(88, Text("13800138000")), 200}}},
        {"Set_GSM_NumInfo 63 characters",
         0,
         [&gsm63](Em_Gnss& g, Cmd_List& c) { g.Set_GSM_NumInfo(c, gsm63.c_str()); },
         {{VsCommand(113, {0}), 2000}, {VsCommand(88, Text(gsm63)), 200}}},
        {"Set_Gprs_SvcInfo",
         0,
         [&svc](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_SvcInfo(c, svc); },
         {{VsCommand(86, Text("*99#")), 200},
          {VsCommand(88, Text("pw")), 200},
          {VsCommand(87, Text(std::string("apn\0usr", 7))), 200}}},
        {"Set_Gprs_Ip numeric",
         0,
         [](Em_Gnss& g, Cmd_List& c) {
             IP_ADRES ip;
             std::memset(&ip, 0, sizeof(ip));
             ip.address = 0x0100A8C0;  // 192.168.0.1, first octet in the low byte
             g.Set_Gprs_Ip(c, ip, 8080, static_cast<Protocol_Net>(1));
         },
         {{VsCommand(82, {0xC0, 0xA8, 0x00, 0x01, 0x1F, 0x90, 0x01}), 200}}},
        {"Set_Gprs_Ip by name",
         1,
         [](Em_Gnss& g, Cmd_List& c) {
             IP_ADRES ip;
             std::memset(&ip, 0, sizeof(ip));
             std::strcpy(ip.name, "rtk.example");
             ip.count = 11;
             g.Set_Gprs_Ip(c, ip, 2101, static_cast<Protocol_Net>(3));
         },
         {{VsCommand(114, Text(std::string("rtk.example\0\x08\x35\x03", 15))), 200}}},
        {"Send_Dial_Prtl",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Dial_Prtl(c); },
         {{VsCommand(103, {}), 200}}},
        {"Set_Dial_Prtl",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Dial_Prtl(c, 2); },
         {{VsCommand(102, {2}), 200}}},
        {"Send_Gprs_DiffInfo",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DiffInfo(c); },
         {{Bytes{0x24, 0x24, 0x52, 0x58, 0x18, 0x00, 0x52 ^ 0x58 ^ 0x18, 0x0D, 0x0A}, 200}}},
        {"Send_Cors_Info_Auto",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Cors_Info_Auto(c); },
         {{VsCommand(108, {}), 200}}},
        {"Set_Cors_Info_Auto kind 1",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Info_Auto(c, Login("RTCM32", "bob", "pw"), 1); },
         {{VsCommand(107, Text(std::string("RTCM32\0M\0bob\0pw\0", 16))), 200}}},
        {"Set_Cors_Info_Auto kind 2",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Info_Auto(c, Login("M", "u", "p"), 2); },
         {{VsCommand(107, Text(std::string("M\0m\0u\0p\0", 8))), 200}}},
        {"Set_Cors_Info_Auto other kind",
         0,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Info_Auto(c, Login("M", "", ""), 7); },
         {{VsCommand(107, Text(std::string("M\0-\0\0\0", 6))), 200}}},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Receivers r;
        r.Old().wireless.layoutFlag = tc.layoutFlag;
        const Cmd_List got = Appended(r.old, tc.op);
        ASSERT_EQ(got.size(), tc.frames.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(NewWire::Hex(Bytes_Of(got[i])), NewWire::Hex(tc.frames[i].frame))
                << "frame " << i;
            EXPECT_EQ(got[i].pause, tc.frames[i].pause) << "frame " << i;
        }
    }
}

// Bluetooth links give form 3; a port kind with no link form gives no frame at all.
TEST(GnssNetworkOps, OldReceiverLinkForm) {
    Receivers r;
    r.old.Set_Com_Status(static_cast<Com_Status>(2));
    Cmd_List cmds;
    r.old.Set_Dial_Prtl(cmds, 5);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(Bytes_Of(cmds[0]), VsCommand(102, {5}, 0x3B));

    r.Old().deviceBlockSeen = 1;
    r.old.Set_Com_Status(static_cast<Com_Status>(3));
    cmds.clear();
    EXPECT_FALSE(r.old.Send_Gprs_Version(cmds)) << "nothing was sent";
    r.old.Get_Gprs_Status(cmds);
    r.old.Set_Gprs_CosMdl(cmds, 1);
    r.old.Set_Cors_Login(cmds, Login("M", "u", "p"));
    EXPECT_TRUE(cmds.empty());
}

// The modem version query goes out only once the device block was seen, and says so.
TEST(GnssNetworkOps, SendGprsVersion) {
    Receivers r;
    Cmd_List cmds;
    EXPECT_FALSE(r.old.Send_Gprs_Version(cmds));
    EXPECT_TRUE(cmds.empty());
    r.Old().deviceBlockSeen = 1;
    EXPECT_TRUE(r.old.Send_Gprs_Version(cmds));
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(Bytes_Of(cmds[0]), VsCommand(95, {}));
    EXPECT_EQ(cmds[0].pause, 200u);
    for (Em_Gnss* g : {&r.neu, &r.oem}) {
        Cmd_List none;
        EXPECT_FALSE(g->Send_Gprs_Version(none));
        EXPECT_TRUE(none.empty());
    }
}

// Refused values build nothing: a phone number of 64 characters or none at all, and login
// texts of more than 49 characters for the automatic login.
TEST(GnssNetworkOps, OldReceiverRefusals) {
    Receivers r;
    const std::string gsm64(64, '1');
    Cmd_List cmds;
    r.old.Set_GSM_NumInfo(cmds, gsm64.c_str());
    r.old.Set_GSM_NumInfo(cmds, nullptr);
    EXPECT_TRUE(cmds.empty());

    const std::string user(30, 'u');
    r.old.Set_Cors_Info_Auto(cmds, Login("MOUNT", user.c_str(), "passwordXYZ1234"), 1);  // 50
    EXPECT_TRUE(cmds.empty());
    r.old.Set_Cors_Info_Auto(cmds, Login("MOUNT", user.c_str(), "passwordXYZ123"), 1);  // 49
    EXPECT_EQ(cmds.size(), 1u);
}

// Old receivers log in through their modem: the NTRIP request in "VL" text frames of at most
// 55 bytes, in order, pause 100 each.
TEST(GnssNetworkOps, OldReceiverCorsLogin) {
    Receivers r;
    const Cmd_List got = Appended(
        r.old, [](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Login(c, Login("MOUNT", "u", "p")); });
    const std::string request =
        "GET /MOUNT HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.5\r\n"
        "Connection: Keep-Alive\r\nAccept: */*\r\nAuthorization: Basic dTpw\r\n\r\n";
    ASSERT_EQ(request.size(), 130u);
    ASSERT_EQ(got.size(), 3u);
    const size_t sizes[] = {55, 55, 20};
    size_t at = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Bytes_Of(got[i]), oldtest::Frame("VL", Text(request.substr(at, sizes[i])), 0x1B));
        EXPECT_EQ(got[i].pause, 100u);
        at += sizes[i];
    }
}

// New receivers get the network-link packets: the login as account, data source and
// connect; the automatic login with its switch on; its query; and the disconnect.
TEST(GnssNetworkOps, NewReceiverLoginPackets) {
    const cors_info info = Login("RTCM32", "surveyor", "secret");
    const Bytes account = NewWire::Cat({Field("surveyor", 50), Field("secret", 20)});
    const Bytes source = Field("RTCM32", 20);

    struct Item {
        uint16_t tag;
        Bytes value;
    };
    struct Case {
        const char* name;
        Op op;
        uint16_t operation;
        std::vector<Item> items;
        uint32_t commandId;
    };
    const Case cases[] = {
        {"Set_Cors_Login",
         [&info](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Login(c, info); },
         46,
         {{4363, account}, {4362, source}, {4359, {}}},
         4359},
        {"Set_Cors_Info_Auto",
         [&info](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Info_Auto(c, info, 2); },
         46,
         {{4363, account}, {4362, source}, {4361, {1}}},
         4361},
        {"Send_Cors_Info_Auto",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Cors_Info_Auto(c); },
         47,
         {{4363, {}}, {4362, {}}, {4361, {}}},
         0},
        {"Send_Gprs_DisConct",
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DisConct(c); },
         46,
         {{0x1108, {}}},
         0x1108},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Receivers r;
        const std::vector<NewWire::Frame> frames = Frames_Of(Appended(r.neu, tc.op));
        ASSERT_EQ(frames.size(), 1u);
        const NewWire::Frame& f = frames[0];
        EXPECT_EQ(f.commandId, tc.commandId);
        EXPECT_EQ(f.Operation(), tc.operation);
        ASSERT_EQ(f.items.size(), tc.items.size() + 1);
        for (size_t i = 0; i < tc.items.size(); ++i) {
            EXPECT_EQ(f.items[i + 1].tag, tc.items[i].tag) << "item " << i;
            EXPECT_EQ(NewWire::Hex(f.items[i + 1].value), NewWire::Hex(tc.items[i].value))
                << "item " << i;
        }
    }
}

// Item 4355 of Set_Gprs_Ip: the address first octet first, the port, the flag saying whether a
// name follows, and the record's name (as many bytes as its count, at most 32) zero-padded.
TEST(GnssNetworkOps, NewReceiverServerAddress) {
    struct Case {
        const char* name;
        uint32_t address;
        int32_t count;
        const char* text;
        unsigned port;
        uint8_t flag;
        Bytes nameField;
    };
    const std::string longName(32, 'n');
    const Case cases[] = {
        {"numeric", 0x0100A8C0, 0, "", 2101, 0, Bytes(50, 0)},
        {"by name", 0, 11, "rtk.example", 8080, 1, Field("rtk.example", 50)},
        {"count shorter than the text", 0, 3, "rtk.example", 80, 1, Field("rtk", 50)},
        {"count beyond the record", 0, 40, longName.c_str(), 80, 1, Field(longName.c_str(), 50)},
        {"negative count", 0, -4, "abc", 80, 0, Bytes(50, 0)},
        {"port above 16 bits", 0x0100A8C0, 0, "", 0x12345, 0, Bytes(50, 0)},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Receivers r;
        IP_ADRES ip;
        std::memset(&ip, 0, sizeof(ip));
        ip.address = tc.address;
        ip.count = tc.count;
        std::memcpy(ip.name, tc.text, std::min(sizeof(ip.name), std::strlen(tc.text)));
        const unsigned port = tc.port;
        const std::vector<NewWire::Frame> frames =
            Frames_Of(Appended(r.neu, [&ip, port](Em_Gnss& g, Cmd_List& c) {
                g.Set_Gprs_Ip(c, ip, port, static_cast<Protocol_Net>(3));
            }));
        ASSERT_EQ(frames.size(), 1u);
        const NewWire::Frame& f = frames[0];
        EXPECT_EQ(f.commandId, 4355u);
        EXPECT_EQ(f.Operation(), 46);
        ASSERT_EQ(f.items.size(), 2u);
        EXPECT_EQ(f.items[1].tag, 4355);
        const Bytes octets = {uint8_t(tc.address), uint8_t(tc.address >> 8),
                              uint8_t(tc.address >> 16), uint8_t(tc.address >> 24)};
        const Bytes expected =
            NewWire::Cat({octets, NewWire::U16(uint16_t(tc.port)), {tc.flag}, tc.nameField});
        EXPECT_EQ(NewWire::Hex(f.items[1].value), NewWire::Hex(expected));
    }
}

// The new receiver reads item 4355 back into the record Get_NetLink_Address hands out: the
// packet built for it, fed to its own decoder, gives the address, port, flag and name sent.
TEST(GnssNetworkOps, NewReceiverServerAddressRoundTrip) {
    Receivers r;
    IP_ADRES ip;
    std::memset(&ip, 0, sizeof(ip));
    std::strcpy(ip.name, "caster.example");
    ip.count = 14;
    Cmd_List cmds;
    r.neu.Set_Gprs_Ip(cmds, ip, 2101, static_cast<Protocol_Net>(0));
    const std::vector<NewWire::Frame> frames = Frames_Of(cmds);
    ASSERT_EQ(frames.size(), 1u);
    uint8_t sequence = 0;
    const Bytes wire = NewWire::ChunkFrame(frames[0].bytes, &sequence);
    r.neu.RcvData(wire.data(), static_cast<unsigned>(wire.size()));
    r.neu.ParseData();
    QX_IP_ADDRESS_STRUCT out;
    std::memset(&out, 0, sizeof(out));
    r.neu.Get_NetLink_Address(out);
    EXPECT_EQ(out.port, 2101);
    EXPECT_EQ(out.flag, 1);
    EXPECT_STREQ(out.name, "caster.example");
}

// Operations with nothing for new receivers, and every operation on another maker's receiver,
// leave the caller's list as it was.
TEST(GnssNetworkOps, NothingForOtherReceivers) {
    SvcInfo svc;
    std::memset(&svc, 0, sizeof(svc));
    IP_ADRES ip;
    std::memset(&ip, 0, sizeof(ip));
    const cors_info info = Login("M", "u", "p");
    struct Case {
        const char* name;
        bool newReceiverToo;  // nothing on new receivers as well
        Op op;
    };
    const Case cases[] = {
        {"Send_Gprs_Version", true, [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_Version(c); }},
        {"Get_Gprs_Info", true, [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Info(c); }},
        {"Get_Gprs_Signal", true, [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Signal(c); }},
        {"Get_Gprs_Status", true, [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Status(c); }},
        {"Get_Gprs_Eroinfo", true, [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Eroinfo(c); }},
        {"Get_Gprs_Reset", true, [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Reset(c); }},
        {"Get_Gprs_CosMdl", true, [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_CosMdl(c); }},
        {"Set_Gprs_SvcInfo", true, [&svc](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_SvcInfo(c, svc); }},
        {"Set_GSM_NumInfo", true, [](Em_Gnss& g, Cmd_List& c) { g.Set_GSM_NumInfo(c, "123"); }},
        {"Set_Gprs_Modle", true,
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_Modle(c, static_cast<Gprs_Modle>(1)); }},
        {"Set_Gprs_CosMdl", true, [](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_CosMdl(c, 1); }},
        {"Send_Dial_Prtl", true, [](Em_Gnss& g, Cmd_List& c) { g.Send_Dial_Prtl(c); }},
        {"Set_Dial_Prtl", true, [](Em_Gnss& g, Cmd_List& c) { g.Set_Dial_Prtl(c, 1); }},
        {"Send_Gprs_DiffInfo", true, [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DiffInfo(c); }},
        {"Set_Cors_Login", false, [&info](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Login(c, info); }},
        {"Set_Gprs_Ip", false,
         [&ip](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_Ip(c, ip, 1, static_cast<Protocol_Net>(0)); }},
        {"Set_Cors_Info_Auto", false,
         [&info](Em_Gnss& g, Cmd_List& c) { g.Set_Cors_Info_Auto(c, info, 1); }},
        {"Send_Cors_Info_Auto", false, [](Em_Gnss& g, Cmd_List& c) { g.Send_Cors_Info_Auto(c); }},
        {"Send_Gprs_DisConct", false, [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DisConct(c); }},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Receivers r;
        r.New().modemSignal.level = 3;  // a new receiver's state does not make it old
        std::vector<Em_Gnss*> quiet = {&r.oem};
        if (tc.newReceiverToo) {
            quiet.push_back(&r.neu);
        }
        for (Em_Gnss* g : quiet) {
            Cmd_List cmds{Sentinel()};
            tc.op(*g, cmds);
            ASSERT_EQ(cmds.size(), 1u);
            EXPECT_EQ(Bytes_Of(cmds[0]), Bytes{0x7E});
        }
    }
}

// The automatic login record comes back from the receiver's 'l' reply (mount point, zero, the
// mode byte, then user name and password, each zero-terminated), with the login mode the mode
// byte gives.
TEST(GnssNetworkOps, CorsInfoAutoFromReply) {
    struct Case {
        uint8_t modeByte;
        int mode;
    };
    for (const Case& tc : {Case{'M', 1}, Case{'m', 2}, Case{'-', 0}}) {
        SCOPED_TRACE(tc.modeByte);
        Receivers r;
        const Bytes data = NewWire::Cat({Text(std::string("RTCM32_GG\0", 10)),
                                         {tc.modeByte},
                                         Text(std::string("surveyor\0secret\0", 16))});
        const Bytes reply = oldtest::Frame("VI", oldtest::AtReply('l', data));
        r.old.RcvData(reply.data(), static_cast<unsigned>(reply.size()));
        r.old.ParseData();

        cors_info got;
        std::memset(&got, 0x5A, sizeof(got));
        int mode = -7;
        r.old.Get_Cors_Info_Auto(got, mode);
        EXPECT_EQ(mode, tc.mode);
        const cors_info expected = Login("RTCM32_GG", "surveyor", "secret");
        EXPECT_EQ(0, std::memcmp(&got, &expected, sizeof(got)));
    }

    // Other receivers leave both outputs as they were.
    Receivers r;
    for (Em_Gnss* g : {&r.neu, &r.oem}) {
        cors_info got;
        std::memset(&got, 0x5A, sizeof(got));
        int mode = -7;
        g->Get_Cors_Info_Auto(got, mode);
        EXPECT_EQ(mode, -7);
        EXPECT_EQ(uint8_t(got.mountPoint[0]), 0x5A);
        EXPECT_EQ(uint8_t(got.password[19]), 0x5A);
    }
}

// The dial protocol word: all bits set until the 'g' reply, then its byte; 0 elsewhere.
TEST(GnssNetworkOps, DialProtocolFromReply) {
    Receivers r;
    EXPECT_EQ(r.old.Get_Dial_Prtl(), 0xFFFFFFFFu);
    const Bytes reply = oldtest::Frame("VI", oldtest::AtReply('g', {2}));
    r.old.RcvData(reply.data(), static_cast<unsigned>(reply.size()));
    r.old.ParseData();
    EXPECT_EQ(r.old.Get_Dial_Prtl(), 2u);
    EXPECT_EQ(r.neu.Get_Dial_Prtl(), 0u);
    EXPECT_EQ(r.oem.Get_Dial_Prtl(), 0u);
}

// The wireless information the old receiver reported, copied whole; others untouched.
TEST(GnssNetworkOps, WirelessInfo) {
    Receivers r;
    Em_OldWirelessRecord& w = r.Old().wireless;
    w.serverAddress = 0x0100A8C0;
    w.serverNameLength = 3;
    std::memcpy(w.serverName, "abc", 3);
    w.serverPort = 2101;
    w.protocol = 1;
    w.loginFlag = 1;
    w.textC = "BASE01";
    w.loginText1 = "user";
    w.loginText2 = "pass";

    WirelessInfo out;
    std::memset(&out, 0x5A, sizeof(out));
    r.old.GetInfo_Gprs_Info(out);
    EXPECT_EQ(out.server.address, 0x0100A8C0u);
    EXPECT_EQ(out.server.count, 3);
    EXPECT_EQ(std::string(out.server.name, 3), "abc");
    EXPECT_EQ(out.port, 2101);
    EXPECT_EQ(out.protocol, 1);
    EXPECT_EQ(out.loginFlag, 1);
    EXPECT_STREQ(out.textC, "BASE01");
    EXPECT_STREQ(out.loginText1, "user");
    EXPECT_STREQ(out.loginText2, "pass");

    for (Em_Gnss* g : {&r.neu, &r.oem}) {
        WirelessInfo untouched;
        std::memset(&untouched, 0x5A, sizeof(untouched));
        g->GetInfo_Gprs_Info(untouched);
        EXPECT_EQ(untouched.port, 0x5A5A5A5A);
        EXPECT_EQ(untouched.capability[7], 0x5A);
    }
}
