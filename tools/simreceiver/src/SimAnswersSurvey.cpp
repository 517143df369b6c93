#include "SimAnswersSurvey.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <cstring>
#include <string>

#include "Em_OldFrames.h"
#include "SimAnswersRtk.h"
#include "support/NewWireHelpers.h"

namespace varnok_sim {

namespace {

namespace BV = Brevan2011::BVParse;

// Device-setting codes of "SJ" records and the device-block byte each one lands in.
struct SettingByte {
    std::uint8_t code;
    const char* key;
    std::size_t blockByte;
};
constexpr SettingByte kSettings[] = {
    {0x2A, "record_mode", 42},     {0x2B, "record_session", 43}, {0x2E, "sat_channels", 46},
    {0x31, "record_interval", 49}, {0x32, "record_mask", 50},
};
constexpr std::size_t kMemoryByte = 58;
// The file-record settings on the wire: text 20, a byte, three words (the third the session
// minutes), three bytes, the 16-bit interval code, a byte, a word.
constexpr std::size_t kRecordBytes = 43;
constexpr std::size_t kMinutesAt = 29;
constexpr std::size_t kCodeAt = 36;
constexpr std::size_t kNameBytes = 32;
constexpr std::size_t kAntennaChars = 20;

Bytes Frame(char a, char b, const Bytes& payload) {
    Bytes out(BV::kOldFrameMaxLength, 0);
    std::uint32_t length = 0;
    if (!BV::Pack_OldBinFrame(a, b, payload.data(), payload.size(), out.data(), &length,
                              BV::kOldFormSerial)) {
        return {};
    }
    out.resize(length);
    return out;
}

void Put(SimState& s, const char* key, long value) {
    s.set(key, std::to_string(value), nullptr);
}

// "FA": name count n, n name bytes, the height's 32 bits low byte first, the antenna byte,
// the method code. A frame shorter than its count says is dropped.
void StorePoint(const std::uint8_t* p, std::size_t n, SimState& s) {
    if (n < 1) {
        return;
    }
    const std::size_t count = std::min<std::size_t>(p[0], kNameBytes);
    if (n < 1 + count + 6) {
        return;
    }
    s.set("point_name", std::string(reinterpret_cast<const char*>(p + 1), count), nullptr);
    const std::uint8_t* v = p + 1 + count;
    const std::uint32_t bits = std::uint32_t(v[0]) | std::uint32_t(v[1]) << 8 |
                               std::uint32_t(v[2]) << 16 | std::uint32_t(v[3]) << 24;
    Put(s, "point_height_bits", static_cast<long>(bits));
    Put(s, "point_antenna", v[4]);
    Put(s, "point_method", v[5]);
}

// The rates "RD" carries, in the order "RC" reports them: keep, mask (2), output, the first
// eight codes low byte first (4 + 4), the ninth, then the tenth and eleventh as a word whose
// high byte comes first.
constexpr std::size_t kNmeaRates = 11;
constexpr std::size_t kNmeaFrame = 15;

std::vector<long> NmeaRates(const SimState& s) {
    std::vector<long> rates(kNmeaRates, 0);
    const std::string& text = s.text("nmea_rates");
    std::size_t at = 0;
    for (std::size_t i = 0; i < kNmeaRates && at < text.size(); ++i) {
        rates[i] = std::strtol(text.c_str() + at, nullptr, 10) & 0xFF;
        const std::size_t comma = text.find(',', at);
        if (comma == std::string::npos) {
            break;
        }
        at = comma + 1;
    }
    return rates;
}

void StoreNmeaRates(const std::uint8_t* p, SimState& s) {
    Put(s, "nmea_keep", p[0] == 1 ? 1 : 0);
    Put(s, "nmea_output", p[3]);
    const std::uint8_t r[kNmeaRates] = {p[4],  p[5],  p[6],  p[7],  p[8], p[9],
                                        p[10], p[11], p[12], p[14], p[13]};
    std::string text;
    for (std::size_t i = 0; i < kNmeaRates; ++i) {
        text += (i == 0 ? "" : ",") + std::to_string(r[i]);
    }
    s.set("nmea_rates", text, nullptr);
}

// Output message tags by sentence id, as the data configuration list indexes them.
constexpr std::pair<int, std::uint16_t> kSentenceTags[] = {
    {12, 0x408}, {13, 0x409}, {25, 0x412}, {26, 0x413}, {27, 0x414}, {28, 0x415},
    {29, 0x416}, {30, 0x417}, {31, 0x418}, {32, 0x419}, {33, 0x41A}, {37, 0x41E},
    {38, 0x41F}, {39, 0x420}, {40, 0x421}, {41, 0x422}, {42, 0x423}, {43, 0x424},
};
constexpr std::size_t kListEntries = 44;

// The sentence rates of an output: IO 0's list answers the query; what is set on the serial
// port (IO 1) and the Bluetooth port (IO 4) is kept apart.
const char* RatesKey(int io) {
    switch (io) {
        case 1:
            return "io1_rates";
        case 4:
            return "io4_rates";
        default:
            return "data_rates";
    }
}

// The list is kept as "id:code" pairs separated by commas.
std::vector<std::uint16_t> Rates(const SimState& s, int io = 0) {
    std::vector<std::uint16_t> rates(kListEntries, 0);
    const std::string& text = s.text(RatesKey(io));
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string pair = text.substr(at, end - at);
        const std::size_t colon = pair.find(':');
        if (colon != std::string::npos) {
            const unsigned long id = std::strtoul(pair.c_str(), nullptr, 10);
            const unsigned long code = std::strtoul(pair.c_str() + colon + 1, nullptr, 10);
            if (id < kListEntries) {
                rates[id] = static_cast<std::uint16_t>(code);
            }
        }
        at = end + 1;
    }
    return rates;
}

void PutRates(SimState& s, const std::vector<std::uint16_t>& rates, int io) {
    std::string text;
    for (std::size_t id = 0; id < rates.size(); ++id) {
        if (rates[id] != 0) {
            text +=
                (text.empty() ? "" : ",") + std::to_string(id) + ":" + std::to_string(rates[id]);
        }
    }
    s.set(RatesKey(io), text, nullptr);
}

std::string CompactHex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

std::uint32_t Be(const Bytes& v, std::size_t at, std::size_t n) {
    std::uint32_t out = 0;
    for (std::size_t i = 0; i < n && at + i < v.size(); ++i) {
        out = out << 8 | v[at + i];
    }
    return out;
}

}  // namespace

void StoreOldSurveySetting(char first, char second, const std::uint8_t* p, std::size_t n,
                           SimState& s) {
    if (first == 'S' && second == 'J' && n == 2) {
        for (const SettingByte& b : kSettings) {
            if (b.code == p[0]) {
                Put(s, b.key, p[1]);
            }
        }
    } else if (first == 'F' && second == 'A') {
        StorePoint(p, n, s);
    } else if (first == 'F' && second == 'S') {
        std::string text;
        for (std::size_t i = 0; i < n && i < kAntennaChars && p[i] != 0; ++i) {
            text.push_back(static_cast<char>(p[i]));
        }
        s.set("static_antenna", text, nullptr);
    } else if (first == 'F' && second == 'D' && n >= 1) {
        Put(s, "static_status", p[0] == 0 ? 1 : 0);
    } else if (first == 'R' && second == 'F' && n == 3) {
        Put(s, "nmea_output", p[2]);
    } else if (first == 'R' && second == 'D' && n == kNmeaFrame) {
        StoreNmeaRates(p, s);
    } else if (first == 'S' && second == 'B' && n == 1) {
        Put(s, "nmea_port", p[0]);
    }
}

void PutSurveyBytes(std::vector<std::uint8_t>& block, const SimState& s) {
    for (const SettingByte& b : kSettings) {
        if (b.blockByte < block.size()) {
            block[b.blockByte] = static_cast<std::uint8_t>(s.number(b.key));
        }
    }
    if (kMemoryByte < block.size()) {
        block[kMemoryByte] = static_cast<std::uint8_t>(s.number("memory"));
    }
}

std::vector<Bytes> OldStaticPoint(const SimState& s, const std::uint8_t*, std::size_t, int*) {
    const std::string& name = s.text("point_name");
    const std::size_t count = std::min(name.size(), kNameBytes);
    Bytes payload;
    payload.push_back(static_cast<std::uint8_t>(count));
    payload.insert(payload.end(), name.begin(), name.begin() + static_cast<long>(count));
    const auto bits = static_cast<std::uint32_t>(s.number("point_height_bits"));
    for (int i = 0; i < 4; ++i) {
        payload.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    payload.push_back(static_cast<std::uint8_t>(s.number("point_antenna")));
    payload.push_back(static_cast<std::uint8_t>(s.number("point_method")));
    return {Frame('F', 'B', payload)};
}

std::vector<Bytes> OldAntennaType(const SimState& s, const std::uint8_t*, std::size_t, int*) {
    const std::string& text = s.text("static_antenna");
    Bytes payload(text.begin(), text.end());
    payload.push_back(0);
    return {Frame('F', 'T', payload)};
}

// "FC" alone asks for the status; with a file index it deletes a file and gets no answer.
std::vector<Bytes> OldStaticStatus(const SimState& s, const std::uint8_t*, std::size_t n, int*) {
    if (n != 0) {
        return {};
    }
    return {Frame('F', 'C', {static_cast<std::uint8_t>(s.number("static_status"))})};
}

std::vector<Bytes> OldNmeaConfig(const SimState& s, const std::uint8_t*, std::size_t, int*) {
    Bytes payload = {static_cast<std::uint8_t>(s.number("nmea_port")),
                     static_cast<std::uint8_t>(s.number("nmea_keep")), 0, 0,
                     static_cast<std::uint8_t>(s.number("nmea_output"))};
    for (long rate : NmeaRates(s)) {
        payload.push_back(static_cast<std::uint8_t>(rate));
    }
    return {Frame('R', 'C', payload)};
}

bool StoreNewSurveySetting(std::uint16_t tag, const Bytes& value, SimState& s, int io) {
    switch (tag) {
        case 0x0B03:
            Put(s, "record_status", 1);
            return true;
        case 0x0B04:
            Put(s, "record_status", 2);
            return true;
        case 0x0B06:
            // Text 20, a byte, three words (the third the session minutes), three bytes, the
            // interval code, a byte, a word.
            if (value.size() == kRecordBytes) {
                Put(s, "record_minutes", static_cast<long>(Be(value, kMinutesAt, 4)));
                Put(s, "record_code", static_cast<long>(Be(value, kCodeAt, 2)));
                // The rest of the record; the two fields with keys of their own are kept as 0.
                Bytes rest = value;
                std::fill(rest.begin() + kMinutesAt, rest.begin() + kMinutesAt + 4, 0);
                std::fill(rest.begin() + kCodeAt, rest.begin() + kCodeAt + 2, 0);
                const bool zeros =
                    std::all_of(rest.begin(), rest.end(), [](std::uint8_t b) { return b == 0; });
                s.set("record_param_raw", zeros ? std::string() : CompactHex(rest), nullptr);
            }
            return true;
        default:
            break;
    }
    for (const auto& [id, sentenceTag] : kSentenceTags) {
        if (sentenceTag == tag && (value.size() == 1 || value.size() == 2)) {
            std::vector<std::uint16_t> rates = Rates(s, io);
            rates[static_cast<std::size_t>(id)] = static_cast<std::uint16_t>(Be(value, 0, 2));
            PutRates(s, rates, io);
            return true;
        }
    }
    return false;
}

const char* DataFreqRequestName(std::uint16_t tag) {
    constexpr std::uint16_t kRateTag = 0x0403;
    constexpr std::uint16_t kPositionTag = 0x0410;
    if (tag == kRateTag || tag == kPositionTag) {
        return "Send_Gnss_Data_Freq";
    }
    for (const auto& entry : kSentenceTags) {
        if (entry.second == tag) {
            return "Send_Gnss_Data_Freq";
        }
    }
    return nullptr;
}

Bytes FileRecordParam(const SimState& s) {
    using NewWire::Cat;
    // The record as last set (or scripted), its session and interval from their own keys.
    Bytes out = NewWire::FromHex(s.text("record_param_raw"));
    if (out.size() != kRecordBytes) {
        out = Cat({Bytes(20, 0), NewWire::U8(0), NewWire::U32(0), NewWire::U32(0), NewWire::U32(0),
                   NewWire::U8(0), NewWire::U8(0), NewWire::U8(0), NewWire::U16(0), NewWire::U8(0),
                   NewWire::U32(0)});
    }
    const Bytes minutes = NewWire::U32(static_cast<std::uint32_t>(s.number("record_minutes")));
    const Bytes code = NewWire::U16(static_cast<std::uint16_t>(s.number("record_code")));
    std::copy(minutes.begin(), minutes.end(), out.begin() + kMinutesAt);
    std::copy(code.begin(), code.end(), out.begin() + kCodeAt);
    return out;
}

Bytes DataConfigList(const SimState& s, int io) {
    if (io != 0) {
        return rtk::IoDataList(s, io);
    }
    Bytes out = NewWire::U16(0);
    for (std::uint16_t code : Rates(s)) {
        const Bytes v = NewWire::U16(code);
        out.insert(out.end(), v.begin(), v.end());
    }
    return out;
}

}  // namespace varnok_sim
