#include "CallbackRecorder.h"

namespace varnok_test {

using Brevan2011::BVParse::_CALLBACKS_RECEIVER;
using Brevan2011::BVParse::Msg_Type;

CallbackRecorder& CallbackRecorder::instance() {
    static CallbackRecorder recorder;
    return recorder;
}

const _CALLBACKS_RECEIVER* CallbackRecorder::callbacks() {
    static const _CALLBACKS_RECEIVER record = {&CallbackRecorder::onData,
                                               &CallbackRecorder::onStatus};
    return &record;
}

void CallbackRecorder::reset() {
    std::lock_guard<std::mutex> guard(mutex_);
    data_.clear();
    status_.clear();
    hook_ = nullptr;
}

std::vector<CallbackRecorder::Data> CallbackRecorder::data() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return data_;
}

std::vector<CallbackRecorder::Status> CallbackRecorder::status() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return status_;
}

bool CallbackRecorder::waitData(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return data_.size() >= count; });
}

bool CallbackRecorder::waitStatus(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return status_.size() >= count; });
}

void CallbackRecorder::setOnData(void (*hook)(std::uint32_t)) {
    std::lock_guard<std::mutex> guard(mutex_);
    hook_ = hook;
}

void CallbackRecorder::onData(Msg_Type category, std::uint32_t flags, const void* user) {
    CallbackRecorder& r = instance();
    void (*hook)(std::uint32_t) = nullptr;
    {
        std::lock_guard<std::mutex> guard(r.mutex_);
        r.data_.push_back({category, flags, user, std::this_thread::get_id(), Clock::now()});
        hook = r.hook_;
    }
    if (hook != nullptr) {
        hook(flags);
    }
    r.changed_.notify_all();
}

void CallbackRecorder::onStatus(bool flag, const void* user) {
    CallbackRecorder& r = instance();
    {
        std::lock_guard<std::mutex> guard(r.mutex_);
        r.status_.push_back({flag, user, std::this_thread::get_id(), Clock::now()});
    }
    r.changed_.notify_all();
}

}  // namespace varnok_test
