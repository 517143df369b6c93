#include <mutex>
#include <new>

#include "BVComm/ComPort.h"
#include "BVComm/FilePort.h"
#include "BVComm/Logger.h"
#include "BVComm/PortInstance.h"
#include "BVComm/RfcommPort.h"
#include "BVComm/SockPort.h"
#include "BluetoothPorts.h"

namespace Brevan2011 {
namespace BVComm {

IPortInstance::~IPortInstance() = default;

namespace {

// The port made last, for SetBaud. Its lock keeps SetBaud off a port being freed.
struct KeptPort {
    std::mutex mutex;
    IPortInstance* port = nullptr;
};

KeptPort& keptPort() {
    static KeptPort kept;
    return kept;
}

IPortInstance* makePort(int type, const void* param) {
    switch (type) {
        case kPortSerial:
            return new (std::nothrow) ComPort(false);
        case kPortBluetooth:
            ResetBluetoothConnectError();
            // A number bound to a receiver's address connects a socket; any other one opens the
            // serial device that the number leads to.
            if (param != nullptr &&
                BluetoothPortAddress(static_cast<const PARAM_BT*>(param)->port, nullptr)) {
                return new (std::nothrow) RfcommPort();
            }
            return new (std::nothrow) ComPort(true);
        case kPortTcp:
            return new (std::nothrow) SockPort();
        case kPortFile:
            return new (std::nothrow) FilePort();
        default:
            return nullptr;
    }
}

}  // namespace

extern "C" {

int CreatePortInstance(int type, void* param, IPortInstance** port) {
    if (type < kPortSerial || type > kPortFile) {
        return kPortUnsupportedType;
    }
    if (port == nullptr) {
        // Nowhere to hand the port: opening it would only leak it.
        return kPortUnsupportedType;
    }
    IPortInstance* made = makePort(type, param);
    KeptPort& kept = keptPort();
    if (made == nullptr) {
        std::lock_guard<std::mutex> guard(kept.mutex);
        kept.port = nullptr;
        return kPortOutOfMemory;
    }
    {
        std::lock_guard<std::mutex> guard(kept.mutex);
        kept.port = made;
    }
    unsigned int result = 0;
    try {
        result = made->Initialize(param);
    } catch (...) {
        result = type == kPortTcp ? kPortTcpConnectFailed : kPortSerialNotOpened;
    }
    if (result != 0) {
        {
            std::lock_guard<std::mutex> guard(kept.mutex);
            kept.port = nullptr;
        }
        delete made;
        return static_cast<int>(result);
    }
    *port = made;
    return kPortOk;
}

void ExitPortInstance(IPortInstance** port) {
    if (port == nullptr || *port == nullptr) {
        return;
    }
    {
        KeptPort& kept = keptPort();
        std::lock_guard<std::mutex> guard(kept.mutex);
        if (kept.port == *port) {
            kept.port = nullptr;
        }
    }
    delete *port;
    *port = nullptr;
}

void SetBaud(int baud) {
    KeptPort& kept = keptPort();
    std::lock_guard<std::mutex> guard(kept.mutex);
    auto* serial = dynamic_cast<ComPort*>(kept.port);
    if (serial == nullptr) {
        return;
    }
    const int error = serial->SetBaudRate(baud);
    if (error != 0) {
        BVCore::Logger::log(BVCore::Logger::defaultLogger(), 1, "SetBaud %d on %s failed, error %d",
                            baud, serial->devicePath().c_str(), error);
    }
}

}  // extern "C"

}  // namespace BVComm
}  // namespace Brevan2011
