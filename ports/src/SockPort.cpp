#include "BVComm/SockPort.h"

#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "BVComm/Logger.h"

#include "SocketHelpers.h"

namespace Brevan2011 {
namespace BVComm {

int SockPort::connectWithTimeout(const sockaddr_in& address, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        return -1;
    }
    if (connectWithin(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address),
                      std::max(timeoutMs, 0)) != 0) {
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
        if (n > 0) {
            return static_cast<unsigned int>(n);
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // The peer's close or a receive error (a reset) ends the connection.
        const int error = n < 0 ? errno : 0;
        if (gate_.close(shutdownBoth)) {
            BVCore::Logger::log(BVCore::Logger::defaultLogger(), 1, "TCP connection lost: %s",
                                error == 0 ? "the peer closed it" : std::strerror(error));
        }
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
