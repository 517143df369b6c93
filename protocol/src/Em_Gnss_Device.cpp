// Em_Gnss device operations: port mode, battery grade, device information and static
// recording times.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_NewPacket.h"
#include "Em_Gnss_Kinds.h"
#include "Em_OldFrames.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// A level as the board reports it (a float in a 32-bit word), rounded to a whole percent.
long Percent(uint32_t word) {
    float level = 0.0f;
    std::memcpy(&level, &word, sizeof(level));
    if (!(level > 0.0f)) {
        return 0;
    }
    return std::lround(std::min(level, 100.0f));
}

}  // namespace

void Em_Gnss::Get_QxMdl(Cmd_List& cmds, unsigned mode) {
    if (Is_Old_Receiver(m_protocol)) {
        const char* text = mode == 1    ? "ST,B1,B254"
                           : mode == 11 ? "ST,B11"
                           : mode == 12 ? "ST,B12"
                                        : "ST,B0";
        // Serial gives frame form 1, Bluetooth form 3; TCP and replay ports keep port kind 1.
        unsigned form = 0;
        switch (m_protocol->Get_Com_Status()) {
            case COM_STATUS_SERIAL:
                form = kOldFormSerial;
                break;
            case COM_STATUS_BLUETOOTH:
                form = kOldFormBluetooth;
                break;
            default:
                return;
        }
        _STR_CMD cmd;
        std::memset(&cmd, 0, sizeof(cmd));
        if (Pack_OldFrame(text, cmd.data, &cmd.length, form, kOldKindText)) {
            cmd.pause = 100;
            cmds.push_back(cmd);
        }
    } else if (Is_New_Receiver(m_protocol)) {
        const uint16_t op = 2;
        const uint16_t value = static_cast<uint16_t>(mode);
        Build_NewPacket(cmds, {{1, &op}, {264, &value}}, 264);
    }
}

int Em_Gnss::Get_Battery_Grd() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return old->batteryLevel;
    }
    const NewReceiverState* s = New_State(m_protocol);
    if (s == nullptr) {
        return -1;
    }
    // Word 0: the power state (above 1: external power); words 1 and 2: the battery levels.
    if (s->powerStatus.value[0] > 1) {
        return 12;
    }
    const double average =
        static_cast<double>(Percent(s->powerStatus.value[1]) + Percent(s->powerStatus.value[2])) /
        2.0;
    const int grade = static_cast<int>(std::floor(average / 10.0 + 0.5));
    return grade > 10 ? 10 : grade;
}

void Em_Gnss::GetInfo_DevcInfo(DEVICE_STR& out) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        out = old->device;
    }
}

void Em_Gnss::Get_Static_Time(unsigned& first, unsigned& second) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        first = old->staticTime[0];
        second = old->staticTime[1];
    }
}

void Em_Gnss::Get_Static_AntType(char* dest) {
    const Em_OldReceiver* old = Old_State(m_protocol);
    if (old == nullptr || dest == nullptr) {
        return;
    }
    std::memcpy(dest, old->antennaType, sizeof(old->antennaType));
    dest[sizeof(old->antennaType) - 1] = '\0';
}

void Em_Gnss::Get_eBubble_info(eBubble_info& out) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        std::memcpy(out.Words, old->bubble.words, sizeof(out.Words));
        return;
    }
    const NewReceiverState* s = New_State(m_protocol);
    if (s == nullptr) {
        return;
    }
    const QX_GNSS_EBUBBLE_STRUCT& b = s->eBubble;
    out.Words[0] = b.state;
    out.Words[1] = static_cast<int32_t>(b.v1);
    out.Words[2] = static_cast<int32_t>(b.v2) * 360;
    out.Words[3] = static_cast<int32_t>(b.v3) * 360;
    out.Words[4] = static_cast<int32_t>(b.v4) * 360;
    out.Words[5] = static_cast<int32_t>(b.v5 * 36 * 0.0001);
    out.Words[6] = static_cast<int32_t>(b.v6 * 36 * 0.0001);
    // A float in a 32-bit word; whole degrees to arc seconds, kept inside the word.
    float f = 0.0f;
    std::memcpy(&f, &b.v7, sizeof(f));
    const float limit = 596523.0f;  // INT32_MAX / 3600
    const float whole = std::isfinite(f) ? std::trunc(std::max(-limit, std::min(limit, f))) : 0.0f;
    out.Words[7] = static_cast<int32_t>(whole) * 3600;
    out.Words[8] = b.v8;
}

void Em_Gnss::Get_FirmWare_Db(unsigned long, FIRMWARE_DEBUG& out) {
    Em_OldReceiver* old = Old_State(m_protocol);
    if (old == nullptr) {
        return;
    }
    auto it = old->firmwareDb.find(256);
    if (it == old->firmwareDb.end()) {
        return;
    }
    static_assert(sizeof(out.Data) == std::tuple_size<decltype(it->second)>::value,
                  "firmware block size");
    std::memcpy(out.Data, it->second.data(), sizeof(out.Data));
    old->firmwareDb.erase(it);
}

}  // namespace BVParse
}  // namespace Brevan2011
