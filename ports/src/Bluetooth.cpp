#include "BVComm/Bluetooth.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "BVComm/Logger.h"
#include "BluetoothPorts.h"

namespace Brevan2011 {
namespace BVComm {

BluetoothBackend::~BluetoothBackend() = default;

const wchar_t* const Bluetooth::kSerialPortClass = L"00001101-0000-1000-8000-00805F9B34FB";

Bluetooth::Bluetooth() : Bluetooth(MakePlatformBluetoothBackend()) {}

Bluetooth::Bluetooth(std::unique_ptr<BluetoothBackend> backend) : backend_(std::move(backend)) {}

Bluetooth::~Bluetooth() {
    // A search still running here is the owner's fault; end its lookup all the same.
    endLookupOnce();
    DeleteBluetooth();
}

void Bluetooth::endLookupOnce() {
    // Stop on the GUI thread and the search's own end can race: only one of them ends it.
    std::lock_guard<std::mutex> guard(lookupMutex_);
    if (lookupOpen_) {
        lookupOpen_ = false;
        backend_->endLookup();
    }
}

bool Bluetooth::Start() {
    stop_ = false;
    errorCode_ = 0;
    if (!backend_) {
        errorCode_ = kNoAdapter;
        return false;
    }
    switch (backend_->adapterState()) {
        case BluetoothAdapterState::None:
            errorCode_ = kNoAdapter;
            return false;
        case BluetoothAdapterState::Down:
            errorCode_ = kRadioOff;
            return false;
        case BluetoothAdapterState::Up:
            break;
    }
    // A lookup left open by an earlier search is ended first.
    endLookupOnce();
    std::lock_guard<std::mutex> guard(lookupMutex_);
    const int rc = backend_->beginLookup();
    if (rc != 0) {
        errorCode_ = rc;
        return false;
    }
    lookupOpen_ = true;
    return true;
}

void Bluetooth::Run() {
    {
        std::lock_guard<std::mutex> guard(runMutex_);
        running_ = true;
    }
    SearchBluetooth();
    std::lock_guard<std::mutex> guard(runMutex_);
    running_ = false;
    runEnded_.notify_all();
}

void Bluetooth::stopSearchAndWait() {
    bool open = false;
    {
        std::lock_guard<std::mutex> guard(lookupMutex_);
        open = lookupOpen_;
    }
    {
        std::lock_guard<std::mutex> guard(runMutex_);
        open = open || running_;
    }
    if (!open) {
        return;
    }
    // No connection or pairing while the radio still searches.
    Stop();
    std::unique_lock<std::mutex> lock(runMutex_);
    runEnded_.wait_for(lock, std::chrono::milliseconds(kSearchStopWaitMs),
                       [this] { return !running_; });
}

void Bluetooth::SetSearchTime(int milliseconds) {
    if (backend_) {
        backend_->setSearchTime(milliseconds);
    }
}

int Bluetooth::ListPairedDevices(std::vector<Device>& devices) {
    devices.clear();
    if (!backend_) {
        return kNoAdapter;
    }
    std::vector<BluetoothLookupResult> found;
    const int code = backend_->pairedDevices(found);
    for (const BluetoothLookupResult& d : found) {
        devices.push_back(
            Device{d.name.empty() ? std::wstring(L"Unnamed Device") : FromUtf8(d.name), d.address});
    }
    return code;
}

void Bluetooth::Stop() {
    stop_ = true;
    if (backend_) {
        backend_->cancelLookup();
    }
    endLookupOnce();
}

unsigned char Bluetooth::SearchBluetooth() {
    unsigned int count = 0;
    bool open = false;
    {
        std::lock_guard<std::mutex> guard(lookupMutex_);
        open = lookupOpen_;
    }
    if (!open) {
        // Stopped before the search began, or no lookup was begun at all.
        errorCode_ = stop_ ? 0 : kInvalidHandle;
        return 0;
    }
    for (;;) {
        if (stop_) {
            errorCode_ = 0;
            break;
        }
        BluetoothLookupResult result;
        const int rc = backend_->nextResult(result);
        if (rc != 0) {
            const bool cancelled =
                rc == kLookupCancelled || rc == kLookupCallCancelled || stop_.load();
            errorCode_ = cancelled ? 0 : rc;
            break;
        }
        if (result.addressCount != 1) {
            continue;
        }
        std::wstring name = L"Unnamed Device";
        if (!result.name.empty()) {
            name = FromUtf8(result.name);
        }
        std::uint64_t address = result.address;
        std::uint32_t port = 0;
        if (callback_ != nullptr) {
            callback_(name, &address, &port);
        }
        ++count;
    }
    endLookupOnce();
    if (count > 0) {
        errorCode_ = 0;
    }
    return static_cast<unsigned char>(count & 0xFFu);
}

int Bluetooth::PowerOn() {
    if (!backend_) {
        errorCode_ = kNoAdapter;
        return kNoAdapter;
    }
    int code = 0;
    switch (backend_->adapterState()) {
        case BluetoothAdapterState::None:
            code = kNoAdapter;
            break;
        case BluetoothAdapterState::Down: {
            const int rc = backend_->powerOn();
            if (rc == EPERM || rc == EACCES) {
                code = kAccessDenied;
            } else if (rc == ENODEV) {
                code = kNoAdapter;
            } else if (rc != 0) {
                code = kGeneralFailure;
            }
            break;
        }
        case BluetoothAdapterState::Up:
            break;
    }
    errorCode_ = code;
    return code;
}

int Bluetooth::BindResultCode(int error) {
    switch (error) {
        case 0:
            return 0;
        case EADDRINUSE:
        case EBUSY:
            return kPortInUse;
        case ENODEV:
        case ENFILE:
            return kNoMatchedPort;
        case EPERM:
        case EACCES:
            return kAccessDenied;
        case EINVAL:
            return kInvalidParameter;
        default:
            return kGeneralFailure;
    }
}

int Bluetooth::BindBluetooth(std::uint64_t address, unsigned int comPort, unsigned long unused) {
    (void)unused;
    stopSearchAndWait();
    DeleteBluetooth();
    std::lock_guard<std::mutex> guard(bindMutex_);
    // Only 48 bits make a device address; more would print more than 12 digits.
    if ((address >> 48) != 0 || !backend_) {
        const int code = backend_ ? kInvalidParameter : kNoAdapter;
        errorCode_ = code;
        return code;
    }
    // A PARAM_BT carries the number in one byte.
    if (comPort > 255) {
        errorCode_ = kNoMatchedPort;
        return kNoMatchedPort;
    }
    wchar_t text[32];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%04x%08x",
                  static_cast<unsigned int>(address >> 32),
                  static_cast<unsigned int>(address & 0xFFFFFFFFu));
    const wchar_t* cursor = text;
    std::uint64_t parsed = 0;
    GUID serviceClass;
    if (!GetBA(&cursor, &parsed) || !StringToGUID(kSerialPortClass, &serviceClass)) {
        errorCode_ = kInvalidParameter;
        return kInvalidParameter;
    }
    const int com = static_cast<int>(comPort);
    if (!ClaimBluetoothPort(com, parsed, this)) {
        errorCode_ = kPortInUse;
        return kPortInUse;
    }
    // A receiver that wants a PIN is paired now, while the user can be asked; one the platform
    // does not know is connected as it is.
    const PinCallback& ask = pinCallback_;
    const BluetoothPinRequest pin = [&ask](const std::string& name, std::string& answer) {
        return ask && ask(name.empty() ? std::wstring(L"Unnamed Device") : FromUtf8(name), answer);
    };
    const int paired = backend_->pair(parsed, pin);
    if (paired != 0 && paired != kPairUnknownDevice) {
        ReleaseBluetoothPort(com, this);
        errorCode_ = paired;
        return paired;
    }
    if (ttyAllowed_ && backend_->canBindTty()) {
        const int rc = backend_->bind(comPort, parsed, kChannelByServiceClass, serviceClass);
        if (rc == 0) {
            // The open goes to /dev/rfcomm<n>, not to a socket.
            ReleaseBluetoothPort(com, this);
            boundTty_ = comPort;
        } else {
            BVCore::Logger::log(BVCore::Logger::defaultLogger(), 2,
                                "Bluetooth COM%u: no /dev/rfcomm%u (%s); a socket is used", comPort,
                                comPort, std::strerror(rc));
        }
    }
    boundIndex_ = comPort;
    errorCode_ = 0;
    return 0;
}

void Bluetooth::DeleteBluetooth() {
    std::lock_guard<std::mutex> guard(bindMutex_);
    if (boundTty_ && backend_) {
        const int rc = backend_->release(*boundTty_);
        if (rc != 0) {
            BVCore::Logger::log(BVCore::Logger::defaultLogger(), 1,
                                "Bluetooth: /dev/rfcomm%u could not be released: %s", *boundTty_,
                                std::strerror(rc));
            std::fprintf(stderr, "Bluetooth: /dev/rfcomm%u could not be released: %s\n", *boundTty_,
                         std::strerror(rc));
        }
    }
    if (boundIndex_) {
        ReleaseBluetoothPort(static_cast<int>(*boundIndex_), this);
    }
    boundTty_.reset();
    boundIndex_.reset();
}

bool Bluetooth::StringToGUID(const wchar_t* text, GUID* guid) {
    if (text == nullptr || guid == nullptr) {
        return false;
    }
    unsigned int v[11] = {};
    const int fields =
        std::swscanf(text, L"%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", &v[0], &v[1], &v[2],
                     &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10]);
    if (fields < 11) {
        return false;
    }
    guid->Data1 = v[0];
    guid->Data2 = static_cast<std::uint16_t>(v[1]);
    guid->Data3 = static_cast<std::uint16_t>(v[2]);
    for (int i = 0; i < 8; ++i) {
        guid->Data4[i] = static_cast<std::uint8_t>(v[3 + i]);
    }
    return true;
}

namespace {

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

}  // namespace

bool Bluetooth::GetBA(const wchar_t** text, std::uint64_t* address) {
    if (text == nullptr || *text == nullptr || address == nullptr) {
        return false;
    }
    const wchar_t*& p = *text;
    while (*p == L' ') {
        ++p;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < 12; ++i) {
        const int digit = hexValue(*p);
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
        ++p;
    }
    if (*p != L' ' && *p != L'\0') {
        return false;
    }
    *address = value;
    return true;
}

std::wstring Bluetooth::FromUtf8(const std::string& text) {
    std::wstring out;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        std::uint32_t cp = 0;
        std::size_t extra = 0;
        std::uint32_t minimum = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1Fu;
            extra = 1;
            minimum = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0Fu;
            extra = 2;
            minimum = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07u;
            extra = 3;
            minimum = 0x10000;
        } else {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        std::size_t j = 1;
        for (; j <= extra; ++j) {
            if (i + j >= n || (s[i + j] & 0xC0) != 0x80) {
                break;
            }
            cp = (cp << 6) | (s[i + j] & 0x3Fu);
        }
        if (j <= extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            i += j;  // skip the lead byte and the continuation bytes seen
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += extra + 1;
    }
    return out;
}

}  // namespace BVComm
}  // namespace Brevan2011
