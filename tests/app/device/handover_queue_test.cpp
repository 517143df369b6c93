// The hand-over queue alone: producers never wait, one wake-up per batch, nothing lost.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "handover_queue.h"

namespace {

using Varnok::HandoverQueue;

TEST(HandoverQueue, FirstPushAfterADrainAsksForTheOnlyWakeUp) {
    HandoverQueue<int> q;
    EXPECT_TRUE(q.push(1));
    EXPECT_FALSE(q.push(2));
    EXPECT_FALSE(q.push(3));
    EXPECT_EQ(q.takeAll(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(q.takeAll().empty());
    EXPECT_TRUE(q.push(4));
    EXPECT_EQ(q.size(), 1u);
}

TEST(HandoverQueue, EmptyDrainRearmsTheWakeUp) {
    HandoverQueue<int> q;
    EXPECT_TRUE(q.takeAll().empty());
    EXPECT_TRUE(q.push(1));
}

struct Stamped {
    int producer;
    int sequence;
};

// Concurrency: four producers against one consumer that drains only when woken, as the GUI
// thread does. Every record arrives once, in each producer's order, and a wake-up is never
// missing for records still queued.
TEST(HandoverQueue, ProducersAndAWokenConsumerLoseNothing) {
    constexpr int kProducers = 4;
    constexpr int kEach = 20000;
    HandoverQueue<Stamped> q;
    std::atomic<int> wakes{0};
    std::atomic<bool> done{false};
    std::vector<int> next(kProducers, 0);
    int received = 0;
    bool inOrder = true;

    std::thread consumer([&] {
        int handled = 0;
        for (;;) {
            const int w = wakes.load(std::memory_order_acquire);
            if (w > handled) {
                handled = w;
                for (const Stamped& s : q.takeAll()) {
                    inOrder = inOrder && s.sequence == next[static_cast<size_t>(s.producer)];
                    ++next[static_cast<size_t>(s.producer)];
                    ++received;
                }
            } else if (done.load(std::memory_order_acquire) &&
                       wakes.load(std::memory_order_acquire) == handled) {
                return;
            } else {
                std::this_thread::yield();
            }
        }
    });
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kEach; ++i) {
                if (q.push(Stamped{p, i})) {
                    wakes.fetch_add(1, std::memory_order_acq_rel);
                }
            }
        });
    }
    for (auto& t : producers) {
        t.join();
    }
    done.store(true, std::memory_order_release);
    consumer.join();
    EXPECT_EQ(received, kProducers * kEach);
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(q.size(), 0u);
    EXPECT_LE(wakes.load(), received);
}

}  // namespace
