#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "BVComm/Bluetooth.h"
#include "FakeBluetoothBackend.h"

using Brevan2011::BVComm::Bluetooth;
using varnok_test::FakeBluetoothBackend;
using namespace std::chrono_literals;

namespace {

TEST(BluetoothCancel, StopFromAnotherThreadEndsABlockedSearch) {
    auto state = std::make_shared<FakeBluetoothBackend::State>();
    state->script = {FakeBluetoothBackend::device("GNSS-1", 1)};
    state->blockWhenEmpty = true;
    Bluetooth bt(std::make_unique<FakeBluetoothBackend>(state));
    ASSERT_TRUE(bt.Start());
    auto search = std::async(std::launch::async, [&bt] { return bt.SearchBluetooth(); });
    ASSERT_TRUE(state->waitBlocked());
    bt.Stop();
    ASSERT_EQ(search.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(search.get(), 1u);
    EXPECT_EQ(bt.GetErrorCode(), 0);
    std::lock_guard<std::mutex> guard(state->mutex);
    EXPECT_EQ(state->endCalls, 1);
    EXPECT_GE(state->cancelCalls, 1);
}

TEST(BluetoothCancel, StopRacingTheSearchsOwnEndEndsTheLookupOnce) {
    for (int i = 0; i < 200; ++i) {
        auto state = std::make_shared<FakeBluetoothBackend::State>();
        state->script = {FakeBluetoothBackend::device("A", 1), FakeBluetoothBackend::code(10110)};
        Bluetooth bt(std::make_unique<FakeBluetoothBackend>(state));
        ASSERT_TRUE(bt.Start());
        std::thread worker([&bt] { bt.Run(); });
        bt.Stop();
        worker.join();
        std::lock_guard<std::mutex> guard(state->mutex);
        ASSERT_EQ(state->endCalls, 1) << "round " << i;
        ASSERT_EQ(bt.GetErrorCode(), 0) << "round " << i;
    }
}

TEST(BluetoothCancel, ABindingStopsARunningSearchFirst) {
    auto state = std::make_shared<FakeBluetoothBackend::State>();
    state->blockWhenEmpty = true;
    state->pairResult = 0;
    Bluetooth bt(std::make_unique<FakeBluetoothBackend>(state));
    ASSERT_TRUE(bt.Start());
    auto search = std::async(std::launch::async, [&bt] { bt.Run(); });
    ASSERT_TRUE(state->waitBlocked());
    EXPECT_EQ(bt.BindBluetooth(0x00025B0A1C2DULL, 3, 0), 0);
    ASSERT_EQ(search.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(bt.GetErrorCode(), 0);
    std::lock_guard<std::mutex> guard(state->mutex);
    // The lookup was cancelled and ended before the pairing began.
    const auto& e = state->events;
    const auto pair = std::find(e.begin(), e.end(), "pair");
    ASSERT_NE(pair, e.end());
    EXPECT_LT(std::find(e.begin(), e.end(), "cancel"), pair);
    EXPECT_LT(std::find(e.begin(), e.end(), "end"), pair);
}

}  // namespace
