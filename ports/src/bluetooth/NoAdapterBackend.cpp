// The Bluetooth pieces of a build without libbluetooth: no raw HCI adapter, no RFCOMM socket.
#include <cerrno>

#include "BVComm/BluetoothBackend.h"
#include "Backends.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

class NoAdapterBackend : public BluetoothBackend {
public:
    BluetoothAdapterState adapterState() override { return BluetoothAdapterState::None; }
    int powerOn() override { return ENODEV; }
    int beginLookup() override { return 10050; }
    int nextResult(BluetoothLookupResult&) override { return kLookupNoMoreResults; }
    void cancelLookup() override {}
    void endLookup() override {}
    int bind(unsigned int, std::uint64_t, std::uint8_t, const GUID&) override { return ENODEV; }
    int release(unsigned int) override { return ENODEV; }
};

}  // namespace

std::unique_ptr<BluetoothBackend> MakeHciBluetoothBackend() {
    return std::make_unique<NoAdapterBackend>();
}

const char* HciBackendName() {
    return "none";
}

std::uint8_t FindSerialPortChannel(std::uint64_t) {
    return 1;
}

int OpenRfcommSocket(std::uint64_t, std::uint8_t, int, int* error) {
    *error = EAFNOSUPPORT;
    return -1;
}

}  // namespace BVComm
}  // namespace Brevan2011
