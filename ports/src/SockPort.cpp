#include "BVComm/SockPort.h"

#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace Brevan2011 {
namespace BVComm {

namespace {

bool setBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) {
        return false;
    }
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, wanted) == 0;
}

void shutdownBoth(int fd) {
    ::shutdown(fd, SHUT_RDWR);
}

}  // namespace

int SockPort::connectWithTimeout(const sockaddr_in& address, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
    if (fd < 0) {
        return -1;
    }
    bool connected = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        connected = true;
    } else if (errno == EINPROGRESS || errno == EINTR) {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now())
                    .count();
            if (left < 0) {
                break;
            }
            pollfd p{fd, POLLOUT, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready > 0) {
                // Writable also when the attempt failed: only SO_ERROR 0 is a connection.
                int error = -1;
                socklen_t len = sizeof(error);
                connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
            }
            break;
        }
    }
    if (!connected || !setBlocking(fd, true)) {
        shutdownBoth(fd);
        ::close(fd);
        return -1;
    }
    return fd;
}

unsigned int SockPort::Initialize(void* param) {
    if (param == nullptr) {
        return kPortTcpConnectFailed;
    }
    const PARAM_SOCK& p = *static_cast<const PARAM_SOCK*>(param);
    address_ = sockaddr_in{};
    address_.sin_family = AF_INET;
    address_.sin_port = htons(static_cast<std::uint16_t>(p.port & 0xFFFFu));
    address_.sin_addr.s_addr = p.address;
    const int fd = connectWithTimeout(address_, kConnectTimeoutMs);
    if (fd < 0) {
        return kPortTcpConnectFailed;
    }
    if (!gate_.attach(fd)) {
        shutdownBoth(fd);  // a read or write of the earlier connection still runs
        ::close(fd);
        return kPortTcpConnectFailed;
    }
    return 0;
}

void SockPort::Uninitialize() {
    gate_.close(shutdownBoth);
}

bool SockPort::IsOpen() {
    return gate_.isOpen();
}

unsigned int SockPort::ReadData(char* buffer, unsigned int size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::recv(use.fd(), buffer, size, 0);
        if (n >= 0) {
            // 0: the peer closed its side; the port stays open until closed here.
            return static_cast<unsigned int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        // A receive error (a reset) ends the connection.
        gate_.close(shutdownBoth);
        return 0;
    }
}

unsigned int SockPort::WriteData(const char* data, unsigned int size) {
    if (data == nullptr || size == 0) {
        return 0;
    }
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return 0;
    }
    unsigned int sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(use.fd(), data + sent, size - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<unsigned int>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // the socket stays open; the reader notices a dead peer
        }
    }
    return sent;
}

}  // namespace BVComm
}  // namespace Brevan2011
