#include "PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace varnok_test {

PtyPair::PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        return;
    }
    char name[128] = {0};
    if (::ptsname_r(master_, name, sizeof(name)) != 0) {
        return;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ >= 0) {
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    const int flags = ::fcntl(master_, F_GETFL, 0);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
}

void PtyPair::closeMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

PtyPair::~PtyPair() {
    if (slave_ >= 0) {
        ::close(slave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

void PtyPair::writeMaster(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
}

std::string PtyPair::readMaster(std::size_t count, int timeoutMs) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) {
            char buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof(buf));
            if (n > 0) {
                out.append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    return out;
}

bool PtyPair::waitQueued(int count, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        int queued = 0;
        if (::ioctl(slave_, FIONREAD, &queued) == 0 && queued >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

}  // namespace varnok_test
