// Real captures as an old-protocol receiver passes its main board's output on: in "RG" frames
// (for the type-3 board also as bare binary logs), between the receiver's own replies, through
// Em_OldProtocol and the real board drivers, in the session's 2,048-byte reads and in random
// slices. Every byte reaches the board in order, and every message that an independent scan
// finds valid reaches the board's data parser.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "../boards/Novatel_Test_Log.h"
#include "../boards/RtcmTestFrames.h"
#include "Em_BoardRegistry.h"
#include "Em_OemComEngine.h"
#include "Em_OemComEngineData.h"
#include "Em_OemHemisphere.h"
#include "Em_OemHemisphere2.h"
#include "Em_OemHemisphere2Data.h"
#include "Em_OemHemisphereData.h"
#include "Em_OemStxEtx.h"
#include "Em_OemStxEtxData.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "support/Nmea_Text.h"

using namespace Brevan2011::BVParse;
using oldtest::Bytes;
using oldtest::Frame;

namespace {

// What the drivers hand their data parser, kept in order.
struct Arrivals {
    Bytes input;                     // every byte given to the board
    std::vector<std::string> texts;  // sentences given to the NMEA dispatch
    std::vector<Bytes> messages;     // binary messages given to slot 1
};
Arrivals* g_arrivals = nullptr;

template <class Data>
class Recording_Data : public Data {
public:
    int Parse_Message(const unsigned char* frame, int id, int length) override {
        g_arrivals->messages.emplace_back(frame, frame + length);
        return Data::Parse_Message(frame, id, length);
    }
    int Parse_Text_Msg(int id, const unsigned char* bytes, int count) override {
        g_arrivals->texts.emplace_back(reinterpret_cast<const char*>(bytes),
                                       static_cast<std::size_t>(count));
        return Data::Parse_Text_Msg(id, bytes, count);
    }
};

template <class Board, class Data>
class Recording_Driver : public Board {
public:
    Recording_Driver() { this->Set_Data(new Recording_Data<Data>); }
    void Add_Data(const unsigned char* bytes, int count) override {
        g_arrivals->input.insert(g_arrivals->input.end(), bytes, bytes + count);
        Board::Add_Data(bytes, count);
    }
};

Em_OemBoard* Make_Driver(int type) {
    switch (type) {
        case MAINBD_STXETX:
            return new Recording_Driver<Em_OemStxEtx, Em_OemStxEtxData>;
        case MAINBD_COMENGINE:
            return new Recording_Driver<Em_OemComEngine, Em_OemComEngineData>;
        case MAINBD_HEMISPHERE:
            return new Recording_Driver<Em_OemHemisphere, Em_OemHemisphereData>;
        default:
            return new Recording_Driver<Em_OemHemisphere2, Em_OemHemisphere2Data>;
    }
}

bool Talker_In(const Bytes& d, std::size_t i, const std::vector<std::string>& talkers) {
    for (const std::string& t : talkers) {
        if (i + 1 + t.size() <= d.size() && std::equal(t.begin(), t.end(), d.begin() + i + 1)) {
            return true;
        }
    }
    return false;
}

// Sentences of the given talkers whose "*hh" checks out, from "$" through the check digits.
std::vector<std::string> Valid_Sentences(const Bytes& d, const std::vector<std::string>& talkers) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (d[i] != '$' || !Talker_In(d, i, talkers)) {
            continue;
        }
        std::size_t star = i + 1;
        while (star < d.size() && star - i < 100 && d[star] >= 0x20 && d[star] < 0x7F &&
               d[star] != '*' && d[star] != '$') {
            ++star;
        }
        if (star + 2 >= d.size() || d[star] != '*') {
            continue;
        }
        const std::string body(d.begin() + i + 1, d.begin() + star);
        const std::string hex(d.begin() + star + 1, d.begin() + star + 3);
        char* end = nullptr;
        const unsigned long want = std::strtoul(hex.c_str(), &end, 16);
        if (end == hex.c_str() + 2 && want == nmea_test::Checksum(body)) {
            found.push_back("$" + body + "*" + hex);
            i = star + 2;
        }
    }
    return found;
}

// NovAtel logs with a 28-byte header, a good CRC-32 and room in the board's 2,048-byte input.
std::vector<Bytes> Valid_Logs(const Bytes& d) {
    std::vector<Bytes> logs;
    std::size_t i = 0;
    while (i + 28 <= d.size()) {
        if (d[i] == 0xAA && d[i + 1] == 0x44 && d[i + 2] == 0x12 && d[i + 3] == 28) {
            const std::size_t total = 28 + (d[i + 8] | (d[i + 9] << 8)) + 4u;
            if (i + total <= d.size() &&
                novatel_test::Crc32(&d[i], total - 4) ==
                    (d[i + total - 4] | (d[i + total - 3] << 8) | (d[i + total - 2] << 16) |
                     (std::uint32_t(d[i + total - 1]) << 24))) {
                if (total <= 2048) {
                    logs.emplace_back(d.begin() + i, d.begin() + i + total);
                }
                i += total;
                continue;
            }
        }
        ++i;
    }
    return logs;
}

// The receiver's stream: the capture in "RG" frames of 1 to 255 bytes with a battery reply after
// every eighth frame, or the capture as it stands (the type-3 board's bare binary logs).
Bytes Receiver_Stream(const Bytes& capture, bool wrapped, std::mt19937& rng, int* replies) {
    *replies = 0;
    if (!wrapped) {
        return capture;
    }
    // Appended in place: copying the stream for every frame made the test quadratic.
    Bytes stream;
    stream.reserve(capture.size() + capture.size() / 8 + 64);
    const auto append = [&stream](const Bytes& frame) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    };
    int pieces = 0;
    for (std::size_t at = 0; at < capture.size();) {
        const std::size_t n = std::min<std::size_t>(capture.size() - at, 1 + rng() % 255);
        const Bytes piece(capture.begin() + at, capture.begin() + at + n);
        at += n;
        append(Frame("RG", piece));
        if (++pieces % 8 == 0) {
            append(Frame("SD", {0, 84}));
            ++*replies;
        }
    }
    return stream;
}

// Every item of `want` appears in `got` in the same order; `same` compares an item of each.
template <class Want, class Got, class Same>
std::size_t Arrived_In_Order(const Want& want, const Got& got, Same same) {
    std::size_t j = 0;
    for (const auto& g : got) {
        if (j < want.size() && same(want[j], g)) {
            ++j;
        }
    }
    return j;
}

struct Capture_Case {
    int type;
    const char* file;
    bool wrapped;
    std::vector<std::string> talkers;  // NMEA talkers the board reads; empty: no NMEA check
    bool logs;                         // check the NovAtel logs
};

}  // namespace

TEST(Em_OldWrappedBoard, CapturesReachTheBoardDrivers) {
    const std::vector<std::string> gpGl = {"GP", "GL"};
    const Capture_Case cases[] = {
        {MAINBD_STXETX, "gpsd/nmea-rtk.log", true, gpGl, false},
        {MAINBD_STXETX, "rtklib/GMSD7_20121014.rtcm3", true, {}, false},
        {MAINBD_COMENGINE, "gpsd/nmea-rtk.log", true, gpGl, false},
        {MAINBD_COMENGINE, "rtklib/oemv_200911218.gps", true, {}, true},
        {MAINBD_COMENGINE, "rtklib/oemv_200911218.gps", false, {}, true},
        {MAINBD_HEMISPHERE, "gpsd/hemi.log", true, gpGl, false},
        {MAINBD_HEMISPHERE, "rtklib/cres_20080526.bin", true, {}, false},
        {MAINBD_HEMISPHERE2, "gpsd/hemi.log", true, {"GP", "GL", "GN", "BD"}, false},
        {MAINBD_HEMISPHERE2, "gpsd/ublox-zed-f9p-nmea.log", true, {"GP", "GL", "GN", "BD"}, false},
        {MAINBD_HEMISPHERE2, "rtklib/cres_20080526.bin", true, {}, false},
    };
    std::mt19937 rng(20261210);
    for (const Capture_Case& c : cases) {
        Bytes capture;
        if (!rtcm_test::Read_File(std::string(VARNOK_CORPUS_DIR) + "/" + c.file, capture)) {
            GTEST_SKIP() << "corpus file missing: " << c.file;
        }
        const std::vector<std::string> sentences = Valid_Sentences(capture, c.talkers);
        const std::vector<Bytes> logs = c.logs ? Valid_Logs(capture) : std::vector<Bytes>{};
        if (!c.talkers.empty()) {
            ASSERT_GT(sentences.size(), 50u) << c.file;
        }
        if (c.logs) {
            ASSERT_GT(logs.size(), 100u) << c.file;
        }
        for (const bool sessionReads : {true, false}) {
            SCOPED_TRACE(testing::Message() << "type " << c.type << " " << c.file
                                            << (c.wrapped ? " in RG frames" : " bare")
                                            << (sessionReads ? ", 2,048-byte reads" : ", slices"));
            int replies = 0;
            const Bytes stream = Receiver_Stream(capture, c.wrapped, rng, &replies);
            Arrivals arrivals;
            g_arrivals = &arrivals;
            Scoped_Board_Registration reg(c.type, [type = c.type] { return Make_Driver(type); });
            Em_OldProtocol p;
            p.Create_Board(static_cast<MAINBD_OEM_TYPE>(c.type));
            int repliesSeen = 0;
            for (std::size_t at = 0; at < stream.size();) {
                const std::size_t n = std::min<std::size_t>(stream.size() - at,
                                                            sessionReads ? 2048 : 1 + rng() % 2048);
                p.Ring()->Append(&stream[at], static_cast<int>(n));
                at += n;
                while (p.Parse_Step() != 0) {
                    if (p.Get_Category() == MSG_OLD_REPLY && p.Get_Flags() == OLD_FLAG_BATTERY) {
                        ++repliesSeen;
                    }
                }
            }
            g_arrivals = nullptr;
            EXPECT_EQ(repliesSeen, replies);
            if (c.wrapped) {
                EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());
                EXPECT_TRUE(arrivals.input == capture) << "the board's bytes differ";
            } else {
                EXPECT_LT(p.Ring()->Fill() - p.Ring()->Mark(), 2048);  // a log cut off at the end
            }
            EXPECT_EQ(Arrived_In_Order(sentences, arrivals.texts,
                                       [](const std::string& want, const std::string& got) {
                                           return got.compare(0, want.size(), want) == 0;
                                       }),
                      sentences.size());
            EXPECT_EQ(
                Arrived_In_Order(logs, arrivals.messages,
                                 [](const Bytes& want, const Bytes& got) { return want == got; }),
                logs.size());
        }
    }
}
