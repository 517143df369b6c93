#include "FakeBluetoothBackend.h"

#include <chrono>

namespace varnok_test {

using Brevan2011::BVComm::kLookupCancelled;
using Brevan2011::BVComm::kLookupNoMoreResults;

bool FakeBluetoothBackend::State::waitBlocked() {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(5), [this] { return blocked; });
}

FakeBluetoothBackend::AdapterState FakeBluetoothBackend::adapterState() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    return state_->adapter;
}

int FakeBluetoothBackend::powerOn() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->powerOnCalls;
    if (state_->powerOnResult == 0) {
        state_->adapter = AdapterState::Up;
    }
    return state_->powerOnResult;
}

int FakeBluetoothBackend::beginLookup() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->beginCalls;
    state_->cancelled = false;
    return state_->beginResult;
}

int FakeBluetoothBackend::nextResult(Result& result) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    ++state_->nextCalls;
    if (state_->cancelled) {
        return kLookupCancelled;
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
        return kLookupNoMoreResults;
    }
    state_->blocked = true;
    state_->changed.notify_all();
    state_->changed.wait(lock, [this] { return state_->cancelled; });
    state_->blocked = false;
    return kLookupCancelled;
}

void FakeBluetoothBackend::cancelLookup() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->cancelCalls;
    state_->cancelled = true;
    state_->changed.notify_all();
}

void FakeBluetoothBackend::endLookup() {
    std::lock_guard<std::mutex> guard(state_->mutex);
    ++state_->endCalls;
    // Ending also releases a waiting nextResult, as closing the lookup does on a platform.
    state_->cancelled = true;
    state_->changed.notify_all();
}

int FakeBluetoothBackend::bind(unsigned int index, std::uint64_t address, std::uint8_t channel,
                               const GUID& serviceClass) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->binds.push_back(Binding{index, address, channel, serviceClass});
    if (state_->bindResult == 0) {
        state_->bound.insert(index);
    }
    return state_->bindResult;
}

int FakeBluetoothBackend::release(unsigned int index) {
    std::lock_guard<std::mutex> guard(state_->mutex);
    state_->releases.push_back(index);
    state_->bound.erase(index);
    return 0;
}

FakeBluetoothBackend::Step FakeBluetoothBackend::device(const char* name, std::uint64_t address,
                                                        int addressCount) {
    Step step;
    step.result.name = name;
    step.result.address = address;
    step.result.addressCount = addressCount;
    return step;
}

FakeBluetoothBackend::Step FakeBluetoothBackend::code(int value) {
    Step step;
    step.code = value;
    return step;
}

}  // namespace varnok_test
