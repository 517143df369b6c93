#include "FakeTcpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace varnok_test {

FakeTcpPeer::FakeTcpPeer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        return;
    }
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof(a);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
        ::listen(listenFd_, 4) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return;
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
}

FakeTcpPeer::~FakeTcpPeer() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (connFd_ >= 0) {
        ::close(connFd_);
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
    }
}

Brevan2011::BVComm::PARAM_SOCK FakeTcpPeer::param() const {
    Brevan2011::BVComm::PARAM_SOCK p;
    p.address = htonl(INADDR_LOOPBACK);
    p.port = port_;
    return p;
}

bool FakeTcpPeer::waitConnected(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return connFd_ >= 0; });
}

bool FakeTcpPeer::send(const std::string& bytes) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (connFd_ < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(connFd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void FakeTcpPeer::closeConnection() {
    request_ = 1;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [this] { return request_ == 0; });
}

void FakeTcpPeer::resetConnection() {
    request_ = 2;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [this] { return request_ == 0; });
}

void FakeTcpPeer::setSlowReader(std::chrono::milliseconds pause, std::size_t chunk) {
    pauseMs_ = pause.count();
    chunk_ = chunk == 0 ? 1 : chunk;
}

std::vector<FakeTcpPeer::Arrival> FakeTcpPeer::arrivals() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return arrivals_;
}

std::string FakeTcpPeer::received() const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::string all;
    for (const Arrival& a : arrivals_) {
        all += a.bytes;
    }
    return all;
}

bool FakeTcpPeer::waitReceived(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return total_ >= count; });
}

void FakeTcpPeer::dropConnection(bool reset) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (connFd_ >= 0) {
        if (reset) {
            linger l{1, 0};
            ::setsockopt(connFd_, SOL_SOCKET, SO_LINGER, &l, sizeof(l));
        }
        ::close(connFd_);
        connFd_ = -1;
    }
    request_ = 0;
    changed_.notify_all();
}

void FakeTcpPeer::run() {
    while (!stop_) {
        const int req = request_.load();
        if (req != 0) {
            dropConnection(req == 2);
            continue;
        }
        int conn = -1;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            conn = connFd_;
        }
        if (conn < 0) {
            pollfd p{listenFd_, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) {
                const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) {
                    std::lock_guard<std::mutex> guard(mutex_);
                    connFd_ = fd;
                    ++connections_;
                    changed_.notify_all();
                }
            }
            continue;
        }
        if (!reading_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        pollfd p{conn, POLLIN, 0};
        if (::poll(&p, 1, 5) <= 0) {
            continue;
        }
        std::vector<char> buf(chunk_.load());
        const ssize_t n = ::recv(conn, buf.data(), buf.size(), MSG_DONTWAIT);
        if (n > 0) {
            std::lock_guard<std::mutex> guard(mutex_);
            arrivals_.push_back(
                {Clock::now(), std::string(buf.data(), static_cast<std::size_t>(n))});
            total_ += static_cast<std::size_t>(n);
            changed_.notify_all();
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // The client went away: wait for the next one.
            dropConnection(false);
            continue;
        }
        if (pauseMs_ > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs_.load()));
        }
    }
}

}  // namespace varnok_test
