// Framing of the NovAtel board's input: whole logs, any slicing, garbage, bad CRCs, absurd
// lengths and messages of the other kinds that share the buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Em_Crc.h"
#include "Novatel_Counting_Board.h"
#include "Novatel_Test_Log.h"

namespace Brevan2011 {
namespace BVParse {
namespace {

using namespace novatel_test;

Bytes Pos_Log() {
    return Make_Log(42, Best_Pos_Body(Best_Pos()));
}

Bytes Dop_Log() {
    Bytes body(28 + 4 * 3, 0);
    PutF32(body, 0, 2.0f);
    PutF32(body, 4, 1.8f);
    PutF32(body, 8, 0.9f);
    PutF32(body, 20, 10.0f);
    Put32(body, 24, 3);
    return Make_Log(174, body);
}

Bytes Bad_Crc(Bytes log) {
    log[log.size() - 1] ^= 0x5A;
    return log;
}

Bytes Rtcm3_Frame(int bodyLength) {
    Bytes f(static_cast<size_t>(bodyLength) + 6, 0);
    f[0] = 0xD3;
    f[1] = static_cast<unsigned char>((bodyLength >> 8) & 0x03);
    f[2] = static_cast<unsigned char>(bodyLength);
    f[3] = 0x3E;  // message 1005 in the first 12 bits
    f[4] = 0xD0;
    const uint32_t crc = Calc_Crc24Q(f.data(), bodyLength + 3);
    f[bodyLength + 3] = static_cast<unsigned char>(crc >> 16);
    f[bodyLength + 4] = static_cast<unsigned char>(crc >> 8);
    f[bodyLength + 5] = static_cast<unsigned char>(crc);
    return f;
}

struct Feed_Case {
    const char* name;
    Bytes bytes;
    size_t slice;
    std::vector<int> ids;  // logs decoded, in order
    int fill;              // bytes left in the input
};

std::vector<Feed_Case> Cases() {
    Log_Header longHeader;
    longHeader.headerLength = 255;
    Log_Header hugeBody;
    hugeBody.bodyLengthOverride = 0xFFFF;
    const Bytes pos = Pos_Log();
    const Bytes gga =
        Text("$GPGGA,200000.00,3110.0,N,12124.0,E,4,12,0.9,10.0,M,5.5,M,1.0,0001*49\r\n");
    Bytes noEnd = Text("$GPGSV");
    noEnd.resize(400, 'x');
    return {
        {"whole log", pos, 4096, {42}, 0},
        {"byte at a time", pos, 1, {42}, 0},
        {"255-byte slices", Cat({pos, Dop_Log(), pos}), 255, {42, 174, 42}, 0},
        {"two logs in one feed", Cat({pos, Dop_Log()}), 4096, {42, 174}, 0},
        {"garbage before, between and after",
         Cat({Text("xyz\x01\xAA\x44"), pos, Bytes{0xAA, 0x00, 0xD3, 0x10, 0x02, 0x55}, Dop_Log(),
              Text("junk")}),
         4096,
         {42, 174},
         0},
        {"bad CRC then a good log", Cat({Bad_Crc(pos), pos}), 4096, {42}, 0},
        {"bad CRC then a good log, bytewise", Cat({Bad_Crc(pos), pos}), 1, {42}, 0},
        {"header length 255",
         Cat({Make_Log(longHeader, Best_Pos_Body(Best_Pos())), pos}),
         4096,
         {42},
         0},
        {"message length 0xFFFF", Cat({Make_Log(hugeBody, Bytes(40, 0)), pos}), 4096, {42}, 0},
        {"message length 0xFFFF, 255-byte slices",
         Cat({Make_Log(hugeBody, Bytes(40, 0)), pos}),
         255,
         {42},
         0},
        {"incomplete log is kept", Bytes(pos.begin(), pos.begin() + 50), 4096, {}, 50},
        {"log and the next log's first byte", Cat({pos, Bytes{0xAA}}), 4096, {42}, 1},
        {"sentence between logs", Cat({pos, gga, Dop_Log()}), 7, {42, 174}, 0},
        {"sentence lead without an end, then a log", Cat({noEnd, pos}), 4096, {42}, 0},
        {"long RTCM 3 frame then a log", Cat({Rtcm3_Frame(300), pos}), 4096, {42}, 0},
        {"RTCM 3 frame with a bad CRC then a log",
         Cat({Bad_Crc(Rtcm3_Frame(20)), pos}),
         4096,
         {42},
         0},
        {"unknown id is consumed", Cat({Make_Log(9999, Bytes(10, 1)), pos}), 4096, {9999, 42}, 0},
    };
}

TEST(NovatelFraming, FeedTable) {
    for (const Feed_Case& c : Cases()) {
        Counting_Board board;
        board.Feed(c.bytes.data(), c.bytes.size(), c.slice);
        EXPECT_EQ(board.Counter().ids, c.ids) << c.name;
        EXPECT_EQ(board.Input()->Fill, c.fill) << c.name;
        EXPECT_EQ(board.Input()->Read, 0) << c.name;
    }
}

TEST(NovatelFraming, OneStepDecodesEveryLogAndOrsTheirBits) {
    Counting_Board board;
    const Bytes both = Cat({Pos_Log(), Dop_Log()});
    board.Add_Data(both.data(), static_cast<int>(both.size()));
    EXPECT_EQ(board.Parse(), 1);
    const uint32_t mask = board.Data()->Update_Mask;
    EXPECT_EQ(mask & 0x10000000u, 0x10000000u);
    EXPECT_EQ(mask & 0x84000000u, 0x84000000u);
    EXPECT_EQ(board.Parse(), 0);
    EXPECT_EQ(board.Counter().ids.size(), 2u);
}

TEST(NovatelFraming, IncompleteLogCompletesAcrossFeeds) {
    Counting_Board board;
    const Bytes garbage_then_log = Cat({Text("noise"), Pos_Log()});
    board.Add_Data(garbage_then_log.data(), 40);
    EXPECT_EQ(board.Parse(), 0);
    // The noise is gone, the log's head waits at the front.
    EXPECT_EQ(board.Input()->Fill, 35);
    EXPECT_EQ(board.Input()->Data[0], 0xAA);
    board.Add_Data(garbage_then_log.data() + 40, static_cast<int>(garbage_then_log.size() - 40));
    EXPECT_EQ(board.Parse(), 1);
    EXPECT_EQ(board.Counter().ids, std::vector<int>{42});
}

// Logs close to the buffer size, after any offset, in the old protocol's 255-byte payloads:
// a payload holding one log's tail and the next one's head must not overflow the buffer.
TEST(NovatelFraming, LogsNearTheBufferSizeSurviveAnySlicing) {
    const Bytes big = Make_Log(9999, Bytes(2048 - 32, 7));
    const Bytes mid = Make_Log(9998, Bytes(1900 - 32, 9));
    for (int offset = 0; offset < 255; offset += 17) {
        const Bytes all = Cat({Bytes(static_cast<size_t>(offset), 'x'), big, mid, big, Pos_Log()});
        Counting_Board board;
        uint32_t mask = board.Feed(all.data(), all.size(), 255);
        EXPECT_EQ(board.Counter().ids, (std::vector<int>{9999, 9998, 9999, 42})) << offset;
        EXPECT_NE(mask & 0x10000000u, 0u) << offset;
        EXPECT_EQ(board.Input()->Fill, 0) << offset;
    }
}

TEST(NovatelFraming, DecodedWhileMakingRoomIsReportedByTheNextStep) {
    Counting_Board board;
    const Bytes pos = Pos_Log();
    Bytes all = Cat({pos, Make_Log(9999, Bytes(2048 - 32, 7))});
    board.Add_Data(all.data(), static_cast<int>(all.size()));
    // Adding decoded the position to make room; the step reports it with the long log.
    EXPECT_EQ(board.Counter().ids, std::vector<int>{42});
    EXPECT_EQ(board.Parse(), 1);
    EXPECT_NE(board.Data()->Update_Mask & 0x10000000u, 0u);
    EXPECT_EQ(board.Counter().ids, (std::vector<int>{42, 9999}));
    EXPECT_EQ(board.Parse(), 0);
}

TEST(NovatelFraming, InsaneIndexesEmptyTheInput) {
    Counting_Board board;
    board.Input()->Read = 10;
    board.Input()->Fill = 5;
    EXPECT_EQ(board.Parse(), 0);
    EXPECT_EQ(board.Input()->Fill, 0);
    EXPECT_EQ(board.Input()->Read, 0);
}

}  // namespace
}  // namespace BVParse
}  // namespace Brevan2011
