#pragma once

#include <mutex>
#include <thread>
#include <vector>

#include "BVDevice/EmGnss_Receiver.h"

namespace Brevan2011 {
namespace BVDevice {

// Reads a session's private state for the tests.
class EmGnss_ReceiverProbe {
public:
    static std::vector<unsigned> pendingLengths(EmGnss_Receiver& s) {
        BVParse::Em_CrtSect_Lock lock(&s.queueLock_);
        std::vector<unsigned> lengths;
        for (const _STR_CMD& c : s.cmdList_) {
            lengths.push_back(c.length);
        }
        return lengths;
    }
    static std::vector<_STR_CMD> pending(EmGnss_Receiver& s) {
        BVParse::Em_CrtSect_Lock lock(&s.queueLock_);
        return std::vector<_STR_CMD>(s.cmdList_.begin(), s.cmdList_.end());
    }
    static void clearPending(EmGnss_Receiver& s) {
        BVParse::Em_CrtSect_Lock lock(&s.queueLock_);
        s.cmdList_.clear();
    }
    static bool writeEventSet(EmGnss_Receiver& s) {
        return s.events_.isSet(EmGnss_Receiver::kWrite);
    }
    static void clearWriteEvent(EmGnss_Receiver& s) { s.events_.reset(EmGnss_Receiver::kWrite); }
    static unsigned readChunk(EmGnss_Receiver& s) { return s.readChunk_.load(); }
    static std::thread::id writeThread(EmGnss_Receiver& s) { return s.writeThread_.get_id(); }
    static std::thread::id parseThread(EmGnss_Receiver& s) { return s.parseThread_.get_id(); }
    static bool hasFacade(EmGnss_Receiver& s) {
        EmGnss_Receiver::DataGuard lock(s.dataLock_);
        return s.gnss_ != nullptr;
    }
    static int portKind(EmGnss_Receiver& s) { return s.portKind_.load(); }
    static int storedComBaud(EmGnss_Receiver& s) {
        std::lock_guard<std::mutex> guard(s.portMutex_);
        return s.comParam_.baud;
    }
    static unsigned long readPasses(EmGnss_Receiver& s) { return s.readPasses_.load(); }
    static unsigned heldBack(EmGnss_Receiver& s) { return s.heldBack_.load(); }
    static bool keepAliveOn(EmGnss_Receiver& s) { return s.keepAliveOn_.load(); }
    static bool writerWantsDataLock(EmGnss_Receiver& s) { return s.writerWantsDataLock_.load(); }
    // Holds the session's parse lock for the guard's lifetime.
    static std::unique_lock<EmGnss_Receiver::DataLock> holdDataLock(EmGnss_Receiver& s) {
        return std::unique_lock<EmGnss_Receiver::DataLock>(s.dataLock_);
    }
};

}  // namespace BVDevice
}  // namespace Brevan2011
