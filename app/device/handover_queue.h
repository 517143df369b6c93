#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace Varnok {

// Hands records from the session's threads to the GUI thread. A producer pushes and never
// waits for the consumer; the first push after a drain asks for one wake-up, so the GUI
// thread gets one queued call per batch however many records arrive meanwhile.
template <class Record>
class HandoverQueue {
public:
    // True when the caller must post a wake-up to the consumer.
    bool push(Record record) {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(std::move(record));
        if (wakePending_) {
            return false;
        }
        wakePending_ = true;
        return true;
    }

    // Everything pushed so far, oldest first. Pushes after this call ask for a new wake-up.
    std::vector<Record> takeAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        wakePending_ = false;
        std::vector<Record> out(std::make_move_iterator(records_.begin()),
                                std::make_move_iterator(records_.end()));
        records_.clear();
        return out;
    }

    std::size_t size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return records_.size();
    }

private:
    mutable std::mutex mutex_;
    std::deque<Record> records_;
    bool wakePending_ = false;
};

}  // namespace Varnok
