// The Bluetooth backend of a build without BlueZ: there is never an adapter.
#include <cerrno>

#include "BVComm/BluetoothBackend.h"

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

std::unique_ptr<BluetoothBackend> MakePlatformBluetoothBackend() {
    return std::make_unique<NoAdapterBackend>();
}

const char* PlatformBluetoothBackendName() {
    return "none";
}

}  // namespace BVComm
}  // namespace Brevan2011
