#pragma once

#include <cstdint>

#include "BVComm/BVCommExport.h"

namespace Brevan2011 {
namespace BVComm {

// Port kinds that CreatePortInstance accepts.
enum PortType : int {
    kPortSerial = 0,
    kPortBluetooth = 1,
    kPortTcp = 2,
    kPortFile = 3,
};

// Results of CreatePortInstance besides what a port's Initialize gives.
enum PortResult : int {
    kPortOk = 0,
    kPortFileNotOpened = 1,
    kPortUnsupportedType = 2,
    kPortOutOfMemory = 3,
    kPortSerialNotOpened = 4,
    kPortTcpConnectFailed = 2001,
};

// One byte channel to the receiver.
class BVCOMM_EXPORT IPortInstance {
public:
    virtual ~IPortInstance();
    // param is the kind's record (PARAM_COM, PARAM_BT, PARAM_SOCK) or a path; 0 when open.
    virtual unsigned int Initialize(void* param) = 0;
    // Closes the channel and wakes a read or write that waits in it.
    virtual void Uninitialize() = 0;
    virtual bool IsOpen() = 0;
    // Bytes placed in buffer, 0 when none.
    virtual unsigned int ReadData(char* buffer, unsigned int size) = 0;
    virtual unsigned int WriteData(const char* data, unsigned int size) = 0;
    // 0 serial, 2 TCP, 3 file replay.
    virtual unsigned int GetType() const = 0;
};

// Serial port parameters; parity and stop bits use the codes 0-4 (none, odd, even, mark,
// space) and 0 (one), 1 and 2 (two).
struct PARAM_COM {
    std::uint8_t port = 1;
    std::int32_t baud = 9600;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;
    std::uint8_t stopBits = 0;
    std::int32_t inBufSize = 1024;
    std::int32_t outBufSize = 1024;
};

// A Bluetooth receiver bound to a serial device; same layout as PARAM_COM.
struct PARAM_BT {
    std::uint8_t port = 1;
    std::int32_t baud = 9600;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;
    std::uint8_t stopBits = 0;
    std::int32_t inBufSize = 1024;
    std::int32_t outBufSize = 1024;
};

// TCP peer: IPv4 address in network byte order, port in host order (low 16 bits used).
struct PARAM_SOCK {
    std::uint32_t address = 0;
    std::uint32_t port = 0;
    std::uint8_t reserved = 0;
};

extern "C" {
// Makes and opens a port of the given type; on success (0) *port receives it. On failure
// *port is untouched: 2 unsupported type, 3 out of memory, else the port's Initialize result.
BVCOMM_EXPORT int CreatePortInstance(int type, void* param, IPortInstance** port);
// Destroys *port (when set) and clears it. The caller uninitialises the port first.
BVCOMM_EXPORT void ExitPortInstance(IPortInstance** port);
// Re-applies the serial settings with a new rate on the port made last, when it is serial.
BVCOMM_EXPORT void SetBaud(int baud);
}

}  // namespace BVComm
}  // namespace Brevan2011
