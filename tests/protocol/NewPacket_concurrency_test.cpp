#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "BVParse/Em_NewPacket.h"
#include "BVParse/Em_NewRecords.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;

// Two sessions building packets at once share the chunk counter: every number is taken
// exactly once, so the numbers of both threads together run on without a gap or repeat.
TEST(NewPacketConcurrencyTest, TwoThreadsShareTheSequenceCounter) {
    const uint8_t first = Next_NewSequence();
    const int kFrames = 400;
    std::vector<uint8_t> payload(600, 0x5A);
    auto worker = [&](std::vector<_STR_CMD>* out) {
        const uint16_t op = 14;
        QX_BLOCK_DATA_STRUCT block{600, payload.data()};
        for (int i = 0; i < kFrames; ++i) {
            Build_NewPacket(*out, {{0x0001, &op}, {0x1504, &block}}, 0);
        }
    };
    std::vector<_STR_CMD> a, b;
    std::thread ta(worker, &a);
    std::thread tb(worker, &b);
    ta.join();
    tb.join();

    std::map<int, int> seen;
    for (const auto* list : {&a, &b}) {
        std::vector<NewWire::Chunk> chunks;
        std::string error;
        ASSERT_TRUE(NewWire::ReadChunks(*list, chunks, &error)) << error;
        for (const auto& c : chunks) {
            ++seen[c.sequence];
        }
    }
    const size_t total = a.size() + b.size();
    ASSERT_EQ(total, size_t{2} * kFrames * 3);
    std::map<int, int> want;
    for (size_t i = 0; i < total; ++i) {
        ++want[static_cast<int>((first + 1 + i) % 251)];
    }
    EXPECT_EQ(seen, want);
}
