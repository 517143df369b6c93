#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace Brevan2011 {
namespace BVDevice {

// A small set of events (at most 32), each manual or auto reset, that threads wait on
// together. A wait returns the lowest-numbered signalled event of those it waits for, so an
// earlier event wins when several are signalled; an auto-reset event is cleared by the wait
// that returns it.
class EventSet {
public:
    static constexpr int kTimeout = -1;
    static constexpr int kMaxEvents = 32;

    // manualMask: bit i set makes event i manual reset.
    explicit EventSet(std::uint32_t manualMask);
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    void set(int event);
    void reset(int event);
    void resetAll();
    bool isSet(int event) const;

    // Waits for any event of waitMask; timeoutMs < 0 waits without limit. Returns the event
    // or kTimeout.
    int waitAny(std::uint32_t waitMask, long timeoutMs);

    static constexpr std::uint32_t bit(int event) { return 1u << event; }

private:
    int takeLowest(std::uint32_t waitMask);

    const std::uint32_t manual_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint32_t signalled_ = 0;
};

}  // namespace BVDevice
}  // namespace Brevan2011
