#include "SimAnswersNetwork.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/NewWireHelpers.h"

namespace varnok_sim {

namespace {

using NewWire::Cat;
using NewWire::U16;
using NewWire::U32;
using NewWire::U8;

constexpr std::size_t kField = 20;
constexpr std::size_t kApBytes = 42;
constexpr std::size_t kDialBytes = 100;
constexpr std::size_t kCsdBytes = 21;

constexpr std::uint16_t kWifiAp = 0x0A03;
constexpr std::uint16_t kWifiClose = 0x0A05;
constexpr std::uint16_t kWifiOpen = 0x0A06;
constexpr std::uint16_t kDialParam = 0x1403;
constexpr std::uint16_t kDialStatus = 0x1404;
constexpr std::uint16_t kDialOn = 0x1405;
constexpr std::uint16_t kDialOff = 0x1406;
constexpr std::uint16_t kModemOn = 0x1407;
constexpr std::uint16_t kModemOff = 0x1408;
constexpr std::uint16_t kCsdParam = 0x140F;
constexpr std::uint16_t kCsdStatus = 0x1410;

// A text in its field, zero-filled; a text of the field's full length keeps no zero.
NetBytes Field(const std::string& s) {
    NetBytes out(kField, 0);
    std::memcpy(out.data(), s.data(), std::min(s.size(), kField));
    return out;
}

std::string ToHex(const NetBytes& b) {
    std::string out;
    char two[3];
    for (std::uint8_t v : b) {
        std::snprintf(two, sizeof two, "%02X", static_cast<unsigned>(v));
        out += two;
    }
    return out;
}

// The kept bytes when they are a whole record of that size.
bool FromHex(const std::string& hex, std::size_t size, NetBytes& out) {
    if (hex.size() != size * 2) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return true;
}

void Keep(SimState& s, const char* key, const NetBytes& value, std::size_t size) {
    if (value.size() == size) {
        s.set(key, ToHex(value), nullptr);
    }
}

void SetNumber(SimState& s, const char* key, long v) {
    s.set(key, std::to_string(v), nullptr);
}

bool CsdMode(const SimState& s) {
    return s.number("modem_work_mode") == 2;
}

// A dial command: the status goes to its dialling value now and to the target after
// dial_polls status queries.
void StartDial(SimState& s, bool on) {
    const bool csd = CsdMode(s);
    const char* key = csd ? "csd_status" : "modem_dial_status";
    long target = 0;
    if (csd) {
        target = on ? (s.number("csd_mode") == 1 ? 4 : 6) : 1;
        SetNumber(s, key, on ? 3 : 7);
    } else {
        target = on ? 1 : 2;
        SetNumber(s, key, 4);
    }
    const long polls = s.number("dial_polls");
    if (polls == 0) {
        SetNumber(s, key, target);
        SetNumber(s, "dial_target", -1);
        return;
    }
    SetNumber(s, "dial_target", target);
    SetNumber(s, "dial_left", polls);
}

void StatusQueried(SimState& s, bool csd) {
    const long target = s.number("dial_target");
    if (target < 0 || csd != CsdMode(s)) {
        return;
    }
    const long left = std::max(0L, s.number("dial_left") - 1);
    SetNumber(s, "dial_left", left);
    if (left == 0) {
        SetNumber(s, csd ? "csd_status" : "modem_dial_status", target);
        SetNumber(s, "dial_target", -1);
    }
}

NetBytes StatusRecord(long status) {
    return Cat({U16(static_cast<std::uint16_t>(status)), U32(0), U16(0)});
}

}  // namespace

NetBytes WifiApRecord(const SimState& s) {
    NetBytes raw;
    if (FromHex(s.text("wifi_ap_raw"), kApBytes, raw)) {
        return raw;
    }
    return Cat({Field(s.text("wifi_ssid")),
                U16(static_cast<std::uint16_t>(s.number("wifi_channel"))),
                Field(s.text("wifi_password"))});
}

NetBytes ModemDialRecord(const SimState& s) {
    NetBytes raw;
    if (FromHex(s.text("modem_dial_raw"), kDialBytes, raw)) {
        return raw;
    }
    // The first text stays empty; then number, user, password and APN.
    return Cat({NetBytes(kField, 0), Field(s.text("modem_number")), Field(s.text("modem_user")),
                Field(s.text("modem_password")), Field(s.text("modem_apn"))});
}

NetBytes CsdParamRecord(const SimState& s) {
    NetBytes raw;
    if (FromHex(s.text("csd_raw"), kCsdBytes, raw)) {
        return raw;
    }
    return Cat({Field(s.text("csd_number")), U8(static_cast<std::uint8_t>(s.number("csd_mode")))});
}

NetBytes DialStatusRecord(const SimState& s) {
    return StatusRecord(s.number("modem_dial_status"));
}

NetBytes CsdStatusRecord(const SimState& s) {
    return StatusRecord(s.number("csd_status"));
}

void NetworkItem(std::uint16_t tag, bool query, const NetBytes& value, SimState& s) {
    if (query) {
        if (tag == kDialStatus || tag == kCsdStatus) {
            StatusQueried(s, tag == kCsdStatus);
        }
        return;
    }
    switch (tag) {
        case kWifiAp:
            Keep(s, "wifi_ap_raw", value, kApBytes);
            break;
        case kDialParam:
            Keep(s, "modem_dial_raw", value, kDialBytes);
            break;
        case kCsdParam:
            Keep(s, "csd_raw", value, kCsdBytes);
            if (value.size() == kCsdBytes) {
                SetNumber(s, "csd_mode", value[kField]);
            }
            break;
        case kWifiOpen:
        case kWifiClose:
            SetNumber(s, "wifi_power", tag == kWifiOpen ? 2 : 3);
            break;
        case kModemOn:
        case kModemOff:
            SetNumber(s, "modem_power", tag == kModemOn ? 2 : 3);
            break;
        case kDialOn:
        case kDialOff:
            StartDial(s, tag == kDialOn);
            break;
        default:
            break;
    }
}

}  // namespace varnok_sim
