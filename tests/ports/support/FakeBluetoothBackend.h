#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "BVComm/BluetoothBackend.h"

namespace varnok_test {

// A scripted Bluetooth backend. Its state is shared with the test, which keeps reading it after
// a Bluetooth object took the backend over.
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

    static Step device(const char* name, std::uint64_t address, int addressCount = 1);
    static Step code(int value);

private:
    std::shared_ptr<State> state_;
};

}  // namespace varnok_test
