#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "BVComm/BVCommExport.h"
#include "BVComm/BluetoothBackend.h"
#include "BVComm/IThreadTask.h"

namespace Brevan2011 {
namespace BVComm {

// Finds Bluetooth receivers (as a task of a worker thread) and binds one to a numbered serial
// device that a PARAM_BT port then opens.
class BVCOMM_EXPORT Bluetooth : public IThreadTask {
public:
    // Called on the searching thread for every device found; the port is 0 (a search gives no
    // channel).
    using ResultCallback = void (*)(const std::wstring& name, std::uint64_t* address,
                                    std::uint32_t* port);

    // Error codes besides the lookup's own (BluetoothLookupCode).
    enum Code : int {
        kAccessDenied = 5,
        kGeneralFailure = 31,
        kInvalidParameter = 87,
        kInvalidHandle = 6,
        kNoMatchedPort = 1413,
        kRadioOff = 2206,
        kPortInUse = 2404,
        kNoAdapter = 10050,
    };

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

    // Releases this object's earlier binding, then binds serial device comPort to the 48-bit
    // address for the serial-port profile. 0, or 2404 in use, 1413 no matching port,
    // 5 no permission, 87 bad address, 31 anything else; never 1 to 3.
    int BindBluetooth(std::uint64_t address, unsigned int comPort, unsigned long unused);
    void DeleteBluetooth();

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

    std::unique_ptr<BluetoothBackend> backend_;
    std::wstring name_;
    std::uint64_t localAddress_ = 0;
    std::uint64_t remoteAddress_ = 0;
    std::uint32_t portId_ = 0;
    std::mutex bindMutex_;
    std::optional<unsigned int> boundIndex_;
    std::mutex lookupMutex_;
    bool lookupOpen_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> errorCode_{0};
    ResultCallback callback_ = nullptr;
};

}  // namespace BVComm
}  // namespace Brevan2011
