// A real receiver session against the simulated receiver: the session's callbacks copy the
// values of the bits they report through the session's getters, as the program does.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BVDevice/EmGnss_Receiver.h"
#include "SimReceiver/SimReceiver.h"

namespace varnok_test {

// One data callback and the values its bits name, read inside the callback.
struct Reported {
    int category = 0;
    std::uint32_t flags = 0;
    std::map<std::string, long> numbers;
    std::map<std::string, std::string> texts;
    Brevan2011::BVParse::POS_INFO position{};
    Brevan2011::BVParse::QX_GNSS_BASE_SET_STRUCT baseSet{};
};

// The callbacks are plain functions, so the record is process-wide; SimSession resets it.
class Reports {
public:
    static Reports& instance();
    static const Brevan2011::BVParse::_CALLBACKS_RECEIVER* callbacks();

    void reset(Brevan2011::BVDevice::EmGnss_Receiver* session);
    std::vector<Reported> all() const;
    // Waits for a report of the category with any of the bits; false when the time ran out.
    bool waitFor(int category, std::uint32_t bits, int timeoutMs, Reported* out = nullptr) const;
    std::size_t count(int category, std::uint32_t bits) const;

private:
    static void onData(Brevan2011::BVParse::Msg_Type category, std::uint32_t flags,
                       const void* user);
    static void onStatus(bool, const void*) {}

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Reported> reports_;
    Brevan2011::BVDevice::EmGnss_Receiver* session_ = nullptr;
};

// A started simulator and a session of the given board type that reaches it.
class SimSession {
public:
    SimSession(const std::string& script, Brevan2011::BVParse::MAINBD_OEM_TYPE board);
    ~SimSession();

    varnok_sim::SimReceiver& sim() { return sim_; }
    Brevan2011::BVDevice::EmGnss_Receiver& session() { return *session_; }

    // False when the simulator did not start or the session cannot open the link.
    bool openTcp();
    // COM number 41 (serial) or 42 (Bluetooth) mapped to the simulator's pty.
    bool openPty(int baud, bool bluetooth = false);

private:
    varnok_sim::SimReceiver sim_;
    std::unique_ptr<Brevan2011::BVDevice::EmGnss_Receiver> session_;
    bool started_ = false;
};

constexpr int kWaitMs = 10000;

// The bytes one request of a session operation puts on the wire, built by the library.
std::size_t RequestBytes(void (*build)(Brevan2011::BVParse::Em_Gnss&,
                                       std::vector<Brevan2011::BVParse::_STR_CMD>&));

}  // namespace varnok_test
