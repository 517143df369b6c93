// The Qt-free rooms of the requests and answers: code tables, GPS dates, option lists, the base
// position list and the source-list collector.
#include <array>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "base_position_list.h"
#include "device_codes.h"
#include "source_list_collector.h"

namespace varnok_test {
namespace {

using namespace Varnok;
namespace C = Varnok::DeviceCodes;
using Brevan2011::BVParse::BASE_POS_ENTRY;
using Brevan2011::BVParse::BASE_POS_LIST_STRUCT;

TEST(CodeTables, ModesIndexesAndLetters) {
    const int modes[][3] = {{1, 1, 0}, {2, 4, 0}, {3, 4, 1}, {0, 0, 0}, {4, 0, 0}, {-1, 0, 0}};
    for (const auto& m : modes) {
        int a = 9, b = 9;
        C::splitMode(m[0], a, b);
        EXPECT_EQ(a, m[1]) << m[0];
        EXPECT_EQ(b, m[2]) << m[0];
    }
    EXPECT_EQ(C::indexToCode(0), 1);
    EXPECT_EQ(C::indexToCode(8), 9);
    EXPECT_EQ(C::indexToCode(9), 0);
    EXPECT_EQ(C::indexToCode(-1), 0);
    EXPECT_EQ(C::indexToLetter(0), 'A');
    EXPECT_EQ(C::indexToLetter(25), 'Z');
}

TEST(CodeTables, SentenceAndRateMapsWithTheirOtherRows) {
    const int sentences[][2] = {{12, 0x408}, {13, 0x409}, {25, 0x412}, {33, 0x41A}, {37, 0x41E},
                                {43, 0x424}, {31, 0x418}, {0, 1},      {14, 1},     {34, 1},
                                {44, 1},     {99, 1},     {-3, 1}};
    for (const auto& s : sentences) {
        EXPECT_EQ(C::sentenceDataTypeCode(s[0]), s[1]) << s[0];
    }
    const int rates[][2] = {{1, 6},
                            {2, 7},
                            {3, 9},
                            {4, 10},
                            {5, 11},
                            {6, 12},
                            {11, 8},
                            {13, 5},
                            {255, 2},
                            {0, 1},
                            {7, 1},
                            {10, 1},
                            {12, 1},
                            {-1, 1},
                            {14, 1},
                            {254, 1},
                            {256, 1},
                            {C::kRawListCode, 1},
                            {C::kRawListCode + 3, 3},
                            {C::kRawListCode + 0xFFFF, 0xFFFF},
                            {C::kRawListCode + 0x10000, 1}};
    for (const auto& r : rates) {
        EXPECT_EQ(C::mapTypeCode(r[0]), r[1]) << r[0];
    }
}

TEST(CodeTables, ChannelRoundingRunsInFloat) {
    EXPECT_NEAR(C::roundChannelFrequency(438.12345f), 438.1235, 1e-9);
    EXPECT_EQ(C::roundChannelFrequency(450.0f), 450.0);
    EXPECT_NEAR(C::roundChannelFrequency(430.0125f), 430.0125, 1e-9);
    float f = 438.12345f;
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    EXPECT_NEAR(C::roundChannelBits(bits), 438.1235, 1e-9);
    // The integer value of the word is not the frequency.
    EXPECT_NE(C::roundChannelBits(bits), static_cast<double>(bits));
    EXPECT_EQ(C::roundChannelBits(0x7FC00000u), 0.0);  // NaN
}

TEST(GpsDate, WeeksToCalendarDays) {
    const struct {
        int week;
        double seconds;
        int year, month, day, hours, minutes;
        double secs;
    } cases[] = {
        {1024, 0, 1999, 8, 22, 0, 0, 0},
        {0, 0, 1980, 1, 6, 0, 0, 0},
        // 2020-02-29 is a Saturday, the last day of GPS week 2094.
        {2094, 6 * 86400.0 + 3723.5, 2020, 2, 29, 1, 2, 3.5},
        {2095, 0, 2020, 3, 1, 0, 0, 0},
        // 2016-12-31: day 366 of a leap year.
        {1929, 6 * 86400.0, 2016, 12, 31, 0, 0, 0},
    };
    for (const auto& c : cases) {
        int y = 0, mo = 0, d = 0, h = 0, mi = 0;
        double s = -1;
        C::gpsTimeToDate(c.week, c.seconds, &y, &mo, &d, &h, &mi, &s);
        EXPECT_EQ(y, c.year) << c.week;
        EXPECT_EQ(mo, c.month) << c.week;
        EXPECT_EQ(d, c.day) << c.week;
        EXPECT_EQ(h, c.hours) << c.week;
        EXPECT_EQ(mi, c.minutes) << c.week;
        EXPECT_DOUBLE_EQ(s, c.secs) << c.week;
    }
    int y = 0, doy = 0, h = 0, mi = 0;
    double s = 0;
    C::gpsTimeToDayOfYear(1929, 6 * 86400.0 + 59.75, y, doy, h, mi, s);
    EXPECT_EQ(y, 2016);
    EXPECT_EQ(doy, 366);
    EXPECT_DOUBLE_EQ(s, 59.75);
    // Optional outputs may be null.
    C::gpsTimeToDate(1024, 0, &y, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(y, 1999);
}

std::vector<std::string> names(const C::Options& o) {
    std::vector<std::string> out;
    for (const auto& e : o) {
        out.push_back(e.first + ":" + std::to_string(e.second));
    }
    return out;
}

using Strings = std::vector<std::string>;

TEST(OptionLists, DependOnDeviceTypeBoardAndFlags) {
    C::Receiver newOnNovatel{1, 2, false, false};
    EXPECT_EQ(names(C::outputRates(newOnNovatel)),
              (Strings{"OFF:0", "5 s:5", "2 s:4", "1 Hz:3", "2 Hz:11", "5 Hz:2", "10 Hz:1"}));
    EXPECT_EQ(C::nmeaSentences(newOnNovatel).size(), 17u);
    EXPECT_EQ(C::diffFormats(newOnNovatel).front(), (std::pair<std::string, int>{"CMR", 2}));

    C::Receiver board5{2, 5, false, false};
    EXPECT_EQ(names(C::outputRates(board5)), Strings{"OFF:0"});
    EXPECT_EQ(C::nmeaSentences(board5).size(), 9u);

    const struct {
        C::Receiver r;
        const char* first;
        std::size_t count;
    } sentences[] = {
        {{2, 2, true, false}, "GPGGALONG", 11}, {{2, 2, false, false}, "GPGGA", 11},
        {{2, 1, false, false}, "GPGGA", 11},    {{2, 4, false, false}, "GPGGA", 11},
        {{2, 7, false, false}, "GPGGA", 11},
    };
    for (const auto& c : sentences) {
        const C::Options o = C::nmeaSentences(c.r);
        EXPECT_EQ(o.front().first, c.first);
        EXPECT_EQ(o.front().second, 1);
        EXPECT_EQ(o.size(), c.count);
    }
    EXPECT_EQ(C::nmeaSentences({2, 1, false, false}).back(),
              (std::pair<std::string, int>{"PTNL,PJT", 32768}));
    EXPECT_EQ(C::outputRates({2, 1, false, false}).size(), 9u);
    EXPECT_EQ(names(C::outputRates({2, 7, false, false})).back(), "5 Hz:2");

    EXPECT_EQ(names(C::diffFormats({1, 7, false, false})),
              (Strings{"CMR:0", "CMR+:1", "RTCM3:3", "RTCM3.2:6"}));
    EXPECT_EQ(names(C::diffFormats({2, 7, false, true})).back(), "Auto:7");
    EXPECT_EQ(names(C::diffFormats({2, 2, false, true})),
              (Strings{"CMR:0", "CMR+:1", "RTCM2:2", "RTCM3:3", "RTCA:4", "sCMR:5", "RTCM3.2:6",
                       "Auto:7"}));
    EXPECT_EQ(C::diffFormats({2, 2, false, false}).size(), 7u);

    EXPECT_EQ(names(C::staticRates({2, 7, false, false})),
              (Strings{"10 Hz:252", "2 Hz:250", "1 Hz:1", "2 s:2", "5 s:5", "10 s:10", "15 s:15",
                       "30 s:30", "60 s:60", "2 Min:120"}));
    EXPECT_EQ(names(C::staticRates({1, 2, false, false})).front(), "5 Hz:251");
    EXPECT_EQ(names(C::serverModes()),
              (Strings{"Ntrip Client:2", "ORLO Base:4", "ORLO Rover:3", "TCP Direct:5"}));
    EXPECT_EQ(names(C::rtkRates()), (Strings{"1 Hz:3", "2 Hz:11", "5 Hz:2"}));
}

// ---- Base position list.

BASE_POS_ENTRY entry(double latDeg, double lonDeg, float height) {
    BASE_POS_ENTRY e{};
    e.first = latDeg * BasePositionList::kDegToRad;
    e.second = lonDeg * BasePositionList::kDegToRad;
    std::memcpy(&e.value, &height, sizeof height);
    return e;
}

BASE_POS_LIST_STRUCT answer(double radius, std::uint8_t limit, std::vector<BASE_POS_ENTRY> list) {
    BASE_POS_LIST_STRUCT r{};
    r.value = radius;
    r.limit = limit;
    r.list = std::move(list);
    return r;
}

double latDeg(const BASE_POS_ENTRY& e) {
    return e.first * BasePositionList::kRadToDeg;
}

TEST(BasePositions, AddRuleOverwritesInsertsOrReplacesTheFirst) {
    const struct {
        const char* what;
        std::uint8_t limit;
        double lat, lon;
        std::size_t count;
        std::size_t at;  // index of the new entry
    } cases[] = {
        {"1.1 m away overwrites", 5, 30.00001, 120.0, 2, 0},
        {"111 m away inserts at the front", 5, 30.001, 120.0, 3, 0},
        {"full list overwrites the first", 2, 30.001, 120.0, 2, 0},
        // 0.0001 degree of longitude counts as 11.1 m whatever the latitude.
        {"11.1 m of longitude inserts", 5, 30.0, 120.0001, 3, 0},
    };
    for (const auto& c : cases) {
        BasePositionList l;
        l.takeAnswer(answer(5.0, c.limit, {entry(30.0, 120.0, 10.5f), entry(31.0, 121.0, 2.0f)}));
        ASSERT_TRUE(l.add(c.lat, c.lon, 7.25)) << c.what;
        ASSERT_EQ(l.record().list.size(), c.count) << c.what;
        EXPECT_NEAR(latDeg(l.record().list[c.at]), c.lat, 1e-9) << c.what;
        float h = 0;
        std::memcpy(&h, &l.record().list[c.at].value, sizeof h);
        EXPECT_EQ(h, 7.25f) << c.what;
    }
    // A radius of 12 m takes in the 11.1 m longitude step.
    BasePositionList l;
    l.takeAnswer(answer(12.0, 5, {entry(60.0, 10.0, 1.0f)}));
    ASSERT_TRUE(l.add(60.0, 10.0001, 1.0));
    EXPECT_EQ(l.record().list.size(), 1u);
}

TEST(BasePositions, EditsWaitForTheListAnswerAndIgnoreBadIndexes) {
    BasePositionList l;
    EXPECT_FALSE(l.add(30, 120, 1));
    EXPECT_FALSE(l.remove(0));
    EXPECT_FALSE(l.clear());
    EXPECT_FALSE(l.setDifference(3));
    l.takeAnswer(answer(5.0, 0, {}));
    EXPECT_FALSE(l.add(30, 120, 1));  // a limit of 0 keeps nothing
    l.takeAnswer(answer(5.0, 0, {entry(30, 120, 1)}));
    EXPECT_FALSE(l.add(30, 120, 2));  // not even over the position it holds
    EXPECT_FALSE(l.add(10, 10, 2));
    l.takeAnswer(answer(5.0, 3, {entry(1, 1, 1), entry(2, 2, 2), entry(3, 3, 3)}));
    EXPECT_FALSE(l.remove(3));
    EXPECT_FALSE(l.remove(-1));
    EXPECT_TRUE(l.remove(1));
    ASSERT_EQ(l.record().list.size(), 2u);
    EXPECT_NEAR(latDeg(l.record().list[1]), 3.0, 1e-9);
    EXPECT_TRUE(l.clear());
    EXPECT_TRUE(l.record().list.empty());
    EXPECT_EQ(l.record().value, 5.0);
    EXPECT_EQ(l.record().limit, 3);
    l.resetAnswered();
    EXPECT_FALSE(l.add(30, 120, 1));
}

TEST(BasePositions, EachAnswerReplacesTheDisplayList) {
    BasePositionList l;
    const auto a = answer(4.0, 5, {entry(30.0, 120.0, 10.5f)});
    l.takeAnswer(a);
    l.takeAnswer(a);
    ASSERT_EQ(l.display().size(), 1u);
    EXPECT_NEAR(l.display()[0].latitude, 30.0, 1e-9);
    EXPECT_EQ(l.display()[0].height, 10.5);
    EXPECT_EQ(l.difference(), 4.0);
}

std::vector<unsigned char> oldBytes(std::uint32_t n, const std::vector<std::array<double, 3>>& rs) {
    std::vector<unsigned char> b(16, 0);
    std::memcpy(b.data(), &n, 4);
    for (const auto& r : rs) {
        const auto* p = reinterpret_cast<const unsigned char*>(r.data());
        b.insert(b.end(), p, p + 24);
    }
    return b;
}

TEST(BasePositions, OldProtocolBytesAreBoundedByWhatArrived) {
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        bool parsed;
        std::size_t shown;
    } cases[] = {
        {"a zero height drops its record", oldBytes(2, {{30, 120, 5}, {31, 121, 0}}), true, 1},
        {"three promised, two sent", oldBytes(3, {{30, 120, 5}, {31, 121, 6}}), false, 0},
        {"three bytes", {1, 0, 0}, false, 0},
        {"count wraps in 32 bits", oldBytes(0xFFFFFFFFu, {{30, 120, 5}}), false, 0},
        {"count 0x0AAAAAAB", oldBytes(0x0AAAAAABu, {{30, 120, 5}}), false, 0},
    };
    for (const auto& c : cases) {
        BasePositionList l;
        l.appendBytes(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(l.parse(), c.parsed) << c.what;
        EXPECT_EQ(l.display().size(), c.shown) << c.what;
        EXPECT_EQ(l.bufferedBytes(), c.parsed ? 0u : c.bytes.size()) << c.what;
    }
    // Two answers without a query: each entry once.
    BasePositionList l;
    for (int i = 0; i < 2; ++i) {
        const auto b = oldBytes(1, {{30, 120, 5}});
        l.appendBytes(b.data(), b.size());
        ASSERT_TRUE(l.parse());
    }
    EXPECT_EQ(l.display().size(), 1u);
}

// ---- Source-list pieces.

TEST(SourceList, PiecesBeforeTheAnswerLineAreDroppedAndTheEndIsAnnouncedOnce) {
    SourceListCollector c;
    const std::string junk = "ICY garbage";
    const std::string second = "SOURCETABLE 200 OK\r\nSTR;MP1;x\r\n";
    const std::string third = "STR;MP2;y\r\nENDSOURCETABLE\r\n";
    EXPECT_FALSE(c.addPiece(junk.data(), junk.size()));
    EXPECT_TRUE(c.text().empty());
    EXPECT_FALSE(c.addPiece(second.data(), second.size()));
    EXPECT_TRUE(c.addPiece(third.data(), third.size()));
    EXPECT_EQ(c.text(), second + third);
    EXPECT_FALSE(c.addPiece(third.data(), third.size()));
    c.reset();
    EXPECT_TRUE(c.text().empty());
    EXPECT_FALSE(c.addPiece(third.data(), third.size()));
}

TEST(SourceList, AStatusLineSplitOverTwoPiecesIsFound) {
    for (std::size_t cut = 1; cut < 20; ++cut) {
        SourceListCollector c;
        const std::string all = "xyzSOURCETABLE 200 OK\r\nSTR;MP1;\r\nENDSOURCETABLE";
        const std::string a = all.substr(0, 3 + cut);
        const std::string b = all.substr(3 + cut);
        EXPECT_FALSE(c.addPiece(a.data(), a.size()));
        EXPECT_TRUE(c.addPiece(b.data(), b.size())) << cut;
        EXPECT_EQ(c.text(), all.substr(3)) << cut;
    }
    // The end mark split over two pieces completes the table too.
    SourceListCollector c;
    const std::string a = "SOURCETABLE 200 OK\r\nSTR;A;\r\nENDSOURCE";
    const std::string b = "TABLE\r\n";
    EXPECT_FALSE(c.addPiece(a.data(), a.size()));
    EXPECT_TRUE(c.addPiece(b.data(), b.size()));
}

// An NTRIP 2 caster's answer as a receiver forwards it, behind its modem's echo of the request:
// the body, chunks decoded, behind an NTRIP 1 status line, cut into pieces anywhere.
TEST(SourceList, AnNtrip2AnswerChunkedIsTakenAfterTheModemsEcho) {
    const std::string answer =
        "GET / HTTP/1.0\r\n\r\nHTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\n"
        "Transfer-Encoding: chunked\r\n\r\n"
        "b\r\nSTR;MP1;x\r\n\r\n"
        "1b\r\nSTR;MP2;y\r\nENDSOURCETABLE\r\n\r\n0\r\n\r\n";
    for (std::size_t cut = 1; cut < answer.size(); ++cut) {
        SourceListCollector c;
        const std::string a = answer.substr(0, cut);
        const std::string b = answer.substr(cut);
        const bool early = c.addPiece(a.data(), a.size());
        const bool late = c.addPiece(b.data(), b.size());
        EXPECT_TRUE(early != late) << cut;
        EXPECT_EQ(c.text(), "SOURCETABLE 200 OK\r\nSTR;MP1;x\r\nSTR;MP2;y\r\nENDSOURCETABLE\r\n")
            << cut;
    }
}

TEST(SourceList, AFullPieceKeepsEveryByteAndLengthsAreClamped) {
    SourceListCollector c;
    std::string piece = "SOURCETABLE 200 OK\r\n";
    piece.resize(SourceListCollector::kPieceBytes, 'm');
    EXPECT_FALSE(c.addPiece(piece.data(), piece.size()));
    EXPECT_EQ(c.text().size(), SourceListCollector::kPieceBytes);
    EXPECT_EQ(c.text().back(), 'm');
    EXPECT_FALSE(c.addPiece(nullptr, 10));
}

}  // namespace
}  // namespace varnok_test
