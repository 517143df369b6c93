// Builders of old-protocol reply frames for the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace oldtest {

using Bytes = std::vector<std::uint8_t>;

// "$$" frame with letters, serial mode byte, payload, check byte and CR LF.
inline Bytes Frame(const char* letters, const Bytes& payload, std::uint8_t mode = 0x18) {
    // Built byte by byte: GCC 12 misreads an insert after a braced initialiser as out of bounds.
    Bytes f;
    f.reserve(payload.size() + 9);
    for (std::uint8_t b :
         {std::uint8_t{0x24}, std::uint8_t{0x24}, static_cast<std::uint8_t>(letters[0]),
          static_cast<std::uint8_t>(letters[1]), mode, static_cast<std::uint8_t>(payload.size())}) {
        f.push_back(b);
    }
    for (std::uint8_t b : payload) {
        f.push_back(b);
    }
    std::uint8_t x = 0;
    for (std::size_t i = 2; i < f.size(); ++i) {
        x ^= f[i];
    }
    f.push_back(x);
    f.push_back(0x0D);
    f.push_back(0x0A);
    return f;
}

// '@' command frame as the receiver reads it: '@', c, ~c, 16-bit length, data, XOR check.
inline Bytes AtCommand(std::uint8_t c, const Bytes& data) {
    Bytes m;
    m.reserve(data.size() + 6);
    for (std::uint8_t b : {std::uint8_t{0x40}, c, static_cast<std::uint8_t>(c ^ 0xFF),
                           static_cast<std::uint8_t>(data.size() & 0xFF),
                           static_cast<std::uint8_t>(data.size() >> 8)}) {
        m.push_back(b);
    }
    for (std::uint8_t b : data) {
        m.push_back(b);
    }
    std::uint8_t x = 0;
    for (std::uint8_t b : m) {
        x ^= b;
    }
    m.push_back(x);
    return m;
}

// Its "VS" carrier frame: serial link 0x1B, Bluetooth 0x3B.
inline Bytes VsCommand(std::uint8_t c, const Bytes& data, std::uint8_t mode = 0x1B) {
    return Frame("VS", AtCommand(c, data), mode);
}

inline Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes Cat(Bytes a, const Bytes& b) {
    for (std::uint8_t x : b) {
        a.push_back(x);
    }
    return a;
}

// n bytes counting up from first.
inline Bytes Sequence(std::size_t n, std::uint8_t first) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(first + i);
    }
    return b;
}

// '@' frame of a VI reply: '@', c, ~c, 32-bit N, data, check (XOR of all before), CR LF.
inline Bytes AtReply(std::uint8_t c, const Bytes& data, bool goodComplement = true) {
    const std::uint32_t n = static_cast<std::uint32_t>(data.size());
    Bytes m;
    m.reserve(data.size() + 10);
    for (std::uint8_t b :
         {std::uint8_t{0x40}, c, static_cast<std::uint8_t>(goodComplement ? 255 - c : 0),
          static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}) {
        m.push_back(b);
    }
    for (std::uint8_t b : data) {
        m.push_back(b);
    }
    std::uint8_t x = 0;
    for (auto b : m) {
        x ^= b;
    }
    m.push_back(x);
    m.push_back(0x0D);
    m.push_back(0x0A);
    return m;
}

}  // namespace oldtest
