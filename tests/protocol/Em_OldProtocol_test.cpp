// Receive loop of the old protocol object: frame cutting, resynchronisation, dispatch, binary
// logs for a type-3 board, and the board factory.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "../boards/Novatel_Test_Log.h"
#include "Em_BoardRegistry.h"
#include "Em_Crc.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "support/Fake_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using oldtest::Bytes;
using oldtest::Frame;

namespace {

using Step = std::pair<int, std::uint32_t>;

void Feed(Em_OldProtocol& p, const Bytes& b) {
    p.Ring()->Append(b.data(), static_cast<int>(b.size()));
}

// Runs parse steps as Em_Gnss::ParseData does and collects what the callback would see.
std::vector<Step> Drain(Em_OldProtocol& p) {
    std::vector<Step> seen;
    while (p.Parse_Step() != 0) {
        if (p.Get_Flags() != 0) {
            seen.emplace_back(p.Get_Category(), p.Get_Flags());
        }
    }
    return seen;
}

// A type-3 (or other) board that keeps every input it is asked to parse.
class Recording_Board : public Em_OemBoard {
public:
    explicit Recording_Board(int type) {
        Set_Board_Type(type);
        Set_Data(new Script_Data);
        Set_Cmd(new Spy_Cmd);
    }
    int Parse() override {
        const OEM_INPUT_BUFFER* in = Input();
        if (in->Fill > 0) {
            Logs.emplace_back(in->Data, in->Data + in->Fill);
        }
        Clear_Input();
        Data()->Update_Mask = 0x40000;
        return 1;
    }
    std::vector<Bytes> Logs;
};

TEST(Em_OldProtocol, IncompleteFrameWaitsOnItsFirstByte) {
    Em_OldProtocol p;
    const Bytes f = Frame("SD", {0, 74});
    Feed(p, Bytes(f.begin(), f.begin() + 5));
    EXPECT_EQ(p.Parse_Step(), 0);
    EXPECT_EQ(p.Ring()->Mark(), 0);
    Feed(p, Bytes(f.begin() + 5, f.begin() + 8));
    EXPECT_EQ(p.Parse_Step(), 0);
    EXPECT_EQ(p.Ring()->Mark(), 0);
    Feed(p, Bytes(f.begin() + 8, f.end()));
    EXPECT_EQ(p.Parse_Step(), 1);
    EXPECT_EQ(p.Get_Category(), 2);
    EXPECT_EQ(p.Get_Flags(), 0x40000000u);
    EXPECT_EQ(p.Ring()->Mark(), static_cast<int>(f.size()));
    EXPECT_EQ(p.Receiver().batteryLevel, 5);
    EXPECT_EQ(p.Parse_Step(), 0);
}

// A line closed in the middle of a frame leaves its start behind; the next answer's bytes
// complete it. When its check byte passes by chance, its closing bytes still fail it, and the
// frame it would have eaten is read.
TEST(Em_OldProtocol, FrameCutShortDoesNotEatTheNextOne) {
    Em_OldProtocol p;
    const Bytes next = Frame("FF", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Bytes cut = Frame("VD", Bytes(20, 0));
    cut.resize(11);  // header and 5 of the 20 payload bytes
    // Make the check over the cut frame and the 16 bytes it takes from the next one pass.
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        x ^= cut[i];
    }
    for (std::size_t i = 0; i < 16; ++i) {
        x ^= next[i];
    }
    cut.back() ^= x;
    Feed(p, cut);
    EXPECT_EQ(p.Parse_Step(), 0);
    Feed(p, next);
    EXPECT_EQ(Drain(p), (std::vector<Step>{{2, 0x1u}}));
}

TEST(Em_OldProtocol, BadCheckSkipsOneByteAndClearsTheFlags) {
    Em_OldProtocol p;
    Feed(p, Frame("SC", {}));
    ASSERT_EQ(p.Parse_Step(), 1);
    EXPECT_EQ(p.Get_Flags(), 0x80000u);

    Bytes bad = Frame("SD", {0, 70});
    bad[7] ^= 0x01;
    Feed(p, bad);
    Feed(p, Frame("SX", {}));
    const int mark = p.Ring()->Mark();
    EXPECT_EQ(p.Parse_Step(), 1);
    EXPECT_EQ(p.Ring()->Mark(), mark + 1);
    EXPECT_EQ(p.Get_Flags(), 0u);  // no stale SC flags for the callback
    EXPECT_EQ(p.Get_Category(), 0);
    EXPECT_EQ(Drain(p), (std::vector<Step>{{2, 0x40000u}}));
    EXPECT_EQ(p.Receiver().batteryLevel, 0);
}

TEST(Em_OldProtocol, NoiseAroundFramesIsSkipped) {
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> byte(0, 255), gap(0, 40);
    const std::vector<std::pair<Bytes, Step>> frames = {
        {Frame("SD", {0, 84}), {2, 0x40000000u}},
        {Frame("SC", {}), {2, 0x80000u}},
        {Frame("FH", {1, 0, 0, 0, 2, 0, 0, 0}), {2, 0x80u}},
        {Frame("SX", {}), {2, 0x40000u}},
        {Frame("FC", {1}), {8, 0x1000u}},
        {Frame("RX", {1, 2, 3}), {2, 0x2000u}},
    };
    Em_OldProtocol p;
    std::vector<Step> expected;
    Bytes stream;
    for (int round = 0; round < 30; ++round) {
        for (const auto& [f, step] : frames) {
            for (int n = gap(rng); n > 0; --n) {
                stream.push_back(static_cast<std::uint8_t>(byte(rng)));
            }
            stream.insert(stream.end(), f.begin(), f.end());
            expected.push_back(step);
        }
    }
    // Tail without lead bytes, so every false "$" before it resolves.
    stream.insert(stream.end(), 300, 0x00);
    std::vector<Step> seen;
    for (std::size_t at = 0; at < stream.size(); at += 7) {
        const std::size_t n = std::min<std::size_t>(7, stream.size() - at);
        Feed(p, Bytes(stream.begin() + at, stream.begin() + at + n));
        for (const auto& s : Drain(p)) {
            seen.push_back(s);
        }
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());
}

TEST(Em_OldProtocol, FrameIds) {
    const std::pair<const char*, int> table[] = {
        {"RG", 128},    {"RK", 129},
        {"RZ", 130},    {"RX", 133},
        {"RC", 134},    {"RR", 135},
        {"RS", 136},    {"ST", 137},
        {"VS", 138},    {"VD", 139},
        {"VC", 140},    {"VF", 141},
        {"VR", 142},    {"VI", 143},
        {"VL", 144},    {"RH", 145},
        {"SD", 146},    {"SI", 147},
        {"SC", 149},    {"SX", 150},
        {"VY", 152},    {"FB", 153},
        {"FF", 154},    {"FH", 155},
        {"FM", 156},    {"FW", 157},
        {"VQ", 158},    {"FT", 159},
        {"FJ", 160},    {"FK", 161},
        {"FC", 162},    {"VM", 1048},
        {"AB", 0x4142}, {"sd", 's' * 256 + 'd'},
    };
    for (const auto& [letters, id] : table) {
        EXPECT_EQ(Em_OldProtocol::Old_FrameId(letters[0], letters[1]), id) << letters;
        Em_OldProtocol p;
        Feed(p, Frame(letters, {}));
        EXPECT_EQ(p.Parse_Step(), 1);
        EXPECT_EQ(p.Frame_Id(), id) << letters;
    }
}

TEST(Em_OldProtocol, SilentAndUnknownFrames) {
    Em_OldProtocol p;
    const Bytes block(50, 1);
    Feed(p, Frame("SI", block));
    Feed(p, Frame("VD", {1, 2, 3}));
    Feed(p, Frame("VL", {4}));
    Feed(p, Frame("AB", {5}));  // unknown: clears the device block being assembled
    EXPECT_EQ(Drain(p), std::vector<Step>{});
    EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());
    EXPECT_EQ(p.Receiver().siBuffer.fill, 0);

    // VD and VL leave the assembly alone.
    Feed(p, Frame("SI", block));
    Feed(p, Frame("VD", {}));
    Drain(p);
    EXPECT_EQ(p.Receiver().siBuffer.fill, 50);
}

struct DispatchCase {
    const char* letters;
    Bytes payload;
    int category;
    std::uint32_t flags;
};

TEST(Em_OldProtocol, DispatchTable) {
    const DispatchCase cases[] = {
        {"SD", {0, 70, 0, 0, 230}, 2, 0x44000000},
        {"SC", {}, 2, 0x80000},
        {"SX", {}, 2, 0x40000},
        {"RX", {9}, 2, 0x2000},
        {"VY", {9}, 2, 0x100},
        {"FB", {1, 'A', 1, 0, 0, 0, 2, 2}, 2, 0x400},
        {"FF", Bytes(12, 1), 2, 0x1},
        {"FH", Bytes(8, 1), 2, 0x80},
        {"VM", {'x'}, 2, 0x1000},
        {"FM", Bytes(55, 1), 8, 0x2},
        {"FW", Bytes(3, 1), 8, 0x10},
        {"FJ", Bytes(3, 1), 8, 0x80},
        {"FT", {'A', 'T'}, 8, 0x20},
        {"FK", Bytes(8, 0), 8, 0x100},
        {"FC", {0}, 8, 0x1000},
        {"RC", Bytes(16, 0), 8, 0x800},
        {"VI", {0x40, 'c', 0x9C, 1, 0, 0, 0, 3, 0, 0x0D, 0x0A}, 2, 0x8000000},
        {"VI", {0x40, 0x85, 0, 0, 0, 0, 0, 0}, 0, 0},  // channel list of the wrong length
        {"FK", Bytes(7, 0), 0, 0},
    };
    for (const auto& c : cases) {
        Em_OldProtocol p;
        p.Create_Board(MAINBD_NOVATEL);
        Feed(p, Frame(c.letters, c.payload));
        ASSERT_EQ(p.Parse_Step(), 1) << c.letters;
        EXPECT_EQ(p.Get_Flags(), c.flags) << c.letters;
        if (c.flags != 0) {
            EXPECT_EQ(p.Get_Category(), c.category) << c.letters;
        }
        EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());
    }
}

TEST(Em_OldProtocol, BoardDataReachesTheBoard) {
    Em_OldProtocol p;
    // Without a board the frame is consumed and nothing is reported.
    Feed(p, Frame("RG", {1, 2, 3}));
    EXPECT_EQ(Drain(p), std::vector<Step>{});
    EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());

    Scoped_Board_Registration reg(2, [] { return new Recording_Board(2); });
    p.Create_Board(MAINBD_NOVATEL);
    Feed(p, Frame("RG", {1, 2, 3}));
    Feed(p, Frame("VQ", {4}));
    EXPECT_EQ(Drain(p), (std::vector<Step>{{1, 0x40000u}, {1, 0x40000u}}));
    auto* board = static_cast<Recording_Board*>(p.Board());
    EXPECT_EQ(board->Logs, (std::vector<Bytes>{{1, 2, 3}, {4}}));
}

TEST(Em_OldProtocol, BinaryLogSkippedOnOtherBoards) {
    Em_OldProtocol p;
    p.Create_Board(MAINBD_NOVATEL);
    Feed(p, {0xAA, 0x44, 0x12});
    Feed(p, Frame("SC", {}));
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(p.Parse_Step(), 1);
        EXPECT_EQ(p.Ring()->Mark(), i);
        EXPECT_EQ(p.Get_Flags(), 0u);
    }
    EXPECT_EQ(Drain(p), (std::vector<Step>{{2, 0x80000u}}));
}

// A NovAtel binary log: 28-byte header, message, CRC-32 (wrong when `goodCrc` is false).
Bytes Log(std::size_t messageLength, std::uint8_t fill, std::uint8_t headerLength = 28,
          bool goodCrc = true) {
    Bytes b(headerLength, 0);
    b[0] = 0xAA;
    b[1] = 0x44;
    b[2] = 0x12;
    b[3] = headerLength;
    b[8] = static_cast<std::uint8_t>(messageLength);
    b[9] = static_cast<std::uint8_t>(messageLength >> 8);
    b.insert(b.end(), messageLength, fill);
    const std::uint32_t crc = novatel_test::Crc32(b.data(), b.size()) ^ (goodCrc ? 0u : 1u);
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
    }
    return b;
}

TEST(Em_OldProtocol, BinaryLogLengths) {
    Scoped_Board_Registration reg(3, [] { return new Recording_Board(3); });
    Em_OldProtocol p;
    p.Create_Board(MAINBD_COMENGINE);
    auto* board = static_cast<Recording_Board*>(p.Board());

    const Bytes small = Log(100, 1);
    const Bytes longHeader = Log(10, 2, 40);  // only 28-byte headers are logs
    const Bytes exact = Log(2048 - 32, 3);
    const Bytes tooLong = Log(2200, 4);  // consumed whole, too long for the board
    const Bytes shortHeader = Log(10, 5, 20);
    Feed(p, small);
    Feed(p, longHeader);
    // Feed the big ones in pieces: the step waits until each is whole.
    for (const Bytes* b : {&exact, &tooLong}) {
        Feed(p, Bytes(b->begin(), b->begin() + 1000));
        Drain(p);
        EXPECT_EQ(p.Ring()->Fill() - p.Ring()->Mark(), 1000);
        Feed(p, Bytes(b->begin() + 1000, b->end()));
    }
    Feed(p, shortHeader);
    Feed(p, Frame("SC", {}));
    const auto seen = Drain(p);
    EXPECT_EQ(board->Logs, (std::vector<Bytes>{small, exact}));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), (Step{2, 0x80000u}));
    EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());

    // A length the ring can never hold is a false lead byte too.
    Em_OldProtocol q;
    q.Create_Board(MAINBD_COMENGINE);
    Bytes huge = Log(0, 0);
    huge[8] = 0xFF;
    huge[9] = 0xFF;
    huge.resize(28);
    Feed(q, huge);
    Feed(q, Frame("SC", {}));
    EXPECT_EQ(Drain(q), (std::vector<Step>{{2, 0x80000u}}));
}

// A type-3 board that refuses every log.
Em_OemBoard* Refusing_Board() {
    return new Scripted_Board(3);
}

Bytes Repeat(const Bytes& b, int times) {
    Bytes all;
    for (int i = 0; i < times; ++i) {
        all.insert(all.end(), b.begin(), b.end());
    }
    return all;
}

// RH layout B whose count (20) exceeds the three items sent.
Bytes Short_Rh() {
    Bytes m = {20, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    for (std::uint8_t prn : {3, 4, 5}) {
        for (std::uint8_t b :
             {prn, std::uint8_t{40}, std::uint8_t{0}, std::uint8_t{90}, std::uint8_t{160},
              std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0}}) {
            m.push_back(b);
        }
    }
    return Frame("RH", m);
}

// Byte strings that once lost good frames or let bad ones through, fed in the session's
// 2,048-byte reads: every callback due arrives, nothing else does.
TEST(Em_OldProtocol, Probes) {
    const Step sd = {2, 0x40000000u};
    const Step sc = {2, 0x80000u};
    const Step log = {1, 0x40000u};
    Bytes fakeHeader(28, 0);
    fakeHeader[0] = 0xAA;
    fakeHeader[1] = 0x44;
    fakeHeader[2] = 0x12;
    fakeHeader[3] = 28;
    fakeHeader[8] = 9000 & 0xFF;
    fakeHeader[9] = 9000 >> 8;
    struct Case {
        const char* name;
        bool refusing;  // type-3 board that refuses every log, else one that takes them
        Bytes bytes;
        std::vector<Step> expected;
        int gpsSats;  // satellites in the board's GPS table afterwards, -1 unchecked
    };
    const Case cases[] = {
        {"false log lead before 1,200 replies", false,
         oldtest::Cat(fakeHeader, Repeat(Frame("SD", {0, 84}), 1200)), std::vector<Step>(1200, sd),
         -1},
        {"log with a bad CRC",
         false,
         oldtest::Cat(Log(60, 7, 28, false), Frame("SC", {})),
         {sc},
         -1},
        {"good log, then a reply", false, oldtest::Cat(Log(60, 7), Frame("SC", {})), {log, sc}, -1},
        {"refused log followed by frames",
         true,
         oldtest::Cat(Log(60, 7), Repeat(Frame("SD", {0, 84}), 3)),
         {sd, sd, sd},
         -1},
        {"refused long log followed by a frame",
         true,
         oldtest::Cat(Log(2200, 7), Frame("SC", {})),
         {sc},
         -1},
        {"RH layout B count above the items sent",
         false,
         Short_Rh(),
         {{1, 0x8000000u | 0x40000000u | 0x100u}},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scoped_Board_Registration reg(
            3, c.refusing ? Board_Factory(&Refusing_Board)
                          : Board_Factory([] { return new Recording_Board(3); }));
        Em_OldProtocol p;
        p.Create_Board(MAINBD_COMENGINE);
        std::vector<Step> seen;
        for (std::size_t at = 0; at < c.bytes.size(); at += 2048) {
            const std::size_t n = std::min<std::size_t>(2048, c.bytes.size() - at);
            Feed(p, Bytes(c.bytes.begin() + at, c.bytes.begin() + at + n));
            for (const Step& s : Drain(p)) {
                seen.push_back(s);
            }
        }
        EXPECT_EQ(seen, c.expected);
        EXPECT_EQ(p.Ring()->Mark(), p.Ring()->Fill());
        if (c.gpsSats >= 0) {
            EXPECT_EQ(p.Board()->Data()->Sat_Gps_Count, c.gpsSats);
        }
    }
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Logs with a valid CRC-32, found by a scan independent of the receive loop.
std::vector<Bytes> ValidLogs(const Bytes& data, std::size_t maxLength, std::size_t* longer) {
    std::vector<Bytes> logs;
    *longer = 0;
    std::size_t i = 0;
    while (i + 28 <= data.size()) {
        if (data[i] == 0xAA && data[i + 1] == 0x44 && data[i + 2] == 0x12 && data[i + 3] >= 28) {
            const std::size_t total = data[i + 3] + (data[i + 8] | (data[i + 9] << 8)) + 4u;
            if (i + total <= data.size() &&
                Check_Crc32(data.data() + i, static_cast<int>(total)) == 1) {
                if (total <= maxLength) {
                    logs.emplace_back(data.begin() + i, data.begin() + i + total);
                } else {
                    ++*longer;
                }
                i += total;
                continue;
            }
        }
        ++i;
    }
    return logs;
}

std::vector<Bytes> Replay(const Bytes& data, std::size_t* unconsumed) {
    Scoped_Board_Registration reg(3, [] { return new Recording_Board(3); });
    Em_OldProtocol p;
    p.Create_Board(MAINBD_COMENGINE);
    for (std::size_t at = 0; at < data.size(); at += 2048) {
        const std::size_t n = std::min<std::size_t>(2048, data.size() - at);
        p.Ring()->Append(data.data() + at, static_cast<int>(n));
        Drain(p);
    }
    for (int i = 0; i < 100; ++i) {
        Drain(p);
    }
    *unconsumed = static_cast<std::size_t>(p.Ring()->Fill() - p.Ring()->Mark());
    return static_cast<Recording_Board*>(p.Board())->Logs;
}

TEST(Em_OldProtocol, RealBinaryLogsReachTheBoardWhole) {
    const Bytes data = ReadFile(std::string(VARNOK_CORPUS_DIR) + "/rtklib/oemv_200911218.gps");
    if (data.empty()) {
        GTEST_SKIP() << "corpus file missing";
    }
    std::size_t longer = 0;
    const std::vector<Bytes> expected = ValidLogs(data, 2048, &longer);
    ASSERT_GT(expected.size(), 100u);
    EXPECT_GT(longer, 0u);  // the file holds logs over 2,048 bytes
    std::size_t unconsumed = 0;
    const std::vector<Bytes> got = Replay(data, &unconsumed);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], expected[i]) << "log " << i;
    }
    EXPECT_LT(unconsumed, 2048u);
}

TEST(Em_OldProtocol, SyncErrorFileResynchronises) {
    for (const char* name :
         {"/novatel_edie/binary_sync_error.BIN", "/novatel_edie/proprietary_binary_sync_error.BIN",
          "/novatel_edie/short_binary_sync_error.BIN"}) {
        const Bytes data = ReadFile(std::string(VARNOK_CORPUS_DIR) + name);
        if (data.empty()) {
            GTEST_SKIP() << "corpus file missing";
        }
        std::size_t longer = 0;
        const std::vector<Bytes> expected = ValidLogs(data, 2048, &longer);
        std::size_t unconsumed = 0;
        const std::vector<Bytes> got = Replay(data, &unconsumed);
        // Every valid log arrives, in order; anything else handed over is a false lead the
        // board's own CRC check refuses.
        std::size_t j = 0;
        for (const Bytes& log : got) {
            if (j < expected.size() && log == expected[j]) {
                ++j;
            }
        }
        EXPECT_EQ(j, expected.size()) << name;
        EXPECT_LT(unconsumed, 4096u) << name;
    }
}

// A command builder that keeps the model setting it is given.
class Model_Cmd : public Spy_Cmd {
public:
    void Set_Model_Setting(int value) override { Model = value; }
    int Model = -1;
};

class Factory_Board : public Em_OemBoard {
public:
    explicit Factory_Board(int type) {
        Set_Board_Type(type);
        Set_Data(new Script_Data);
        Set_Cmd(new Model_Cmd);
    }
};

TEST(Em_OldProtocol, BoardFactorySettings) {
    struct Case {
        int type;
        int modelClass;
        int driver;
        int model;  // -1: not set
        unsigned char first, fifth, sixth, gps, glo, bds;
    };
    const Case cases[] = {
        {1, 1, 1, 1, 0, 0, 0, 0, 0, 0},  {1, 2, 1, 0, 0, 0, 0, 0, 0, 0},
        {1, 0, 1, -1, 0, 0, 0, 0, 0, 0}, {2, 1, 2, 1, 1, 0, 1, 1, 1, 1},
        {2, 2, 2, 2, 1, 0, 1, 1, 1, 1},  {3, 1, 3, -1, 0, 0, 1, 0, 0, 0},
        {4, 1, 4, -1, 0, 0, 1, 1, 0, 0}, {7, 1, 7, -1, 1, 1, 1, 1, 1, 1},
        {0, 1, 2, -1, 0, 0, 1, 0, 0, 0}, {5, 2, 2, -1, 0, 0, 1, 0, 0, 0},
        {8, 1, 2, -1, 0, 0, 1, 0, 0, 0}, {9, 1, 2, -1, 0, 0, 1, 0, 0, 0},
    };
    std::vector<std::unique_ptr<Scoped_Board_Registration>> regs;
    for (int t : {1, 2, 3, 4, 7}) {
        regs.push_back(std::make_unique<Scoped_Board_Registration>(t, [t] {
            auto* b = new Factory_Board(t);
            b->Data()->Switch[5] = 1;  // so that clearing the sixth switch shows
            return b;
        }));
    }
    for (const auto& c : cases) {
        Em_OldProtocol p;
        p.Receiver().modelClass = c.modelClass;
        EXPECT_TRUE(p.Create_Board(static_cast<MAINBD_OEM_TYPE>(c.type)));
        ASSERT_NE(p.Board(), nullptr);
        EXPECT_EQ(p.Board_Type(), c.driver) << c.type;
        auto* cmd = static_cast<Model_Cmd*>(p.Board()->Cmd());
        const Em_OemData* d = p.Board()->Data();
        EXPECT_EQ(cmd->Out_Port, 1);
        EXPECT_EQ(cmd->Model, c.model) << c.type << "/" << c.modelClass;
        EXPECT_EQ(d->Switch[0], c.first) << c.type;
        EXPECT_EQ(d->Switch[4], c.fifth) << c.type;
        EXPECT_EQ(d->Switch[5], c.sixth) << c.type;
        EXPECT_EQ(d->Sat_Switch_Gps, c.gps) << c.type;
        EXPECT_EQ(d->Sat_Switch_Glo, c.glo) << c.type;
        EXPECT_EQ(d->Sat_Switch_Bds, c.bds) << c.type;
    }
}

}  // namespace
