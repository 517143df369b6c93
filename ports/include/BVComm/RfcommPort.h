#pragma once

#include <cstdint>
#include <functional>

#include "BVComm/BVCommExport.h"
#include "BVComm/DescriptorGate.h"
#include "BVComm/PortInstance.h"

namespace Brevan2011 {
namespace BVComm {

// Opens the link to a receiver: a connected stream socket, or -1 with *error set to an errno
// value.
using RfcommConnector = std::function<int(std::uint64_t address, int* error)>;

// Replaces the connector of later Bluetooth opens (tests put one end of a socketpair in the
// radio link's place); an empty one puts the platform's back.
BVCOMM_EXPORT void SetRfcommConnector(RfcommConnector connector);
// The platform's connector: the serial-port channel from the receiver's service record (channel
// 1 when it names none), then an RFCOMM stream socket. Needs no privilege.
BVCOMM_EXPORT int ConnectRfcomm(std::uint64_t address, int* error);

// A Bluetooth COM number bound to a receiver: a Bluetooth open of that number connects to the
// address instead of opening a serial device.
BVCOMM_EXPORT void SetBluetoothPortAddress(int comNumber, std::uint64_t address);
BVCOMM_EXPORT void ClearBluetoothPortAddress(int comNumber);
BVCOMM_EXPORT bool BluetoothPortAddress(int comNumber, std::uint64_t* address);

// The errno value that made the last Bluetooth open fail; 0 after one that succeeded.
BVCOMM_EXPORT int LastBluetoothConnectError();

// The link to a receiver bound to a Bluetooth COM number, over a stream socket. Reads take what
// has arrived without waiting; a hang-up or a socket error ends the port (IsOpen false).
class RfcommPort : public IPortInstance {
public:
    static constexpr int kConnectTimeoutMs = 10000;

    RfcommPort() = default;
    ~RfcommPort() override = default;

    // PARAM_BT: 0 when connected; 4 when the COM number is not bound or the connection failed.
    unsigned int Initialize(void* param) override;
    void Uninitialize() override;
    bool IsOpen() override;
    unsigned int ReadData(char* buffer, unsigned int size) override;
    unsigned int WriteData(const char* data, unsigned int size) override;
    // A Bluetooth port reads as a serial one.
    unsigned int GetType() const override { return 0; }

private:
    void hangUp(const char* why, int error);

    DescriptorGate gate_;
    int comNumber_ = 0;
    std::uint64_t address_ = 0;
};

}  // namespace BVComm
}  // namespace Brevan2011
