#include <gtest/gtest.h>

#include <random>
#include <string>

#include "BVParse/Em_Gnss.h"
#include "Em_NewProtocol.h"
#include "Em_OemNewProtocol.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using NewWire::Cat;
using NewWire::ChunkFrame;
using NewWire::Envelope;
using NewWire::MakeFrame;
using NewWire::U16;
using NewWire::U32;
using NewWire::U8;

namespace {

struct Report {
    Msg_Type category;
    uint32_t flags;
    uint32_t radioValue;  // 0x0703 as stored when the report was made
    bool operator==(const Report& o) const { return category == o.category && flags == o.flags; }
};

// A new-protocol receiver, Em_Gnss(2, 8), fed through RcvData and ParseData; the data
// callback records each report with the 0x0703 value stored when it was made.
class NewLink {
public:
    NewLink() : gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL), proto(Proto()) {
        static const _CALLBACKS_RECEIVER callbacks = {&NewLink::OnData, nullptr};
        gnss.Reg_Callbacks(&callbacks, this);
    }

    void Feed(const std::vector<uint8_t>& bytes) {
        gnss.RcvData(bytes.data(), static_cast<unsigned>(bytes.size()));
    }
    std::vector<Report> Parse() {
        reports.clear();
        gnss.ParseData();
        return reports;
    }
    std::vector<Report> FeedAndParse(const std::vector<uint8_t>& bytes) {
        Feed(bytes);
        return Parse();
    }
    Em_OemNewData& Data() { return *static_cast<Em_OemNewProtocol*>(proto.Board())->NewData(); }
    NewReceiverState& State() { return Data().state; }

    Em_Gnss gnss;
    Em_NewProtocol& proto;
    std::vector<Report> reports;

private:
    Em_NewProtocol& Proto() {
        auto* p = dynamic_cast<Em_NewProtocol*>(gnss.Get_Protocol());
        EXPECT_NE(p, nullptr);
        return *p;
    }
    static void OnData(Msg_Type category, uint32_t flags, const void* user) {
        auto* self = static_cast<NewLink*>(const_cast<void*>(user));
        self->reports.push_back({category, flags, self->State().radioFrequency});
    }
};

std::vector<uint8_t> MaskFrame(uint16_t operation, uint8_t mask) {
    return MakeFrame(operation, {{0x0451, U8(mask)}});
}

std::vector<uint8_t> Gga(const std::string& rest = ",123519,4807.038,N,01131.000,E,1,08*47") {
    std::string s = "$GPGGA" + rest + "\r\n";
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Cuts a frame into n nearly equal chunks.
std::vector<std::vector<uint8_t>> Pieces(const std::vector<uint8_t>& frame, size_t n) {
    std::vector<std::vector<uint8_t>> out;
    size_t at = 0;
    for (size_t i = 0; i < n; ++i) {
        size_t k = (frame.size() - at) / (n - i);
        out.emplace_back(frame.begin() + at, frame.begin() + at + k);
        at += k;
    }
    return out;
}

}  // namespace

TEST(NewProtocolReassemblyTest, FrameOverThreeChunksReportsOnceAfterTheLast) {
    NewLink link;
    auto parts = Pieces(MaskFrame(14, 9), 3);
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 0, parts[0])).empty());
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 1, parts[1])).empty());
    auto reports = link.FeedAndParse(Envelope(1, 2, parts[2]));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].category, MSG_NEW_CLASS_3);
    EXPECT_EQ(reports[0].flags, 0x4u);
    EXPECT_EQ(link.Data().Status_Word, 9);
}

TEST(NewProtocolReassemblyTest, OperationCodeGivesTheCategory) {
    const std::pair<uint16_t, Msg_Type> table[] = {
        {2, MSG_NEW_CLASS_4},  {3, MSG_NEW_CLASS_4},    {10, MSG_NEW_CLASS_4},
        {11, MSG_NEW_CLASS_4}, {38, MSG_NEW_CLASS_4},   {39, MSG_NEW_CLASS_4},
        {14, MSG_NEW_CLASS_3}, {15, MSG_NEW_CLASS_3},   {16, MSG_NEW_CLASS_3},
        {34, MSG_NEW_CLASS_5}, {35, MSG_NEW_CLASS_5},   {42, MSG_NEW_CLASS_5},
        {43, MSG_NEW_CLASS_5}, {22, MSG_NEW_CLASS_6},   {23, MSG_NEW_CLASS_6},
        {46, MSG_NEW_CLASS_6}, {47, MSG_NEW_CLASS_6},   {50, MSG_NEW_CLASS_6},
        {51, MSG_NEW_CLASS_6}, {12, MSG_NEW_OTHER},     {0, MSG_NEW_OTHER},
        {17, MSG_NEW_OTHER},   {0xFFFF, MSG_NEW_OTHER},
    };
    NewLink link;
    uint8_t seq = 0;
    for (const auto& [op, category] : table) {
        auto reports = link.FeedAndParse(ChunkFrame(MaskFrame(op, 1), &seq));
        ASSERT_EQ(reports.size(), 1u) << op;
        EXPECT_EQ(reports[0].category, category) << op;
        EXPECT_EQ(reports[0].flags, 0x4u) << op;
    }
}

TEST(NewProtocolReassemblyTest, SequenceGapsAndTypeChanges) {
    NewLink link;
    // 250 then 0 are consecutive.
    auto parts = Pieces(MaskFrame(14, 3), 2);
    link.FeedAndParse(Envelope(1, 249, Cat({MaskFrame(14, 1)})));
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 250, parts[0])).empty());
    EXPECT_EQ(link.FeedAndParse(Envelope(1, 0, parts[1])).size(), 1u);
    EXPECT_EQ(link.Data().Status_Word, 3);

    // 250 then 1 is a gap: the frame is dropped, the next one decodes.
    parts = Pieces(MaskFrame(14, 4), 2);
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 250, Cat({MaskFrame(14, 5)}))).size() == 1u);
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 0, parts[0])).empty());
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 2, parts[1])).empty());
    EXPECT_EQ(link.Data().Status_Word, 5);
    uint8_t seq = 3;
    EXPECT_EQ(link.FeedAndParse(ChunkFrame(MaskFrame(14, 6), &seq)).size(), 1u);
    EXPECT_EQ(link.Data().Status_Word, 6);

    // A change of chunk type drops the partial frame too.
    parts = Pieces(MaskFrame(14, 7), 2);
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, seq++, parts[0])).empty());
    EXPECT_TRUE(link.FeedAndParse(Envelope(2, seq++, parts[1])).empty());
    EXPECT_EQ(link.Data().Status_Word, 6);
    EXPECT_EQ(link.FeedAndParse(ChunkFrame(MaskFrame(14, 8), &seq, 250, 2)).size(), 1u);
    EXPECT_EQ(link.Data().Status_Word, 8);
}

// A header left half read when the buffer is emptied must not be read against the bytes
// that follow.
TEST(NewProtocolReassemblyTest, EmptyingTheBufferRestartsTheFrameHunt) {
    NewLink link;
    std::vector<uint8_t> first = MakeFrame(14, {{0x1504, std::vector<uint8_t>(300, 0)}});
    std::vector<uint8_t> head(first.begin(), first.begin() + 20);
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 0, head)).empty());
    EXPECT_NE(link.proto.Frame_State(), 0);
    // Chunk 1 lost; chunk 2 carries a whole frame of its own.
    auto reports = link.FeedAndParse(Envelope(1, 2, MaskFrame(14, 11)));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(link.Data().Status_Word, 11);
}

// A chunk cut off by Data_Clear must not swallow the first bytes that arrive after it.
TEST(NewProtocolReassemblyTest, ClearedRingRestartsTheChunkHunt) {
    for (size_t cut : {2u, 4u, 9u}) {
        NewLink link;
        std::vector<uint8_t> first = Envelope(1, 0, MaskFrame(14, 1));
        EXPECT_TRUE(link.FeedAndParse({first.begin(), first.begin() + cut}).empty());
        link.gnss.Data_Clear();
        auto reports = link.FeedAndParse(Envelope(1, 1, MaskFrame(14, 31)));
        ASSERT_EQ(reports.size(), 1u) << cut;
        EXPECT_EQ(link.Data().Status_Word, 31);
    }
}

TEST(NewProtocolReassemblyTest, GgaBetweenChunksLeavesTheFrameIntact) {
    NewLink link;
    auto parts = Pieces(MaskFrame(15, 12), 2);
    EXPECT_TRUE(link.FeedAndParse(Envelope(1, 0, parts[0])).empty());
    auto reports = link.FeedAndParse(Gga());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].category, MSG_NEW_GGA);
    EXPECT_EQ(reports[0].flags, 0x1u);
    const std::vector<uint8_t> line = Gga();
    EXPECT_EQ(std::string(link.Data().sentence), std::string(line.begin(), line.end()));
    reports = link.FeedAndParse(Envelope(1, 1, parts[1]));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].category, MSG_NEW_CLASS_3);
    EXPECT_EQ(link.Data().Status_Word, 12);

    // A line longer than 251 bytes is dropped; the stream goes on.
    reports = link.FeedAndParse(Gga(std::string(300, ',')));
    EXPECT_TRUE(reports.empty());
    uint8_t seq = 2;
    EXPECT_EQ(link.FeedAndParse(ChunkFrame(MaskFrame(14, 13), &seq)).size(), 1u);
}

TEST(NewProtocolReassemblyTest, EachItemCarriesItsOwnTagAndLength) {
    NewLink link;
    uint8_t seq = 0;
    std::vector<uint8_t> frame = MakeFrame(
        14, {{0x0451, U8(7)}, {0x0450, U8(60)}, {0x0703, U32(0x43D20000)}, {0x7777, U16(1)}},
        0x0451);
    auto reports = link.FeedAndParse(ChunkFrame(frame, &seq));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].flags, 0x4u | 0x2u | 0x1u);
    EXPECT_EQ(link.Data().Status_Word, 7);
    EXPECT_EQ(link.State().pdopMask, 60);
    EXPECT_EQ(link.State().radioFrequency, 0x43D20000u);
    EXPECT_EQ(link.Data().lastCommandId, 0x0451u);
}

TEST(NewProtocolReassemblyTest, BadFramesCostOneByte) {
    std::vector<uint8_t> badTrailer = MaskFrame(14, 1);
    badTrailer.back() = 0x25;
    std::vector<uint8_t> shortBody = MaskFrame(14, 1);
    shortBody[12] = 9;
    std::vector<uint8_t> longBody = MaskFrame(14, 1);
    longBody[11] = 0x50;  // 20481
    longBody[12] = 0x01;
    std::vector<uint8_t> tooBigToFit = MaskFrame(14, 1);
    tooBigToFit[11] = 0x4F;  // 20462: would never fit with its 19 bytes
    tooBigToFit[12] = 0xEE;
    for (const auto& bad : {badTrailer, shortBody, longBody, tooBigToFit}) {
        NewLink link;
        uint8_t seq = 0;
        auto reports = link.FeedAndParse(ChunkFrame(Cat({bad, MaskFrame(14, 21)}), &seq));
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(link.Data().Status_Word, 21);
    }
}

TEST(NewProtocolReassemblyTest, TwoFramesInOneChunkReportOneEach) {
    NewLink link;
    auto reports =
        link.FeedAndParse(Envelope(1, 0, Cat({MaskFrame(14, 1), MakeFrame(2, {{0x0450, U8(2)}})})));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].category, MSG_NEW_CLASS_3);
    EXPECT_EQ(reports[0].flags, 0x4u);
    EXPECT_EQ(reports[1].category, MSG_NEW_CLASS_4);
    EXPECT_EQ(reports[1].flags, 0x2u);
}

TEST(NewProtocolReassemblyTest, DifferentialDataPacket) {
    Em_NewProtocol proto;
    proto.Create_Board(MAINBD_NEWPROTOCOL);
    Cmd_List cmds;
    EXPECT_EQ(proto.Send_DiffDataToGnss(cmds, nullptr, 3), 0);
    const unsigned char bytes[3] = {0xD3, 0x00, 0x01};
    EXPECT_EQ(proto.Send_DiffDataToGnss(cmds, bytes, 0), 0);
    EXPECT_TRUE(cmds.empty());
    EXPECT_EQ(proto.Send_DiffDataToGnss(cmds, bytes, 3), 1);
    std::vector<NewWire::Frame> frames;
    std::string error;
    ASSERT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Operation(), 50);
    ASSERT_EQ(frames[0].items.size(), 2u);
    EXPECT_EQ(frames[0].items[1].tag, 0x1504);
    EXPECT_EQ(NewWire::Hex(frames[0].items[1].value), "00 00 00 03 D3 00 01");
}

// 500 frames, over 100 KB, with GGA lines between them, arriving in random slices: every
// frame is reported exactly once and in order, also where the reassembly buffer has taken
// in more than its 20 KB.
TEST(NewProtocolReassemblyTest, FiveHundredFramesWithoutLoss) {
    std::mt19937 rng(2024);
    std::vector<uint8_t> stream;
    uint8_t seq = 0;
    size_t frameBytes = 0;
    const uint32_t kFrames = 500;
    for (uint32_t i = 1; i <= kFrames; ++i) {
        std::vector<uint8_t> pad(100 + rng() % 400);
        for (auto& b : pad) {
            b = static_cast<uint8_t>(rng());
        }
        std::vector<uint8_t> frame = MakeFrame(
            i % 2 ? 14 : 47, {{0x1504, Cat({U32(uint32_t(pad.size())), pad})}, {0x0703, U32(i)}});
        frameBytes += frame.size();
        std::vector<uint8_t> chunks = ChunkFrame(frame, &seq, 1 + rng() % 250);
        stream.insert(stream.end(), chunks.begin(), chunks.end());
        if (i % 7 == 0) {
            std::vector<uint8_t> line = Gga();
            stream.insert(stream.end(), line.begin(), line.end());
        }
    }
    ASSERT_GT(frameBytes, 100000u);

    NewLink link;
    std::vector<Report> reports;
    for (size_t at = 0; at < stream.size();) {
        size_t n = std::min<size_t>(1 + rng() % 3000, stream.size() - at);
        link.Feed(std::vector<uint8_t>(stream.begin() + at, stream.begin() + at + n));
        auto got = link.Parse();
        reports.insert(reports.end(), got.begin(), got.end());
        at += n;
    }
    uint32_t next = 1;
    size_t ggas = 0;
    for (const Report& r : reports) {
        if (r.category == MSG_NEW_GGA) {
            ++ggas;
            continue;
        }
        ASSERT_EQ(r.radioValue, next) << "frame lost or repeated";
        EXPECT_EQ(r.category, next % 2 ? MSG_NEW_CLASS_3 : MSG_NEW_CLASS_6);
        EXPECT_EQ(r.flags, 0x1u);
        ++next;
    }
    EXPECT_EQ(next, kFrames + 1);
    EXPECT_EQ(ggas, kFrames / 7);
}
