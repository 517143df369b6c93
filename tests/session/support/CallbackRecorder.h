#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "BVParse/Em_GnssTypes.h"

namespace varnok_test {

// Collects what the session's callbacks report: the callbacks are plain functions, so the
// record is process-wide; each test resets it.
class CallbackRecorder {
public:
    using Clock = std::chrono::steady_clock;
    struct Data {
        Brevan2011::BVParse::Msg_Type category;
        std::uint32_t flags;
        const void* user;
        std::thread::id thread;
        Clock::time_point at;
    };
    struct Status {
        bool flag;
        const void* user;
        std::thread::id thread;
        Clock::time_point at;
    };

    static CallbackRecorder& instance();
    static const Brevan2011::BVParse::_CALLBACKS_RECEIVER* callbacks();

    void reset();
    std::vector<Data> data() const;
    std::vector<Status> status() const;
    bool waitData(std::size_t count, int timeoutMs) const;
    bool waitStatus(std::size_t count, int timeoutMs) const;

    // Optional work done inside the data callback (on the parse thread).
    void setOnData(void (*hook)(std::uint32_t flags));

private:
    static void onData(Brevan2011::BVParse::Msg_Type category, std::uint32_t flags,
                       const void* user);
    static void onStatus(bool flag, const void* user);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Data> data_;
    std::vector<Status> status_;
    void (*hook_)(std::uint32_t) = nullptr;
};

}  // namespace varnok_test
