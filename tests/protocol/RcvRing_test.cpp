#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "BVParse/Em_RcvRing.h"

using Brevan2011::BVParse::Em_RcvRing;

namespace {

unsigned char Pattern(int i) {
    return static_cast<unsigned char>(i % 251);
}

// Fills the ring with `fill` pattern bytes, consumes `mark` and reads on to `cursor`.
void Seed(Em_RcvRing& ring, int mark, int cursor, int fill) {
    std::vector<unsigned char> bytes(static_cast<size_t>(fill));
    for (int i = 0; i < fill; ++i) {
        bytes[static_cast<size_t>(i)] = Pattern(i);
    }
    ring.Append(bytes.data(), fill);
    std::vector<unsigned char> sink(static_cast<size_t>(cursor) + 1);
    if (mark > 0) {
        ASSERT_EQ(ring.Read(sink.data(), mark), 1);
    }
    ring.Commit();
    if (cursor > mark) {
        ASSERT_EQ(ring.Read(sink.data(), cursor - mark), 1);
    }
}

struct AppendCase {
    int mark, cursor, fill, n;
    int expectMark, expectCursor, expectFill;
    int expectTaken;
};

// A full ring never drops what it holds: it takes what fits, the caller keeps the rest.
TEST(RcvRing, AppendCompactsThenTakesWhatFits) {
    const int full = Em_RcvRing::kDefaultSize;
    const AppendCase cases[] = {
        {0, 0, 0, full, 0, 0, full, full},                      // exactly fits an empty ring
        {0, 0, full, 1, 0, 0, full, 0},                         // full: nothing taken or lost
        {0, 0, 100, 0, 0, 0, 100, 0},                           // nothing to add
        {100, 150, full, 50, 0, 50, full - 50, 50},             // consumed bytes make room
        {100, 100, full, 101, 0, 0, full, 100},                 // as many as fit after that
        {18450, 18450, 18450, 2048, 0, 0, 2048, 2048},          // a port read near the end
        {18000, 18200, 18470, 2048, 0, 200, 470 + 2048, 2048},  // unparsed bytes survive it
    };
    for (const auto& c : cases) {
        Em_RcvRing ring;
        Seed(ring, c.mark, c.cursor, c.fill);
        std::vector<unsigned char> add(static_cast<size_t>(c.n) + 1, 0xEE);
        const int taken = ring.Append(add.data(), c.n);
        const std::string at = "case mark " + std::to_string(c.mark) + " fill " +
                               std::to_string(c.fill) + " n " + std::to_string(c.n);
        EXPECT_EQ(taken, c.expectTaken) << at;
        EXPECT_EQ(ring.Mark(), c.expectMark) << at;
        EXPECT_EQ(ring.Cursor(), c.expectCursor) << at;
        EXPECT_EQ(ring.Fill(), c.expectFill) << at;
        EXPECT_EQ(ring.Full(), ring.Fill() - ring.Mark() == full) << at;
        if (c.fill > c.mark) {
            // Every unconsumed byte is kept, in order, ahead of the new ones.
            ring.Rewind();
            std::vector<unsigned char> kept(static_cast<size_t>(c.fill - c.mark));
            ASSERT_EQ(ring.Read(kept.data(), c.fill - c.mark), 1) << at;
            for (int i = 0; i < c.fill - c.mark; ++i) {
                ASSERT_EQ(kept[static_cast<size_t>(i)], Pattern(c.mark + i)) << at << " @" << i;
            }
            unsigned char next = 0;
            EXPECT_EQ(ring.Read(&next, 1), taken > 0 ? 1 : 0) << at;
            if (taken > 0) {
                EXPECT_EQ(next, 0xEE);
            }
        }
    }
}

TEST(RcvRing, ReadPeekSkipRewindCommit) {
    Em_RcvRing ring;
    const unsigned char bytes[] = {'a', 'b', 'c', 'd', 'e'};
    ring.Append(bytes, 5);
    unsigned char out[8] = {0};
    EXPECT_EQ(ring.Read(out, 0), 0);
    EXPECT_EQ(ring.Peek(out, 0), 0);
    EXPECT_EQ(ring.Read(nullptr, 1), 0);
    EXPECT_EQ(ring.Peek(out, 2), 1);
    EXPECT_EQ(ring.Cursor(), 0);
    EXPECT_EQ(ring.Read(out, 2), 1);
    EXPECT_EQ(out[1], 'b');
    EXPECT_EQ(ring.Read(out, 4), 0);  // only 3 left
    EXPECT_EQ(ring.Cursor(), 2);
    ring.Rewind();
    EXPECT_EQ(ring.Cursor(), 0);
    ring.Skip(6);  // more than is there: nothing
    EXPECT_EQ(ring.Mark(), 0);
    ring.Skip(1);
    EXPECT_EQ(ring.Mark(), 1);
    EXPECT_EQ(ring.Cursor(), 1);  // the cursor never trails the mark
    EXPECT_EQ(ring.Read(out, 2), 1);
    ring.Commit();
    EXPECT_EQ(ring.Mark(), 3);
    ring.Compact();
    EXPECT_EQ(ring.Fill(), 2);
    EXPECT_EQ(ring.Read(out, 2), 1);
    EXPECT_EQ(out[0], 'd');
    ring.Clear();
    EXPECT_EQ(ring.Fill() + ring.Cursor() + ring.Mark(), 0);
}

TEST(RcvRing, CompactIfAboveOnlyPastTheThreshold) {
    Em_RcvRing ring;
    Seed(ring, 10, 10, Em_RcvRing::kCompactThreshold);
    ring.Compact_If_Above();
    EXPECT_EQ(ring.Mark(), 10);
    unsigned char one = 1;
    ring.Append(&one, 1);
    ring.Compact_If_Above();
    EXPECT_EQ(ring.Mark(), 0);
    EXPECT_EQ(ring.Fill(), Em_RcvRing::kCompactThreshold + 1 - 10);
}

std::string Line(int totalWithCrLf) {
    std::string s(static_cast<size_t>(totalWithCrLf - 2), 'x');
    return s + "\r\n";
}

TEST(RcvRing, ReadLineTakesLinesUpToTheLimit) {
    struct Case {
        int length;
        bool taken;
    };
    const Case cases[] = {{250, true}, {251, true}, {252, false}, {2, true}};
    for (const auto& c : cases) {
        Em_RcvRing ring;
        const std::string text = Line(c.length) + "tail";
        ring.Append(reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
        std::vector<unsigned char> dest(251, 0);
        int length = -1;
        EXPECT_EQ(ring.Read_Line(dest.data(), 251, &length), c.taken) << c.length;
        EXPECT_EQ(length, c.length);
        if (c.taken) {
            EXPECT_EQ(std::string(dest.begin(), dest.begin() + length), Line(c.length));
            EXPECT_EQ(ring.Cursor(), c.length - 2);  // on the CR
        } else {
            EXPECT_EQ(ring.Cursor(), 0);
        }
    }
}

TEST(RcvRing, ReadLineNeverLooksPastTheFill) {
    Em_RcvRing ring;
    const std::string text = "$GPGGA,1\r";  // CR as the last filled byte
    ring.Append(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    unsigned char dest[251];
    int length = -1;
    EXPECT_FALSE(ring.Read_Line(dest, 251, &length));
    EXPECT_EQ(length, static_cast<int>(text.size()));
    const unsigned char lf = '\n';
    ring.Append(&lf, 1);
    EXPECT_TRUE(ring.Read_Line(dest, 251, &length));
    EXPECT_EQ(length, 10);

    Em_RcvRing empty;
    EXPECT_FALSE(empty.Read_Line(dest, 251, &length));
    EXPECT_EQ(length, 0);
}

}  // namespace

TEST(RcvRing, SkipToLeadPassesOnlyBytesThatOpenNothing) {
    const unsigned char leads[] = {'$', 0xAA, 'q'};
    struct Case {
        const char* bytes;
        int n;
        int count;  // of the leads above
        int expectMark;
    };
    const Case cases[] = {
        {"xx$GP", 1, 1, 2},                      // on to the next lead
        {"$$GP", 1, 1, 1},                       // a lead right after the skipped byte stays
        {"$GPGGA", 1, 1, 6},                     // none left: all consumed
        {"abc$", 3, 1, 3},                       // skipping onto a lead moves no further
        {"abc", 4, 1, 0},                        // more than is there: nothing
        {"abc", 0, 1, 0},    {"ab$c", 1, 0, 1},  // no leads: the plain skip
        {"aaq$", 1, 3, 2},                       // another lead before the first
        {"aa$q", 1, 3, 2},                       // the first lead before another
        {"a\xAA", 1, 3, 1},                      // a lead other than '$'
        {"aaq$", 1, 2, 3},                       // 'q' not in the set given
        {"$q", 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        Em_RcvRing ring;
        const int len = static_cast<int>(std::string(c.bytes).size());
        ring.Append(reinterpret_cast<const unsigned char*>(c.bytes), len);
        ring.Skip_To_Lead(c.n, leads, c.count);
        EXPECT_EQ(ring.Mark(), c.expectMark);
        EXPECT_EQ(ring.Cursor(), c.expectMark);
        EXPECT_EQ(ring.Fill(), len);
    }
}

// Leads far past the first byte, beyond one search window.
TEST(RcvRing, SkipToLeadFindsLeadsFarAhead) {
    const unsigned char leads[] = {'$', 0xAA};
    const std::string far_dollar = std::string(600, 'x') + "$";
    const std::string far_other = std::string(300, 'x') + "\xAA" + std::string(300, 'y') + "$";
    const std::string none(5000, 'x');
    const std::pair<std::string, int> cases[] = {{far_dollar, 600}, {far_other, 300}, {none, 5000}};
    for (const auto& c : cases) {
        Em_RcvRing ring;
        ring.Append(reinterpret_cast<const unsigned char*>(c.first.data()),
                    static_cast<int>(c.first.size()));
        ring.Skip_To_Lead(1, leads, 2);
        EXPECT_EQ(ring.Mark(), c.second);
    }
}

TEST(RcvRing, PeekUpToCopiesWhatIsThereWithoutAdvancing) {
    Em_RcvRing ring;
    const unsigned char bytes[] = {'a', 'b', 'c', 'd', 'e'};
    ring.Append(bytes, 5);
    unsigned char out[8] = {0};
    ASSERT_EQ(ring.Read(out, 1), 1);
    EXPECT_EQ(ring.Peek_Up_To(out, 8), 4);  // only what follows the cursor
    EXPECT_EQ(std::string(out, out + 4), "bcde");
    EXPECT_EQ(ring.Peek_Up_To(out, 2), 2);
    EXPECT_EQ(ring.Cursor(), 1);
    EXPECT_EQ(ring.Peek_Up_To(out, 0), 0);
    EXPECT_EQ(ring.Peek_Up_To(nullptr, 3), 0);
    ASSERT_EQ(ring.Read(out, 4), 1);
    EXPECT_EQ(ring.Peek_Up_To(out, 8), 0);
}

TEST(RcvRing, BeginStepCompactsRewindsAndPeeks) {
    Em_RcvRing ring(16);
    const unsigned char bytes[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'};
    ring.Append(bytes, 10);
    ring.Skip(4);
    unsigned char out[8] = {0};
    ASSERT_EQ(ring.Read(out, 2), 1);  // cursor 6, mark 4
    // Not above the threshold: positions kept, cursor back to the mark.
    EXPECT_EQ(ring.Begin_Step(10, out, 3), 3);
    EXPECT_EQ(std::string(out, out + 3), "efg");
    EXPECT_EQ(ring.Mark(), 4);
    EXPECT_EQ(ring.Cursor(), 4);
    EXPECT_EQ(ring.Fill(), 10);
    // Above it: the consumed bytes go; at most what is there is copied.
    ASSERT_EQ(ring.Read(out, 1), 1);
    EXPECT_EQ(ring.Begin_Step(9, out, 8), 6);
    EXPECT_EQ(std::string(out, out + 6), "efghij");
    EXPECT_EQ(ring.Mark(), 0);
    EXPECT_EQ(ring.Cursor(), 0);
    EXPECT_EQ(ring.Fill(), 6);
    EXPECT_EQ(ring.Begin_Step(100, nullptr, 3), 0);
    EXPECT_EQ(ring.Begin_Step(100, out, 0), 0);
    ring.Skip(6);
    EXPECT_EQ(ring.Begin_Step(100, out, 8), 0);
}
