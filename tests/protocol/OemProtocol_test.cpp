// The OEM protocol object through Em_Gnss(1, t): cutting a board's mixed stream into whole
// messages, the board factory and the command slots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_Crc.h"
#include "Em_OemProtocol.h"
#include "../boards/Novatel_Test_Log.h"
#include "support/Nmea_Text.h"
#include "support/Recording_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;

namespace {

typedef std::string Bytes;

Bytes Rtcm3(const Bytes& payload) {
    Bytes f;
    f += char(0xD3);
    f += char((payload.size() >> 8) & 0x03);
    f += char(payload.size() & 0xFF);
    f += payload;
    const uint32_t crc =
        Calc_Crc24Q(reinterpret_cast<const unsigned char*>(f.data()), static_cast<int>(f.size()));
    f += char(crc >> 16);
    f += char(crc >> 8);
    f += char(crc);
    return f;
}

// A NovAtel binary log: sync, header length h, message length m at offset 8, h-byte header,
// m body bytes and its CRC-32 (wrong when `good` is false).
Bytes Novatel(int h, int m, char fill = 'n', bool good = true) {
    Bytes f(static_cast<size_t>(h), '\x01');
    f[0] = char(0xAA);
    f[1] = char(0x44);
    f[2] = char(0x12);
    f[3] = char(h);
    f[8] = char(m & 0xFF);
    f[9] = char((m >> 8) & 0xFF);
    f += Bytes(static_cast<size_t>(m), fill);
    uint32_t crc = novatel_test::Crc32(reinterpret_cast<const unsigned char*>(f.data()), f.size());
    crc ^= good ? 0u : 1u;
    for (int i = 0; i < 4; ++i) {
        f += char((crc >> (8 * i)) & 0xFF);
    }
    return f;
}

Bytes Stx(unsigned char b1, unsigned char b2, const Bytes& data, bool good = true) {
    Bytes f;
    f += char(0x02);
    f += char(b1);
    f += char(b2);
    f += char(data.size());
    f += data;
    unsigned sum = 0;
    for (size_t i = 1; i < f.size(); ++i) {
        sum += static_cast<unsigned char>(f[i]);
    }
    f += char((sum + (good ? 0 : 1)) & 0xFF);
    f += char(0x03);
    return f;
}

// "$BIN", block id, data length, data, 16-bit sum of the data (off by one when `good` is
// false), CR LF.
Bytes Hemisphere_Block(int id, const Bytes& data, bool good = true) {
    Bytes f = "$BIN";
    f += char(id & 0xFF);
    f += char(id >> 8);
    f += char(data.size() & 0xFF);
    f += char(data.size() >> 8);
    f += data;
    unsigned sum = good ? 0 : 1;
    for (char c : data) {
        sum += static_cast<unsigned char>(c);
    }
    f += char(sum & 0xFF);
    f += char((sum >> 8) & 0xFF);
    f += "\r\n";
    return f;
}

unsigned char Xor_All(const Bytes& b) {
    unsigned char x = 0;
    for (char c : b) {
        x ^= static_cast<unsigned char>(c);
    }
    return x;
}

struct Callback_Log {
    std::vector<std::pair<Msg_Type, uint32_t>> calls;
};

void On_Data(Msg_Type c, uint32_t f, const void* user) {
    static_cast<Callback_Log*>(const_cast<void*>(user))->calls.emplace_back(c, f);
}

// Em_Gnss(1, type) with a recording board; feeds bytes and parses.
class Oem_Stream {
public:
    explicit Oem_Stream(int type, int result = 1, uint32_t flags = 0x1000)
        : m_scope(type, result, flags), gnss(GNSS_MNFCTR_OEM, static_cast<MAINBD_OEM_TYPE>(type)) {
        const _CALLBACKS_RECEIVER cb{&On_Data, nullptr};
        gnss.Reg_Callbacks(&cb, &log);
    }
    void Feed(const Bytes& b, size_t slice = 0) {
        if (slice == 0) {
            slice = b.size();
        }
        for (size_t at = 0; at < b.size(); at += slice) {
            const size_t n = std::min(slice, b.size() - at);
            gnss.RcvData(reinterpret_cast<const unsigned char*>(b.data()) + at,
                         static_cast<unsigned>(n));
            gnss.ParseData();
        }
    }
    Recording_Board& Board() {
        return *dynamic_cast<Recording_Board*>(gnss.Get_Protocol()->Board());
    }
    const std::vector<Bytes>& Handed() { return Board().Messages; }

private:
    Scoped_Recording_Board m_scope;

public:
    Callback_Log log;
    Em_Gnss gnss;
};

const Bytes kGga =
    nmea_test::Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const Bytes kRmc =
    nmea_test::Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");

}  // namespace

// A sentence is handed as soon as the byte after its end is there, with no look-ahead: a
// sentence does not wait for hundreds of bytes that may never come.
TEST(OemProtocol, SentenceIsHandedWhenItsEndArrives) {
    Oem_Stream s(MAINBD_NMEA2);
    s.Feed(kGga.substr(0, kGga.size() - 1));  // up to the CR
    EXPECT_TRUE(s.Handed().empty());
    s.Feed("\n");
    ASSERT_EQ(s.Handed().size(), 1u);
    EXPECT_EQ(s.Handed()[0], kGga);
    ASSERT_EQ(s.log.calls.size(), 1u);
    EXPECT_EQ(s.log.calls[0].first, MSG_GNSS_DATA);
    EXPECT_EQ(s.log.calls[0].second, 0x1000u);
    // Without a line end, the check characters end it once the next byte shows none follows.
    const Bytes bare = kRmc.substr(0, kRmc.size() - 2);
    s.Feed(bare);
    EXPECT_EQ(s.Handed().size(), 1u);
    s.Feed(kGga);
    EXPECT_EQ(s.Handed(), (std::vector<Bytes>{kGga, bare, kGga}));
}

// Each board type hands its own kinds of message byte-exact, whatever the slicing.
TEST(OemProtocol, MessagesOfEachBoardTypeAreHandedWhole) {
    const Bytes rtcmA = Rtcm3(Bytes(19, 'a'));
    const Bytes rtcmB = Rtcm3(Bytes(7, 'b'));
    const Bytes rtcmLong = Rtcm3(Bytes(300, 'L'));
    const Bytes log = Novatel(28, 100);
    const Bytes stx = Stx(0x10, 0x20, "payload");
    const Bytes stx152 = Stx(0x10, 152, "nov");
    Bytes block = Hemisphere_Block(1, Bytes(40, 'h'));
    const Bytes reply = "$>JASC,GPGGA,1.0,PORTA\r\n";
    const Bytes tail(320, 'z');  // garbage after the messages is stepped over
    const Bytes ggaLf = kGga.substr(0, kGga.size() - 2) + "\n";
    const Bytes rmcLf = kRmc.substr(0, kRmc.size() - 2) + "\n";
    struct Case {
        const char* name;
        int type;
        std::vector<Bytes> messages;
    };
    const Case cases[] = {
        {"stx+rtcm", MAINBD_STXETX, {stx, rtcmA, rtcmB, kGga}},
        {"stx long rtcm", MAINBD_STXETX, {rtcmLong, kGga}},
        {"novatel", MAINBD_NOVATEL, {log, rtcmA, rtcmB, rtcmLong, stx152, kRmc}},
        {"hemisphere", MAINBD_HEMISPHERE, {block, reply, kGga}},
        {"nmea", MAINBD_NMEA, {kGga, kRmc}},
        // LF alone after the check characters ends the sentence; the next keeps its '$'.
        {"nmea lf", MAINBD_NMEA2, {ggaLf, rmcLf, ggaLf, kGga}},
    };
    for (const Case& c : cases) {
        for (size_t slice : {size_t(0), size_t(1), size_t(7), size_t(64)}) {
            SCOPED_TRACE(std::string(c.name) + " slice " + std::to_string(slice));
            Oem_Stream s(c.type);
            Bytes all;
            for (const Bytes& m : c.messages) {
                all += m;
            }
            s.Feed(all + tail, slice);
            EXPECT_EQ(s.Handed(), c.messages);
            EXPECT_EQ(s.log.calls.size(), c.messages.size());
        }
    }
}

// Which message starts each board type takes; any other start is stepped over a byte at a time
// and never reaches the board.
TEST(OemProtocol, HeadersEachBoardTypeTakes) {
    const std::string body = "GGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    struct Kind {
        const char* name;
        Bytes bytes;
        std::vector<int> types;  // the board types that take it
    };
    const std::vector<Kind> kinds = {
        {"$GP", nmea_test::Sentence("GP" + body), {1, 2, 4, 5, 6}},
        {"$GL", nmea_test::Sentence("GL" + body), {1, 2, 4, 5, 6}},
        {"$GN", nmea_test::Sentence("GN" + body), {2, 6}},
        {"$BD", nmea_test::Sentence("BD" + body), {2, 6}},
        {"$GA", nmea_test::Sentence("GA" + body), {}},
        {"stx", Stx(0x10, 0x20, "abc"), {1}},
        {"stx 147", Stx(0x10, 147, "abc"), {1, 2}},
        {"rtcm3", Rtcm3(Bytes(19, 'a')), {1, 2}},
        {"novatel", Novatel(28, 12), {2}},
        {"$BIN", Hemisphere_Block(1, "data"), {4}},
        {"$>J", Bytes("$>JI,ok\r\n"), {4}},
    };
    for (int type : {1, 2, 4, 5, 6}) {
        for (const Kind& k : kinds) {
            SCOPED_TRACE(std::string(k.name) + " type " + std::to_string(type));
            Oem_Stream s(type);
            s.Feed(k.bytes + Bytes(320, 'z'));
            const bool takes = std::find(k.types.begin(), k.types.end(), type) != k.types.end();
            EXPECT_EQ(s.Handed(), takes ? std::vector<Bytes>{k.bytes} : std::vector<Bytes>{});
            EXPECT_EQ(s.log.calls.size(), takes ? 1u : 0u);
        }
    }
}

// Bad sums, zero-XOR blocks, bad headers and false sync bytes are stepped over one byte at a
// time; nothing good after them is lost.
TEST(OemProtocol, BadMessagesCostOneByteEach) {
    Bytes badRtcm = Rtcm3(Bytes(12, 'r'));
    badRtcm[5] ^= 0x40;
    const Bytes falseD3 = Bytes("\xD3\x00\x05", 3);
    const Bytes tail(320, 'z');
    struct Case {
        const char* name;
        int type;
        Bytes bad;
        std::vector<Bytes> good;
    };
    const Case cases[] = {
        {"stx bad sum", MAINBD_STXETX, Stx(1, 2, "abc", false), {Stx(1, 2, "abc"), kGga}},
        {"rtcm bad crc", MAINBD_NOVATEL, badRtcm, {kGga, kRmc}},
        {"false 0xD3", MAINBD_NOVATEL, falseD3, {kGga, kRmc, kGga}},
        {"false 0xD3 stx", MAINBD_STXETX, falseD3, {kGga, kRmc}},
        {"block bad sum",
         MAINBD_HEMISPHERE,
         Hemisphere_Block(2, Bytes(10, 'q'), false),
         {Hemisphere_Block(3, "ok"), kGga}},
        {"novatel bad crc", MAINBD_NOVATEL, Novatel(28, 30, 'n', false), {Novatel(28, 30), kGga}},
        {"novatel M=0xFFFF", MAINBD_NOVATEL, Novatel(28, 0xFFFF).substr(0, 40), {Novatel(28, 5)}},
        {"novatel H=20", MAINBD_NOVATEL, Novatel(20, 30), {Novatel(28, 30), kGga}},
        {"novatel H+M too long", MAINBD_NOVATEL, Novatel(255, 1800).substr(0, 60), {kGga}},
        {"novatel H=255", MAINBD_NOVATEL, Novatel(255, 10), {Novatel(28, 10), kRmc}},
        {"gga bad check", MAINBD_NMEA2, kGga.substr(0, kGga.size() - 3) + "0\r\n", {kRmc}},
        {"type 5 skips $GN",
         MAINBD_NMEA,
         nmea_test::Sentence("GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
         {kGga}},
        {"reply without CR LF", MAINBD_HEMISPHERE, "$>J" + Bytes(120, 'j'), {kGga}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Oem_Stream s(c.type);
        Bytes all = c.bad;
        for (const Bytes& m : c.good) {
            all += m;
        }
        s.Feed(all + tail);
        EXPECT_EQ(s.Handed(), c.good);
        EXPECT_EQ(s.log.calls.size(), c.good.size());
    }
}

// A good "$BIN" block whose bytes happen to XOR to 0 (about one block in 256) is a block like
// any other.
TEST(OemProtocol, ZeroXorHemisphereBlockIsHanded) {
    Bytes zero;
    for (int x = 0; x < 256 && zero.empty(); ++x) {
        for (int y = 0; y < 256; ++y) {
            Bytes data(10, 'q');
            data[0] = char(x);
            data[1] = char(y);
            const Bytes b = Hemisphere_Block(2, data);
            if (Xor_All(b) == 0) {
                zero = b;
                break;
            }
        }
    }
    ASSERT_FALSE(zero.empty());
    Oem_Stream s(MAINBD_HEMISPHERE);
    s.Feed(zero + kGga);
    EXPECT_EQ(s.Handed(), (std::vector<Bytes>{zero, kGga}));
    EXPECT_EQ(s.log.calls.size(), 2u);
}

// A log is handed once its CRC has arrived and checks out, whatever the slicing.
TEST(OemProtocol, NovatelLogWaitsForItsCrc) {
    Oem_Stream s(MAINBD_NOVATEL);
    const Bytes log = Novatel(28, 10);
    s.Feed(log.substr(0, log.size() - 1));
    EXPECT_TRUE(s.Handed().empty());
    s.Feed(log.substr(log.size() - 1) + kRmc);
    ASSERT_EQ(s.Handed().size(), 2u);
    EXPECT_EQ(s.Handed()[0], log);
    EXPECT_EQ(s.Handed()[1], kRmc);
}

// A "$>J" reply shorter than the 100-byte look-ahead is handed as soon as its CR LF is there.
TEST(OemProtocol, ShortHemisphereReplyNeedsNoLookAhead) {
    Oem_Stream s(MAINBD_HEMISPHERE);
    s.Feed("$>JI,ok");
    EXPECT_TRUE(s.Handed().empty());
    s.Feed("\r\n");
    ASSERT_EQ(s.Handed().size(), 1u);
    EXPECT_EQ(s.Handed()[0], "$>JI,ok\r\n");
}

// A message the board refuses is consumed without a report, and the same ParseData goes on
// with the messages after it.
TEST(OemProtocol, RefusedMessageIsConsumedWithoutReport) {
    Oem_Stream s(MAINBD_NMEA2, 0, 0x1000);
    s.Feed(kGga + kGga + Bytes(100, 'z'));
    EXPECT_EQ(s.Handed().size(), 2u);
    EXPECT_TRUE(s.log.calls.empty());
}

// Bytes for a type without a reader, or with no board at all, are thrown away.
TEST(OemProtocol, NoBoardEmptiesTheRing) {
    Em_OemProtocol p;
    const Bytes b = kGga + kGga;
    p.Ring()->Append(reinterpret_cast<const unsigned char*>(b.data()), static_cast<int>(b.size()));
    EXPECT_EQ(p.Parse_Step(), 0);
    EXPECT_EQ(p.Ring()->Fill(), 0);
}

// Beyond 18,480 bytes the step moves the unconsumed bytes to the front first.
TEST(OemProtocol, SentenceParsesAfterCompaction) {
    Oem_Stream s(MAINBD_NMEA2);
    // The run of bytes that open nothing is passed in one step; the next step moves the
    // sentence's first bytes to the front.
    s.Feed(Bytes(18497, 'g') + kGga.substr(0, 3));
    EXPECT_TRUE(s.Handed().empty());
    EXPECT_EQ(s.gnss.Get_Protocol()->Ring()->Mark(), 0);
    EXPECT_EQ(s.gnss.Get_Protocol()->Ring()->Fill(), 3);
    s.Feed(kGga.substr(3) + Bytes(100, 'z'));
    ASSERT_EQ(s.Handed().size(), 1u);
    EXPECT_EQ(s.Handed()[0], kGga);
    EXPECT_LT(s.gnss.Get_Protocol()->Ring()->Fill(), 1000);
}

// The factory gives types 1, 2, 4, 5 and 6 their drivers with this object's settings; any
// other type keeps the driver in place.
TEST(OemProtocol, BoardFactoryAndSettings) {
    struct Case {
        int type;
        int outPort;
        unsigned char sw0, sw5, gps, glo, bds;
    };
    const Case made[] = {
        {1, 0, 0, 1, 0, 0, 0}, {2, 0, 1, 0, 1, 0, 1}, {4, 0, 0, 0, 1, 0, 0},
        {5, 1, 0, 0, 0, 0, 0}, {6, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : made) {
        SCOPED_TRACE(c.type);
        Em_OemProtocol p;
        ASSERT_TRUE(p.Create_Board(static_cast<MAINBD_OEM_TYPE>(c.type)));
        ASSERT_NE(p.Board(), nullptr);
        EXPECT_EQ(p.Board_Type(), c.type);
        ASSERT_NE(p.Board()->Cmd(), nullptr);
        ASSERT_NE(p.Board()->Data(), nullptr);
        EXPECT_EQ(p.Board()->Cmd()->Out_Port, c.outPort);
        const Em_OemData& d = *p.Board()->Data();
        EXPECT_EQ(d.Switch[0], c.sw0);
        EXPECT_EQ(d.Switch[5], c.sw5);
        EXPECT_EQ(d.Sat_Switch_Gps, c.gps);
        EXPECT_EQ(d.Sat_Switch_Glo, c.glo);
        EXPECT_EQ(d.Sat_Switch_Bds, c.bds);
    }
    for (int type : {0, 3, 7, 8, 9}) {
        SCOPED_TRACE(type);
        Em_OemProtocol p;
        ASSERT_TRUE(p.Create_Board(MAINBD_NMEA2));
        Em_OemBoard* before = p.Board();
        EXPECT_FALSE(p.Create_Board(static_cast<MAINBD_OEM_TYPE>(type)));
        EXPECT_EQ(p.Board(), before);
        Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA);
        EXPECT_FALSE(gnss.Reset_GnsMd(static_cast<MAINBD_OEM_TYPE>(type)));
        EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NMEA);
    }
}

// A driver that cannot be made is no success: the driver in place stays and keeps working.
TEST(OemProtocol, FactoryThatMakesNoDriverKeepsTheCurrentOne) {
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
    Em_OemBoard* before = gnss.Get_Protocol()->Board();
    ASSERT_NE(before, nullptr);
    Scoped_Board_Registration none(MAINBD_NOVATEL,
                                   [] { return static_cast<Em_OemBoard*>(nullptr); });
    EXPECT_FALSE(gnss.Reset_GnsMd(MAINBD_NOVATEL));
    EXPECT_EQ(gnss.Get_Protocol()->Board(), before);
    EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NMEA2);

    Callback_Log log;
    const _CALLBACKS_RECEIVER cb{&On_Data, nullptr};
    gnss.Reg_Callbacks(&cb, &log);
    const Bytes in = kGga + Bytes(100, 'z');
    gnss.RcvData(reinterpret_cast<const unsigned char*>(in.data()),
                 static_cast<unsigned>(in.size()));
    gnss.ParseData();
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0].first, MSG_GNSS_DATA);
    EXPECT_NE(log.calls[0].second & 0x1000u, 0u);
}

// Slot 33 cuts raw bytes for the board with pause 100; slot 30 does nothing; the others reach
// the board's command slots; slot 36 sets the parser's NMEA switch.
TEST(OemProtocol, CommandSlots) {
    Scoped_Recording_Board scope(MAINBD_NOVATEL);
    Em_OemProtocol p;
    Cmd_List cmds;
    std::vector<unsigned char> raw(1100);
    for (size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<unsigned char>(i * 7);
    }
    EXPECT_EQ(p.Send_DiffDataToGnss(cmds, raw.data(), 1100), 3);
    ASSERT_EQ(cmds.size(), 3u);
    const unsigned sizes[] = {512, 512, 76};
    unsigned at = 0;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(cmds[i].length, sizes[i]);
        EXPECT_EQ(cmds[i].pause, 100u);
        EXPECT_EQ(std::memcmp(cmds[i].data, raw.data() + at, sizes[i]), 0);
        at += sizes[i];
    }

    // Without a board every slot appends nothing.
    cmds.clear();
    EXPECT_EQ(p.Get_Gnss_Inite(cmds), 0);
    EXPECT_EQ(p.Set_Gnss_ElevDgre(cmds, 10, 5.0, 4), 0);
    EXPECT_TRUE(cmds.empty());

    ASSERT_TRUE(p.Create_Board(MAINBD_NOVATEL));
    cmds.clear();
    p.Get_Gnss_Inite(cmds);
    p.Get_Gnss_StartBase(cmds);
    p.Get_Gnss_StartRover(cmds);
    p.Get_Gnss_Reset(cmds);
    p.Set_Gnss_ElevDgre(cmds, 15, 5.0, 4);
    p.Set_Gnss_PosFrq(cmds, GNSS_FRQ_2);
    p.Send_Gnss_Obs(cmds, GNSS_FRQ_3);
    p.Send_Gnss_Ephemeris(cmds, GNSS_FRQ_3);
    p.Send_Gnss_EphemSat(cmds, 17);
    p.Set_Gnss_Nmea(cmds, 0x101, GNSS_FRQ_1, 9);
    EXPECT_EQ(p.Set_Gnss_SatUse(cmds, 3, true, 1), 0);
    p.Get_Gnss_ElevMask(cmds);
    p.Send_Gnss_UnlogData(cmds);
    p.Get_Cmd_PassCom(cmds, 42);
    std::vector<std::string> texts;
    for (const _STR_CMD& c : cmds) {
        texts.push_back(Cmd_Text(c));
    }
    const std::vector<std::string> want = {
        "cmd 1", "cmd 12",   "cmd 13",      "cmd 14", "cmd 6 15 4", "cmd 2 2",   "cmd 3 3",
        "cmd 4", "cmd 5 17", "cmd 8 257 1", "cmd 10", "cmd 11",     "cmd 15 42",
    };
    EXPECT_EQ(texts, want);

    p.Set_GNSS_ParseNmea(false);
    EXPECT_EQ(p.Board()->Data()->Parse_Nmea, 0);
    p.Set_GNSS_ParseNmea(true);
    EXPECT_EQ(p.Board()->Data()->Parse_Nmea, 1);
}
