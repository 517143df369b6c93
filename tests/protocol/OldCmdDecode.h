// Reading back the frames the old-protocol command builders render, for the tests: checks the
// "$$" layout (check byte, CR LF) and takes apart the '@' frame a "VS" frame carries.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "BVParse/Em_GnssTypes.h"

namespace oldcmd {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Hex(const std::string& text) {
    Bytes out;
    unsigned value = 0;
    int digits = 0;
    for (char c : text) {
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        if (v < 0)
            continue;
        value = value * 16 + static_cast<unsigned>(v);
        if (++digits == 2) {
            out.push_back(static_cast<std::uint8_t>(value));
            value = 0;
            digits = 0;
        }
    }
    return out;
}

inline Bytes Raw(const Brevan2011::BVParse::_STR_CMD& c) {
    return Bytes(c.data, c.data + c.length);
}

struct Frame {
    bool ok = false;
    std::string letters;
    std::uint8_t mode = 0;
    Bytes payload;
    std::uint32_t pause = 0;
};

// Takes a command apart; ok only when it is one whole "$$" frame with a good check byte.
inline Frame Decode(const Brevan2011::BVParse::_STR_CMD& c) {
    Frame f;
    f.pause = c.pause;
    if (c.length < 9 || c.length > sizeof c.data || c.data[0] != 0x24 || c.data[1] != 0x24) {
        return f;
    }
    const unsigned L = c.data[5];
    if (L + 9u != c.length) {
        return f;
    }
    std::uint8_t x = 0;
    for (unsigned i = 2; i < 6 + L; ++i) {
        x ^= c.data[i];
    }
    if (x != c.data[6 + L] || c.data[7 + L] != 0x0D || c.data[8 + L] != 0x0A) {
        return f;
    }
    f.letters.assign(reinterpret_cast<const char*>(c.data + 2), 2);
    f.mode = c.data[4];
    f.payload.assign(c.data + 6, c.data + 6 + L);
    f.ok = true;
    return f;
}

struct At {
    bool ok = false;
    std::uint8_t command = 0;
    Bytes data;
};

// The '@' frame inside a "VS" frame of kind 11: command, complement, 16-bit N, data, check.
inline At DecodeAt(const Frame& f) {
    At a;
    const Bytes& p = f.payload;
    if (!f.ok || f.letters != "VS" || (f.mode & 0x0F) != 11 || p.size() < 6 || p[0] != 0x40 ||
        p[2] != static_cast<std::uint8_t>(p[1] ^ 0xFF)) {
        return a;
    }
    const std::size_t n = p[3] | (p[4] << 8);
    if (n + 6 != p.size()) {
        return a;
    }
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < n + 5; ++i) {
        x ^= p[i];
    }
    if (x != p[n + 5]) {
        return a;
    }
    a.command = p[1];
    a.data.assign(p.begin() + 5, p.begin() + 5 + static_cast<std::ptrdiff_t>(n));
    a.ok = true;
    return a;
}

// One frame as a test reads it back: two letters and the payload (or "@" with the '@' command
// byte first and its data after it), and the pause after it.
struct Sent {
    std::string letters;
    Bytes payload;
    std::uint32_t pause;
    bool operator==(const Sent& o) const {
        return letters == o.letters && payload == o.payload && pause == o.pause;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Sent& s) {
    os << s.letters << " [";
    for (std::uint8_t b : s.payload) {
        os << ' ' << unsigned(b);
    }
    return os << " ] pause " << s.pause;
}

inline Bytes Str(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace oldcmd
