#include "BVComm/DescriptorGate.h"

#include <unistd.h>

namespace Brevan2011 {
namespace BVComm {

DescriptorGate::~DescriptorGate() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool DescriptorGate::attach(int fd) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (inFlight_ != 0) {
        // A call still runs on the old descriptor: its release must not count against, or
        // close, the new one.
        return false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
    closed_ = fd < 0;
    return true;
}

bool DescriptorGate::isOpen() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return !closed_;
}

int DescriptorGate::acquire() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (closed_) {
        return -1;
    }
    ++inFlight_;
    return fd_;
}

void DescriptorGate::release() {
    std::lock_guard<std::mutex> guard(mutex_);
    --inFlight_;
    if (closed_ && inFlight_ == 0 && fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool DescriptorGate::close(const std::function<void(int)>& wake) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (closed_) {
        return false;
    }
    if (wake && fd_ >= 0) {
        wake(fd_);
    }
    closed_ = true;
    if (inFlight_ == 0 && fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return true;
}

DescriptorGate::Use::Use(DescriptorGate& gate) : gate_(gate), fd_(gate.acquire()) {}

DescriptorGate::Use::~Use() {
    if (fd_ >= 0) {
        gate_.release();
    }
}

}  // namespace BVComm
}  // namespace Brevan2011
