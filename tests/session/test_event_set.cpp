#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "BVDevice/EventSet.h"

using Brevan2011::BVDevice::EventSet;
using namespace std::chrono_literals;

TEST(EventSet, LowestSignalledEventWinsAndAutoResetClearsIt) {
    EventSet events(EventSet::bit(0));  // 0 manual, the rest auto
    const std::uint32_t all = 0x1F;
    events.set(3);
    events.set(1);
    EXPECT_EQ(events.waitAny(all, 0), 1);
    EXPECT_EQ(events.waitAny(all, 0), 3);
    EXPECT_EQ(events.waitAny(all, 0), EventSet::kTimeout);

    events.set(0);
    events.set(2);
    EXPECT_EQ(events.waitAny(all, 0), 0);
    EXPECT_EQ(events.waitAny(all, 0), 0);  // manual: stays signalled
    EXPECT_EQ(events.waitAny(EventSet::bit(2), 0), 2);
    events.reset(0);
    EXPECT_FALSE(events.isSet(0));
    events.set(4);
    events.resetAll();
    EXPECT_EQ(events.waitAny(all, 0), EventSet::kTimeout);
    events.set(40);  // out of range: ignored
    EXPECT_FALSE(events.isSet(40));
}

TEST(EventSet, WaitsAtLeastItsTimeOut) {
    EventSet events(0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(events.waitAny(EventSet::bit(1), 50), EventSet::kTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
}

TEST(EventSet, ASignalFromAnotherThreadWakesAnUnboundedWait) {
    EventSet events(0);
    auto waiter = std::async(std::launch::async, [&] {
        return events.waitAny(EventSet::bit(2) | EventSet::bit(5), -1);
    });
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    events.set(1);  // not waited for
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    events.set(5);
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), 5);
    EXPECT_TRUE(events.isSet(1));
}
