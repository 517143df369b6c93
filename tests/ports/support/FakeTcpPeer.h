#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BVComm/PortInstance.h"

namespace varnok_test {

// A receiver on loopback TCP: accepts connections one after another, records what arrives
// with time stamps, sends scripted bytes, and closes or resets the connection on demand.
class FakeTcpPeer {
public:
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        Clock::time_point at;
        std::string bytes;
    };

    FakeTcpPeer();
    ~FakeTcpPeer();
    FakeTcpPeer(const FakeTcpPeer&) = delete;
    FakeTcpPeer& operator=(const FakeTcpPeer&) = delete;

    bool ok() const { return listenFd_ >= 0; }
    std::uint16_t port() const { return port_; }
    Brevan2011::BVComm::PARAM_SOCK param() const;

    bool waitConnected(int timeoutMs);
    int connections() const { return connections_.load(); }
    // Sends on the current connection; false when there is none or it failed.
    bool send(const std::string& bytes);
    // Orderly close (FIN) or reset (RST) of the current connection.
    void closeConnection();
    void resetConnection();
    // Reads slowly: pauses this long after each read of at most chunk bytes.
    void setSlowReader(std::chrono::milliseconds pause, std::size_t chunk);
    // Stops reading altogether (the sender's buffers fill up).
    void setReading(bool on) { reading_ = on; }

    std::vector<Arrival> arrivals() const;
    std::string received() const;
    bool waitReceived(std::size_t count, int timeoutMs) const;

private:
    void run();
    void dropConnection(bool reset);

    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> reading_{true};
    std::atomic<int> connections_{0};
    std::atomic<int> request_{0};  // 1 close, 2 reset
    std::atomic<long long> pauseMs_{0};
    std::atomic<std::size_t> chunk_{65536};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    int connFd_ = -1;
    std::vector<Arrival> arrivals_;
    std::size_t total_ = 0;
    std::thread thread_;
};

}  // namespace varnok_test
