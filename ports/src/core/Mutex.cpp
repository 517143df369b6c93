#include "BVComm/Mutex.h"

#include <new>
#include <system_error>

namespace Brevan2011 {
namespace BVCore {

int SystemMutex::Create() {
    handle_.reset(new (std::nothrow) std::mutex);
    return handle_ ? kMutexOk : kMutexCreateFailed;
}

int SystemMutex::Lock() {
    if (!handle_) {
        return kMutexWaitFailed;
    }
    try {
        handle_->lock();
    } catch (const std::system_error&) {
        return kMutexWaitFailed;
    }
    return kMutexOk;
}

int SystemMutex::Unlock() {
    if (!handle_) {
        return kMutexReleaseFailed;
    }
    handle_->unlock();
    return kMutexOk;
}

int SystemMutex::Close() {
    if (!handle_) {
        return kMutexCloseFailed;
    }
    handle_.reset();
    return kMutexOk;
}

MutexHolder::MutexHolder() {
    std::unique_ptr<SystemMutex> mutex(new (std::nothrow) SystemMutex);
    if (!mutex) {
        error_ = kMutexCreateFailed;
        return;
    }
    error_ = mutex->Create();
    if (error_ == 0) {
        mutex_ = std::move(mutex);
    }
}

MutexHolder::~MutexHolder() {
    if (mutex_) {
        mutex_->Close();
    }
}

MutexLock::MutexLock(const MutexHolder& holder) {
    if (holder.isValid() && holder.mutex() != nullptr && holder.mutex()->Lock() == 0) {
        mutex_ = holder.mutex();
    }
}

MutexLock::~MutexLock() {
    if (mutex_ != nullptr) {
        mutex_->Unlock();
    }
}

}  // namespace BVCore
}  // namespace Brevan2011
