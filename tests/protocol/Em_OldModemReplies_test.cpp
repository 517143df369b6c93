// VI replies ('@' frames): radio, modem and network settings, and the radio code conversions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Em_OldRadio.h"
#include "Em_OldReceiver.h"
#include "Em_OldTestFrames.h"

using namespace Brevan2011::BVParse;
using oldtest::AtReply;
using oldtest::Bytes;

namespace {

Em_OldReport Vi(Em_OldReceiver& rx, const Bytes& m) {
    return rx.Decode_VI(m.data(), m.size());
}

void SetType(Em_OldReceiver& rx, int type) {
    rx.radio.radioType = type;
    Radio_ApplyBand(rx.radio);
}

TEST(Em_OldModemReplies, RadioFrequencyReplies) {
    struct Case {
        int type;
        Bytes data;  // transmit mode, then the code byte(s)
        double mhz;
    };
    const Case cases[] = {
        {1, {2, 40}, 457.0},
        {8, {2, 40}, 0.5},  // below the band: kept as reported
        {3, {1, 0xA1, 0x8C}, 450.0125},
        {1, {1, 40, 0x00}, 457.0},
        {1, {1, 40, 0x80}, 453.0},  // -2 MHz below the band's lower limit: kept
        {2, {1, 100, 0x00}, 415.0},
        {2, {1, 1, 0x80}, 409.95},    // one step below the band: kept
        {8, {1, 0x40, 0x7E}, 403.0},  // 32320 x 12.5 kHz = 404 MHz, no grid
        {7, {1, 0x10, 0x49}, 467.6},  // 18704 x 0.025, past the 463 MHz upper limit: kept
        {3, {1, 0x30, 0x93}, 471.0},  // 37680 x 12.5 kHz, past a 450-470 radio's band: kept
        {11, {1, 5}, 0.0},            // unknown type: nothing read
    };
    for (const auto& c : cases) {
        Em_OldReceiver rx;
        SetType(rx, c.type);
        const Em_OldReport r = Vi(rx, AtReply('b', c.data));
        EXPECT_EQ(r.flags, 0x2000000u);
        EXPECT_EQ(r.category, 2);
        EXPECT_EQ(rx.radio.transmitMode, c.data[0]);
        double expected = c.mhz;
        if (c.type == 8 && c.data.size() == 3) {
            expected = 404.0;
        }
        EXPECT_NEAR(rx.radio.frequency, expected, 1e-9) << c.type;
    }
    // Any other length sets only the transmit mode.
    Em_OldReceiver rx;
    SetType(rx, 1);
    rx.radio.frequency = 1.0;
    EXPECT_EQ(Vi(rx, AtReply('n', {3, 40, 0, 0})).flags, 0x2000000u);
    EXPECT_EQ(rx.radio.transmitMode, 3);
    EXPECT_EQ(rx.radio.frequency, 1.0);
}

TEST(Em_OldModemReplies, FrequencyToCode) {
    struct Case {
        int type;
        double altStep;
        double mhz;
        std::uint8_t lo, hi, command;
    };
    const Case cases[] = {
        {1, 12.5, 457.0, 40, 0, 'a'},         {1, 12.5, 470.0, 240, 0, 'a'},
        {1, 12.5, 400.0, 0, 0, 'a'},          {2, 12.5, 415.0, 100, 0, 'a'},
        {3, 12.5, 450.0125, 0xA1, 0x8C, 'm'}, {8, 20.0, 450.02, 0xE5, 0x57, 'm'},
        {8, 12.5, 450.0125, 0xA1, 0x8C, 'm'}, {7, 12.5, 458.0, 0x90, 0x47, 'm'},
    };
    for (const auto& c : cases) {
        Em_OldRadioRecord r;
        r.radioType = c.type;
        Radio_ApplyBand(r);
        r.altStep = c.altStep;
        std::uint8_t code[2] = {0xEE, 0xEE}, command = 0;
        ASSERT_TRUE(Radio_ToCode(r, c.mhz, code, &command)) << c.type << " " << c.mhz;
        EXPECT_EQ(code[0], c.lo) << c.type << " " << c.mhz;
        EXPECT_EQ(code[1], c.hi) << c.type << " " << c.mhz;
        EXPECT_EQ(command, c.command);
    }
    Em_OldRadioRecord r;
    r.radioType = 11;
    std::uint8_t code[2], command;
    EXPECT_FALSE(Radio_ToCode(r, 457.0, code, &command));
}

// Network settings data: byte k of the vector is byte 7 + k of the '@' frame.
Bytes NetworkLayout1() {
    Bytes d(110, 0);
    auto at = [&d](std::size_t m) -> std::uint8_t& { return d[m - 7]; };
    at(7) = 192, at(8) = 168, at(9) = 1, at(10) = 2;
    at(11) = 0x08, at(12) = 0x35;
    at(13) = 'T';
    at(23) = 5;
    std::memcpy(&at(24), "hello", 5);
    at(39) = 3;
    std::memcpy(&at(40), "abc", 3);
    at(71) = 1;
    at(72) = 4;
    std::memcpy(&at(73), "cccc", 4);
    at(104) = 9;
    std::memcpy(&at(105), "user\0pass", 9);
    return d;
}

TEST(Em_OldModemReplies, NetworkSettingsLayout1) {
    Em_OldReceiver rx;
    const Bytes m = AtReply('Y', NetworkLayout1());
    ASSERT_EQ(m.size(), 120u);
    const Em_OldReport r = Vi(rx, m);
    EXPECT_EQ(r.flags, 0x20000000u);
    const Em_OldWirelessRecord& w = rx.wireless;
    EXPECT_EQ(w.serverAddress, 0x0201A8C0u);
    EXPECT_EQ(w.serverPort, 0x0835);
    EXPECT_EQ(w.protocol, 1);
    EXPECT_EQ(w.textA, "hello");
    EXPECT_EQ(w.textB, "abc");
    EXPECT_EQ(w.loginFlag, 1);
    EXPECT_EQ(w.textC, "cccc");
    EXPECT_EQ(w.reported.baseId, 4);
    EXPECT_EQ(w.loginText1, "user");
    EXPECT_EQ(w.loginText2, "pass");

    // The same frame split over two VI frames: the first waits, the second decodes.
    Em_OldReceiver split;
    EXPECT_EQ(split.Decode_VI(m.data(), 60).flags, 0u);
    EXPECT_EQ(split.viBuffer.fill, 60);
    EXPECT_EQ(split.Decode_VI(m.data() + 60, 60).flags, 0x20000000u);
    EXPECT_EQ(split.wireless.textC, "cccc");
    EXPECT_EQ(split.viBuffer.fill, 0);
}

TEST(Em_OldModemReplies, NetworkSettingsLayout2) {
    Em_OldReceiver rx;
    rx.wireless.layoutFlag = 1;
    Bytes d(140, 0);
    auto at = [&d](std::size_t m) -> std::uint8_t& { return d[m - 7]; };
    at(7) = 12;
    std::memcpy(&at(8), "ntrip.server", 12);
    at(39) = 0x07, at(40) = 0xD1;
    at(41) = 'S';
    at(51) = 2;
    std::memcpy(&at(52), "AA", 2);
    at(67) = 2;
    std::memcpy(&at(68), "BB", 2);
    at(99) = 7;  // not 0 or 1: the login flag stays
    at(100) = 2;
    std::memcpy(&at(101), "CC", 2);
    at(132) = 6;
    std::memcpy(&at(133), "u1\0p2\0", 6);
    rx.wireless.loginFlag = 1;
    EXPECT_EQ(Vi(rx, AtReply('s', d)).flags, 0x20000000u);
    const Em_OldWirelessRecord& w = rx.wireless;
    EXPECT_EQ(std::string(w.serverName, w.serverNameLength), "ntrip.server");
    EXPECT_EQ(w.serverPort, 2001);
    EXPECT_EQ(w.protocol, 3);
    EXPECT_EQ(w.textA, "AA");
    EXPECT_EQ(w.textB, "BB");
    EXPECT_EQ(w.loginFlag, 1);
    EXPECT_EQ(w.textC, "CC");
    EXPECT_EQ(w.loginText1, "u1");
    EXPECT_EQ(w.loginText2, "p2");

    // A 40-byte name is cut to the 32-byte field; a text length past the message is bounded.
    at(7) = 40;
    at(132) = 255;
    EXPECT_EQ(Vi(rx, AtReply('s', d)).flags, 0x20000000u);
    EXPECT_EQ(w.serverNameLength, 32);
    EXPECT_EQ(w.loginText1, "u1");
}

TEST(Em_OldModemReplies, BadNetworkFramesReportNothing) {
    Em_OldReceiver rx;
    Bytes m = AtReply('Y', NetworkLayout1());
    m[m.size() - 3] ^= 0x01;  // check byte
    EXPECT_EQ(Vi(rx, m).flags, 0u);
    EXPECT_EQ(rx.wireless.textA, "");
    EXPECT_EQ(rx.viBuffer.fill, 0);

    // The check byte may also be taken with the leading '@'.
    m[m.size() - 3] ^= 0x01 ^ 0x40;
    EXPECT_EQ(Vi(rx, m).flags, 0x20000000u);

    Em_OldReceiver rx2;
    EXPECT_EQ(Vi(rx2, AtReply('Y', NetworkLayout1(), false)).flags, 0u);
    EXPECT_EQ(rx2.viBuffer.fill, 0);

    // A 32-bit length the buffer could never hold: dropped, the next frame decodes.
    Bytes huge = {0x40, 'Y', 0xA6, 0xF0, 0xFF, 0xFF, 0xFF, 1, 2, 3};
    EXPECT_EQ(Vi(rx2, huge).flags, 0u);
    EXPECT_EQ(rx2.viBuffer.fill, 0);
    EXPECT_EQ(Vi(rx2, AtReply('Y', NetworkLayout1())).flags, 0x20000000u);

    // Not an '@' frame: cleared.
    EXPECT_EQ(Vi(rx2, {0x41, 'Y'}).flags, 0u);
    EXPECT_EQ(rx2.viBuffer.fill, 0);
}

TEST(Em_OldModemReplies, ModemVersions) {
    struct Case {
        const char* text;
        int major, minor;
        std::uint8_t layout;
        int radioType;  // from type 1
    };
    const Case cases[] = {
        {"2.87", 2, 87, 0, 1}, {"2.88", 2, 88, 1, 1}, {"2.97", 2, 97, 1, 1}, {"3.59", 3, 59, 1, 3},
        {"3.65", 3, 65, 1, 3}, {"4.69", 4, 69, 1, 3}, {"5.70", 5, 70, 0, 3}, {"3.54", 3, 54, 0, 1},
    };
    for (const auto& c : cases) {
        Em_OldReceiver rx;
        SetType(rx, 1);
        rx.wireless.layoutFlag = 1 - c.layout;
        const Em_OldReport r = Vi(rx, AtReply('_', oldtest::Text(c.text)));
        EXPECT_EQ(r.flags, 0x1000000u);
        EXPECT_NEAR(rx.wireless.modemVersion, std::atof(c.text), 1e-9);
        EXPECT_EQ(rx.wireless.modemMajor, c.major);
        EXPECT_EQ(rx.wireless.modemMinor, c.minor);
        EXPECT_EQ(rx.wireless.layoutFlag, c.layout) << c.text;
        EXPECT_EQ(rx.radio.radioType, c.radioType) << c.text;
        EXPECT_EQ(rx.modemVersionSeen, 1);
    }
    Em_OldReceiver rx;
    SetType(rx, 2);
    Vi(rx, AtReply('_', oldtest::Text("3.65")));
    EXPECT_EQ(rx.radio.radioType, 4);
    EXPECT_EQ(rx.radio.spacing, 12.5);
}

TEST(Em_OldModemReplies, SignalQuality) {
    Em_OldReceiver rx;
    EXPECT_EQ(Vi(rx, AtReply('e', oldtest::Text("\r\n+CSQ: 99,99\r\n"))).flags, 0x200000u);
    EXPECT_EQ(rx.wireless.signalValue, 99);
    EXPECT_EQ(rx.wireless.signalLevel, 0);
    EXPECT_EQ(Vi(rx, AtReply('e', oldtest::Text("+CSQ: 17,0"))).flags, 0x200000u);
    EXPECT_EQ(rx.wireless.signalValue, 17);
    EXPECT_EQ(rx.wireless.signalLevel, 3);
    for (auto [value, level] :
         {std::pair{9, 0}, {10, 1}, {14, 2}, {21, 4}, {28, 5}, {31, 6}, {32, 0}}) {
        Vi(rx, AtReply('e', oldtest::Text("+CSQ: " + std::to_string(value) + ",0")));
        EXPECT_EQ(rx.wireless.signalLevel, level) << value;
    }
    // Without "+CSQ:" the values stay and nothing is reported.
    EXPECT_EQ(Vi(rx, AtReply('e', oldtest::Text("ERROR"))).flags, 0u);
    EXPECT_EQ(rx.wireless.signalValue, 32);
}

TEST(Em_OldModemReplies, AutoLogin) {
    Em_OldReceiver rx;
    Bytes d = oldtest::Text("MOUNT");
    d.push_back(0);
    d.push_back(70);  // login mode 1; the next text starts right after it
    for (const char* t : {"user", "secret"}) {
        const Bytes b = oldtest::Text(t);
        d.insert(d.end(), b.begin(), b.end());
        d.push_back(0);
    }
    EXPECT_EQ(Vi(rx, AtReply('l', d)).flags, 0x10000u);
    const cors_info& c = rx.wireless.autoLogin;
    EXPECT_STREQ(c.mountPoint, "MOUNT");
    EXPECT_STREQ(c.userName, "user");
    EXPECT_STREQ(c.password, "secret");
    EXPECT_EQ(rx.wireless.loginMode, 1);
    EXPECT_EQ(rx.wireless.reported.mountPoint, 5);
    EXPECT_EQ(rx.wireless.reported.userName, 4);
    EXPECT_EQ(rx.wireless.reported.password, 6);

    // Overlong texts are cut to their fields, each still terminated, and their lengths as sent
    // tell the cut.
    Bytes o = Bytes(30, 'm');
    o.push_back(0);
    o.push_back(100);  // login mode 2
    o.insert(o.end(), 60, 'u');
    o.push_back(0);
    o.insert(o.end(), 25, 'p');
    o.push_back(0);
    EXPECT_EQ(Vi(rx, AtReply('l', o)).flags, 0x10000u);
    EXPECT_EQ(std::string(c.mountPoint), std::string(19, 'm'));
    EXPECT_EQ(std::string(c.userName), std::string(49, 'u'));
    EXPECT_EQ(std::string(c.password), std::string(19, 'p'));
    EXPECT_EQ(rx.wireless.loginMode, 2);
    EXPECT_EQ(rx.wireless.reported.mountPoint, 30);
    EXPECT_EQ(rx.wireless.reported.userName, 60);
    EXPECT_EQ(rx.wireless.reported.password, 25);

    // A missing terminator stops the decoding there.
    Bytes t = oldtest::Text("MP");
    t.push_back(0);
    t.push_back(10);
    const Bytes tail(20, 'x');
    t.insert(t.end(), tail.begin(), tail.end());
    Em_OldReceiver rx2;
    const Bytes m = AtReply('l', t);
    // Cut the check and closing bytes so no zero follows the last text.
    EXPECT_EQ(rx2.Decode_VI(m.data(), m.size() - 3).flags, 0x10000u);
    EXPECT_STREQ(rx2.wireless.autoLogin.mountPoint, "MP");
    EXPECT_EQ(rx2.wireless.loginMode, 0);
    EXPECT_STREQ(rx2.wireless.autoLogin.userName, "");
    EXPECT_EQ(rx2.wireless.reported.mountPoint, 2);
    EXPECT_EQ(rx2.wireless.reported.userName, 0);
}

TEST(Em_OldModemReplies, ChannelLists) {
    Em_OldReceiver rx;
    Bytes codes;
    for (int i = 0; i < 16; ++i) {
        codes.push_back(static_cast<std::uint8_t>(i));
        codes.push_back(0x01);
    }
    Em_OldReport r = Vi(rx, AtReply(0x85, codes));  // 32 data bytes: 42 assembled
    EXPECT_EQ(r.category, 8);
    EXPECT_EQ(r.flags, 0x400u);
    ASSERT_EQ(rx.radio.channelFreqs.size(), 16u);
    EXPECT_EQ(rx.radio.channelFreqs[15], 0x10F);
    Bytes types(16, 2);
    r = Vi(rx, AtReply(0x93, types));  // 26 assembled
    EXPECT_EQ(r.category, 8);
    EXPECT_EQ(r.flags, 0x200u);
    ASSERT_EQ(rx.radio.channelTypes.size(), 16u);
    // 41 bytes: the list stays and nothing is reported.
    r = Vi(rx, AtReply(0x85, Bytes(31, 9)));
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(rx.radio.channelFreqs[15], 0x10F);
    EXPECT_EQ(Vi(rx, AtReply(0x93, Bytes(15, 9))).flags, 0u);
    EXPECT_EQ(rx.radio.channelTypes[0], 2);
}

// A source-list piece in a 't' reply: min(N, b - 10) data bytes from byte 7, never the check
// byte or the closing bytes, whatever the stated length N.
TEST(Em_OldModemReplies, SourceListPieceIsTheDataAlone) {
    struct Case {
        const char* name;
        Bytes message;
        std::string text;
    };
    Bytes longer = AtReply('t', {'a', 'b'});
    longer[3] = 5;  // states more data than came
    Bytes shorter = AtReply('t', {'a', 'b', 'c'});
    shorter[3] = 1;  // states less data than came
    const Bytes full = AtReply('t', Bytes(255, 'm'));
    const Case cases[] = {
        {"two bytes", AtReply('t', {'a', 'b'}), "ab"},
        {"stated length beyond the message", longer, "ab"},
        {"stated length within the data", shorter, "a"},
        {"no data", AtReply('t', {}), ""},
        {"cut before its check byte", Bytes{0x40, 't', 255 - 't', 2, 0, 0, 0, 'a', 'b'}, ""},
        {"a full piece", full, std::string(255, 'm')},
    };
    for (const Case& c : cases) {
        Em_OldReceiver rx;
        rx.wireless.sourceListLength = 99;
        EXPECT_EQ(Vi(rx, c.message).flags, 0x1000u) << c.name;
        ASSERT_GE(rx.wireless.sourceListLength, 0) << c.name;
        EXPECT_EQ(std::string(rx.wireless.sourceList,
                              static_cast<std::size_t>(rx.wireless.sourceListLength)),
                  c.text)
            << c.name;
    }
}

TEST(Em_OldModemReplies, SmallReplies) {
    Em_OldReceiver rx;
    struct Case {
        std::uint8_t c;
        Bytes data;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {'c', {4}, 0x8000000}, {'g', {5}, 0x800000}, {'h', {0, 6}, 0x100000},
        {'j', {7}, 0x400000},  {'v', {3}, 0x4000},   {'y', {2}, 0x8000},
        {0x81, {2}, 0x800},    {0x83, {1}, 0x10},    {0x89, {1}, 0x40},
        {'q', {1}, 0},         {'Z', {1}, 0},        {'t', {'a', 'b'}, 0x1000},
    };
    for (const auto& c : cases) {
        const Em_OldReport r = Vi(rx, AtReply(c.c, c.data));
        EXPECT_EQ(r.flags, c.flags) << int(c.c);
        EXPECT_EQ(rx.viBuffer.fill, 0);
    }
    EXPECT_EQ(rx.wireless.gprsStatus, 4);
    EXPECT_EQ(rx.wireless.statusWord4, 5);
    EXPECT_EQ(rx.wireless.gprsError, 6);
    EXPECT_EQ(rx.wireless.corsMode, 7);
    EXPECT_EQ(rx.radio.power, 3);
    EXPECT_EQ(rx.radio.airBaud, 2);
    EXPECT_EQ(rx.radio.sensitivity, 2);
    EXPECT_EQ(rx.radio.fec, 1);
    EXPECT_EQ(rx.radio.spacingCode, 1);
    EXPECT_EQ(rx.radio.altStep, 20.0);
    // 't': the data bytes alone, without the check byte and the closing bytes.
    EXPECT_EQ(rx.wireless.sourceListLength, 2);
    EXPECT_EQ(std::string(rx.wireless.sourceList, 2), "ab");

    Vi(rx, AtReply('v', {9}));
    EXPECT_EQ(rx.radio.power, 0);
    Vi(rx, AtReply('y', {7}));
    EXPECT_EQ(rx.radio.airBaud, -1);
    Vi(rx, AtReply(0x89, {2}));
    EXPECT_EQ(rx.radio.spacingCode, 2);
    EXPECT_EQ(rx.radio.altStep, 12.5);

    // Call sign: text length is the low byte of N minus 2, at most 14.
    Bytes cs = {1, 30};
    const Bytes text = oldtest::Text("BX7ABC");
    cs.insert(cs.end(), text.begin(), text.end());
    EXPECT_EQ(Vi(rx, AtReply(0x91, cs)).flags, 0x20u);
    EXPECT_EQ(rx.radio.callsignOn, 1);
    EXPECT_EQ(rx.radio.callsignInterval, 30);
    EXPECT_EQ(rx.radio.callsignLength, 6);
    EXPECT_EQ(std::string(rx.radio.callsign, 6), "BX7ABC");
    Bytes longCs = {0, 5};
    longCs.insert(longCs.end(), 20, 'Q');
    EXPECT_EQ(Vi(rx, AtReply(0x91, longCs)).flags, 0x20u);
    // 20 characters: the 14 that fit are kept, and the length sent tells they were cut.
    EXPECT_EQ(rx.radio.callsignLength, 20);
    EXPECT_EQ(std::string(rx.radio.callsign, 14), std::string(14, 'Q'));
    EXPECT_EQ(rx.radio.callsignOn, 0);
    EXPECT_EQ(rx.radio.callsignInterval, 5);
    EXPECT_EQ(Vi(rx, AtReply(0x91, {})).flags, 0x20u);  // N = 0: the length wraps past the field
    EXPECT_GT(rx.radio.callsignLength, 14);
}

}  // namespace
