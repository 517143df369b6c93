#include "SimAnswersNewLink.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace varnok_sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kPowerOnTag = 0x070E;
constexpr std::uint16_t kPowerOffTag = 0x070F;

struct RawRecord {
    std::uint16_t tag;
    const char* key;
    std::size_t size;
};

const RawRecord kRecords[] = {
    {0x0718, "radio_callsign", 19},
    {0x1103, "server_address", 57},
    {0x110A, "server_source", 20},
    {0x110B, "server_account", 70},
};

// The radio's 32-bit settings (big-endian words), kept so the next query reads them back.
constexpr std::uint16_t kFrequencyTag = 0x0703;

struct WordSetting {
    std::uint16_t tag;
    const char* key;
};

const WordSetting kWords[] = {
    {0x0704, "radio_power"},
    {0x0709, "radio_stepper"},
    {0x070B, "radio_air_baud"},
};

std::uint32_t BigWord(const Bytes& value) {
    return (std::uint32_t{value[0]} << 24) | (std::uint32_t{value[1]} << 16) |
           (std::uint32_t{value[2]} << 8) | std::uint32_t{value[3]};
}

std::string ToHex(const Bytes& value) {
    std::string out;
    char pair[3];
    for (std::uint8_t b : value) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(b));
        out += pair;
    }
    return out;
}

int Nibble(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The kept bytes of a key, cut or zero-filled to the field; bad hex reads as zeros.
Bytes FromHex(const std::string& text, std::size_t size) {
    Bytes out(size, 0);
    for (std::size_t i = 0; i < size && 2 * i + 1 < text.size(); ++i) {
        const int hi = Nibble(text[2 * i]);
        const int lo = Nibble(text[2 * i + 1]);
        if (hi < 0 || lo < 0) {
            return Bytes(size, 0);
        }
        out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return out;
}

Bytes Record(const SimState& state, std::uint16_t tag) {
    for (const RawRecord& r : kRecords) {
        if (r.tag == tag) {
            return FromHex(state.text(r.key), r.size);
        }
    }
    return {};
}

}  // namespace

bool StoreNewLink(std::uint16_t tag, const std::vector<std::uint8_t>& value, SimState& state) {
    if (tag == kPowerOnTag || tag == kPowerOffTag) {
        // A stuck radio keeps its status whatever is asked.
        if (state.number("radio_power_stuck") == 0) {
            state.set("radio_power_status", tag == kPowerOnTag ? "2" : "3", nullptr);
        }
        return true;
    }
    if (tag == kFrequencyTag) {
        // A float's bits; anything not a finite frequency leaves the kept one.
        if (value.size() == 4) {
            const std::uint32_t bits = BigWord(value);
            float mhz = 0;
            std::memcpy(&mhz, &bits, sizeof mhz);
            if (std::isfinite(mhz)) {
                char text[32];
                std::snprintf(text, sizeof text, "%.9g", static_cast<double>(mhz));
                state.set("radio_frequency", text, nullptr);
            }
        }
        return true;
    }
    for (const WordSetting& w : kWords) {
        if (w.tag == tag) {
            if (value.size() == 4) {
                state.set(w.key, std::to_string(BigWord(value)), nullptr);
            }
            return true;
        }
    }
    for (const RawRecord& r : kRecords) {
        if (r.tag == tag) {
            if (value.size() == r.size) {
                state.set(r.key, ToHex(value), nullptr);
            }
            return true;
        }
    }
    return false;
}

std::vector<std::uint8_t> RadioCallsignRecord(const SimState& state) {
    if (state.number("radio_callsign_silent") != 0) {
        return {};  // the query goes unanswered
    }
    return Record(state, 0x0718);
}

std::vector<std::uint8_t> NetLinkAddressRecord(const SimState& state) {
    return Record(state, 0x1103);
}

std::vector<std::uint8_t> NetLinkSourceRecord(const SimState& state) {
    return Record(state, 0x110A);
}

std::vector<std::uint8_t> NetLinkAccountRecord(const SimState& state) {
    return Record(state, 0x110B);
}

}  // namespace varnok_sim
