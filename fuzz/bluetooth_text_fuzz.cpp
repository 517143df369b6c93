// Device names arrive from any device in range; addresses and class texts from settings files.
#include <cstddef>
#include <cstdint>
#include <string>

#include "BVComm/Bluetooth.h"

using Brevan2011::BVComm::Bluetooth;
using Brevan2011::BVComm::GUID;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring name = Bluetooth::FromUtf8(bytes);
    for (wchar_t c : name) {
        if (c < 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            __builtin_trap();
        }
    }

    // The same bytes as wide text (one character a byte, NUL-terminated by the string).
    std::wstring text;
    for (unsigned char c : bytes) {
        text.push_back(static_cast<wchar_t>(c));
    }
    const wchar_t* cursor = text.c_str();
    std::uint64_t address = 0;
    if (Bluetooth::GetBA(&cursor, &address) && (address >> 48) != 0) {
        __builtin_trap();
    }
    if (cursor < text.c_str() || cursor > text.c_str() + text.size()) {
        __builtin_trap();
    }
    GUID guid;
    Bluetooth::StringToGUID(text.c_str(), &guid);
    return 0;
}
