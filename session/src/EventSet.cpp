#include "BVDevice/EventSet.h"

#include <chrono>

namespace Brevan2011 {
namespace BVDevice {

EventSet::EventSet(std::uint32_t manualMask) : manual_(manualMask) {}

void EventSet::set(int event) {
    if (event < 0 || event >= kMaxEvents) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        signalled_ |= bit(event);
    }
    changed_.notify_all();
}

void EventSet::reset(int event) {
    if (event < 0 || event >= kMaxEvents) {
        return;
    }
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ &= ~bit(event);
}

void EventSet::resetAll() {
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ = 0;
}

bool EventSet::isSet(int event) const {
    if (event < 0 || event >= kMaxEvents) {
        return false;
    }
    std::lock_guard<std::mutex> guard(mutex_);
    return (signalled_ & bit(event)) != 0;
}

int EventSet::takeLowest(std::uint32_t waitMask) {
    const std::uint32_t ready = signalled_ & waitMask;
    if (ready == 0) {
        return kTimeout;
    }
    const int event = __builtin_ctz(ready);
    if ((manual_ & bit(event)) == 0) {
        signalled_ &= ~bit(event);
    }
    return event;
}

int EventSet::waitAny(std::uint32_t waitMask, long timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto ready = [&] { return (signalled_ & waitMask) != 0; };
    if (timeoutMs < 0) {
        changed_.wait(lock, ready);
    } else if (!ready()) {
        changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    }
    return takeLowest(waitMask);
}

}  // namespace BVDevice
}  // namespace Brevan2011
