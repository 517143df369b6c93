#pragma once

#include <functional>
#include <mutex>

namespace Brevan2011 {
namespace BVComm {

// Owns one file descriptor shared by a reading and a writing thread while a third may close it.
// Closing marks the descriptor closed at once (later uses see it closed) but the descriptor
// itself is closed only when no read or write is in flight, so its number is never reused
// under a running system call.
class DescriptorGate {
public:
    DescriptorGate() = default;
    ~DescriptorGate();
    DescriptorGate(const DescriptorGate&) = delete;
    DescriptorGate& operator=(const DescriptorGate&) = delete;

    // Takes ownership of an open descriptor (closing any earlier one). Refused, with the
    // descriptor left to the caller, while a read or write on the earlier one is in flight.
    bool attach(int fd);
    bool isOpen() const;

    // Holds the descriptor for one system call; fd() is -1 when the gate is closed.
    class Use {
    public:
        explicit Use(DescriptorGate& gate);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        int fd() const { return fd_; }

    private:
        DescriptorGate& gate_;
        int fd_;
    };

    // Marks the gate closed. wake (if any) runs first with the descriptor, under the gate's
    // lock, to unblock calls in flight (shutdown, a wake pipe). Returns false when already closed.
    bool close(const std::function<void(int)>& wake = {});

private:
    int acquire();
    void release();

    mutable std::mutex mutex_;
    int fd_ = -1;
    bool closed_ = true;
    int inFlight_ = 0;
};

}  // namespace BVComm
}  // namespace Brevan2011
