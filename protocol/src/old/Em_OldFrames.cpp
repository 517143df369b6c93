#include "Em_OldFrames.h"

#include <cstring>
#include <string>

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr std::size_t kFieldLimit = 256;  // fields stop once the write position reaches it

bool FormOk(unsigned form) {
    return form == kOldFormSerial || form == kOldFormBluetooth;
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Decimal number right after a field letter: optional blanks, optional sign, digits. Parsed
// as 64-bit so unsigned 32-bit values keep their own bits.
bool ParseNumber(const char* s, std::int64_t* value) {
    while (*s == ' ' || *s == '\t') {
        ++s;
    }
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = (*s == '-');
        ++s;
    }
    if (*s < '0' || *s > '9') {
        return false;
    }
    std::uint64_t v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v * 10u + static_cast<unsigned>(*s - '0');
    }
    *value = negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
    return true;
}

void Finish(std::uint8_t* out, std::size_t p, std::uint32_t* frameLength, unsigned form,
            unsigned kind) {
    out[5] = static_cast<std::uint8_t>((p - 6) & 0xFF);
    out[4] = static_cast<std::uint8_t>(form * 16 + kind);
    std::uint8_t check = 0;
    for (std::size_t i = 2; i < p; ++i) {
        check ^= out[i];
    }
    out[p] = check;
    out[p + 1] = 0x0D;
    out[p + 2] = 0x0A;
    if (frameLength != nullptr) {
        *frameLength = static_cast<std::uint32_t>(p + 3);
    }
}

}  // namespace

unsigned Old_LinkForm(std::int32_t comStatus) {
    if (comStatus == 1) {
        return kOldFormSerial;
    }
    if (comStatus == 2) {
        return kOldFormBluetooth;
    }
    return 0;
}

bool Pack_OldFrame(const char* text, std::uint8_t* out, std::uint32_t* frameLength, unsigned form,
                   unsigned kind) {
    if (text == nullptr || out == nullptr || !FormOk(form) ||
        (kind != kOldKindText && kind != kOldKindCarrier)) {
        return false;
    }
    char work[kOldTextMaxLength + 1];
    std::size_t n = 0;
    while (n < kOldTextMaxLength && text[n] != '\0') {
        work[n] = text[n];
        ++n;
    }
    work[n] = '\0';

    // Without two command letters the frame would be written over its own header.
    int letters = 0;
    for (std::size_t i = 0; i < n && letters < 2; ++i) {
        if (IsLetter(work[i])) {
            ++letters;
        }
    }
    if (letters < 2) {
        return false;
    }

    out[0] = 0x24;
    out[1] = 0x24;
    std::size_t p = 2;
    bool separator = false;
    std::size_t i = 0;
    while (i < n) {
        if (p >= kFieldLimit) {
            break;
        }
        const char c = work[i];
        if (p < 6) {
            if (IsLetter(c)) {
                out[p++] = static_cast<std::uint8_t>(c);
                if (p == 4) {
                    p = 6;
                }
            }
            ++i;
            continue;
        }
        if (c == ',' || c == ' ') {
            separator = true;
            ++i;
            continue;
        }
        const char f = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (!separator || (f != 'B' && f != 'M' && f != 'W' && f != 'L' && f != 'S')) {
            ++i;
            continue;
        }
        if (f == 'S') {
            std::size_t count = n - (i + 1);
            if (count > kFieldLimit - p) {
                count = kFieldLimit - p;
            }
            std::memcpy(out + p, work + i + 1, count);
            p += count;
            break;
        }
        std::int64_t value = 0;
        if (ParseNumber(work + i + 1, &value)) {
            const std::uint64_t v = static_cast<std::uint64_t>(value);
            switch (f) {
                case 'B':
                    out[p++] = static_cast<std::uint8_t>(v);
                    break;
                case 'M':
                    out[p++] = static_cast<std::uint8_t>(v >> 8);
                    out[p++] = static_cast<std::uint8_t>(v);
                    break;
                case 'W':
                    out[p++] = static_cast<std::uint8_t>(v);
                    out[p++] = static_cast<std::uint8_t>(v >> 8);
                    break;
                default:  // 'L'
                    out[p++] = static_cast<std::uint8_t>(v);
                    out[p++] = static_cast<std::uint8_t>(v >> 8);
                    out[p++] = static_cast<std::uint8_t>(v >> 16);
                    out[p++] = static_cast<std::uint8_t>(v >> 24);
                    break;
            }
            separator = false;
        }
        i += 2;
    }
    Finish(out, p, frameLength, form, kind);
    return true;
}

bool Pack_OldBinFrame(char first, char second, const std::uint8_t* payload, std::size_t length,
                      std::uint8_t* out, std::uint32_t* frameLength, unsigned form) {
    if (payload == nullptr || out == nullptr || length > kOldBinMaxPayload || !FormOk(form)) {
        return false;
    }
    // The payload may already sit in the output buffer (wrapping in place): move it first.
    std::memmove(out + 6, payload, length);
    out[0] = 0x24;
    out[1] = 0x24;
    out[2] = static_cast<std::uint8_t>(first);
    out[3] = static_cast<std::uint8_t>(second);
    Finish(out, 6 + length, frameLength, form, kOldKindText);
    return true;
}

bool Pack_OldAtFrame(std::uint8_t command, std::uint8_t* out, std::uint32_t* frameLength,
                     std::size_t dataLength, const std::uint8_t* data, unsigned form) {
    if (out == nullptr || dataLength > kOldAtMaxData || (dataLength > 0 && data == nullptr) ||
        !FormOk(form)) {
        return false;
    }
    std::uint8_t at[kOldAtMaxData + 6];
    at[0] = 0x40;
    at[1] = command;
    at[2] = static_cast<std::uint8_t>(command ^ 0xFF);
    at[3] = static_cast<std::uint8_t>(dataLength & 0xFF);
    at[4] = static_cast<std::uint8_t>(dataLength >> 8);
    if (dataLength > 0) {
        std::memcpy(at + 5, data, dataLength);
    }
    std::uint8_t check = 0;
    for (std::size_t i = 0; i < dataLength + 5; ++i) {
        check ^= at[i];
    }
    at[dataLength + 5] = check;

    std::string text = "VS,";
    text.reserve(3 + (dataLength + 6) * 5);
    for (std::size_t i = 0; i < dataLength + 6; ++i) {
        text += 'B';
        text += std::to_string(static_cast<unsigned>(at[i]));
        text += ' ';
    }
    return Pack_OldFrame(text.c_str(), out, frameLength, form, kOldKindCarrier);
}

bool Wrap_OldBytes(std::uint8_t* data, std::uint32_t* length, char first, char second,
                   unsigned form) {
    if (data == nullptr || length == nullptr || *length > kOldBinMaxPayload) {
        return false;
    }
    return Pack_OldBinFrame(first, second, data, *length, data, length, form);
}

bool Wrap_OldText(std::uint8_t* data, std::uint32_t* length, unsigned form) {
    if (data == nullptr || length == nullptr || *length > kOldChunk || !FormOk(form)) {
        return false;
    }
    char text[4 + kOldChunk + 1];
    std::memcpy(text, "VL,S", 4);
    std::memcpy(text + 4, data, *length);
    text[4 + *length] = '\0';
    std::uint32_t frameLength = 0;
    if (!Pack_OldFrame(text, data, &frameLength, form, kOldKindCarrier)) {
        return false;
    }
    *length = frameLength;
    data[frameLength] = 0;
    return true;
}

}  // namespace BVParse
}  // namespace Brevan2011
