// The machine's Bluetooth backend: BlueZ over the system D-Bus wherever its service answers,
// the raw HCI sockets only where it does not. Serial devices ("/dev/rfcomm<n>") are kernel
// bindings and always go through the HCI side.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "BVComm/BluetoothBackend.h"
#include "Backends.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

class PlatformBackend : public BluetoothBackend {
public:
    PlatformBackend() : dbus_(MakeBluezDbusBackend()), hci_(MakeHciBluetoothBackend()) {}

    BluetoothAdapterState adapterState() override { return pick()->adapterState(); }
    int powerOn() override { return pick()->powerOn(); }

    int beginLookup() override {
        BluetoothBackend* backend = pick();
        lookup_.store(backend);
        return backend->beginLookup();
    }
    int nextResult(BluetoothLookupResult& result) override {
        BluetoothBackend* backend = lookup_.load();
        return backend != nullptr ? backend->nextResult(result) : kLookupCancelled;
    }
    void cancelLookup() override {
        if (BluetoothBackend* backend = lookup_.load()) {
            backend->cancelLookup();
        }
    }
    void endLookup() override {
        if (BluetoothBackend* backend = lookup_.load()) {
            backend->endLookup();
        }
    }

    int bind(unsigned int index, std::uint64_t address, std::uint8_t channel,
             const GUID& serviceClass) override {
        return hci_->bind(index, address, channel, serviceClass);
    }
    int release(unsigned int index) override { return hci_->release(index); }
    bool canBindTty() override { return hci_->canBindTty(); }

    void setSearchTime(int milliseconds) override {
        if (dbus_) {
            dbus_->setSearchTime(milliseconds);
        }
        hci_->setSearchTime(milliseconds);
    }
    int pairedDevices(std::vector<BluetoothLookupResult>& devices) override {
        return pick()->pairedDevices(devices);
    }
    int pair(std::uint64_t address, const BluetoothPinRequest& pin) override {
        return pick()->pair(address, pin);
    }

private:
    BluetoothBackend* pick() {
        if (dbus_ && BluezDbusAnswers()) {
            return dbus_.get();
        }
        return hci_.get();
    }

    std::unique_ptr<BluetoothBackend> dbus_;
    std::unique_ptr<BluetoothBackend> hci_;
    // The backend of the running lookup; its cancel may come from another thread.
    std::atomic<BluetoothBackend*> lookup_{nullptr};
};

}  // namespace

std::unique_ptr<BluetoothBackend> MakePlatformBluetoothBackend() {
    return std::make_unique<PlatformBackend>();
}

const char* PlatformBluetoothBackendName() {
    return BluezDbusAnswers() ? "BlueZ D-Bus" : HciBackendName();
}

bool HasNetAdminCapability() {
    // Bit 12 of the effective set; read from the kernel's own report, so no libcap is needed.
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (status == nullptr) {
        return false;
    }
    char line[256];
    unsigned long long effective = 0;
    bool found = false;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "CapEff:", 7) == 0) {
            found = std::sscanf(line + 7, "%llx", &effective) == 1;
            break;
        }
    }
    std::fclose(status);
    constexpr unsigned kCapNetAdmin = 12;
    return found && ((effective >> kCapNetAdmin) & 1u) != 0;
}

}  // namespace BVComm
}  // namespace Brevan2011
