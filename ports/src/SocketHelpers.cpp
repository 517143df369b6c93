#include "SocketHelpers.h"

#include <fcntl.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace Brevan2011 {
namespace BVComm {

void shutdownBoth(int fd) {
    ::shutdown(fd, SHUT_RDWR);
}

bool setBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) {
        return false;
    }
    return ::fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

int connectWithin(int fd, const sockaddr* address, socklen_t length, int timeoutMs) {
    if (fd < 0 || !setBlocking(fd, false)) {
        return EBADF;
    }
    int error = 0;
    if (::connect(fd, address, length) != 0) {
        error = errno;
        if (error == EINPROGRESS || error == EINTR) {
            using clock = std::chrono::steady_clock;
            const auto deadline = clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
            error = ETIMEDOUT;
            for (;;) {
                int wait = -1;
                if (timeoutMs >= 0) {
                    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                          deadline - clock::now())
                                          .count();
                    if (left < 0) {
                        break;
                    }
                    wait = static_cast<int>(left);
                }
                pollfd p{fd, POLLOUT, 0};
                const int ready = ::poll(&p, 1, wait);
                if (ready < 0 && errno == EINTR) {
                    continue;
                }
                if (ready > 0) {
                    int soError = 0;
                    socklen_t len = sizeof(soError);
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) {
                        soError = errno;
                    }
                    error = soError;
                    if (error == 0 && (p.revents & (POLLHUP | POLLERR)) != 0) {
                        error = ECONNABORTED;  // shut down while connecting
                    }
                } else if (ready < 0) {
                    error = errno;
                }
                break;
            }
        }
    }
    if (!setBlocking(fd, true) && error == 0) {
        error = errno;
    }
    return error;
}

}  // namespace BVComm
}  // namespace Brevan2011
