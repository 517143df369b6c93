#include "BVComm/ComPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "BVComm/Logger.h"
#include "BVComm/PortPaths.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

// A failed step reports its errno; a step that failed without one still must not read as 0.
int failure(int error) {
    return error != 0 ? error : kPortSerialNotOpened;
}

}  // namespace

ComPort::ComPort(bool bluetooth) : bluetooth_(bluetooth) {
    if (::pipe2(wakePipe_, O_NONBLOCK | O_CLOEXEC) != 0) {
        wakePipe_[0] = wakePipe_[1] = -1;
    }
}

ComPort::~ComPort() {
    gate_.close();
    for (int fd : wakePipe_) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

unsigned int ComPort::speedOf(int baud) {
    switch (baud) {
        case 50:
            return B50;
        case 75:
            return B75;
        case 110:
            return B110;
        case 134:
            return B134;
        case 150:
            return B150;
        case 200:
            return B200;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 1800:
            return B1800;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 500000:
            return B500000;
        case 576000:
            return B576000;
        case 921600:
            return B921600;
        case 1000000:
            return B1000000;
        default:
            return 0;
    }
}

unsigned int ComPort::Initialize(void* param) {
    if (param == nullptr) {
        return kPortSerialNotOpened;
    }
    // PARAM_COM and PARAM_BT share one layout.
    const PARAM_COM& p = *static_cast<const PARAM_COM*>(param);
    port_ = p.port;
    baud_ = p.baud;
    byteSize_ = p.byteSize;
    parity_ = p.parity;
    stopBits_ = p.stopBits;
    inBufSize_ = p.inBufSize;
    outBufSize_ = p.outBufSize;

    path_ = ComPortPath(port_, bluetooth_);
    if (path_.empty()) {
        return kPortSerialNotOpened;
    }
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return kPortSerialNotOpened;
    }
    // Exclusive use, as a COM port has; a device that refuses it fails the settings below.
    ::ioctl(fd, TIOCEXCL);
    int error = 0;
    {
        std::lock_guard<std::mutex> guard(settingsMutex_);
        error = applySettings(fd);
    }
    if (error != 0) {
        ::close(fd);
        return static_cast<unsigned int>(error);
    }
    char drain[16];
    while (wakePipe_[0] >= 0 && ::read(wakePipe_[0], drain, sizeof(drain)) > 0) {
    }
    if (!gate_.attach(fd)) {
        ::close(fd);  // a read or write of the earlier open still runs
        return kPortSerialNotOpened;
    }
    return 0;
}

int ComPort::makeSettings(termios& t, int baud, int byteSize, int parity, int stopBits) {
    const speed_t speed = speedOf(baud);
    if (speed == 0) {
        return EINVAL;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CSIZE;
    switch (byteSize) {
        case 5:
            t.c_cflag |= CS5;
            break;
        case 6:
            t.c_cflag |= CS6;
            break;
        case 7:
            t.c_cflag |= CS7;
            break;
        case 8:
            t.c_cflag |= CS8;
            break;
        default:
            return EINVAL;
    }
    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (parity) {
        case 0:
            break;  // none
        case 1:
            t.c_cflag |= PARENB | PARODD;
            break;  // odd
        case 2:
            t.c_cflag |= PARENB;
            break;  // even
        case 3:
            t.c_cflag |= PARENB | PARODD | CMSPAR;
            break;  // mark
        case 4:
            t.c_cflag |= PARENB | CMSPAR;
            break;  // space
        default:
            return EINVAL;
    }
    switch (stopBits) {
        case 0:
            t.c_cflag &= ~CSTOPB;
            break;
        case 1:  // one and a half: the nearest a UART here offers is two
        case 2:
            t.c_cflag |= CSTOPB;
            break;
        default:
            return EINVAL;
    }
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) {
        return EINVAL;
    }
    // Reads never wait in the driver: the read thread polls what is queued.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return 0;
}

int ComPort::applySettings(int fd) {
    // Driver queue sizes (inBufSize_, outBufSize_) have no counterpart here.
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        return failure(errno);
    }
    const int invalid = makeSettings(t, baud_, byteSize_, parity_, stopBits_);
    if (invalid != 0) {
        return invalid;
    }
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        return failure(errno);
    }
    if (::tcflush(fd, TCIOFLUSH) != 0) {
        return failure(errno);
    }
    return 0;
}

int ComPort::SetBaudRate(int baud) {
    std::lock_guard<std::mutex> guard(settingsMutex_);
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return kPortSerialNotOpened;
    }
    termios before{};
    const bool saved = ::tcgetattr(use.fd(), &before) == 0;
    const int oldBaud = baud_;
    baud_ = baud;
    const int error = applySettings(use.fd());
    if (error != 0) {
        baud_ = oldBaud;
        if (saved) {
            ::tcsetattr(use.fd(), TCSANOW, &before);
        }
    }
    return error;
}

void ComPort::Uninitialize() {
    const int wakeFd = wakePipe_[1];
    gate_.close([wakeFd](int fd) {
        ::tcflush(fd, TCIOFLUSH);
        if (wakeFd >= 0) {
            const char one = 1;
            (void)!::write(wakeFd, &one, 1);
        }
    });
}

bool ComPort::IsOpen() {
    return gate_.isOpen();
}

void ComPort::lose(const char* why, int error) {
    const int wakeFd = wakePipe_[1];
    const bool closed = gate_.close([wakeFd](int) {
        if (wakeFd >= 0) {
            const char one = 1;
            (void)!::write(wakeFd, &one, 1);  // a write waiting for room gives up
        }
    });
    if (closed) {
        BVCore::Logger::log(BVCore::Logger::defaultLogger(), 1, "serial port %s lost: %s",
                            path_.c_str(), error != 0 ? std::strerror(error) : why);
    }
}

unsigned int ComPort::ReadData(char* buffer, unsigned int size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return 0;
    }
    // An unplugged adapter fails the query; a hung-up line polls as hung up with nothing
    // queued. Either ends the port, so the session sees it through IsOpen.
    int queued = 0;
    if (::ioctl(use.fd(), FIONREAD, &queued) != 0) {
        lose("queue query failed", errno);
        return 0;
    }
    if (queued <= 0) {
        pollfd p{use.fd(), POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            lose("the line hung up", 0);
        }
        return 0;
    }
    const unsigned int want = std::min(size, static_cast<unsigned int>(queued));
    for (;;) {
        const ssize_t n = ::read(use.fd(), buffer, want);
        if (n > 0) {
            return static_cast<unsigned int>(n);
        }
        if (n == 0) {
            lose("the line hung up", 0);
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            lose("read failed", errno);
        }
        return 0;
    }
}

unsigned int ComPort::WriteData(const char* data, unsigned int size) {
    if (data == nullptr || size == 0) {
        return 0;
    }
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return 0;
    }
    const long long deadline = static_cast<long long>(BVCore::tickCount()) + 10LL * size + 1000;
    unsigned int done = 0;
    while (done < size) {
        const ssize_t n = ::write(use.fd(), data + done, size - done);
        if (n > 0) {
            done += static_cast<unsigned int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            break;
        }
        const long long left = deadline - static_cast<long long>(BVCore::tickCount());
        if (left <= 0) {
            break;
        }
        pollfd fds[2] = {{use.fd(), POLLOUT, 0}, {wakePipe_[0], POLLIN, 0}};
        const int ready = ::poll(fds, wakePipe_[0] >= 0 ? 2 : 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
            break;  // closing
        }
        if (ready > 0 && (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            break;
        }
    }
    return done;
}

}  // namespace BVComm
}  // namespace Brevan2011
