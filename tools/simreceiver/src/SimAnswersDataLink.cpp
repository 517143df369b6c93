#include "SimAnswersDataLink.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Em_OldFrames.h"

namespace varnok_sim {

namespace {

namespace BV = Brevan2011::BVParse;
using Bytes = std::vector<std::uint8_t>;

// A request's data follows 0x40, the code, its complement and a 16-bit length.
constexpr std::size_t kRequestData = 5;

// "VI" with an AT reply: 0x40, the code, its complement, a 32-bit data length, the data, the
// XOR of all before, two zeros.
Bytes AtReply(std::uint8_t code, const Bytes& data) {
    const std::size_t n = data.size();
    Bytes at = {0x40,
                code,
                static_cast<std::uint8_t>(code ^ 0xFF),
                static_cast<std::uint8_t>(n & 0xFF),
                static_cast<std::uint8_t>((n >> 8) & 0xFF),
                0,
                0};
    at.insert(at.end(), data.begin(), data.end());
    std::uint8_t check = 0;
    for (std::uint8_t b : at) {
        check ^= b;
    }
    at.push_back(check);
    at.push_back(0);
    at.push_back(0);
    Bytes frame(BV::kOldFrameMaxLength, 0);
    std::uint32_t length = 0;
    if (!BV::Pack_OldBinFrame('V', 'I', at.data(), at.size(), frame.data(), &length,
                              BV::kOldFormSerial)) {
        return {};
    }
    frame.resize(length);
    return frame;
}

std::uint8_t Byte(const SimState& s, const char* key) {
    return static_cast<std::uint8_t>(s.number(key) & 0xFF);
}

void PutNumber(SimState& s, const char* key, long v) {
    s.set(key, std::to_string(v), nullptr);
}

// The text up to the first zero (or the end); a text the key cannot hold leaves it as it was.
std::size_t PutText(SimState& s, const char* key, const std::uint8_t* p, std::size_t n) {
    const std::size_t len = strnlen(reinterpret_cast<const char*>(p), n);
    s.set(key, std::string(reinterpret_cast<const char*>(p), len), nullptr);
    return len;
}

// A length byte and the text, at most max bytes of it.
void AppendCounted(Bytes& out, const std::string& text, std::size_t max) {
    const std::size_t n = std::min(text.size(), max);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

// The frequency grid in kHz of the radio types the library knows (3-10): a type-8 radio steps
// by its spacing, 20 kHz for code 1.
double GridKhz(const SimState& s) {
    switch (s.number("radio_type")) {
        case 7:
        case 9:
            return 25.0;
        case 8:
            return s.number("channel_spacing") == 1 ? 20.0 : 12.5;
        default:
            return 12.5;
    }
}

// ---- Radio.

void RadioFrequency(std::uint8_t code, const std::uint8_t*, std::size_t, SimState& s,
                    Bytes* reply) {
    const long n = std::lround(s.real("radio_frequency") * 1000.0 / GridKhz(s));
    const unsigned c = static_cast<unsigned>(std::clamp(n, 0L, 0xFFFFL));
    *reply = {Byte(s, "transmit_mode"), static_cast<std::uint8_t>(c & 0xFF),
              static_cast<std::uint8_t>(c >> 8)};
    (void)code;
}

void SetRadioFrequency(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    if (n < 2) {
        return;
    }
    const unsigned c = d[0] | (d[1] << 8);
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", c * GridKhz(s) / 1000.0);
    s.set("radio_frequency", text, nullptr);
}

// One-byte values: the query answers the key, the set stores its first byte.
template <const char* const* Key>
void QueryByte(std::uint8_t, const std::uint8_t*, std::size_t, SimState& s, Bytes* reply) {
    *reply = {Byte(s, *Key)};
}

template <const char* const* Key>
void SetByte(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    if (n >= 1) {
        PutNumber(s, *Key, d[0]);
    }
}

const char* const kTransmitMode = "transmit_mode";
const char* const kPower = "radio_power";
const char* const kAirBaud = "radio_baud_code";
const char* const kSensitivity = "radio_sensitivity";
const char* const kFec = "radio_fec";
const char* const kWorkMode = "gprs_work_mode";
const char* const kLoginMode = "login_mode";

void QueryCallsign(std::uint8_t, const std::uint8_t*, std::size_t, SimState& s, Bytes* reply) {
    const std::string& text = s.text("callsign");
    *reply = {Byte(s, "callsign_on"), Byte(s, "callsign_interval")};
    reply->insert(reply->end(), text.begin(), text.end());
}

void SetCallsign(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    if (n < 2 || n - 2 > 14) {
        return;
    }
    PutNumber(s, "callsign_on", d[0]);
    PutNumber(s, "callsign_interval", d[1]);
    s.set("callsign", std::string(reinterpret_cast<const char*>(d + 2), n - 2), nullptr);
}

// ---- GPRS link.

// The protocol letters of the network record by code (0-3).
std::uint8_t ProtocolLetter(long code) {
    static const std::uint8_t kLetters[] = {'U', 'T', 'V', 'S'};
    return code >= 0 && code <= 3 ? kLetters[code] : 'U';
}

bool DottedAddress(const std::string& text, std::uint8_t out[4]) {
    unsigned a[4];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a[0], &a[1], &a[2], &a[3], &tail) != 4) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (a[i] > 255) {
            return false;
        }
        out[i] = static_cast<std::uint8_t>(a[i]);
    }
    return true;
}

// The network record: command 89 answers the short layout (the address as four bytes), 115
// the long one (the address as text, 28 bytes further on). Texts sit behind length bytes at
// fixed places; each is cut to the room before the next.
void NetworkRecord(std::uint8_t code, const std::uint8_t*, std::size_t, SimState& s, Bytes* reply) {
    const bool named = code == 's';
    const std::size_t shift = named ? 28 : 0;
    Bytes m(7, 0);  // the AT header's place: data begins at 7
    if (named) {
        AppendCounted(m, s.text("gprs_address"), 27);
    } else {
        std::uint8_t a[4] = {0, 0, 0, 0};
        DottedAddress(s.text("gprs_address"), a);
        m.insert(m.end(), a, a + 4);
    }
    m.resize(11 + shift, 0);
    const long port = s.number("gprs_port");
    m.push_back(static_cast<std::uint8_t>((port >> 8) & 0xFF));
    m.push_back(static_cast<std::uint8_t>(port & 0xFF));
    m.push_back(ProtocolLetter(s.number("gprs_protocol")));
    m.resize(23 + shift, 0);
    AppendCounted(m, s.text("dial"), 15);
    m.resize(39 + shift, 0);
    AppendCounted(m, s.text("apn"), 31);
    m.resize(71 + shift, 0);
    m.push_back(Byte(s, "gprs_work_mode"));
    AppendCounted(m, s.text("base_id"), 31);
    m.resize(104 + shift, 0);
    std::string both = s.text("gprs_user");
    both += '\0';
    both += s.text("gprs_password");
    AppendCounted(m, both, 100);
    reply->assign(m.begin() + 7, m.end());
}

void SetAddress(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    if (n < 7) {
        return;
    }
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", d[0], d[1], d[2], d[3]);
    s.set("gprs_address", text, nullptr);
    PutNumber(s, "gprs_port", (d[4] << 8) | d[5]);
    PutNumber(s, "gprs_protocol", d[6] <= 3 ? d[6] : 0);
}

void StartLogon(SimState& s) {
    PutNumber(s, "gprs_status", 2);
    PutNumber(s, "gprs_error", 0);
    PutNumber(s, "logon_count", 0);
}

void SetNamedAddress(std::uint8_t c, const std::uint8_t* d, std::size_t n, SimState& s, Bytes* r) {
    // The name, a zero, the port (high byte first) and the protocol.
    const std::size_t len = strnlen(reinterpret_cast<const char*>(d), n);
    if (len + 4 > n) {
        return;
    }
    s.set("gprs_address", std::string(reinterpret_cast<const char*>(d), len), nullptr);
    PutNumber(s, "gprs_port", (d[len + 1] << 8) | d[len + 2]);
    PutNumber(s, "gprs_protocol", d[len + 3] <= 3 ? d[len + 3] : 0);
    StartLogon(s);
    (void)c;
    (void)r;
}

void SetDottedAddress(std::uint8_t c, const std::uint8_t* d, std::size_t n, SimState& s, Bytes* r) {
    SetAddress(c, d, n, s, r);
    if (n >= 7) {
        StartLogon(s);
    }
}

void SetBaseId(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    PutText(s, "base_id", d, n);
}

// The log-on: after a link is set the status is 2; the status query that completes
// logon_polls of them ends it with logon_result, or leaves 2 and reports logon_error.
void GprsStatus(std::uint8_t, const std::uint8_t*, std::size_t, SimState& s, Bytes* reply) {
    long count = s.number("logon_count");
    if (count >= 0) {
        ++count;
        if (count >= s.number("logon_polls")) {
            count = -1;
            if (s.number("logon_error") != 0) {
                PutNumber(s, "gprs_error", s.number("logon_error"));
            } else {
                PutNumber(s, "gprs_status", s.number("logon_result"));
            }
        }
        PutNumber(s, "logon_count", count);
    }
    *reply = {Byte(s, "gprs_status")};
}

void GprsError(std::uint8_t, const std::uint8_t*, std::size_t, SimState& s, Bytes* reply) {
    *reply = {0, Byte(s, "gprs_error")};
}

// 113 with 1 hangs the link up; with 0 it only switches the modem's mode before a setting.
void ModeSwitch(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    if (n >= 1 && d[0] == 1) {
        PutNumber(s, "logon_count", -1);
        PutNumber(s, "gprs_status", 0);
    }
}

// The automatic login record: source, a zero, the mode letter, user, a zero, password, a zero.
void QueryCors(std::uint8_t, const std::uint8_t*, std::size_t, SimState& s, Bytes* reply) {
    static const std::uint8_t kModes[] = {'-', 'M', 'm'};
    const long mode = s.number("login_mode");
    Bytes& r = *reply;
    const std::string& source = s.text("cors_source");
    r.assign(source.begin(), source.end());
    r.push_back(0);
    r.push_back(mode >= 0 && mode <= 2 ? kModes[mode] : '-');
    const std::string& user = s.text("cors_user");
    r.insert(r.end(), user.begin(), user.end());
    r.push_back(0);
    const std::string& password = s.text("cors_password");
    r.insert(r.end(), password.begin(), password.end());
    r.push_back(0);
}

// A set carries a zero after the mode letter as well.
void SetCors(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    std::size_t at = PutText(s, "cors_source", d, n) + 1;
    at += 2;  // the mode letter and its zero
    if (at >= n) {
        return;
    }
    at += PutText(s, "cors_user", d + at, n - at) + 1;
    if (at < n) {
        PutText(s, "cors_password", d + at, n - at);
    }
}

// ---- The service record (APN, dial number, user and password).

void SetApn(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    s.set("apn", std::string(reinterpret_cast<const char*>(d), n), nullptr);
}

void SetDial(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    s.set("dial", std::string(reinterpret_cast<const char*>(d), n), nullptr);
}

void SetLogin(std::uint8_t, const std::uint8_t* d, std::size_t n, SimState& s, Bytes*) {
    const std::size_t user = PutText(s, "gprs_user", d, n);
    if (user + 1 < n) {
        PutText(s, "gprs_password", d + user + 1, n - user - 1);
    } else {
        s.set("gprs_password", "", nullptr);
    }
}

using Handler = void (*)(std::uint8_t code, const std::uint8_t* data, std::size_t n, SimState&,
                         Bytes* reply);

struct AtRow {
    std::uint8_t code;
    const char* name;
    Handler handle;
    bool answers;  // a query: the reply carries the request's code
};

constexpr AtRow kAtRows[] = {
    // Radio.
    {98, "Send_Radio_Frq", RadioFrequency, true},
    {110, "Send_Radio_Frq", RadioFrequency, true},
    {97, "Set_Radio_Frq", SetRadioFrequency, false},
    {109, "Set_Radio_Frq", SetRadioFrequency, false},
    {96, "Set_Radio_Mdl", SetByte<&kTransmitMode>, false},
    {118, "Send_Radio_Power", QueryByte<&kPower>, true},
    {117, "Set_Radio_Power", SetByte<&kPower>, false},
    {121, "Send_Radio_Baudrate", QueryByte<&kAirBaud>, true},
    {120, "Set_Radio_Baudrate", SetByte<&kAirBaud>, false},
    {129, "Send_Radio_Sensitivity", QueryByte<&kSensitivity>, true},
    {128, "Set_Radio_Sensitivity", SetByte<&kSensitivity>, false},
    {131, "Send_Radio_FEC", QueryByte<&kFec>, true},
    {130, "Set_Radio_FEC", SetByte<&kFec>, false},
    {145, "Send_Radio_Callsign", QueryCallsign, true},
    {144, "Set_Radio_Callsign", SetCallsign, false},
    // GPRS link and log-on.
    {89, "Send_Gprs_Info", NetworkRecord, true},
    {115, "Send_Gprs_Info", NetworkRecord, true},
    {93, "Set_Gprs_Modle", SetByte<&kWorkMode>, false},
    {82, "Set_Gprs_Ip", SetDottedAddress, false},
    {114, "Set_Gprs_Ip", SetNamedAddress, false},
    {94, "Set_Gprs_Baseid", SetBaseId, false},
    {99, "Send_Gprs_Status", GprsStatus, true},
    {104, "Send_Gprs_Eroinfo", GprsError, true},
    {106, "Send_Gprs_CosMdl", QueryByte<&kLoginMode>, true},
    {105, "Set_Gprs_CosMdl", SetByte<&kLoginMode>, false},
    {113, "Send_Gprs_DisConct", ModeSwitch, false},
    {108, "Send_Cors_Info_Auto", QueryCors, true},
    {107, "Set_Cors_Info_Auto", SetCors, false},
    // Service record.
    {86, "Set_Gprs_SvcInfo", SetApn, false},
    {88, "Set_Gprs_SvcInfo", SetDial, false},
    {87, "Set_Gprs_SvcInfo", SetLogin, false},
};

// Queries the script leaves unanswered: their codes, comma-separated.
bool Unanswered(const SimState& s, std::uint8_t code) {
    const std::string list = "," + s.text("silent_at") + ",";
    return list.find("," + std::to_string(code) + ",") != std::string::npos;
}

}  // namespace

bool AnswerDataLinkAt(const std::uint8_t* p, std::size_t n, SimState& s, DataLinkAnswer& out) {
    if (p == nullptr || n < kRequestData || p[0] != 0x40) {
        return false;
    }
    const std::size_t declared = p[3] | (p[4] << 8);
    const std::size_t size = std::min(declared, n - kRequestData);
    for (const AtRow& row : kAtRows) {
        if (row.code != p[1]) {
            continue;
        }
        out.name = row.name;
        Bytes reply;
        row.handle(row.code, p + kRequestData, size, s, &reply);
        if (row.answers && !Unanswered(s, row.code)) {
            out.frames.push_back(AtReply(row.code, reply));
        }
        return true;
    }
    return false;
}

void RadioTypeBytes(long radioType, std::uint8_t* band, std::uint8_t* module) {
    *band = 0;
    *module = 0;
    switch (radioType) {
        case 4:
            *band = 3;
            break;
        case 5:
            *band = 4;
            break;
        case 6:
            *module = 4;
            break;
        case 7:
            *module = 3;
            break;
        case 8:
            *module = 5;
            break;
        case 9:
            *module = 7;
            break;
        case 10:
            *module = 6;
            break;
        default:
            break;
    }
}

}  // namespace varnok_sim
