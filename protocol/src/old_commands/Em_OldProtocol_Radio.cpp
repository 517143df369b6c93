// Old-protocol command builders for the receiver's GPRS modem, its network login and its
// internal UHF radio: '@' frames carried in "VS" frames.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "Em_OldProtocol.h"
#include "Em_OldRadio.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint32_t kAtPause = 200;
constexpr uint32_t kModeSwitchPause = 2000;

// Length of a zero-terminated text inside a fixed field: a full field without its terminator
// counts field - 1 characters, so the read never leaves the field.
template <std::size_t N>
std::size_t FieldLength(const char (&field)[N]) {
    return strnlen(field, N - 1);
}

template <std::size_t N>
void AppendField(std::string& out, const char (&field)[N]) {
    out.append(field, FieldLength(field));
}

const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

}  // namespace

bool Em_OldProtocol::Send_Gprs_Version(Cmd_List& cmds) const {
    if (m_rx.deviceBlockSeen == 0) {
        return false;
    }
    return Add_OldAt(cmds, 95, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Get_Gprs_Info(Cmd_List& cmds) const {
    Add_OldAt(cmds, m_rx.wireless.layoutFlag == 1 ? 115 : 89, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Get_Gprs_Status(Cmd_List& cmds) const {
    Add_OldAt(cmds, 99, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Get_Cmd_Modem_Signal_Intensity_Query(Cmd_List& cmds) const {
    Get_Gprs_Signal(cmds);
}

void Em_OldProtocol::Get_Gprs_Eroinfo(Cmd_List& cmds) const {
    Add_OldAt(cmds, 104, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Get_Gprs_Reset(Cmd_List& cmds) const {
    Add_OldAt(cmds, 43, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Get_Gprs_CosMdl(Cmd_List& cmds) const {
    Add_OldAt(cmds, 106, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Set_Gprs_CosMdl(Cmd_List& cmds, unsigned value) const {
    const unsigned char off = 0;
    const unsigned char v = static_cast<unsigned char>(value & 0xFFu);
    Add_OldAt(cmds, 113, &off, 1, kModeSwitchPause);
    Add_OldAt(cmds, 105, &v, 1, kAtPause);
}

void Em_OldProtocol::Send_Gprs_DisConct(Cmd_List& cmds) const {
    const unsigned char on = 1;
    Add_OldAt(cmds, 113, &on, 1, kModeSwitchPause);
}

void Em_OldProtocol::Set_Gprs_Modle(Cmd_List& cmds, Gprs_Modle value) const {
    const unsigned char v = static_cast<unsigned char>(value & 0xFF);
    Add_OldAt(cmds, 93, &v, 1, kAtPause);
}

void Em_OldProtocol::Set_GSM_NumInfo(Cmd_List& cmds, const char* text) const {
    constexpr std::size_t kLimit = 64;
    if (text == nullptr) {
        return;
    }
    const std::size_t n = strnlen(text, kLimit);
    if (n >= kLimit) {
        return;
    }
    const unsigned char off = 0;
    Add_OldAt(cmds, 113, &off, 1, kModeSwitchPause);
    Add_OldAt(cmds, 88, reinterpret_cast<const unsigned char*>(text), static_cast<unsigned>(n),
              kAtPause);
}

void Em_OldProtocol::Set_Gprs_SvcInfo(Cmd_List& cmds, const SvcInfo& info) const {
    std::string t3, t4, t12;
    AppendField(t3, info.text3);
    AppendField(t4, info.text4);
    AppendField(t12, info.text1);
    t12 += '\0';
    AppendField(t12, info.text2);
    Add_OldAt(cmds, 86, Bytes(t3), static_cast<unsigned>(t3.size()), kAtPause);
    Add_OldAt(cmds, 88, Bytes(t4), static_cast<unsigned>(t4.size()), kAtPause);
    Add_OldAt(cmds, 87, Bytes(t12), static_cast<unsigned>(t12.size()), kAtPause);
}

void Em_OldProtocol::Set_Gprs_Ip(Cmd_List& cmds, const IP_ADRES& ip, unsigned port,
                                 Protocol_Net protocol) const {
    const unsigned char portHigh = static_cast<unsigned char>((port >> 8) & 0xFFu);
    const unsigned char portLow = static_cast<unsigned char>(port & 0xFFu);
    const unsigned char proto = static_cast<unsigned char>(protocol & 0xFF);
    if (m_rx.wireless.layoutFlag == 0) {
        const unsigned char data[7] = {static_cast<unsigned char>(ip.address & 0xFFu),
                                       static_cast<unsigned char>((ip.address >> 8) & 0xFFu),
                                       static_cast<unsigned char>((ip.address >> 16) & 0xFFu),
                                       static_cast<unsigned char>((ip.address >> 24) & 0xFFu),
                                       portHigh,
                                       portLow,
                                       proto};
        Add_OldAt(cmds, 82, data, sizeof data, kAtPause);
        return;
    }
    // The count is the caller's: at most the 32 name bytes the record holds.
    const std::size_t n =
        static_cast<std::size_t>(std::clamp<std::int32_t>(ip.count, 0, sizeof ip.name));
    unsigned char data[sizeof ip.name + 4];
    std::memcpy(data, ip.name, n);
    data[n] = 0;
    data[n + 1] = portHigh;
    data[n + 2] = portLow;
    data[n + 3] = proto;
    Add_OldAt(cmds, 114, data, static_cast<unsigned>(n + 4), kAtPause);
}

void Em_OldProtocol::Send_Dial_Prtl(Cmd_List& cmds) const {
    Add_OldAt(cmds, 103, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Set_Dial_Prtl(Cmd_List& cmds, unsigned value) const {
    const unsigned char v = static_cast<unsigned char>(value & 0xFFu);
    Add_OldAt(cmds, 102, &v, 1, kAtPause);
}

void Em_OldProtocol::Send_Cors_Info_Auto(Cmd_List& cmds) const {
    Add_OldAt(cmds, 108, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Set_Cors_Info_Auto(Cmd_List& cmds, const cors_info& info,
                                        unsigned kind) const {
    constexpr std::size_t kLimit = 49;
    if (FieldLength(info.mountPoint) + FieldLength(info.userName) + FieldLength(info.password) >
        kLimit) {
        return;
    }
    std::string data;
    AppendField(data, info.mountPoint);
    data += '\0';
    data += kind == 1 ? 'M' : kind == 2 ? 'm' : '-';
    data += '\0';
    AppendField(data, info.userName);
    data += '\0';
    AppendField(data, info.password);
    data += '\0';
    Add_OldAt(cmds, 107, Bytes(data), static_cast<unsigned>(data.size()), kAtPause);
}

// Radio commands. r is the radio type of the radio record.

int Em_OldProtocol::Set_Radio_Power(Cmd_List& cmds, Radio_Power value) const {
    const int r = m_rx.radio.radioType;
    if (r < 6 || r > 10) {
        return 0;
    }
    const unsigned char v = static_cast<unsigned char>(value & 0xFF);
    return Add_OldAt(cmds, 117, &v, 1, kAtPause) ? 1 : 0;
}

int Em_OldProtocol::Get_Radio_Power(Cmd_List& cmds) const {
    const int r = m_rx.radio.radioType;
    if (r < 6 || r > 10) {
        return 0;
    }
    return Add_OldAt(cmds, 118, nullptr, 0, kAtPause) ? 1 : 0;
}

namespace {
bool AirBaudRadio(int r) {
    return r >= 1 && r <= 10 && r != 8;
}
}  // namespace

int Em_OldProtocol::Set_Radio_Baudrate(Cmd_List& cmds, Radio_Baudrate value) const {
    if (!AirBaudRadio(m_rx.radio.radioType)) {
        return 0;
    }
    const unsigned char v = static_cast<unsigned char>(value & 0xFF);
    return Add_OldAt(cmds, 120, &v, 1, kAtPause) ? 1 : 0;
}

int Em_OldProtocol::Get_Cmd_Radio_Baudrate(Cmd_List& cmds) const {
    if (!AirBaudRadio(m_rx.radio.radioType)) {
        return 0;
    }
    return Add_OldAt(cmds, 121, nullptr, 0, kAtPause) ? 1 : 0;
}

int Em_OldProtocol::Get_Radio_Frq(Cmd_List& cmds) const {
    if (m_rx.deviceBlockSeen == 0) {
        return 0;
    }
    if (m_rx.modemVersionSeen == 0) {
        return 1;
    }
    const int r = m_rx.radio.radioType;
    if (r < 1 || r > 10) {
        return -1;
    }
    Add_OldAt(cmds, r <= 2 ? 98 : 110, nullptr, 0, kAtPause);
    return 2;
}

void Em_OldProtocol::Set_Radio_Frq(Cmd_List& cmds, double mhz) const {
    std::uint8_t code[2] = {};
    std::uint8_t command = 0;
    if (!std::isfinite(mhz) || !Radio_ToCode(m_rx.radio, mhz, code, &command)) {
        return;
    }
    Add_OldAt(cmds, command, code, sizeof code, 100);
}

void Em_OldProtocol::Set_Radio_Mdl(Cmd_List& cmds, Rdo_Mdl value) const {
    const unsigned char v = static_cast<unsigned char>(value & 0xFF);
    Add_OldAt(cmds, 96, &v, 1, kAtPause);
}

namespace {
constexpr int kRadioType8 = 8;
}  // namespace

void Em_OldProtocol::Set_Radio_Sensitivity(Cmd_List& cmds, Rdo_Sensitv value) const {
    if (m_rx.radio.radioType != kRadioType8) {
        return;
    }
    const unsigned char v = static_cast<unsigned char>(value & 0xFF);
    Add_OldAt(cmds, 128, &v, 1, kAtPause);
}

void Em_OldProtocol::Get_Cmd_Radio_Sensitivity(Cmd_List& cmds) const {
    if (m_rx.radio.radioType == kRadioType8) {
        Add_OldAt(cmds, 129, nullptr, 0, kAtPause);
    }
}

void Em_OldProtocol::Set_Radio_FEC(Cmd_List& cmds, bool on) const {
    if (m_rx.radio.radioType != kRadioType8) {
        return;
    }
    const unsigned char v = on ? 1 : 0;
    Add_OldAt(cmds, 130, &v, 1, kAtPause);
}

void Em_OldProtocol::Get_Cmd_Radio_FEC(Cmd_List& cmds) const {
    if (m_rx.radio.radioType == kRadioType8) {
        Add_OldAt(cmds, 131, nullptr, 0, kAtPause);
    }
}

void Em_OldProtocol::Set_Radio_Callsign(Cmd_List& cmds, const Radio_Callsign& callsign) const {
    const std::size_t n = callsign.length;
    if (m_rx.radio.radioType != kRadioType8 || n > sizeof callsign.text) {
        return;
    }
    unsigned char data[2 + sizeof callsign.text];
    data[0] = callsign.on != 0 ? 1 : 0;
    data[1] = static_cast<unsigned char>(callsign.interval & 0xFF);
    std::memcpy(data + 2, callsign.text, n);
    Add_OldAt(cmds, 144, data, static_cast<unsigned>(2 + n), kAtPause);
}

void Em_OldProtocol::Get_Cmd_Radio_Callsign(Cmd_List& cmds) const {
    if (m_rx.radio.radioType == kRadioType8) {
        Add_OldAt(cmds, 145, nullptr, 0, kAtPause);
    }
}

void Em_OldProtocol::Set_Radio_ChannelSpace(Cmd_List& cmds, Channel_Space space) {
    if (m_rx.radio.radioType != kRadioType8) {
        return;
    }
    // The frequency converter of a type-8 radio steps by the alternate step: set it before the
    // receiver's reply could be decoded against the old one.
    m_rx.radio.altStep = space == CHANNEL_SPACE_20 ? 20.0 : 12.5;
    const unsigned char v =
        (space == 0 || space == 1 || space == 2) ? static_cast<unsigned char>(space) : 0;
    Add_OldAt(cmds, 136, &v, 1, kAtPause);
}

void Em_OldProtocol::Get_Cmd_Radio_ChannelSpace(Cmd_List& cmds) const {
    if (m_rx.radio.radioType == kRadioType8) {
        Add_OldAt(cmds, 137, nullptr, 0, kAtPause);
    }
}

void Em_OldProtocol::Query_Radio_ChannelList_Type(Cmd_List& cmds) const {
    Add_OldAt(cmds, 147, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Set_Radio_Channel_Type(Cmd_List& cmds, int channel,
                                            Rdo_Channel_Type type) const {
    const unsigned char data[2] = {static_cast<unsigned char>(channel & 0xFF),
                                   static_cast<unsigned char>(type & 0xFF)};
    Add_OldAt(cmds, 146, data, sizeof data, kAtPause);
}

void Em_OldProtocol::Query_Radio_ChannelList_Freq(Cmd_List& cmds) const {
    Add_OldAt(cmds, 133, nullptr, 0, kAtPause);
}

void Em_OldProtocol::Set_Radio_Channel_Freq(Cmd_List& cmds, int channel, double mhz,
                                            Channel_Space space) const {
    const double step = space == CHANNEL_SPACE_20 ? 200.0 : 125.0;
    const double n = std::floor((mhz + 0.00005) * 10000.0 / step);
    // Only the low 16 bits travel; a value outside that range (or not a number) has no code.
    if (!(n >= 0.0 && n <= 65535.0)) {
        return;
    }
    const unsigned code = static_cast<unsigned>(n);
    const unsigned char data[3] = {static_cast<unsigned char>(channel & 0xFF),
                                   static_cast<unsigned char>(code & 0xFFu),
                                   static_cast<unsigned char>((code >> 8) & 0xFFu)};
    Add_OldAt(cmds, 132, data, sizeof data, kAtPause);
}

}  // namespace BVParse
}  // namespace Brevan2011
