#include "SimAnswersRtk.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

#include "Em_OldFrames.h"
#include "support/NewWireHelpers.h"

namespace varnok_sim {
namespace rtk {

namespace {

using NewWire::Cat;
using NewWire::F64;
using NewWire::U16;
using NewWire::U32;
using NewWire::U8;

constexpr std::uint16_t kPositionTag = 0x0410;
constexpr std::uint16_t kGnssQuery = 0x0F;
constexpr std::size_t kListCodes = 44;
constexpr std::size_t kBaseEntry = 20;
constexpr std::uint16_t kPositionOff = 1;

// Big-endian reads of a value known to be long enough.
std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

double GetDouble(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits = bits << 8 | p[i];
    }
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Reals are kept to their last bit, so a value read back is the one sent.
void PutReal(SimState& s, const char* key, double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    s.set(key, text, nullptr);
}

void PutNumber(SimState& s, const std::string& key, long v) {
    s.set(key, std::to_string(v), nullptr);
}

std::string IoKey(int io) {
    return "io" + std::to_string(io) + "_diff";
}

bool KnownIo(int io) {
    return io == 1 || io == 5 || io == 6;
}

Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::string ToHex(const std::uint8_t* p, std::size_t n) {
    std::string out;
    char two[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, "%02X", p[i]);
        out += two;
    }
    return out;
}

}  // namespace

Bytes DiffType(const SimState& s, int) {
    return U16(static_cast<std::uint16_t>(s.number("diff_type")));
}

Bytes BaseSet(const SimState& s, int) {
    return Cat({U16(static_cast<std::uint16_t>(s.number("base_mode"))),
                F64(s.real("base_latitude_rad")), F64(s.real("base_longitude_rad")),
                F64(s.real("base_height"))});
}

// The IO's list: a format on the IO shows as rate code 2 on its first sentence.
Bytes IoDataList(const SimState& s, int io) {
    if (!KnownIo(io)) {
        return {};
    }
    Bytes out = U16(static_cast<std::uint16_t>(io));
    const bool on = s.number(IoKey(io)) != 0;
    for (std::size_t i = 0; i < kListCodes; ++i) {
        const Bytes code = U16(i == 0 && on ? 2 : 0);
        out.insert(out.end(), code.begin(), code.end());
    }
    return out;
}

Bytes ComBaud(const SimState& s, int) {
    return U16(static_cast<std::uint16_t>(s.number("com_baud")));
}

Bytes BaseList(const SimState& s, int) {
    const Bytes entries = FromHex(s.text("base_list_entries"));
    const std::size_t count = entries.size() / kBaseEntry;
    Bytes out = Cat({F64(s.real("base_list_radius")),
                     U8(static_cast<std::uint8_t>(s.number("base_list_limit"))),
                     U8(static_cast<std::uint8_t>(count))});
    out.insert(out.end(), entries.begin(), entries.begin() + count * kBaseEntry);
    return out;
}

int SetDiffType(SimState& s, int io, const Bytes& v) {
    if (v.size() != 2) {
        return 0;
    }
    const long type = Get16(v.data());
    if (KnownIo(io)) {
        PutNumber(s, IoKey(io), type);
    }
    PutNumber(s, "diff_type", type);
    return 0;
}

int SetBaseSet(SimState& s, int, const Bytes& v) {
    if (v.size() != 26) {
        return 0;
    }
    PutNumber(s, "base_mode", Get16(v.data()));
    PutReal(s, "base_latitude_rad", GetDouble(v.data() + 2));
    PutReal(s, "base_longitude_rad", GetDouble(v.data() + 10));
    PutReal(s, "base_height", GetDouble(v.data() + 18));
    return 0;
}

int Unlog(SimState& s, int io, const Bytes&) {
    if (KnownIo(io)) {
        PutNumber(s, IoKey(io), 0);
    }
    return 0;
}

int SetComBaud(SimState& s, int port, const Bytes& v) {
    if (v.size() == 2 && port == 1) {
        PutNumber(s, "com_baud", Get16(v.data()));
    }
    return 0;
}

int SetBaseList(SimState& s, int, const Bytes& v) {
    if (v.size() < 10) {
        return 0;
    }
    const std::size_t count = v[9];
    if (v.size() != 10 + kBaseEntry * count || v[8] < count) {
        return 0;
    }
    PutReal(s, "base_list_radius", GetDouble(v.data()));
    s.set("base_list_entries", ToHex(v.data() + 10, kBaseEntry * count), nullptr);
    return 0;
}

int SetPositionRate(SimState&, int, const Bytes& v) {
    if (v.size() != 2) {
        return 0;
    }
    return Get16(v.data()) == kPositionOff ? -1 : 1;
}

namespace {

// The device-setting codes, the state key each sets and its byte in the device block.
struct OldSetting {
    std::uint8_t code;
    const char* key;
    std::size_t at;
};

constexpr OldSetting kOldSettings[] = {
    {0x28, "output_mode", 40},        {0x2A, "log_mode", 42},        {0x2B, "session_length", 43},
    {0x2E, "sat_channels", 46},       {0x31, "sample_interval", 49}, {0x32, "record_mask", 50},
    {0x38, "rtk_elevation_mask", 56}, {0x3E, "transmit_port", 62},   {0x3F, "transmit_format", 63},
    {0x60, "start_mode", 96},
};
constexpr std::uint8_t kAutoBaseDistance = 0x61;
constexpr std::size_t kRateByte = 44;
constexpr std::size_t kDistanceByte = 97;

}  // namespace

void OldDeviceSetting(SimState& s, const std::uint8_t* p, std::size_t n) {
    if (n == 3 && p[0] == kAutoBaseDistance) {
        PutNumber(s, "auto_base_distance", p[1] | p[2] << 8);
        return;
    }
    if (n != 2) {
        return;
    }
    for (const OldSetting& setting : kOldSettings) {
        if (setting.code == p[0]) {
            PutNumber(s, setting.key, p[1]);
        }
    }
}

// "SW,B0,B<hz>" sets the output rate, "SW,B1,B<degrees>" the elevation mask.
void OldRate(SimState& s, const std::uint8_t* p, std::size_t n) {
    if (n != 2) {
        return;
    }
    if (p[0] == 0) {
        PutNumber(s, "output_rate_hz", p[1]);
    } else if (p[0] == 1) {
        PutNumber(s, "rtk_elevation_mask", p[1]);
    }
}

void PutDeviceSettings(const SimState& s, Bytes& block) {
    if (block.size() <= kDistanceByte + 1) {
        return;
    }
    for (const OldSetting& setting : kOldSettings) {
        // The second Hemisphere board is named by the transmit-port byte.
        if (setting.at == 62 && s.number("board") == 7) {
            continue;
        }
        block[setting.at] = static_cast<std::uint8_t>(s.number(setting.key));
    }
    block[kRateByte] = static_cast<std::uint8_t>(s.number("output_rate_hz"));
    const long distance = s.number("auto_base_distance");
    block[kDistanceByte] = static_cast<std::uint8_t>(distance & 0xFF);
    block[kDistanceByte + 1] = static_cast<std::uint8_t>((distance >> 8) & 0xFF);
}

namespace {

constexpr std::size_t kOldEntry = 24;
constexpr std::size_t kOldHeader = 16;
constexpr std::size_t kOldPiece = 55;

Bytes OldFrameOf(char a, char b, const Bytes& payload) {
    namespace BV = Brevan2011::BVParse;
    Bytes out(BV::kOldFrameMaxLength, 0);
    std::uint32_t length = 0;
    if (!BV::Pack_OldBinFrame(a, b, payload.data(), payload.size(), out.data(), &length,
                              BV::kOldFormSerial)) {
        return {};
    }
    out.resize(length);
    return out;
}

}  // namespace

void OldBaseListChange(SimState& s, const std::uint8_t* p, std::size_t n) {
    Bytes entries = FromHex(s.text("old_base_list"));
    if (n == kOldEntry) {  // "FI"
        entries.insert(entries.end(), p, p + n);
    } else if (n == 1 && p[0] < entries.size() / kOldEntry) {  // "FL"
        entries.erase(entries.begin() + p[0] * kOldEntry, entries.begin() + (p[0] + 1) * kOldEntry);
    } else {
        return;
    }
    s.set("old_base_list", ToHex(entries.data(), entries.size()), nullptr);
}

std::vector<Bytes> OldBaseList(const SimState& s, const std::uint8_t* p, std::size_t n, int*) {
    if (n != 1 || p[0] != 1) {
        return {};
    }
    const Bytes entries = FromHex(s.text("old_base_list"));
    Bytes all(kOldHeader, 0);
    const std::uint32_t count = static_cast<std::uint32_t>(entries.size() / kOldEntry);
    for (int i = 0; i < 4; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    all.insert(all.end(), entries.begin(), entries.end());
    std::vector<Bytes> frames;
    std::size_t at = 0;
    for (;;) {
        const std::size_t piece = std::min(kOldPiece, all.size() - at);
        frames.push_back(OldFrameOf('F', 'J', Bytes(all.begin() + at, all.begin() + at + piece)));
        at += piece;
        if (piece < kOldPiece) {
            return frames;  // a short piece ends the list
        }
    }
}

// "FJ,B2" clears the list.
void OldClearBaseList(SimState& s, const std::uint8_t* p, std::size_t n) {
    if (n == 1 && p[0] == 2) {
        s.set("old_base_list", "", nullptr);
    }
}

std::vector<Bytes> OldBaseDifference(const SimState& s, const std::uint8_t* p, std::size_t n,
                                     int*) {
    if (n != 1 || p[0] != 2) {
        return {};
    }
    const double v = s.real("base_list_radius");
    Bytes le(8);
    std::memcpy(le.data(), &v, 8);
    return {OldFrameOf('F', 'K', le)};
}

void OldSetBaseDifference(SimState& s, const std::uint8_t* p, std::size_t n) {
    if (n == 8) {
        double v = 0;
        std::memcpy(&v, p, 8);
        PutReal(s, "base_list_radius", v);
    }
}

// Position, height, solution, GPS week and milliseconds, three errors, differential age.
Bytes PositionEpochNew(const SimState& s) {
    const double kRad = 3.14159265358979323846 / 180.0;
    Bytes value = Cat({F64(s.real("latitude") * kRad), F64(s.real("longitude") * kRad),
                       F64(s.real("height")), U32(static_cast<std::uint32_t>(s.number("quality"))),
                       U32(2400), U32(0), F64(0.02), F64(0.01), F64(0.01), U32(0)});
    return NewWire::MakeFrame(kGnssQuery, {{kPositionTag, value}});
}

bool IsBoardReset(const std::uint8_t* p, std::size_t n) {
    if (p == nullptr) {
        return false;
    }
    const std::string text(reinterpret_cast<const char*>(p), n);
    return text.find("freset") != std::string::npos || text.find("RESET") != std::string::npos;
}

}  // namespace rtk
}  // namespace varnok_sim
