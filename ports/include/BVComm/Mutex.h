#pragma once

#include <memory>
#include <mutex>

namespace Brevan2011 {
namespace BVCore {

// Error numbers of the mutex operations.
enum MutexError : int {
    kMutexOk = 0,
    kMutexCreateFailed = 5001,
    kMutexWaitFailed = 5002,
    kMutexReleaseFailed = 5003,
    kMutexCloseFailed = 5004,
};

class Mutex {
public:
    virtual ~Mutex() = default;
    virtual int Create() = 0;
    virtual int Lock() = 0;
    virtual int Unlock() = 0;
    virtual int Close() = 0;
};

// A process-local mutex; Create must succeed before Lock and Unlock are used.
class SystemMutex : public Mutex {
public:
    int Create() override;
    int Lock() override;
    int Unlock() override;
    int Close() override;
    std::mutex* handle() const { return handle_.get(); }

private:
    std::unique_ptr<std::mutex> handle_;
};

// Owns a SystemMutex when its creation succeeded.
class MutexHolder {
public:
    MutexHolder();
    ~MutexHolder();
    MutexHolder(const MutexHolder&) = delete;
    MutexHolder& operator=(const MutexHolder&) = delete;

    bool isValid() const { return error_ == 0; }
    int error() const { return error_; }
    SystemMutex* mutex() const { return mutex_.get(); }

private:
    std::unique_ptr<SystemMutex> mutex_;
    int error_ = 0;
};

// Scoped lock over a holder; holds nothing when the holder is not valid.
class MutexLock {
public:
    explicit MutexLock(const MutexHolder& holder);
    ~MutexLock();
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    bool holds() const { return mutex_ != nullptr; }

private:
    SystemMutex* mutex_ = nullptr;
};

}  // namespace BVCore
}  // namespace Brevan2011
