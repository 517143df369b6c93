// Small byte strings through Em_Gnss(1, t), or through a board fed as the old protocol feeds
// it, each showing one way a good message was lost or a corrupt one taken.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemHemisphere2.h"
#include "Em_OemHemisphere2Data.h"
#include "Em_OemNovatel.h"
#include "Em_OemNovatelData.h"
#include "Novatel_Test_Log.h"
#include "support/Nmea_Text.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using Bytes = std::vector<unsigned char>;
using novatel_test::Cat;
using novatel_test::Text;

constexpr double kDeg = 3.14159265358979323846 / 180.0;

Bytes Sentence(const std::string& body) {
    return Text(nmea_test::Sentence(body));
}

const std::string kGgaA = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
const std::string kGgaB = "GPGGA,123520,4807.538,N,01131.500,E,1,08,0.9,545.4,M,46.9,M,,";

// "$BIN" block: id, data, 16-bit sum of the data, CR LF.
Bytes Bin_Block(int id, const Bytes& data) {
    Bytes f = Text("$BIN");
    f.push_back(static_cast<unsigned char>(id));
    f.push_back(static_cast<unsigned char>(id >> 8));
    f.push_back(static_cast<unsigned char>(data.size()));
    f.push_back(static_cast<unsigned char>(data.size() >> 8));
    f.insert(f.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (unsigned char c : data) {
        sum += c;
    }
    f.push_back(static_cast<unsigned char>(sum));
    f.push_back(static_cast<unsigned char>(sum >> 8));
    f.push_back('\r');
    f.push_back('\n');
    return f;
}

// A block-1 position whose bytes XOR to 0, found by trying two spare data bytes.
Bytes Zero_Xor_Position(double lat, double lon) {
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 256; ++y) {
            Bytes d(52, 0);
            d[1] = 9;
            novatel_test::PutF64(d, 12, lat);
            novatel_test::PutF64(d, 20, lon);
            novatel_test::PutF32(d, 28, 100.0f);
            d[40] = static_cast<unsigned char>(x);
            d[41] = static_cast<unsigned char>(y);
            const Bytes b = Bin_Block(1, d);
            unsigned char all = 0;
            for (unsigned char c : b) {
                all ^= c;
            }
            if (all == 0) {
                return b;
            }
        }
    }
    return Bytes();
}

// STX/ETX packet (type 152 is a correction packet the NovAtel board passes on).
Bytes Stx(unsigned char type, const Bytes& data, bool good = true) {
    Bytes f{0x02, 0x00, type, static_cast<unsigned char>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    unsigned sum = good ? 0 : 1;
    for (size_t i = 1; i < f.size(); ++i) {
        sum += f[i];
    }
    f.push_back(static_cast<unsigned char>(sum));
    f.push_back(0x03);
    return f;
}

Bytes Best_Pos(double lat, double lon) {
    novatel_test::Best_Pos p;
    p.lat = lat;
    p.lon = lon;
    return novatel_test::Make_Log(42, novatel_test::Best_Pos_Body(p));
}

struct Seen {
    int calls = 0;
    int gga = 0;
    uint32_t all = 0;
};

void On_Data(Msg_Type, uint32_t flags, const void* user) {
    Seen& s = *static_cast<Seen*>(const_cast<void*>(user));
    ++s.calls;
    s.gga += (flags & GNSS_FLAG_GGA_TEXT) != 0;
    s.all |= flags;
}

// One read and one ParseData through Em_Gnss(1, type), as a session's parse thread runs them.
struct Session {
    explicit Session(int type) : gnss(GNSS_MNFCTR_OEM, static_cast<MAINBD_OEM_TYPE>(type)) {
        const _CALLBACKS_RECEIVER cb{&On_Data, nullptr};
        gnss.Reg_Callbacks(&cb, &seen);
    }
    void Read(const Bytes& b) {
        gnss.RcvData(b.data(), static_cast<unsigned>(b.size()));
        gnss.ParseData();
    }
    Em_OemData& Data() { return *gnss.Get_Protocol()->Board()->Data(); }
    Seen seen;
    Em_Gnss gnss;
};

}  // namespace

// A message the board takes whole but refuses ends no ParseData: what follows it in the same
// read is reported by the same call.
TEST(ParseProbes, RefusedMessageFollowedByFrames) {
    novatel_test::Log_Header idZero;
    idZero.id = 0;
    struct Case {
        const char* name;
        int type;
        Bytes refused;
        Bytes good;
        int gga;
        double minutes;  // latitude minutes of the last GGA
    };
    const Case cases[] = {
        {"unknown $>J reply", MAINBD_HEMISPHERE, Text("$>JXYZ,1\r\n"),
         Cat({Sentence(kGgaA), Sentence(kGgaB)}), 2, 7.538},
        {"log with id 0", MAINBD_NOVATEL, novatel_test::Make_Log(idZero, Bytes(8, 1)),
         Cat({Best_Pos(30.0, 120.0), Sentence(kGgaA)}), 1, 7.038},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(c.type);
        s.Read(Cat({c.refused, c.good}));
        EXPECT_EQ(s.seen.gga, c.gga);
        EXPECT_NEAR(s.Data().Latitude, (48 + c.minutes / 60) * kDeg, 1e-9);
        if (c.type == MAINBD_NOVATEL) {
            EXPECT_NE(s.seen.all & 0x20000u, 0u);  // the position log was decoded too
        }
    }
}

// A GGA with one latitude digit corrupted and its check left as it was is dropped on every
// board type; a GGA without a check is taken, as receivers that omit it rely on.
TEST(ParseProbes, CorruptedGgaIsDropped) {
    Bytes corrupted = Sentence(kGgaB);
    corrupted[20] = '9';  // 4807.538 -> 4807.598
    std::string bare = "$" + kGgaB + "\r\n";
    for (int type : {MAINBD_STXETX, MAINBD_NOVATEL, MAINBD_HEMISPHERE, MAINBD_NMEA, MAINBD_NMEA2}) {
        SCOPED_TRACE(type);
        Session s(type);
        s.Read(Cat({Sentence(kGgaA), corrupted}));
        EXPECT_EQ(s.seen.gga, 1);
        EXPECT_NEAR(s.Data().Latitude, (48 + 7.038 / 60) * kDeg, 1e-9);
        s.Read(Text(bare));
        EXPECT_EQ(s.seen.gga, 2);
        EXPECT_NEAR(s.Data().Latitude, (48 + 7.538 / 60) * kDeg, 1e-9);
    }
}

// About one good "$BIN" block in 256 has bytes that XOR to 0: it is a block like any other.
TEST(ParseProbes, ZeroXorBinBlockIsDecoded) {
    const Bytes block = Zero_Xor_Position(47.5, 8.25);
    ASSERT_FALSE(block.empty());
    Session s(MAINBD_HEMISPHERE);
    s.Read(block);
    EXPECT_EQ(s.seen.calls, 1);
    EXPECT_NEAR(s.Data().Latitude, 47.5 * kDeg, 1e-12);
    EXPECT_NEAR(s.Data().Longitude, 8.25 * kDeg, 1e-12);
}

// The NovAtel board fed a correction packet and a position in one piece (as the old protocol
// feeds it) keeps the position; a false 0x02 .. 0x98 lead costs one byte, not the buffer.
TEST(ParseProbes, CorrectionPacketThenBestpos) {
    const Bytes packet = Stx(152, Bytes(20, 0x5A));
    const Bytes falseLead = {0x02, 0x00, 0x98, 0x10, 0x11, 0x22};
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"packet then log", Cat({packet, Best_Pos(30.5, 120.5)})},
        {"false lead then log", Cat({falseLead, Best_Pos(30.5, 120.5)})},
        {"bad packet then log", Cat({Stx(147, Bytes(9, 1), false), Best_Pos(30.5, 120.5)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Em_OemNovatel board;
        board.Add_Data(c.bytes.data(), static_cast<int>(c.bytes.size()));
        board.Parse();
        EXPECT_NEAR(board.Data()->Latitude, 30.5 * kDeg, 1e-12);
        EXPECT_EQ(board.Input()->Fill, 0);
    }
}

// NMEA 4.10 ends a GSV with a signal id: whole groups of four are satellites, the id is not.
TEST(ParseProbes, Nmea410GsvOnTheNovatelBoard) {
    Em_OemNovatel board;
    Em_OemData& d = *board.Data();
    const Bytes gsv =
        Cat({Sentence("GPGSV,1,1,04,01,40,083,46,02,17,308,41,03,07,344,39,04,22,228,45,1"),
             Sentence("GLGSV,1,1,04,65,40,083,46,66,17,308,41,67,07,344,39,68,22,228,45,1")});
    board.Add_Data(gsv.data(), static_cast<int>(gsv.size()));
    board.Parse();
    ASSERT_EQ(d.Sat_Gps_Count, 4);
    ASSERT_EQ(d.Sat_Glo_Count, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(static_cast<int>(d.Sat_Gps[i].Prn), i + 1);
        EXPECT_EQ(static_cast<int>(d.Sat_Glo[i].Prn), 38 + i);
    }
}

// The hour offset carries into the date on the NMEA-only boards and the second Hemisphere
// board, as it does on the NovAtel and STX/ETX boards.
TEST(ParseProbes, HourOffsetCarriesIntoTheDate) {
    const Bytes rmc = Sentence("GPRMC,225446.33,A,4916.45,N,12311.12,W,000.5,054.7,311215,020.3,E");
    for (int type : {MAINBD_NMEA, MAINBD_NMEA2}) {
        SCOPED_TRACE(type);
        Session s(type);
        s.gnss.Set_TimeZone(8);
        s.Read(rmc);
        EXPECT_EQ(s.Data().Hour, 6);
        EXPECT_EQ(s.Data().Day, 1);
        EXPECT_EQ(s.Data().Month, 1);
        EXPECT_EQ(s.Data().Year, 2016);
    }
    Em_OemHemisphere2 board;
    board.Data()->Hour_Offset = 8;
    board.Add_Data(rmc.data(), static_cast<int>(rmc.size()));
    board.Parse();
    EXPECT_EQ(board.Data()->Hour, 6);
    EXPECT_EQ(board.Data()->Day, 1);
    EXPECT_EQ(board.Data()->Year, 2016);
}

}  // namespace BVParse
}  // namespace Brevan2011
