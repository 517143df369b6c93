#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "BVComm/BVCommExport.h"
#include "BVComm/BluetoothBackend.h"
#include "BVComm/IThreadTask.h"

namespace Brevan2011 {
namespace BVComm {

// Finds Bluetooth receivers (as a task of a worker thread) and binds one to a COM number that a
// PARAM_BT port then opens: the number leads to the receiver's address, and the open connects an
// RFCOMM socket to it (no privilege needed). Where the process holds CAP_NET_ADMIN the binding
// also makes the serial device "/dev/rfcomm<n>", which the open then uses.
class BVCOMM_EXPORT Bluetooth : public IThreadTask {
public:
    // Called on the searching thread for every device found; the port is 0 (a search gives no
    // channel).
    using ResultCallback = void (*)(const std::wstring& name, std::uint64_t* address,
                                    std::uint32_t* port);
    // Asked on the binding's thread for the PIN (or numeric passkey) of the named receiver
    // while BindBluetooth pairs with it; false refuses.
    using PinCallback = std::function<bool(const std::wstring& name, std::string& pin)>;
    struct Device {
        std::wstring name;
        std::uint64_t address = 0;
    };

    // Error codes besides the lookup's own (BluetoothLookupCode).
    enum Code : int {
        kAccessDenied = 5,
        kGeneralFailure = 31,
        kInvalidParameter = 87,
        kInvalidHandle = 6,
        kNotAuthenticated = 1244,
        kNoMatchedPort = 1413,
        kRadioOff = 2206,
        kPortInUse = 2404,
        kNoAdapter = 10050,
        kTimedOut = 10060,
        kUnreachable = 10065,
    };

    // A search ends by itself after this long unless the platform ends it sooner.
    static constexpr int kDefaultSearchMs = 10000;
    // How long a binding waits for a search it stops.
    static constexpr int kSearchStopWaitMs = 5000;

    Bluetooth();  // the platform backend
    explicit Bluetooth(std::unique_ptr<BluetoothBackend> backend);
    ~Bluetooth() override;
    // A copy would release the shared binding twice.
    Bluetooth(const Bluetooth&) = delete;
    Bluetooth& operator=(const Bluetooth&) = delete;

    // Clears the stop flag and the error code, checks the radio and begins a lookup.
    // False with the error code set: 2206 radio off, 10050 no adapter, else the lookup's code.
    bool Start() override;
    // Runs SearchBluetooth.
    void Run() override;
    // Any thread: ends a running search, which then ends with error code 0.
    void Stop() override;
    void StopSearching() { Stop(); }

    // Reports each device with exactly one address to the callback ("Unnamed Device" without a
    // name); returns how many (modulo 256). Error code afterwards: 0 when stopped, cancelled or
    // anything was found, else the lookup's code (10110 when it simply found nothing).
    unsigned char SearchBluetooth();

    // Switches the adapter on when it is off; 0 or an error code (10050 without adapter).
    int PowerOn();

    // Stops a search of this object (and waits for it), releases this object's earlier
    // binding, pairs with the receiver when the platform knows it unpaired (asking the PIN
    // callback), then binds COM comPort to the 48-bit address. 0, or 2404 another binding holds
    // the number, 1413 no such COM number, 87 bad address, 1244 pairing refused or cancelled,
    // 10060/10065 the receiver did not answer, 5 no permission, 31 anything else; never 1 to 3.
    int BindBluetooth(std::uint64_t address, unsigned int comPort, unsigned long unused);
    // Releases the binding (and the serial device it made, reporting one that stays).
    void DeleteBluetooth();

    // The length of later searches.
    void SetSearchTime(int milliseconds);
    void SetPinCallback(PinCallback callback) { pinCallback_ = std::move(callback); }
    // Whether a binding may make "/dev/rfcomm<n>" where the process can (on by default).
    void SetTtyBinding(bool allowed) { ttyAllowed_ = allowed; }
    // The receivers the platform holds as paired ("Unnamed Device" without a name), in its
    // order; 0, or 10050 when it knows none (no adapter, no Bluetooth service).
    int ListPairedDevices(std::vector<Device>& devices);

    int GetErrorCode() const { return errorCode_.load(); }
    unsigned int GetType() const { return 1; }

    void SetResultCallback(ResultCallback callback) { callback_ = callback; }
    std::wstring GetName() const { return name_; }
    void SetName(const std::wstring& name) { name_ = name; }
    std::uint64_t GetLocalAddress() const { return localAddress_; }
    void SetLocalAddress(std::uint64_t address) { localAddress_ = address; }
    std::uint64_t GetRemoteAddress() const { return remoteAddress_; }
    void SetRemoteAddress(std::uint64_t address) { remoteAddress_ = address; }
    std::uint32_t GetPort() const { return portId_; }
    void SetPortID(std::uint32_t port) { portId_ = port; }

    // Parses "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx"; false for null or fewer than 11 fields.
    static bool StringToGUID(const wchar_t* text, GUID* guid);
    // Parses 12 hex digits after leading spaces, which must be followed by a space or the end;
    // *text is left after the last digit read.
    static bool GetBA(const wchar_t** text, std::uint64_t* address);
    // UTF-8 to wide text; a malformed sequence becomes U+FFFD.
    static std::wstring FromUtf8(const std::string& text);
    // An errno value of the binding as the code the connection page reads.
    static int BindResultCode(int error);

    // The serial-port profile's service class.
    static const wchar_t* const kSerialPortClass;
    static constexpr std::uint8_t kChannelByServiceClass = 254;

private:
    void endLookupOnce();
    void stopSearchAndWait();

    std::unique_ptr<BluetoothBackend> backend_;
    std::wstring name_;
    std::uint64_t localAddress_ = 0;
    std::uint64_t remoteAddress_ = 0;
    std::uint32_t portId_ = 0;
    std::mutex bindMutex_;
    std::optional<unsigned int> boundIndex_;
    std::optional<unsigned int> boundTty_;
    bool ttyAllowed_ = true;
    PinCallback pinCallback_;
    std::mutex runMutex_;
    std::condition_variable runEnded_;
    bool running_ = false;
    std::mutex lookupMutex_;
    bool lookupOpen_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> errorCode_{0};
    ResultCallback callback_ = nullptr;
};

}  // namespace BVComm
}  // namespace Brevan2011
