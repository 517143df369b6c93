#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "BVComm/BluetoothBackend.h"

namespace varnok_test {

// A scripted Bluetooth backend (header only, so any test program can take it). Its state is shared
// with the test, which keeps reading it after a Bluetooth object took the backend over.
class FakeBluetoothBackend : public Brevan2011::BVComm::BluetoothBackend {
public:
    using AdapterState = Brevan2011::BVComm::BluetoothAdapterState;
    using Result = Brevan2011::BVComm::BluetoothLookupResult;
    using GUID = Brevan2011::BVComm::GUID;

    // One answer of nextResult: a device when code is 0, else the code.
    struct Step {
        int code = 0;
        Result result;
    };
    struct Binding {
        unsigned int index = 0;
        std::uint64_t address = 0;
        std::uint8_t channel = 0;
        GUID serviceClass;
    };

    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        AdapterState adapter = AdapterState::Up;
        int powerOnResult = 0;
        int powerOnCalls = 0;
        int beginResult = 0;
        int beginCalls = 0;
        std::deque<Step> script;
        bool blockWhenEmpty = false;  // nextResult then waits for a cancel
        bool blocked = false;         // a nextResult is waiting
        bool cancelled = false;
        int nextCalls = 0;
        int cancelCalls = 0;
        int endCalls = 0;
        int bindResult = 0;
        std::vector<Binding> binds;
        std::vector<unsigned int> releases;
        std::set<unsigned int> bound;
        bool ttyAllowed = true;  // canBindTty
        int releaseResult = 0;
        int searchTimeMs = -1;
        // pair(): the result, and whether it asks for a PIN (the PIN then decides: pinExpected
        // pairs, anything else gives 1244).
        int pairResult = Brevan2011::BVComm::kPairUnknownDevice;
        bool pairAsksPin = false;
        std::string pinName = "GNSS-PIN";
        std::string pinExpected = "1234";
        std::vector<std::uint64_t> pairs;
        std::vector<std::string> pinsGiven;
        int pairedResult = 0;
        std::vector<Result> paired;
        // "cancel", "end", "pair", "bind" in the order they happened.
        std::vector<std::string> events;

        // Waits until a nextResult blocks; false after a few seconds.
        bool waitBlocked();
    };

    explicit FakeBluetoothBackend(std::shared_ptr<State> state) : state_(std::move(state)) {}

    AdapterState adapterState() override;
    int powerOn() override;
    int beginLookup() override;
    int nextResult(Result& result) override;
    void cancelLookup() override;
    void endLookup() override;
    int bind(unsigned int index, std::uint64_t address, std::uint8_t channel,
             const GUID& serviceClass) override;
    int release(unsigned int index) override;
    bool canBindTty() override;
    void setSearchTime(int milliseconds) override;
    int pairedDevices(std::vector<Result>& devices) override;
    int pair(std::uint64_t address, const Brevan2011::BVComm::BluetoothPinRequest& pin) override;

    static Step device(const char* name, std::uint64_t address, int addressCount = 1);
    static Step code(int value);

private:
    std::shared_ptr<State> state_;
};

inline bool FakeBluetoothBackend::State::waitBlocked() {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(5), [this] { return blocked; });
}

inline FakeBluetoothBackend::AdapterState FakeBluetoothBackend::adapterState() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->adapter;
}

inline int FakeBluetoothBackend::powerOn() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->powerOnCalls;
    if (state_->powerOnResult == 0) {
        state_->adapter = AdapterState::Up;
    }
    return state_->powerOnResult;
}

inline int FakeBluetoothBackend::beginLookup() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->beginCalls;
    state_->cancelled = false;
    return state_->beginResult;
}

inline int FakeBluetoothBackend::nextResult(Result& result) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    ++state_->nextCalls;
    if (state_->cancelled) {
        return Brevan2011::BVComm::kLookupCancelled;
    }
    if (!state_->script.empty()) {
        Step step = state_->script.front();
        state_->script.pop_front();
        if (step.code == 0) {
            result = step.result;
        }
        return step.code;
    }
    if (!state_->blockWhenEmpty) {
        return Brevan2011::BVComm::kLookupNoMoreResults;
    }
    state_->blocked = true;
    state_->changed.notify_all();
    state_->changed.wait(lock, [this] { return state_->cancelled; });
    state_->blocked = false;
    return Brevan2011::BVComm::kLookupCancelled;
}

inline void FakeBluetoothBackend::cancelLookup() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->cancelCalls;
    state_->events.push_back("cancel");
    state_->cancelled = true;
    state_->changed.notify_all();
}

inline void FakeBluetoothBackend::endLookup() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->endCalls;
    state_->events.push_back("end");
    // Ending also releases a waiting nextResult, as closing the lookup does on a platform.
    state_->cancelled = true;
    state_->changed.notify_all();
}

inline int FakeBluetoothBackend::bind(unsigned int index, std::uint64_t address,
                                      std::uint8_t channel, const GUID& serviceClass) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->events.push_back("bind");
    state_->binds.push_back(Binding{index, address, channel, serviceClass});
    if (state_->bindResult == 0) {
        state_->bound.insert(index);
    }
    return state_->bindResult;
}

inline int FakeBluetoothBackend::release(unsigned int index) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->releases.push_back(index);
    if (state_->releaseResult != 0) {
        return state_->releaseResult;
    }
    state_->bound.erase(index);
    return 0;
}

inline bool FakeBluetoothBackend::canBindTty() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->ttyAllowed;
}

inline void FakeBluetoothBackend::setSearchTime(int milliseconds) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->searchTimeMs = milliseconds;
}

inline int FakeBluetoothBackend::pairedDevices(std::vector<Result>& devices) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    devices = state_->paired;
    return state_->pairedResult;
}

inline int FakeBluetoothBackend::pair(std::uint64_t address,
                                      const Brevan2011::BVComm::BluetoothPinRequest& pin) {
    bool ask = false;
    std::string name;
    {
        std::lock_guard<std::mutex> guard(state_->mutex);
        state_->events.push_back("pair");
        state_->pairs.push_back(address);
        ask = state_->pairAsksPin;
        name = state_->pinName;
    }
    if (!ask) {
        std::lock_guard<std::mutex> guard(state_->mutex);
        return state_->pairResult;
    }
    std::string answer;
    const bool given = pin && pin(name, answer);
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->pinsGiven.push_back(given ? answer : std::string("<refused>"));
    return given && answer == state_->pinExpected ? 0 : 1244;
}

inline FakeBluetoothBackend::Step FakeBluetoothBackend::device(const char* name,
                                                               std::uint64_t address,
                                                               int addressCount) {
    Step step;
    step.result.name = name;
    step.result.address = address;
    step.result.addressCount = addressCount;
    return step;
}

inline FakeBluetoothBackend::Step FakeBluetoothBackend::code(int value) {
    Step step;
    step.code = value;
    return step;
}

}  // namespace varnok_test
