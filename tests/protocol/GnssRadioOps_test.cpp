// Em_Gnss radio operations: an old receiver gets its '@' commands byte for byte and reads back
// what its radio replies stored; a new receiver gets the radio packets of the settings it shares;
// another maker's receiver gets nothing and the fallback values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "support/Facade_Receivers.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using oldtest::Bytes;
using oldtest::VsCommand;

namespace {

// A command already in the caller's list: the operations append after it.
_STR_CMD Sentinel() {
    _STR_CMD c;
    std::memset(&c, 0, sizeof c);
    c.data[0] = 0xEE;
    c.length = 1;
    c.pause = 7;
    return c;
}

constexpr int kVoid = 1000;  // result of an operation that returns nothing

typedef std::function<int(Em_Gnss&, Cmd_List&)> Build;

struct OldCase {
    const char* name;
    int radioType;
    Build build;
    int result;
    std::vector<Bytes> frames;  // expected after the sentinel
    uint32_t pause;
};

Radio_Callsign Callsign(uint8_t on, int32_t interval, const std::string& text, uint8_t length) {
    Radio_Callsign c;
    std::memset(&c, 0, sizeof c);
    c.on = on;
    c.interval = interval;
    std::memcpy(c.text, text.data(), std::min(text.size(), sizeof c.text));
    c.length = length;
    return c;
}

}  // namespace

// One frame written out byte by byte, so the frame helpers above are checked too.
TEST(GnssRadioOps, PowerQueryLiteralFrame) {
    Receivers r;
    r.Old().radio.radioType = 6;
    Cmd_List cmds;
    EXPECT_EQ(r.old.Get_Radio_Power(cmds), 1);
    ASSERT_EQ(cmds.size(), 1u);
    const Bytes want = {0x24, 0x24, 'V',  'S',  0x1B, 0x06, 0x40, 0x76,
                        0x89, 0x00, 0x00, 0xBF, 0x18, 0x0D, 0x0A};
    EXPECT_EQ(Bytes_Of(cmds[0]), want);
    EXPECT_EQ(VsCommand(118, {}), want);
    EXPECT_EQ(cmds[0].pause, 200u);
}

// Old receiver: the command of each builder, its radio-type condition and its result.
TEST(GnssRadioOps, OldReceiverBuilders) {
    const Radio_Callsign call3 = Callsign(1, 0x1234, "ABC", 3);
    const Radio_Callsign call14 = Callsign(0, 9, "ABCDEFGHIJKLMN", 14);
    const Radio_Callsign call15 = Callsign(1, 9, "ABCDEFGHIJKLMN", 15);
    const Bytes letters14 = oldtest::Text("ABCDEFGHIJKLMN");
    Bytes call14Data = {0, 9};
    for (uint8_t b : letters14) {
        call14Data.push_back(b);
    }

    const std::vector<OldCase> cases = {
        // Power: radio types 6 to 10.
        {"power query r6",
         6,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Power(c); },
         1,
         {VsCommand(118, {})},
         200},
        {"power query r10",
         10,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Power(c); },
         1,
         {VsCommand(118, {})},
         200},
        {"power query r5",
         5,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Power(c); },
         0,
         {},
         0},
        {"power query r11",
         11,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Power(c); },
         0,
         {},
         0},
        {"power set r7",
         7,
         [](Em_Gnss& g, Cmd_List& c) { return g.Set_Radio_Power(c, static_cast<Radio_Power>(3)); },
         1,
         {VsCommand(117, {3})},
         200},
        {"power set r3",
         3,
         [](Em_Gnss& g, Cmd_List& c) { return g.Set_Radio_Power(c, static_cast<Radio_Power>(3)); },
         0,
         {},
         0},
        // Air baud rate: radio types 1 to 10 except 8.
        {"baud query r1",
         1,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Cmd_Radio_Baudrate(c); },
         1,
         {VsCommand(121, {})},
         200},
        {"baud query r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Cmd_Radio_Baudrate(c); },
         0,
         {},
         0},
        {"baud query r0",
         0,
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Cmd_Radio_Baudrate(c); },
         0,
         {},
         0},
        {"baud set r10",
         10,
         [](Em_Gnss& g, Cmd_List& c) {
             return g.Set_Radio_Baudrate(c, static_cast<Radio_Baudrate>(2));
         },
         1,
         {VsCommand(120, {2})},
         200},
        {"baud set r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             return g.Set_Radio_Baudrate(c, static_cast<Radio_Baudrate>(2));
         },
         0,
         {},
         0},
        // Frequency: 97 with a signed code above the band's lower limit for types 1 and 2,
        // 109 with the channel number for the others; pause 100.
        {"frequency set r1",
         1,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Frq(c, 460.0);
             return kVoid;
         },
         kVoid,
         {VsCommand(97, {100, 0})},
         100},
        {"frequency set r3",
         3,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Frq(c, 460.0125);  // channel 36801 = 0x8FC1 of 12.5 kHz
             return kVoid;
         },
         kVoid,
         {VsCommand(109, {0xC1, 0x8F})},
         100},
        {"frequency set r11",
         11,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Frq(c, 460.0);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"frequency set NaN",
         3,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Frq(c, std::numeric_limits<double>::quiet_NaN());
             return kVoid;
         },
         kVoid,
         {},
         0},
        // Transmit mode: any radio type.
        {"transmit mode",
         11,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Mdl(c, static_cast<Rdo_Mdl>(5));
             return kVoid;
         },
         kVoid,
         {VsCommand(96, {5})},
         200},
        // Type-8 radio settings.
        {"sensitivity set r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Sensitivity(c, static_cast<Rdo_Sensitv>(1));
             return kVoid;
         },
         kVoid,
         {VsCommand(128, {1})},
         200},
        {"sensitivity set r3",
         3,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Sensitivity(c, static_cast<Rdo_Sensitv>(1));
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"sensitivity query r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_Sensitivity(c);
             return kVoid;
         },
         kVoid,
         {VsCommand(129, {})},
         200},
        {"sensitivity query r6",
         6,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_Sensitivity(c);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"FEC on r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_FEC(c, true);
             return kVoid;
         },
         kVoid,
         {VsCommand(130, {1})},
         200},
        {"FEC off r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_FEC(c, false);
             return kVoid;
         },
         kVoid,
         {VsCommand(130, {0})},
         200},
        {"FEC on r7",
         7,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_FEC(c, true);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"FEC query r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_FEC(c);
             return kVoid;
         },
         kVoid,
         {VsCommand(131, {})},
         200},
        {"FEC query r9",
         9,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_FEC(c);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"call sign 3 r8",
         8,
         [&](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Callsign(c, call3);
             return kVoid;
         },
         kVoid,
         {VsCommand(144, {1, 0x34, 'A', 'B', 'C'})},
         200},
        {"call sign 14 r8",
         8,
         [&](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Callsign(c, call14);
             return kVoid;
         },
         kVoid,
         {VsCommand(144, call14Data)},
         200},
        {"call sign 15 r8",
         8,
         [&](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Callsign(c, call15);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"call sign 3 r2",
         2,
         [&](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Callsign(c, call3);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"call sign query r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_Callsign(c);
             return kVoid;
         },
         kVoid,
         {VsCommand(145, {})},
         200},
        {"call sign query r1",
         1,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_Callsign(c);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"spacing 25 r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_ChannelSpace(c, CHANNEL_SPACE_25);
             return kVoid;
         },
         kVoid,
         {VsCommand(136, {2})},
         200},
        {"spacing 9 r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_ChannelSpace(c, static_cast<Channel_Space>(9));
             return kVoid;
         },
         kVoid,
         {VsCommand(136, {0})},
         200},
        {"spacing 20 r4",
         4,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_ChannelSpace(c, CHANNEL_SPACE_20);
             return kVoid;
         },
         kVoid,
         {},
         0},
        {"spacing query r8",
         8,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_ChannelSpace(c);
             return kVoid;
         },
         kVoid,
         {VsCommand(137, {})},
         200},
        {"spacing query r10",
         10,
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Radio_ChannelSpace(c);
             return kVoid;
         },
         kVoid,
         {},
         0},
    };

    for (const OldCase& k : cases) {
        SCOPED_TRACE(k.name);
        Receivers r;
        Em_OldRadioRecord& radio = r.Old().radio;
        radio.radioType = k.radioType;
        if (k.radioType == 3) {
            // The band of type 3, as the device block would set it.
            radio.lowerLimit = 450.0;
            radio.upperLimit = 470.0;
            radio.spacing = 12.5;
            radio.step = 0.0125;
        }
        Cmd_List cmds = {Sentinel()};
        EXPECT_EQ(k.build(r.old, cmds), k.result);
        ASSERT_EQ(cmds.size(), 1 + k.frames.size());
        EXPECT_EQ(Bytes_Of(cmds[0]), Bytes{0xEE});
        for (size_t i = 0; i < k.frames.size(); ++i) {
            EXPECT_EQ(Bytes_Of(cmds[1 + i]), k.frames[i]) << "frame " << i;
            EXPECT_EQ(cmds[1 + i].pause, k.pause);
        }
    }
}

// The frequency query waits for the device block and the modem version, and knows radio types
// 1 to 10 only.
TEST(GnssRadioOps, OldFrequencyQuery) {
    struct Case {
        uint8_t device, modem;
        int radioType;
        int result;
        int command;  // -1: nothing sent
    };
    const Case cases[] = {
        {0, 1, 3, 0, -1},  {1, 0, 3, 1, -1},   {1, 1, 1, 2, 98},   {1, 1, 2, 2, 98},
        {1, 1, 3, 2, 110}, {1, 1, 10, 2, 110}, {1, 1, 11, -1, -1}, {1, 1, 0, -1, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.device) + "/" + std::to_string(k.modem) + " type " +
                     std::to_string(k.radioType));
        Receivers r;
        r.Old().deviceBlockSeen = k.device;
        r.Old().modemVersionSeen = k.modem;
        r.Old().radio.radioType = k.radioType;
        Cmd_List cmds;
        EXPECT_EQ(r.old.Get_Radio_Frq(cmds), k.result);
        if (k.command < 0) {
            EXPECT_TRUE(cmds.empty());
            continue;
        }
        ASSERT_EQ(cmds.size(), 1u);
        EXPECT_EQ(Bytes_Of(cmds[0]), VsCommand(static_cast<uint8_t>(k.command), {}));
        EXPECT_EQ(cmds[0].pause, 200u);
    }
}

// The old receiver's link decides the frame form: Bluetooth gives mode byte 0x3B, a port kind
// without a link form gives no frame and a result of 0.
TEST(GnssRadioOps, OldLinkForm) {
    Receivers r;
    r.Old().radio.radioType = 8;
    r.old.Set_Com_Status(static_cast<Com_Status>(2));
    Cmd_List cmds;
    r.old.Set_Radio_FEC(cmds, true);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(Bytes_Of(cmds[0]), VsCommand(130, {1}, 0x3B));

    r.old.Set_Com_Status(static_cast<Com_Status>(3));
    r.Old().radio.radioType = 6;
    cmds.clear();
    EXPECT_EQ(r.old.Get_Radio_Power(cmds), 0);
    EXPECT_EQ(r.old.Set_Radio_Power(cmds, static_cast<Radio_Power>(2)), 0);
    r.old.Set_Radio_Mdl(cmds, static_cast<Rdo_Mdl>(1));
    EXPECT_TRUE(cmds.empty());
}

// Setting the channel spacing also switches the step the old receiver's frequency replies are
// read with.
TEST(GnssRadioOps, OldChannelSpaceSetsReplyStep) {
    Receivers r;
    r.Old().radio.radioType = 8;
    Cmd_List cmds;
    r.old.Set_Radio_ChannelSpace(cmds, CHANNEL_SPACE_20);
    EXPECT_DOUBLE_EQ(r.Old().radio.altStep, 20.0);
    r.old.Set_Radio_ChannelSpace(cmds, CHANNEL_SPACE_25);
    EXPECT_DOUBLE_EQ(r.Old().radio.altStep, 12.5);
    EXPECT_EQ(cmds.size(), 2u);

    // Nothing changes on a receiver of another kind.
    for (Em_Gnss* g : {&r.neu, &r.oem}) {
        Cmd_List none;
        g->Set_Radio_ChannelSpace(none, CHANNEL_SPACE_20);
        EXPECT_TRUE(none.empty());
    }
}

// New receiver: the shared builders are the old protocol's, run as for a receiver whose radio
// record was never reported (radio type 3, no device block): the air-baud commands go out as
// '@' frames on the receiver's link, power and frequency send nothing. No guessed conversion
// into the new protocol's radio items.
TEST(GnssRadioOps, NewReceiverBuilders) {
    struct Case {
        const char* name;
        Build build;
        int result;
        std::vector<Bytes> frames;  // expected after the sentinel
    };
    auto setPower = [](int code) {
        return [code](Em_Gnss& g, Cmd_List& c) {
            return g.Set_Radio_Power(c, static_cast<Radio_Power>(code));
        };
    };
    auto setBaud = [](int code) {
        return [code](Em_Gnss& g, Cmd_List& c) {
            return g.Set_Radio_Baudrate(c, static_cast<Radio_Baudrate>(code));
        };
    };
    const std::vector<Case> cases = {
        {"power query", [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Power(c); }, 0, {}},
        {"power code 2", setPower(2), 0, {}},
        {"power code 5", setPower(5), 0, {}},
        {"baud query",
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Cmd_Radio_Baudrate(c); },
         1,
         {VsCommand(121, {}, 0x3B)}},
        {"baud code 0", setBaud(0), 1, {VsCommand(120, {0}, 0x3B)}},
        {"baud code 2", setBaud(2), 1, {VsCommand(120, {2}, 0x3B)}},
        // The old builder's "device block not yet seen".
        {"frequency query", [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Frq(c); }, 0, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Receivers r;
        r.neu.Set_Com_Status(COM_STATUS_BLUETOOTH);
        Cmd_List cmds = {Sentinel()};
        EXPECT_EQ(k.build(r.neu, cmds), k.result);
        ASSERT_EQ(cmds.size(), 1u + k.frames.size());
        EXPECT_EQ(Bytes_Of(cmds[0]), Bytes{0xEE});
        for (size_t i = 0; i < k.frames.size(); ++i) {
            EXPECT_EQ(Bytes_Of(cmds[i + 1]), k.frames[i]);
            EXPECT_EQ(cmds[i + 1].pause, 200u);
        }
    }
}

// Builders of the old receiver alone send nothing to a new receiver; every builder sends
// nothing to another maker's receiver, whose results are the fallbacks.
TEST(GnssRadioOps, OtherKindsGetNothing) {
    const Radio_Callsign call = Callsign(1, 2, "AB", 2);
    const std::vector<std::pair<const char*, std::function<void(Em_Gnss&, Cmd_List&)>>> oldOnly = {
        {"Set_Radio_Frq", [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_Frq(c, 460.0); }},
        {"Set_Radio_Mdl",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_Mdl(c, static_cast<Rdo_Mdl>(1)); }},
        {"Set_Radio_Sensitivity",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_Sensitivity(c, static_cast<Rdo_Sensitv>(1)); }},
        {"Get_Cmd_Radio_Sensitivity",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Sensitivity(c); }},
        {"Set_Radio_FEC", [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_FEC(c, true); }},
        {"Get_Cmd_Radio_FEC", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_FEC(c); }},
        {"Set_Radio_Callsign", [&](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_Callsign(c, call); }},
        {"Get_Cmd_Radio_Callsign", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Callsign(c); }},
        {"Set_Radio_ChannelSpace",
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_ChannelSpace(c, CHANNEL_SPACE_25); }},
        {"Get_Cmd_Radio_ChannelSpace",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_ChannelSpace(c); }},
    };
    Receivers r;
    // A type-8 radio on the old receiver would take every one of them; the others must not.
    r.Old().radio.radioType = 8;
    for (const auto& b : oldOnly) {
        SCOPED_TRACE(b.first);
        for (Em_Gnss* g : {&r.neu, &r.oem}) {
            Cmd_List cmds;
            b.second(*g, cmds);
            EXPECT_TRUE(cmds.empty());
        }
        Cmd_List cmds;
        b.second(r.old, cmds);
        EXPECT_EQ(cmds.size(), 1u);
    }

    Cmd_List cmds;
    EXPECT_EQ(r.oem.Get_Radio_Power(cmds), 0);
    EXPECT_EQ(r.oem.Set_Radio_Power(cmds, static_cast<Radio_Power>(4)), 0);
    EXPECT_EQ(r.oem.Get_Cmd_Radio_Baudrate(cmds), 0);
    EXPECT_EQ(r.oem.Set_Radio_Baudrate(cmds, static_cast<Radio_Baudrate>(1)), 0);
    EXPECT_EQ(r.oem.Get_Radio_Frq(cmds), -1);
    EXPECT_TRUE(cmds.empty());
}

// Replies fed through the old receiver's receive path come back through the readers.
TEST(GnssRadioOps, OldReadersFollowReplies) {
    Receivers r;
    r.Old().radio.radioType = 8;
    auto vi = [&](uint8_t c, const Bytes& data) {
        r.Feed_Old(oldtest::Frame("VI", oldtest::AtReply(c, data)));
    };

    vi('v', {4});
    EXPECT_EQ(r.old.Get_Radio_Power(), 4);
    vi('y', {2});
    EXPECT_EQ(r.old.Get_Radio_Baudrate(), 2);
    vi('y', {7});
    EXPECT_EQ(r.old.Get_Radio_Baudrate(), -1);
    vi('n', {3});  // transmit mode only
    EXPECT_EQ(r.old.Get_Transmit_Mdl(), 3);

    Rdo_Sensitv sensitivity = static_cast<Rdo_Sensitv>(9);
    vi(0x81, {1});
    r.old.Get_Radio_Sensitivity(sensitivity);
    EXPECT_EQ(sensitivity, 1);

    bool fec = false;
    vi(0x83, {1});
    r.old.Get_Radio_FEC(fec);
    EXPECT_TRUE(fec);
    vi(0x83, {0});
    r.old.Get_Radio_FEC(fec);
    EXPECT_FALSE(fec);

    Channel_Space space = CHANNEL_SPACE_12_5;
    vi(0x89, {2});
    r.old.Get_Radio_ChannelSpace(space);
    EXPECT_EQ(space, CHANNEL_SPACE_25);

    vi(0x91, {1, 30, 'B', 'R', 'V', '1'});
    Radio_Callsign call = Callsign(0, 0, "", 0);
    r.old.Get_Radio_Callsign(call);
    EXPECT_EQ(call.on, 1);
    EXPECT_EQ(call.interval, 30);
    EXPECT_EQ(call.length, 4);
    EXPECT_EQ(std::string(call.text, call.length), "BRV1");
}

// A call-sign length beyond the text field (never set by the decoder, but the record is
// plain data) is cut to the field.
TEST(GnssRadioOps, OldCallsignLengthStaysInField) {
    Receivers r;
    Em_OldRadioRecord& radio = r.Old().radio;
    std::memcpy(radio.callsign, "ABCDEFGHIJKLMN", 14);
    radio.callsignLength = 200;
    Radio_Callsign call = Callsign(0, 0, "", 0);
    r.old.Get_Radio_Callsign(call);
    EXPECT_EQ(call.length, 14);
    EXPECT_EQ(std::string(call.text, 14), "ABCDEFGHIJKLMN");
}

// Band readers: the old protocol's result and the type table; -1 and nothing written on other
// receivers.
TEST(GnssRadioOps, RangeAndInfo) {
    Receivers r;
    Radio_Range range = {1.0, 2.0, 3.0};
    Radio_Info info;
    std::memset(&info, 0x5A, sizeof info);
    const Radio_Info untouched = info;

    // Before the device block: 0, nothing written.
    EXPECT_EQ(r.old.Get_Radio_Range(range), 0);
    EXPECT_DOUBLE_EQ(range.upper, 1.0);
    r.Old().deviceBlockSeen = 1;
    EXPECT_EQ(r.old.Get_Radio_Info(info), 1);
    EXPECT_EQ(std::memcmp(&info, &untouched, sizeof info), 0);

    r.Old().modemVersionSeen = 1;
    r.Old().radio.radioType = 8;
    EXPECT_EQ(r.old.Get_Radio_Range(range), 2);
    EXPECT_DOUBLE_EQ(range.upper, 473.0);
    EXPECT_DOUBLE_EQ(range.lower, 403.0);
    EXPECT_DOUBLE_EQ(range.spacing, 12.5);
    EXPECT_EQ(r.old.Get_Radio_Info(info), 2);
    EXPECT_DOUBLE_EQ(info.upper, 473.0);
    EXPECT_EQ(info.radioType, 8);
    EXPECT_EQ(info.switchWord, 1);
    EXPECT_EQ(info.wordA, 0xE1000000u);
    EXPECT_EQ(info.wordB, 0x03000000u);
    EXPECT_EQ(info.wordC, 0x0BD10000u);
    EXPECT_EQ(info.wordD, 7u);

    r.Old().radio.radioType = 12;
    const Radio_Range before = range;
    EXPECT_EQ(r.old.Get_Radio_Range(range), -1);
    EXPECT_DOUBLE_EQ(range.upper, before.upper);

    for (Em_Gnss* g : {&r.neu, &r.oem}) {
        Radio_Range rg = {1.0, 2.0, 3.0};
        Radio_Info in = untouched;
        EXPECT_EQ(g->Get_Radio_Range(rg), -1);
        EXPECT_EQ(g->Get_Radio_Info(in), -1);
        EXPECT_DOUBLE_EQ(rg.upper, 1.0);
        EXPECT_EQ(std::memcmp(&in, &untouched, sizeof in), 0);
    }
}

// Value readers give their fallback on other receivers, even when the new board holds radio
// values of its own; reference readers leave the caller's value as it was.
TEST(GnssRadioOps, ReadersOnOtherKinds) {
    Receivers r;
    r.New().radioFrequency = 0x43E60000u;  // 460.0f
    for (Em_Gnss* g : {&r.neu, &r.oem}) {
        EXPECT_EQ(g->Get_Radio_Power(), 0);
        EXPECT_EQ(g->Get_Radio_Baudrate(), -1);
        EXPECT_EQ(g->Get_Transmit_Mdl(), -1);

        Rdo_Sensitv sensitivity = static_cast<Rdo_Sensitv>(7);
        bool fec = true;
        Channel_Space space = static_cast<Channel_Space>(7);
        Radio_Callsign call = Callsign(1, 77, "XY", 2);
        g->Get_Radio_Sensitivity(sensitivity);
        g->Get_Radio_FEC(fec);
        g->Get_Radio_ChannelSpace(space);
        g->Get_Radio_Callsign(call);
        EXPECT_EQ(sensitivity, 7);
        EXPECT_TRUE(fec);
        EXPECT_EQ(space, 7);
        EXPECT_EQ(call.interval, 77);
        EXPECT_EQ(call.length, 2);
    }
    EXPECT_DOUBLE_EQ(r.neu.Get_Radio_Frq(), 460.0);
    EXPECT_DOUBLE_EQ(r.oem.Get_Radio_Frq(), -1.0);

    // The old receiver's defaults before any reply.
    EXPECT_EQ(r.old.Get_Radio_Power(), 0);
    EXPECT_EQ(r.old.Get_Radio_Baudrate(), -1);
    EXPECT_EQ(r.old.Get_Transmit_Mdl(), -1);
    Rdo_Sensitv sensitivity = static_cast<Rdo_Sensitv>(0);
    r.old.Get_Radio_Sensitivity(sensitivity);
    EXPECT_EQ(sensitivity, 2);
}
