#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BVComm/BVCommExport.h"

namespace Brevan2011 {
namespace BVComm {

// A 128-bit service class identifier in its usual parts.
struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

inline bool operator==(const GUID& a, const GUID& b) {
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
}

// State of the local Bluetooth adapter.
enum class BluetoothAdapterState { None, Down, Up };

// One device found by a lookup.
struct BluetoothLookupResult {
    std::string name;  // UTF-8; empty when the device gave none
    std::uint64_t address = 0;
    int addressCount = 1;
};

// Codes a lookup reports, in the numbering the connection page reads.
enum BluetoothLookupCode : int {
    kLookupNoMoreResults = 10110,
    kLookupCancelled = 10111,
    kLookupCallCancelled = 10103,
};

// Asked for the PIN (or numeric passkey) of the named device while pairing; false refuses.
using BluetoothPinRequest = std::function<bool(const std::string& deviceName, std::string& pin)>;

// pair() result for a device the platform does not know (nothing to pair with ahead of the
// connection).
constexpr int kPairUnknownDevice = -1;

// The platform side of Bluetooth: adapter, device lookup and serial-port binding. Bluetooth calls
// nothing else, so tests put a scripted backend in its place.
class BVCOMM_EXPORT BluetoothBackend {
public:
    virtual ~BluetoothBackend();

    virtual BluetoothAdapterState adapterState() = 0;
    // Brings the adapter up; 0 or an errno value.
    virtual int powerOn() = 0;

    // Begins a device lookup; 0 or a code (10050 no adapter, other Winsock numbers).
    virtual int beginLookup() = 0;
    // 0 with the next device in result; otherwise 10110 (no more), 10111 (cancelled) or another
    // code. May run while cancelLookup or endLookup are called from another thread.
    virtual int nextResult(BluetoothLookupResult& result) = 0;
    // Thread-safe: makes a running or later nextResult of this lookup return 10111 promptly.
    virtual void cancelLookup() = 0;
    // Ends the lookup and frees what it holds; a nextResult still running finishes safely.
    virtual void endLookup() = 0;

    // Binds serial device number index to the remote address over RFCOMM; channel 254 means
    // "find the channel by serviceClass". 0 or an errno value.
    virtual int bind(unsigned int index, std::uint64_t address, std::uint8_t channel,
                     const GUID& serviceClass) = 0;
    // Releases the binding of index; 0 or an errno value.
    virtual int release(unsigned int index) = 0;

    // Whether bind() can make a serial device here (it needs CAP_NET_ADMIN).
    virtual bool canBindTty() { return false; }
    // How long the next lookup searches before it ends by itself (10110 or its devices), for a
    // platform whose search never ends on its own.
    virtual void setSearchTime(int milliseconds) { (void)milliseconds; }
    // The devices the platform holds as paired; 0, else a code (10050 none known: no adapter or
    // no Bluetooth service).
    virtual int pairedDevices(std::vector<BluetoothLookupResult>& devices) {
        devices.clear();
        return 10050;
    }
    // Pairs with the device unless it is paired already, asking pin when the device wants a PIN
    // or passkey. 0 when paired, kPairUnknownDevice when the platform does not know the device,
    // else a code (1244 refused or cancelled, 10060 no answer, 10065 unreachable, ...).
    virtual int pair(std::uint64_t address, const BluetoothPinRequest& pin) {
        (void)address;
        (void)pin;
        return kPairUnknownDevice;
    }
};

// The backend of this machine: BlueZ over the system D-Bus when its service answers, else the
// raw HCI sockets (when built with libbluetooth), else one without an adapter.
BVCOMM_EXPORT std::unique_ptr<BluetoothBackend> MakePlatformBluetoothBackend();
// Which of them a backend made now would use: "BlueZ D-Bus", "HCI" or "none".
BVCOMM_EXPORT const char* PlatformBluetoothBackendName();

}  // namespace BVComm
}  // namespace Brevan2011
