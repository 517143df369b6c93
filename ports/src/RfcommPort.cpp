#include "BVComm/RfcommPort.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "BVComm/Logger.h"
#include "BluetoothPorts.h"
#include "SocketHelpers.h"
#include "bluetooth/Backends.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

struct Binding {
    std::uint64_t address = 0;
    const void* owner = nullptr;
};

struct PortMap {
    std::mutex mutex;
    std::map<int, Binding> bindings;
    RfcommConnector connector;
};

PortMap& portMap() {
    static PortMap map;
    return map;
}

std::atomic<int> g_lastConnectError{0};

std::string addressText(std::uint64_t a) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X",
                  static_cast<unsigned>((a >> 40) & 0xFF), static_cast<unsigned>((a >> 32) & 0xFF),
                  static_cast<unsigned>((a >> 24) & 0xFF), static_cast<unsigned>((a >> 16) & 0xFF),
                  static_cast<unsigned>((a >> 8) & 0xFF), static_cast<unsigned>(a & 0xFF));
    return text;
}

}  // namespace

bool ClaimBluetoothPort(int comNumber, std::uint64_t address, const void* owner) {
    PortMap& m = portMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    auto it = m.bindings.find(comNumber);
    if (it != m.bindings.end() && it->second.owner != nullptr && it->second.owner != owner) {
        return false;
    }
    m.bindings[comNumber] = Binding{address, owner};
    return true;
}

void ReleaseBluetoothPort(int comNumber, const void* owner) {
    PortMap& m = portMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    auto it = m.bindings.find(comNumber);
    if (it != m.bindings.end() && it->second.owner == owner) {
        m.bindings.erase(it);
    }
}

void SetBluetoothPortAddress(int comNumber, std::uint64_t address) {
    PortMap& m = portMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.bindings[comNumber] = Binding{address, nullptr};
}

void ClearBluetoothPortAddress(int comNumber) {
    PortMap& m = portMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.bindings.erase(comNumber);
}

bool BluetoothPortAddress(int comNumber, std::uint64_t* address) {
    PortMap& m = portMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    auto it = m.bindings.find(comNumber);
    if (it == m.bindings.end()) {
        return false;
    }
    if (address != nullptr) {
        *address = it->second.address;
    }
    return true;
}

void SetRfcommConnector(RfcommConnector connector) {
    PortMap& m = portMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.connector = std::move(connector);
}

int ConnectRfcomm(std::uint64_t address, int* error) {
    int ignored = 0;
    int* out = error != nullptr ? error : &ignored;
    *out = 0;
    const std::uint8_t channel = FindSerialPortChannel(address);
    return OpenRfcommSocket(address, channel, RfcommPort::kConnectTimeoutMs, out);
}

int LastBluetoothConnectError() {
    return g_lastConnectError.load();
}

void ResetBluetoothConnectError() {
    g_lastConnectError = 0;
}

unsigned int RfcommPort::Initialize(void* param) {
    if (param == nullptr) {
        return kPortSerialNotOpened;
    }
    // PARAM_BT shares PARAM_COM's layout.
    comNumber_ = static_cast<const PARAM_BT*>(param)->port;
    RfcommConnector connector;
    {
        PortMap& m = portMap();
        std::lock_guard<std::mutex> guard(m.mutex);
        auto it = m.bindings.find(comNumber_);
        if (it == m.bindings.end()) {
            g_lastConnectError = ENODEV;
            return kPortSerialNotOpened;
        }
        address_ = it->second.address;
        connector = m.connector;
    }
    int error = 0;
    const int fd = connector ? connector(address_, &error) : ConnectRfcomm(address_, &error);
    if (fd < 0) {
        if (error == 0) {
            error = EIO;
        }
        g_lastConnectError = error;
        BVCore::Logger::log(BVCore::Logger::defaultLogger(), 1,
                            "Bluetooth COM%d: connection to %s failed: %s", comNumber_,
                            addressText(address_).c_str(), std::strerror(error));
        return kPortSerialNotOpened;
    }
    if (!gate_.attach(fd)) {
        ::close(fd);  // a read or write of the earlier link still runs
        g_lastConnectError = EBUSY;
        return kPortSerialNotOpened;
    }
    g_lastConnectError = 0;
    return 0;
}

void RfcommPort::hangUp(const char* why, int error) {
    if (gate_.close(shutdownBoth)) {
        BVCore::Logger::log(BVCore::Logger::defaultLogger(), 1,
                            "Bluetooth COM%d: link to %s lost: %s", comNumber_,
                            addressText(address_).c_str(), error != 0 ? std::strerror(error) : why);
    }
}

void RfcommPort::Uninitialize() {
    gate_.close(shutdownBoth);  // wakes a write that waits for room
}

bool RfcommPort::IsOpen() {
    return gate_.isOpen();
}

unsigned int RfcommPort::ReadData(char* buffer, unsigned int size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::recv(use.fd(), buffer, size, MSG_DONTWAIT);
        if (n > 0) {
            return static_cast<unsigned int>(n);
        }
        if (n == 0) {
            hangUp("the receiver hung up", 0);
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        hangUp("receive failed", errno);
        return 0;
    }
}

unsigned int RfcommPort::WriteData(const char* data, unsigned int size) {
    if (data == nullptr || size == 0) {
        return 0;
    }
    DescriptorGate::Use use(gate_);
    if (use.fd() < 0) {
        return 0;
    }
    // As long as a serial line of the same speed would take, and a second more.
    const long long deadline = static_cast<long long>(BVCore::tickCount()) + 10LL * size + 1000;
    unsigned int sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(use.fd(), data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<unsigned int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            hangUp("send failed", errno);
            break;
        }
        const long long left = deadline - static_cast<long long>(BVCore::tickCount());
        if (left <= 0) {
            break;
        }
        pollfd p{use.fd(), POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            hangUp("the receiver hung up", 0);  // nothing when the port itself was closed
            break;
        }
    }
    return sent;
}

}  // namespace BVComm
}  // namespace Brevan2011
