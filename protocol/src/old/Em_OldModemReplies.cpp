// Radio and modem replies: '@' frames carried in VI frames.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Em_OldRadio.h"
#include "Em_OldReceiver.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr std::size_t kAtHeader = 7;  // '@', command, complement, 32-bit data length

std::int32_t ProtocolCode(std::uint8_t c) {
    switch (c) {
        case 'S':
            return 3;
        case 'T':
            return 1;
        case 'U':
            return 0;
        case 'V':
            return 2;
        default:
            return -1;
    }
}

// Bytes of an assembled message, every read bounded by its length.
struct Message {
    const std::uint8_t* m;
    std::size_t b;

    std::uint8_t At(std::size_t i) const { return i < b ? m[i] : 0; }
    // A text whose length byte lies at lengthAt and whose bytes start at from.
    std::string Text(std::size_t lengthAt, std::size_t from) const {
        if (from >= b) {
            return std::string();
        }
        const std::size_t n = std::min<std::size_t>(At(lengthAt), b - from);
        return std::string(reinterpret_cast<const char*>(m + from), n);
    }
    // The zero-terminated text at from; false when no zero lies within the message.
    bool ZeroText(std::size_t from, std::size_t* end) const {
        if (from >= b) {
            return false;
        }
        const void* z = std::memchr(m + from, 0, b - from);
        if (z == nullptr) {
            return false;
        }
        *end = static_cast<std::size_t>(static_cast<const std::uint8_t*>(z) - m);
        return true;
    }
};

void CopyCut(char* field, std::size_t fieldSize, const std::uint8_t* from, std::size_t n) {
    const std::size_t kept = std::min(n, fieldSize - 1);
    std::memset(field, 0, fieldSize);
    std::memcpy(field, from, kept);
}

void Decode_Network(Em_OldReceiver& rx, const Message& msg) {
    Em_OldWirelessRecord& wireless = rx.wireless;
    // Layout 2 sits 28 bytes further on, behind the server name.
    std::size_t shift = 0;
    if (wireless.layoutFlag == 0) {
        wireless.serverAddress = static_cast<std::uint32_t>(msg.At(7)) |
                                 (static_cast<std::uint32_t>(msg.At(8)) << 8) |
                                 (static_cast<std::uint32_t>(msg.At(9)) << 16) |
                                 (static_cast<std::uint32_t>(msg.At(10)) << 24);
    } else {
        shift = 28;
        const std::string name = msg.Text(7, 8);
        const std::size_t kept = std::min(name.size(), sizeof wireless.serverName);
        std::memset(wireless.serverName, 0, sizeof wireless.serverName);
        std::memcpy(wireless.serverName, name.data(), kept);
        wireless.serverNameLength = static_cast<std::int32_t>(kept);
    }
    wireless.serverPort = (msg.At(11 + shift) << 8) | msg.At(12 + shift);
    wireless.protocol = ProtocolCode(msg.At(13 + shift));
    wireless.textA = msg.Text(23 + shift, 24 + shift);
    wireless.textB = msg.Text(39 + shift, 40 + shift);
    const std::uint8_t login = msg.At(71 + shift);
    if (login == 0 || login == 1) {
        wireless.loginFlag = login;
    }
    wireless.textC = msg.Text(72 + shift, 73 + shift);
    wireless.reported.baseId = static_cast<std::int32_t>(wireless.textC.size());
    const std::string both = msg.Text(104 + shift, 105 + shift);
    const std::size_t zero = both.find('\0');
    if (zero == std::string::npos) {
        wireless.loginText1 = both;
        wireless.loginText2.clear();
    } else {
        wireless.loginText1 = both.substr(0, zero);
        const std::string rest = both.substr(zero + 1);
        wireless.loginText2 = rest.substr(0, rest.find('\0'));
    }
}

void Decode_Modem_Version(Em_OldReceiver& rx, const Message& msg) {
    Em_OldWirelessRecord& wireless = rx.wireless;
    Em_OldRadioRecord& radio = rx.radio;
    char text[5] = {static_cast<char>(msg.At(7)), static_cast<char>(msg.At(8)),
                    static_cast<char>(msg.At(9)), static_cast<char>(msg.At(10)), 0};
    char minorText[3] = {text[2], text[3], 0};
    const double version = std::strtod(text, nullptr);
    const int major = static_cast<int>(std::strtol(text, nullptr, 10));
    const int minor = static_cast<int>(std::strtol(minorText, nullptr, 10));
    wireless.modemVersion = version;
    wireless.modemMajor = major;
    wireless.modemMinor = minor;
    if (major > 2 && minor > 54) {
        if (radio.radioType == 1 || radio.radioType == 3) {
            radio.radioType = 3;
        } else if (radio.radioType == 2 || radio.radioType == 4) {
            radio.radioType = 4;
        }
        Radio_ApplyBand(radio);
    }
    const bool layout2 = (major == 2 && minor >= 88 && minor <= 97) ||
                         (major >= 3 && major <= 5 && minor >= 59 && minor <= 68) ||
                         (major == 4 && minor >= 69);
    wireless.layoutFlag = layout2 ? 1 : 0;
    rx.modemVersionSeen = 1;
}

void Decode_Auto_Login(Em_OldWirelessRecord& wireless, const Message& msg) {
    const std::uint8_t* m = msg.m;
    const std::size_t b = msg.b;
    cors_info& info = wireless.autoLogin;
    info = cors_info{};
    Text_Lengths& reported = wireless.reported;
    reported.mountPoint = reported.userName = reported.password = 0;
    std::size_t end = 0;
    if (!msg.ZeroText(7, &end)) {
        return;
    }
    CopyCut(info.mountPoint, sizeof info.mountPoint, m + 7, end - 7);
    reported.mountPoint = static_cast<std::int32_t>(end - 7);
    if (end + 1 >= b) {
        return;
    }
    const std::uint8_t mode = m[end + 1];
    wireless.loginMode = mode < 64 ? 0 : mode < 96 ? 1 : 2;
    const std::size_t second = end + 2;
    if (!msg.ZeroText(second, &end)) {
        return;
    }
    CopyCut(info.userName, sizeof info.userName, m + second, end - second);
    reported.userName = static_cast<std::int32_t>(end - second);
    const std::size_t third = end + 1;
    if (!msg.ZeroText(third, &end)) {
        return;
    }
    CopyCut(info.password, sizeof info.password, m + third, end - third);
    reported.password = static_cast<std::int32_t>(end - third);
}

// One '@' command's reply: what it fills and the bit it reports. A handler that returns false
// reports nothing; one that sets *wait waits for more VI frames.
struct At_Reply {
    std::uint8_t c;
    std::int32_t category;
    std::uint32_t bit;
    bool (*decode)(Em_OldReceiver& rx, const Message& msg, bool* wait);
};

bool Network(Em_OldReceiver& rx, const Message& msg, bool* wait) {
    const std::uint8_t* m = msg.m;
    if (msg.b < kAtHeader) {
        *wait = true;
        return false;
    }
    if (m[2] != static_cast<std::uint8_t>(255 - m[1])) {
        return false;
    }
    const std::uint64_t dataLength =
        static_cast<std::uint64_t>(m[3]) | (static_cast<std::uint64_t>(m[4]) << 8) |
        (static_cast<std::uint64_t>(m[5]) << 16) | (static_cast<std::uint64_t>(m[6]) << 24);
    const std::uint64_t total = dataLength + 10;
    // A length the assembly buffer cannot hold would wait forever.
    if (total > Em_OldAssembly::kSize) {
        return false;
    }
    if (msg.b < total) {
        *wait = true;
        return false;
    }
    std::uint8_t x = 0;
    for (std::size_t i = 0; i <= dataLength + 7; ++i) {
        x ^= m[i];
    }
    if (x != 0 && x != 0x40) {
        return false;
    }
    Decode_Network(rx, msg);
    return true;
}

bool Radio_Frequency(Em_OldReceiver& rx, const Message& msg, bool*) {
    rx.radio.transmitMode = msg.At(7);
    if (msg.b == 12) {
        Radio_FromCode1(rx.radio, msg.At(8));
    } else if (msg.b == 13) {
        Radio_FromCode2(rx.radio, msg.At(8), msg.At(9));
    }
    return true;
}

bool Signal(Em_OldReceiver& rx, const Message& msg, bool*) {
    static const char kTag[] = "+CSQ:";
    const std::uint8_t* end = msg.m + msg.b;
    const std::uint8_t* at = std::search(msg.m, end, kTag, kTag + 5);
    if (at == end) {
        return false;
    }
    const std::size_t s = static_cast<std::size_t>(at - msg.m);
    char digits[3] = {static_cast<char>(msg.At(s + 6)), static_cast<char>(msg.At(s + 7)), 0};
    const int value = std::atoi(digits);
    rx.wireless.signalValue = value;
    rx.wireless.signalLevel = value < 10   ? 0
                              : value < 14 ? 1
                              : value < 17 ? 2
                              : value < 21 ? 3
                              : value < 25 ? 4
                              : value < 29 ? 5
                              : value < 32 ? 6
                                           : 0;
    return true;
}

bool Source_List(Em_OldReceiver& rx, const Message& msg, bool*) {
    // The data only: the check byte and the closing bytes after it are no part of the text.
    Em_OldWirelessRecord& w = rx.wireless;
    const std::uint64_t dataLength = static_cast<std::uint64_t>(msg.At(3)) |
                                     (static_cast<std::uint64_t>(msg.At(4)) << 8) |
                                     (static_cast<std::uint64_t>(msg.At(5)) << 16) |
                                     (static_cast<std::uint64_t>(msg.At(6)) << 24);
    std::size_t n = 0;
    if (msg.b > 10) {
        n = static_cast<std::size_t>(std::min<std::uint64_t>(dataLength, msg.b - 10));
        n = std::min(n, sizeof w.sourceList);
        std::memcpy(w.sourceList, msg.m + 7, n);
    }
    w.sourceListLength = static_cast<std::int32_t>(n);
    return true;
}

bool Callsign(Em_OldReceiver& rx, const Message& msg, bool*) {
    Em_OldRadioRecord& r = rx.radio;
    const std::uint8_t length = static_cast<std::uint8_t>(msg.At(3) - 2);
    // A longer text keeps what fits; the length sent tells the reader it was cut.
    r.callsignOn = msg.At(7) == 1 ? 1 : 0;
    r.callsignInterval = msg.At(8);
    std::memset(r.callsign, 0, sizeof r.callsign);
    const std::size_t n =
        msg.b > 9 ? std::min({std::size_t{length}, msg.b - 9, sizeof r.callsign}) : 0;
    std::memcpy(r.callsign, msg.m + 9, n);
    r.callsignLength = length;
    return true;
}

// Channel lists: a reply of the wrong length changes nothing and reports nothing.
bool Channel_Freqs(Em_OldReceiver& rx, const Message& msg, bool*) {
    if (msg.b != 42) {
        return false;
    }
    rx.radio.channelFreqs.clear();
    for (std::size_t i = 0; i < 16; ++i) {
        rx.radio.channelFreqs.push_back(
            static_cast<double>(msg.m[7 + 2 * i] | (msg.m[8 + 2 * i] << 8)));
    }
    return true;
}

bool Channel_Types(Em_OldReceiver& rx, const Message& msg, bool*) {
    if (msg.b != 26) {
        return false;
    }
    rx.radio.channelTypes.clear();
    for (std::size_t i = 0; i < 16; ++i) {
        rx.radio.channelTypes.push_back(msg.m[7 + i]);
    }
    return true;
}

// The value byte at 7 (or 8) of a one-value reply goes into its field.
template <std::int32_t Em_OldWirelessRecord::*Field, std::size_t At = 7>
bool Wireless_Byte(Em_OldReceiver& rx, const Message& msg, bool*) {
    rx.wireless.*Field = msg.At(At);
    return true;
}

const At_Reply kAtReplies[] = {
    {'Y', MSG_OLD_REPLY, OLD_VI_NETWORK, Network},
    {'s', MSG_OLD_REPLY, OLD_VI_NETWORK, Network},
    {'_', MSG_OLD_REPLY, OLD_VI_MODEM_VERSION,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         Decode_Modem_Version(rx, msg);
         return true;
     }},
    {'b', MSG_OLD_REPLY, OLD_VI_RADIO_FREQ, Radio_Frequency},
    {'n', MSG_OLD_REPLY, OLD_VI_RADIO_FREQ, Radio_Frequency},
    {'c', MSG_OLD_REPLY, OLD_VI_GPRS_STATUS, Wireless_Byte<&Em_OldWirelessRecord::gprsStatus>},
    {'e', MSG_OLD_REPLY, OLD_VI_SIGNAL, Signal},
    {'g', MSG_OLD_REPLY, OLD_VI_STATUS4, Wireless_Byte<&Em_OldWirelessRecord::statusWord4>},
    {'h', MSG_OLD_REPLY, OLD_VI_GPRS_ERROR, Wireless_Byte<&Em_OldWirelessRecord::gprsError, 8>},
    {'j', MSG_OLD_REPLY, OLD_VI_CORS_MODE, Wireless_Byte<&Em_OldWirelessRecord::corsMode>},
    {'l', MSG_OLD_REPLY, OLD_VI_AUTO_LOGIN,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         Decode_Auto_Login(rx.wireless, msg);
         return true;
     }},
    {'q', 0, 0, [](Em_OldReceiver&, const Message&, bool*) { return false; }},
    {'t', MSG_OLD_REPLY, OLD_VI_SOURCE_LIST, Source_List},
    {'v', MSG_OLD_REPLY, OLD_VI_RADIO_POWER,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         const std::uint8_t v = msg.At(7);
         rx.radio.power = (v >= 1 && v <= 5) ? v : 0;
         return true;
     }},
    {'y', MSG_OLD_REPLY, OLD_VI_AIR_BAUD,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         const std::uint8_t v = msg.At(7);
         rx.radio.airBaud = v <= 2 ? v : -1;
         return true;
     }},
    {0x81, MSG_OLD_REPLY, OLD_VI_SENSITIVITY,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         const std::uint8_t v = msg.At(7);
         rx.radio.sensitivity = (v == 1 || v == 2) ? v : 0;
         return true;
     }},
    {0x83, MSG_OLD_REPLY, OLD_VI_FEC,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         rx.radio.fec = msg.At(7) == 1 ? 1 : 0;
         return true;
     }},
    {0x85, MSG_OLD_REPLY_EX, OLD_VI_CHANNEL_FREQS, Channel_Freqs},
    {0x89, MSG_OLD_REPLY, OLD_VI_SPACING,
     [](Em_OldReceiver& rx, const Message& msg, bool*) {
         const std::uint8_t v = msg.At(7);
         rx.radio.spacingCode = (v == 1 || v == 2) ? v : 0;
         rx.radio.altStep = (v == 1) ? 20.0 : 12.5;
         return true;
     }},
    {0x91, MSG_OLD_REPLY, OLD_VI_CALLSIGN, Callsign},
    {0x93, MSG_OLD_REPLY_EX, OLD_VI_CHANNEL_TYPES, Channel_Types},
};

}  // namespace

Em_OldReport Em_OldReceiver::Decode_VI(const std::uint8_t* p, std::size_t n) {
    viBuffer.Append(p, n);
    if (viBuffer.fill < 2 || viBuffer.data[0] != 0x40) {
        viBuffer.Clear();
        return {};
    }
    bool wait = false;
    const Em_OldReport r =
        Decode_AtFrame(viBuffer.data, static_cast<std::size_t>(viBuffer.fill), &wait);
    if (!wait) {
        viBuffer.Clear();
    }
    return r;
}

Em_OldReport Em_OldReceiver::Decode_AtFrame(const std::uint8_t* m, std::size_t b, bool* wait) {
    *wait = false;
    const Message msg{m, b};
    const std::uint8_t c = msg.At(1);
    for (const At_Reply& reply : kAtReplies) {
        if (reply.c == c) {
            Em_OldReport r;
            if (reply.decode(*this, msg, wait)) {
                r.category = reply.category;
                r.flags = reply.bit;
            }
            return r;
        }
    }
    return {};
}

}  // namespace BVParse
}  // namespace Brevan2011
