// The Bluetooth backends this build has, and the RFCOMM steps that need the platform's headers.
#pragma once

#include <cstdint>
#include <memory>

#include "BVComm/BluetoothBackend.h"

namespace Brevan2011 {
namespace BVComm {

// BlueZ over the system D-Bus; null in a build without sd-bus.
std::unique_ptr<BluetoothBackend> MakeBluezDbusBackend();
// Whether BlueZ answers on the system bus now (false in a build without sd-bus).
bool BluezDbusAnswers();

// The raw HCI backend (libbluetooth), or one without an adapter in a build without it.
std::unique_ptr<BluetoothBackend> MakeHciBluetoothBackend();
const char* HciBackendName();

// The RFCOMM channel of the remote's serial-port service record, or 1 when none is found.
std::uint8_t FindSerialPortChannel(std::uint64_t address);
// A connected RFCOMM stream socket to address and channel, waiting at most timeoutMs; -1 with
// *error set to the errno value of the failing step.
int OpenRfcommSocket(std::uint64_t address, std::uint8_t channel, int timeoutMs, int* error);

// Whether this process holds CAP_NET_ADMIN in its effective set.
bool HasNetAdminCapability();

}  // namespace BVComm
}  // namespace Brevan2011
