#include "SimAnswersRadio.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "Em_OldFrames.h"
#include "support/NewWireHelpers.h"

namespace varnok_sim {

namespace {

namespace BV = Brevan2011::BVParse;
using Bytes = std::vector<std::uint8_t>;

// AT message codes: queries and sets of the channel frequencies, the channel use and the
// spacing. A reply carries the query's code.
constexpr std::uint8_t kSetFreq = 132;
constexpr std::uint8_t kQueryFreqs = 133;
constexpr std::uint8_t kSetSpacing = 136;
constexpr std::uint8_t kQuerySpacing = 137;
constexpr std::uint8_t kSetType = 146;
constexpr std::uint8_t kQueryTypes = 147;
constexpr std::size_t kChannels = 16;
// A request's data follows 0x40, the code, its complement and a 16-bit length.
constexpr std::size_t kRequestData = 5;

std::vector<long> Numbers(const std::string& text) {
    std::vector<long> out;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        out.push_back(std::strtol(item.c_str(), nullptr, 10));
    }
    return out;
}

std::vector<double> Reals(const std::string& text) {
    std::vector<double> out;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (!item.empty()) {
            out.push_back(std::strtod(item.c_str(), nullptr));
        }
    }
    return out;
}

std::string Join(const std::vector<long>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i ? "," : "") + std::to_string(values[i]);
    }
    return out;
}

// Sixteen values of a list key, missing ones 0.
std::vector<long> Sixteen(const SimState& s, const char* key) {
    std::vector<long> v = Numbers(s.text(key));
    v.resize(kChannels, 0);
    return v;
}

// "VI" with an AT reply: 0x40, the code, its complement, the data length, three zeros, the
// data, the XOR of all before, two zeros.
Bytes AtReply(std::uint8_t code, const Bytes& data) {
    Bytes at = {0x40,
                code,
                static_cast<std::uint8_t>(code ^ 0xFF),
                static_cast<std::uint8_t>(data.size()),
                0,
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

std::uint32_t FloatBits(double mhz) {
    const float f = static_cast<float>(mhz);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

bool AnswerRadioChannelAt(const std::uint8_t* p, std::size_t n, SimState& s,
                          std::vector<Bytes>& frames, std::string& name) {
    if (n < kRequestData || p[0] != 0x40) {
        return false;
    }
    const std::uint8_t* data = p + kRequestData;
    const std::size_t size = n - kRequestData;
    switch (p[1]) {
        case kQueryFreqs: {
            name = "Query_Radio_ChannelList_Freq";
            Bytes counts;
            for (long v : Sixteen(s, "channel_counts")) {
                counts.push_back(static_cast<std::uint8_t>(v & 0xFF));
                counts.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
            }
            frames.push_back(AtReply(kQueryFreqs, counts));
            return true;
        }
        case kQueryTypes: {
            name = "Query_Radio_ChannelList_Type";
            Bytes codes;
            for (long v : Sixteen(s, "channel_types")) {
                codes.push_back(static_cast<std::uint8_t>(v));
            }
            frames.push_back(AtReply(kQueryTypes, codes));
            return true;
        }
        case kQuerySpacing:
            name = "Send_Radio_ChannelSpace";
            frames.push_back(
                AtReply(kQuerySpacing, {static_cast<std::uint8_t>(s.number("channel_spacing"))}));
            return true;
        case kSetFreq:
            name = "Set_Radio_Channel_Freq";
            if (size >= 3 && data[0] < kChannels) {
                std::vector<long> counts = Sixteen(s, "channel_counts");
                counts[data[0]] = data[1] | (data[2] << 8);
                s.set("channel_counts", Join(counts), nullptr);
            }
            return true;
        case kSetType:
            name = "Set_Radio_Channel_Type";
            if (size >= 2 && data[0] < kChannels && data[1] <= 3) {
                std::vector<long> types = Sixteen(s, "channel_types");
                types[data[0]] = data[1];
                s.set("channel_types", Join(types), nullptr);
            }
            return true;
        case kSetSpacing:
            name = "Set_Radio_ChannelSpace";
            if (size >= 1 && data[0] <= 2) {
                s.set("channel_spacing", std::to_string(data[0]), nullptr);
            }
            return true;
        default:
            return false;
    }
}

Bytes RadioChannelList(const SimState& s) {
    std::vector<double> list = Reals(s.text("radio_channels"));
    if (list.empty()) {
        return {};
    }
    list.resize(10, 0.0);
    Bytes out;
    for (double mhz : list) {
        const Bytes word = NewWire::U32(FloatBits(mhz));
        out.insert(out.end(), word.begin(), word.end());
    }
    return out;
}

Bytes RadioChannelTables(const SimState& s) {
    // Three lists separated by '/'.
    std::vector<std::vector<double>> lists;
    std::stringstream in(s.text("radio_channel_tables"));
    std::string part;
    while (std::getline(in, part, '/') && lists.size() < 3) {
        lists.push_back(Reals(part));
    }
    if (lists.empty()) {
        return {};
    }
    lists.resize(3);
    Bytes out;
    for (const auto& l : lists) {
        const Bytes count = NewWire::U32(static_cast<std::uint32_t>(l.size()));
        out.insert(out.end(), count.begin(), count.end());
    }
    for (const auto& l : lists) {
        for (double mhz : l) {
            const Bytes word = NewWire::U32(FloatBits(mhz));
            out.insert(out.end(), word.begin(), word.end());
            out.push_back(0);
        }
    }
    return out;
}

}  // namespace varnok_sim
