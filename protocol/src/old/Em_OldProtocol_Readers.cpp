// Readers that turn stored old-protocol state into the records the program reads: wireless
// information, the firmware debug block and the internal radio's band and capabilities.
#include <algorithm>
#include <cstring>
#include <string>

#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// Texts the receiver sent may be longer than the program's fields: cut at field - 1 and
// terminate.
template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    const std::size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

struct RadioRow {
    double upper, lower, spacing;
    uint32_t a, b, c, d;
};

const RadioRow kRadioTable[10] = {
    {467.0, 455.0, 50.0, 0x72000000u, 0x01000000u, 0x03220000u, 0},
    {430.0, 410.0, 50.0, 0x72000000u, 0x01000000u, 0x03220000u, 0},
    {470.0, 450.0, 12.5, 0x72000000u, 0x01000000u, 0x03220000u, 0},
    {430.0, 410.0, 12.5, 0x72000000u, 0x01000000u, 0x03220000u, 0},
    {450.0, 430.0, 12.5, 0x72000000u, 0x01000000u, 0x03220000u, 0},
    {470.0, 450.0, 12.5, 0x70000000u, 0x03000000u, 0x0B000000u, 15},
    {463.0, 455.0, 25.0, 0x10000000u, 0x03000000u, 0x0B000000u, 15},
    {473.0, 403.0, 12.5, 0xE1000000u, 0x03000000u, 0x0BD10000u, 7},
    {463.0, 455.0, 25.0, 0x10000000u, 0x03000000u, 0x0B220000u, 15},
    {470.0, 450.0, 12.5, 0x70000000u, 0x03000000u, 0x0B220000u, 15},
};

}  // namespace

void Em_OldProtocol::GetInfo_Gprs_Info(WirelessInfo& out) const {
    const Em_OldWirelessRecord& w = m_rx.wireless;
    std::memset(&out, 0, sizeof out);
    out.server.address = w.serverAddress;
    out.server.count = w.serverNameLength;
    std::memcpy(out.server.name, w.serverName, sizeof out.server.name);
    out.port = w.serverPort;
    out.protocol = w.protocol;
    out.loginFlag = w.loginFlag;
    CopyText(out.textC, w.textC);
    CopyText(out.loginText1, w.loginText1);
    CopyText(out.loginText2, w.loginText2);
    CopyText(out.textB, w.textB);
    CopyText(out.textA, w.textA);

    uint8_t* cap = out.capability;
    std::fill(cap, cap + sizeof out.capability, 0);
    cap[6] = 3;
    if (m_rx.modemVersionSeen == 0) {
        return;
    }
    const int a = w.modemMajor;
    const int b = w.modemMinor;
    const auto network = [cap]() {
        std::fill(cap, cap + 8, 0);
        cap[2] = 20;
        cap[6] = 7;
    };
    if (a == 2 && b >= 88) {
        network();
    } else if (a > 2) {
        if (b >= 59) {
            network();
        }
        if (b >= 69) {
            cap[2] |= 0x02;
        }
    }
    cap[2] |= w.layoutFlag == 1 ? 0xE9 : 0x69;
}

void Em_OldProtocol::Get_FirmWare_Db(unsigned long, FIRMWARE_DEBUG& out) {
    static_assert(sizeof out.Data == 204, "the VY block is 204 bytes");
    constexpr int32_t kKey = 256;
    auto it = m_rx.firmwareDb.find(kKey);
    if (it == m_rx.firmwareDb.end()) {
        std::memset(out.Data, 0, sizeof out.Data);
        return;
    }
    std::memcpy(out.Data, it->second.data(), sizeof out.Data);
    m_rx.firmwareDb.erase(it);
}

int Em_OldProtocol::Get_Radio_Range(Radio_Range& out) const {
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
    const RadioRow& row = kRadioTable[r - 1];
    out.upper = row.upper;
    out.lower = row.lower;
    out.spacing = row.spacing;
    return 2;
}

int Em_OldProtocol::Get_Radio_Info(Radio_Info& out) const {
    if (m_rx.deviceBlockSeen == 0) {
        return 0;
    }
    if (m_rx.modemVersionSeen == 0) {
        return 1;
    }
    out.wordD = 0;
    const int r = m_rx.radio.radioType;
    if (r < 1 || r > 10) {
        // Only the capability words, with the values of types 1 to 5.
        const RadioRow& row = kRadioTable[0];
        out.wordA = row.a;
        out.wordB = row.b;
        out.wordC = row.c;
        out.wordD = row.d;
        return -1;
    }
    const RadioRow& row = kRadioTable[r - 1];
    out.upper = row.upper;
    out.lower = row.lower;
    out.spacing = row.spacing;
    out.radioType = r;
    out.switchWord = r <= 5 ? 0 : 1;
    out.wordA = row.a;
    out.wordB = row.b;
    out.wordC = row.c;
    out.wordD = row.d;
    return 2;
}

}  // namespace BVParse
}  // namespace Brevan2011
