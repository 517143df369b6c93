// Old-protocol '@' command builders for the GPRS modem, the network login and the internal UHF
// radio: frames, pauses, preconditions on the radio type and the two receiver flags, and reads
// of caller records that stay inside their fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>
#include <functional>
#include <string>
#include <vector>

#include "Em_OldProtocol.h"
#include "Em_OldRadio.h"
#include "OldCmdDecode.h"

using namespace Brevan2011::BVParse;
using oldcmd::Bytes;
using oldcmd::Decode;
using oldcmd::DecodeAt;
using oldcmd::Hex;
using oldcmd::Raw;
using oldcmd::Str;

namespace {

struct AtCmd {
    std::uint8_t command;
    Bytes data;
    std::uint32_t pause;
};

std::vector<AtCmd> Ats(const Cmd_List& cmds) {
    std::vector<AtCmd> out;
    for (const auto& c : cmds) {
        const auto f = Decode(c);
        const auto a = DecodeAt(f);
        EXPECT_TRUE(a.ok);
        out.push_back({a.command, a.data, c.pause});
    }
    return out;
}

bool operator==(const AtCmd& a, const AtCmd& b) {
    return a.command == b.command && a.data == b.data && a.pause == b.pause;
}
std::ostream& operator<<(std::ostream& o, const AtCmd& a) {
    o << "@" << static_cast<int>(a.command) << " [";
    for (auto b : a.data) {
        o << static_cast<int>(b) << " ";
    }
    return o << "] " << a.pause;
}

using Build = std::function<void(Em_OldProtocol&, Cmd_List&)>;

std::vector<AtCmd> RunAt(const Build& b, std::uint8_t layoutFlag = 0) {
    Em_OldProtocol p;
    p.Receiver().wireless.layoutFlag = layoutFlag;
    Cmd_List cmds;
    b(p, cmds);
    return Ats(cmds);
}

TEST(OldModemRadio, ModemFramesMatchHandWrittenBytesOnBothLinks) {
    Em_OldProtocol p;
    Cmd_List cmds;
    p.Get_Gprs_Status(cmds);
    p.Set_Gprs_CosMdl(cmds, 5);
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(Raw(cmds[0]), Hex("24 24 56 53 1B 06 40 63 9C 00 00 BF 18 0D 0A"));
    EXPECT_EQ(Raw(cmds[1]), Hex("24 24 56 53 1B 07 40 71 8E 01 00 00 BE 19 0D 0A"));
    EXPECT_EQ(Raw(cmds[2]), Hex("24 24 56 53 1B 07 40 69 96 01 00 05 BB 19 0D 0A"));
    EXPECT_EQ(cmds[0].pause, 200u);
    EXPECT_EQ(cmds[1].pause, 2000u);
    EXPECT_EQ(cmds[2].pause, 200u);

    p.Set_Com_Status(COM_STATUS_BLUETOOTH);
    Cmd_List bt;
    p.Get_Gprs_Status(bt);
    p.Set_Gprs_CosMdl(bt, 5);
    EXPECT_EQ(Raw(bt[0]), Hex("24 24 56 53 3B 06 40 63 9C 00 00 BF 38 0D 0A"));
    EXPECT_EQ(Raw(bt[1]), Hex("24 24 56 53 3B 07 40 71 8E 01 00 00 BE 39 0D 0A"));
    EXPECT_EQ(Raw(bt[2]), Hex("24 24 56 53 3B 07 40 69 96 01 00 05 BB 39 0D 0A"));
}

TEST(OldModemRadio, ModemAndNetworkCommands) {
    IP_ADRES ip = {};
    ip.address = 0x0A0B0C0Du;
    ip.count = 6;
    std::memcpy(ip.name, "caster", 6);
    struct Row {
        const char* name;
        Build build;
        std::uint8_t layout;
        std::vector<AtCmd> want;
    };
    const std::vector<Row> rows = {
        {"info, layout 1", [](auto& p, auto& c) { p.Get_Gprs_Info(c); }, 0, {{89, {}, 200}}},
        {"info, layout 2", [](auto& p, auto& c) { p.Get_Gprs_Info(c); }, 1, {{115, {}, 200}}},
        {"signal", [](auto& p, auto& c) { p.Get_Gprs_Signal(c); }, 0, {{101, {}, 200}}},
        {"signal query",
         [](auto& p, auto& c) { p.Get_Cmd_Modem_Signal_Intensity_Query(c); },
         0,
         {{101, {}, 200}}},
        {"error", [](auto& p, auto& c) { p.Get_Gprs_Eroinfo(c); }, 0, {{104, {}, 200}}},
        {"reset", [](auto& p, auto& c) { p.Get_Gprs_Reset(c); }, 0, {{43, {}, 200}}},
        {"cors mode", [](auto& p, auto& c) { p.Get_Gprs_CosMdl(c); }, 0, {{106, {}, 200}}},
        {"disconnect", [](auto& p, auto& c) { p.Send_Gprs_DisConct(c); }, 0, {{113, {1}, 2000}}},
        {"modem model",
         [](auto& p, auto& c) { p.Set_Gprs_Modle(c, static_cast<Gprs_Modle>(0x102)); },
         0,
         {{93, {2}, 200}}},
        {"dial query", [](auto& p, auto& c) { p.Send_Dial_Prtl(c); }, 0, {{103, {}, 200}}},
        {"dial", [](auto& p, auto& c) { p.Set_Dial_Prtl(c, 3); }, 0, {{102, {3}, 200}}},
        {"auto login query",
         [](auto& p, auto& c) { p.Send_Cors_Info_Auto(c); },
         0,
         {{108, {}, 200}}},
        {"address, layout 1",
         [&ip](auto& p, auto& c) { p.Set_Gprs_Ip(c, ip, 2101, static_cast<Protocol_Net>(3)); },
         0,
         {{82, Hex("0D 0C 0B 0A 08 35 03"), 200}}},
        {"address, layout 2",
         [&ip](auto& p, auto& c) { p.Set_Gprs_Ip(c, ip, 2101, static_cast<Protocol_Net>(3)); },
         1,
         {{114, Hex("63 61 73 74 65 72 00 08 35 03"), 200}}},
        {"radio mode",
         [](auto& p, auto& c) { p.Set_Radio_Mdl(c, static_cast<Rdo_Mdl>(2)); },
         0,
         {{96, {2}, 200}}},
        {"channel types",
         [](auto& p, auto& c) { p.Query_Radio_ChannelList_Type(c); },
         0,
         {{147, {}, 200}}},
        {"channel type",
         [](auto& p, auto& c) { p.Set_Radio_Channel_Type(c, 4, static_cast<Rdo_Channel_Type>(1)); },
         0,
         {{146, {4, 1}, 200}}},
        {"channel freqs",
         [](auto& p, auto& c) { p.Query_Radio_ChannelList_Freq(c); },
         0,
         {{133, {}, 200}}},
        {"channel freq 12.5",
         [](auto& p, auto& c) { p.Set_Radio_Channel_Freq(c, 3, 450.0125, CHANNEL_SPACE_12_5); },
         0,
         {{132, {3, 0xA1, 0x8C}, 200}}},
        {"channel freq 20",
         [](auto& p, auto& c) { p.Set_Radio_Channel_Freq(c, 1, 450.02, CHANNEL_SPACE_20); },
         0,
         {{132, {1, 0xE5, 0x57}, 200}}},  // 22501
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RunAt(row.build, row.layout), row.want);
    }
}

TEST(OldModemRadio, SourceListQueryIsAtFrameThenVmCarrier) {
    Em_OldProtocol p;
    Cmd_List cmds;
    p.Get_Cmd_NetLink_Source_List_Query(cmds);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(DecodeAt(Decode(cmds[0])).command, 116);
    // "VM,B1" as a carrier: mode 0x1B.
    EXPECT_EQ(Raw(cmds[1]), Hex("24 24 56 4D 1B 01 01 00 0D 0A"));
    EXPECT_EQ(cmds[1].pause, 200u);
}

TEST(OldModemRadio, ServiceTextsGoInTheOrder86_88_87AndStayInsideTheirFields) {
    SvcInfo info = {};
    std::strcpy(info.text1, "apn");
    std::strcpy(info.text2, "user");
    std::strcpy(info.text3, "pw");
    std::strcpy(info.text4, "123");
    EXPECT_EQ(RunAt([&](auto& p, auto& c) { p.Set_Gprs_SvcInfo(c, info); }),
              (std::vector<AtCmd>{{86, Str("pw"), 200},
                                  {88, Str("123"), 200},
                                  {87, Hex("61 70 6E 00 75 73 65 72"), 200}}));

    // Fields full to the last byte, without terminators: 54 characters each, no more.
    SvcInfo full;
    std::memset(&full, 'x', sizeof full);
    const auto cmds = RunAt([&](auto& p, auto& c) { p.Set_Gprs_SvcInfo(c, full); });
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].data, Bytes(54, 'x'));
    EXPECT_EQ(cmds[1].data, Bytes(54, 'x'));
    ASSERT_EQ(cmds[2].data.size(), 109u);
    EXPECT_EQ(cmds[2].data[54], 0);
}

TEST(OldModemRadio, ServerNameCountIsBoundedByTheNameField) {
    IP_ADRES ip;
    std::memset(&ip, 'n', sizeof ip);
    ip.count = 1000;
    auto cmds =
        RunAt([&](auto& p, auto& c) { p.Set_Gprs_Ip(c, ip, 80, static_cast<Protocol_Net>(1)); }, 1);
    ASSERT_EQ(cmds.size(), 1u);
    ASSERT_EQ(cmds[0].data.size(), 36u);
    EXPECT_EQ(Bytes(cmds[0].data.begin() + 32, cmds[0].data.end()), Hex("00 00 50 01"));
    ip.count = -5;
    cmds =
        RunAt([&](auto& p, auto& c) { p.Set_Gprs_Ip(c, ip, 80, static_cast<Protocol_Net>(1)); }, 1);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].data, Hex("00 00 50 01"));
}

TEST(OldModemRadio, TextLimits) {
    // Phone number: under 64 characters.
    const std::string n63(63, '7');
    auto cmds = RunAt([&](auto& p, auto& c) { p.Set_GSM_NumInfo(c, n63.c_str()); });
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(cmds[0], (AtCmd{113, {0}, 2000}));
    EXPECT_EQ(cmds[1], (AtCmd{88, Str(n63), 200}));
    const std::string n64(64, '7');
    EXPECT_TRUE(RunAt([&](auto& p, auto& c) { p.Set_GSM_NumInfo(c, n64.c_str()); }).empty());
    EXPECT_TRUE(RunAt([](auto& p, auto& c) { p.Set_GSM_NumInfo(c, nullptr); }).empty());

    // Automatic login: three texts of 49 characters in all, not 50.
    cors_info info = {};
    std::memset(info.mountPoint, 'm', 19);
    std::memset(info.userName, 'u', 20);
    std::memset(info.password, 'p', 10);
    cmds = RunAt([&](auto& p, auto& c) { p.Set_Cors_Info_Auto(c, info, 1); });
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].command, 107);
    Bytes want = Str(std::string(19, 'm'));
    for (std::uint8_t b : Hex("00 4D 00"))
        want.push_back(b);
    for (char ch : std::string(20, 'u'))
        want.push_back(static_cast<std::uint8_t>(ch));
    want.push_back(0);
    for (char ch : std::string(10, 'p'))
        want.push_back(static_cast<std::uint8_t>(ch));
    want.push_back(0);
    EXPECT_EQ(cmds[0].data, want);
    EXPECT_EQ(RunAt([&](auto& p, auto& c) { p.Set_Cors_Info_Auto(c, info, 2); })[0].data[20], 'm');
    EXPECT_EQ(RunAt([&](auto& p, auto& c) { p.Set_Cors_Info_Auto(c, info, 9); })[0].data[20], '-');
    info.password[10] = 'p';
    EXPECT_TRUE(RunAt([&](auto& p, auto& c) { p.Set_Cors_Info_Auto(c, info, 1); }).empty());

    // Fields full without terminators are read within the fields (and then too long).
    cors_info full;
    std::memset(&full, 'z', sizeof full);
    EXPECT_TRUE(RunAt([&](auto& p, auto& c) { p.Set_Cors_Info_Auto(c, full, 1); }).empty());
}

struct Flags {
    int radioType;
    int deviceBlock;
    int modemVersion;
};

Em_OldProtocol* Make(Em_OldProtocol& p, const Flags& f) {
    p.Receiver().radio.radioType = f.radioType;
    p.Receiver().deviceBlockSeen = static_cast<std::uint8_t>(f.deviceBlock);
    p.Receiver().modemVersionSeen = static_cast<std::uint8_t>(f.modemVersion);
    return &p;
}

TEST(OldModemRadio, RadioFrequencyQueryNeedsBothFlagsAndAKnownType) {
    struct Row {
        Flags flags;
        int result;
        int command;  // -1: nothing sent
    };
    const std::vector<Row> rows = {
        {{3, 0, 1}, 0, -1},  {{3, 0, 0}, 0, -1},   {{3, 1, 0}, 1, -1}, {{11, 1, 1}, -1, -1},
        {{0, 1, 1}, -1, -1}, {{1, 1, 1}, 2, 98},   {{2, 1, 1}, 2, 98}, {{3, 1, 1}, 2, 110},
        {{8, 1, 1}, 2, 110}, {{10, 1, 1}, 2, 110},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "type " << row.flags.radioType << " device " << row.flags.deviceBlock
                     << " modem " << row.flags.modemVersion);
        Em_OldProtocol p;
        Make(p, row.flags);
        Cmd_List cmds;
        EXPECT_EQ(p.Get_Radio_Frq(cmds), row.result);
        if (row.command < 0) {
            EXPECT_TRUE(cmds.empty());
        } else {
            EXPECT_EQ(Ats(cmds),
                      (std::vector<AtCmd>{{static_cast<std::uint8_t>(row.command), {}, 200}}));
        }
    }
}

TEST(OldModemRadio, RadioTypePreconditions) {
    struct Op {
        const char* name;
        std::function<int(Em_OldProtocol&, Cmd_List&)> run;
        std::vector<int> types;  // radio types that send
        AtCmd sent;
    };
    const std::vector<int> power = {6, 7, 8, 9, 10};
    const std::vector<int> air = {1, 2, 3, 4, 5, 6, 7, 9, 10};
    const std::vector<int> eight = {8};
    Radio_Callsign cs = {};
    cs.on = 1;
    cs.interval = 0x10A;
    cs.length = 14;
    std::memcpy(cs.text, "ABCDEFGHIJKLMN", 14);
    const std::vector<Op> ops = {
        {"set power",
         [](auto& p, auto& c) { return p.Set_Radio_Power(c, static_cast<Radio_Power>(3)); },
         power,
         {117, {3}, 200}},
        {"get power", [](auto& p, auto& c) { return p.Get_Radio_Power(c); }, power, {118, {}, 200}},
        {"set air baud",
         [](auto& p, auto& c) { return p.Set_Radio_Baudrate(c, static_cast<Radio_Baudrate>(2)); },
         air,
         {120, {2}, 200}},
        {"get air baud",
         [](auto& p, auto& c) { return p.Get_Cmd_Radio_Baudrate(c); },
         air,
         {121, {}, 200}},
        {"set sensitivity",
         [](auto& p, auto& c) {
             p.Set_Radio_Sensitivity(c, static_cast<Rdo_Sensitv>(1));
             return -9;
         },
         eight,
         {128, {1}, 200}},
        {"get sensitivity",
         [](auto& p, auto& c) {
             p.Get_Cmd_Radio_Sensitivity(c);
             return -9;
         },
         eight,
         {129, {}, 200}},
        {"set FEC",
         [](auto& p, auto& c) {
             p.Set_Radio_FEC(c, true);
             return -9;
         },
         eight,
         {130, {1}, 200}},
        {"get FEC",
         [](auto& p, auto& c) {
             p.Get_Cmd_Radio_FEC(c);
             return -9;
         },
         eight,
         {131, {}, 200}},
        {"set call sign",
         [&cs](auto& p, auto& c) {
             p.Set_Radio_Callsign(c, cs);
             return -9;
         },
         eight,
         {144, Hex("01 0A 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E"), 200}},
        {"get call sign",
         [](auto& p, auto& c) {
             p.Get_Cmd_Radio_Callsign(c);
             return -9;
         },
         eight,
         {145, {}, 200}},
        {"set spacing",
         [](auto& p, auto& c) {
             p.Set_Radio_ChannelSpace(c, CHANNEL_SPACE_25);
             return -9;
         },
         eight,
         {136, {2}, 200}},
        {"get spacing",
         [](auto& p, auto& c) {
             p.Get_Cmd_Radio_ChannelSpace(c);
             return -9;
         },
         eight,
         {137, {}, 200}},
    };
    for (const Op& op : ops) {
        for (int type = 0; type <= 11; ++type) {
            SCOPED_TRACE(::testing::Message() << op.name << ", type " << type);
            Em_OldProtocol p;
            p.Receiver().radio.radioType = type;
            Cmd_List cmds;
            const int result = op.run(p, cmds);
            const bool sends = std::find(op.types.begin(), op.types.end(), type) != op.types.end();
            if (result != -9) {
                EXPECT_EQ(result, sends ? 1 : 0);
            }
            if (sends) {
                EXPECT_EQ(Ats(cmds), std::vector<AtCmd>{op.sent});
            } else {
                EXPECT_TRUE(cmds.empty());
            }
        }
    }
}

TEST(OldModemRadio, VersionQueryNeedsTheDeviceBlock) {
    Em_OldProtocol p;
    Cmd_List cmds;
    EXPECT_FALSE(p.Send_Gprs_Version(cmds));
    EXPECT_TRUE(cmds.empty());
    p.Receiver().deviceBlockSeen = 1;
    EXPECT_TRUE(p.Send_Gprs_Version(cmds));
    EXPECT_EQ(Ats(cmds), (std::vector<AtCmd>{{95, {}, 200}}));
}

TEST(OldModemRadio, CallSignOfFifteenCharactersIsNotSent) {
    Em_OldProtocol p;
    p.Receiver().radio.radioType = 8;
    Radio_Callsign cs = {};
    cs.length = 15;
    Cmd_List cmds;
    p.Set_Radio_Callsign(cmds, cs);
    EXPECT_TRUE(cmds.empty());
    cs.length = 0;
    cs.on = 7;
    p.Set_Radio_Callsign(cmds, cs);
    EXPECT_EQ(Ats(cmds), (std::vector<AtCmd>{{144, {1, 0}, 200}}));
}

TEST(OldModemRadio, ChannelSpacingSetsTheAlternateStepFirst) {
    const std::vector<std::tuple<int, double, std::uint8_t>> rows = {
        {0, 12.5, 0}, {1, 20.0, 1}, {2, 12.5, 2}, {7, 12.5, 0}};
    for (const auto& [code, step, sent] : rows) {
        Em_OldProtocol p;
        p.Receiver().radio.radioType = 8;
        p.Receiver().radio.altStep = 99.0;
        Cmd_List cmds;
        p.Set_Radio_ChannelSpace(cmds, static_cast<Channel_Space>(code));
        EXPECT_DOUBLE_EQ(p.Receiver().radio.altStep, step) << code;
        EXPECT_EQ(Ats(cmds), (std::vector<AtCmd>{{136, {sent}, 200}})) << code;
    }
    // Another radio type: nothing sent and nothing changed.
    Em_OldProtocol p;
    p.Receiver().radio.radioType = 3;
    Cmd_List cmds;
    p.Set_Radio_ChannelSpace(cmds, CHANNEL_SPACE_20);
    EXPECT_TRUE(cmds.empty());
    EXPECT_DOUBLE_EQ(p.Receiver().radio.altStep, 12.5);
}

TEST(OldModemRadio, RadioFrequencyCommandUsesTheConverter) {
    Em_OldProtocol p;
    p.Receiver().radio.radioType = 1;
    Radio_ApplyBand(p.Receiver().radio);
    Cmd_List cmds;
    p.Set_Radio_Frq(cmds, 457.0);
    EXPECT_EQ(Ats(cmds), (std::vector<AtCmd>{{'a', {40, 0}, 100}}));

    p.Receiver().radio.radioType = 3;
    Radio_ApplyBand(p.Receiver().radio);
    cmds.clear();
    p.Set_Radio_Frq(cmds, 460.0);  // 460 / 12.5 * 1000 = 36800 = 0x8FC0
    EXPECT_EQ(Ats(cmds), (std::vector<AtCmd>{{'m', {0xC0, 0x8F}, 100}}));

    for (int type : {0, 11}) {
        p.Receiver().radio.radioType = type;
        cmds.clear();
        p.Set_Radio_Frq(cmds, 457.0);
        EXPECT_TRUE(cmds.empty()) << type;
    }
}

TEST(OldModemRadio, ChannelFrequencyOutsideSixteenBitsIsNotSent) {
    Em_OldProtocol p;
    Cmd_List cmds;
    p.Set_Radio_Channel_Freq(cmds, 1, 1e9, CHANNEL_SPACE_12_5);
    p.Set_Radio_Channel_Freq(cmds, 1, -3.0, CHANNEL_SPACE_12_5);
    p.Set_Radio_Channel_Freq(cmds, 1, std::nan(""), CHANNEL_SPACE_12_5);
    EXPECT_TRUE(cmds.empty());
}

}  // namespace
