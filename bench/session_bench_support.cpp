#include "session_bench_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace varnok_bench {

LoopbackListener::LoopbackListener() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
        ::listen(listenFd_, 1) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (listenFd_ >= 0) {
            ::close(listenFd_);
        }
        listenFd_ = -1;
        return;
    }
    port_ = ntohs(a.sin_port);
}

LoopbackListener::~LoopbackListener() {
    if (connFd_ >= 0) {
        ::close(connFd_);
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
    }
}

Brevan2011::BVComm::PARAM_SOCK LoopbackListener::param() const {
    Brevan2011::BVComm::PARAM_SOCK p;
    p.address = htonl(INADDR_LOOPBACK);
    p.port = port_;
    return p;
}

int LoopbackListener::accept() {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) {
        return -1;
    }
    connFd_ = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connFd_ >= 0) {
        const int one = 1;
        ::setsockopt(connFd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    }
    return connFd_;
}

bool LoopbackListener::send(const std::string& bytes) {
    return connFd_ >= 0 && ::send(connFd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                               static_cast<ssize_t>(bytes.size());
}

double processCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace varnok_bench
