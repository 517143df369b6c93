// Old-protocol command builders: device identity, port and position rate, static recording and
// its files, the tilt sensor, kinematic points, the base-position list and device blocks.
#include <algorithm>
#include <cstring>
#include <string>

#include "Em_OldPointRecord.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// Appends ",B%hu" for each byte of a value as it lies in memory (least significant first on
// every platform the library builds for).
template <typename T>
void AppendBytes(std::string& text, const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof bytes);
    for (unsigned char b : bytes) {
        text += ",B" + std::to_string(static_cast<unsigned>(b));
    }
}

void AppendIndex(std::string& text, uint32_t index) {
    for (int i = 0; i < 4; ++i) {
        text += ",B" + std::to_string((index >> (8 * i)) & 0xFFu);
    }
}

}  // namespace

bool Em_OldProtocol::Add_OldText(Cmd_List& cmds, const std::string& text, uint32_t pause,
                                 unsigned kind) const {
    _STR_CMD cmd = {};
    if (!Pack_OldFrame(text.c_str(), cmd, kind)) {
        return false;
    }
    cmd.pause = pause;
    cmds.push_back(cmd);
    return true;
}

bool Em_OldProtocol::Add_OldAt(Cmd_List& cmds, unsigned char c, const unsigned char* data,
                               unsigned length, uint32_t pause) const {
    _STR_CMD cmd = {};
    if (!Pack_OldAtFrame(c, data, length, cmd)) {
        return false;
    }
    cmd.pause = pause;
    cmds.push_back(cmd);
    return true;
}

bool Em_OldProtocol::Add_OldBin(Cmd_List& cmds, char first, char second,
                                const unsigned char* payload, unsigned length,
                                uint32_t pause) const {
    _STR_CMD cmd = {};
    if (!Pack_OldBinFrame(first, second, payload, length, cmd)) {
        return false;
    }
    cmd.pause = pause;
    cmds.push_back(cmd);
    return true;
}

void Em_OldProtocol::Get_DeviceInfo(Cmd_List& cmds) const {
    Add_OldText(cmds, "SI", 200);
}

void Em_OldProtocol::Get_Battery(Cmd_List& cmds) const {
    Add_OldText(cmds, "SD", 200);
}

void Em_OldProtocol::Get_200Data(Cmd_List& cmds, bool on) const {
    Add_OldText(cmds, on ? "RG,B200" : "RG,B0", 100);
}

void Em_OldProtocol::Get_CloseReceiver(Cmd_List& cmds) const {
    Add_OldText(cmds, "SG,B0", 200);
}

void Em_OldProtocol::Send_Gprs_DiffInfo(Cmd_List& cmds) const {
    Add_OldText(cmds, "RX", 200);
}

void Em_OldProtocol::Query_NMEA_Output_Config(Cmd_List& cmds) const {
    Add_OldText(cmds, "RC", 200);
}

void Em_OldProtocol::Get_Cmd_Com_Baudrate(Cmd_List& cmds, int baudCode) const {
    const char* text = "SB,B220";
    switch (baudCode) {
        case 1:
            text = "SB,B238";
            break;
        case 2:
            text = "SB,B247";
            break;
        case 3:
            text = "SB,B250";
            break;
        case 4:
            text = "SB,B253";
            break;
        default:
            break;
    }
    Add_OldText(cmds, text, 200);
}

void Em_OldProtocol::Get_Cmd_Position_Frq(Cmd_List& cmds, int rateCode, int elevation) const {
    std::string text;
    switch (rateCode) {
        case 0:
            // The elevation form: without an elevation there is nothing to send.
            if (elevation < 0) {
                return;
            }
            text = "SW,B1,B" + std::to_string(elevation);
            break;
        case 1:
            text = "SW,B0,B10";
            break;
        case 2:
            text = "SW,B0,B5";
            break;
        case 11:
            text = "SW,B0,B2";
            break;
        default:
            text = "SW,B0,B1";
            break;
    }
    Add_OldText(cmds, text, 200);
}

void Em_OldProtocol::Set_Static_Begin(Cmd_List& cmds, bool start) const {
    Add_OldText(cmds, start ? "FD,B0" : "FD,B1", 100);
}

void Em_OldProtocol::Set_Static_Begin(Cmd_List& cmds, bool start, unsigned short value) const {
    if (start) {
        Add_OldText(cmds, "SJ,B42,B0", 100);
        Add_OldText(cmds, "SJ,B92,B" + std::to_string(value & 0xFFu), 100);
        Add_OldText(cmds, "SJ,B93,B" + std::to_string((value >> 8) & 0xFFu), 100);
        Add_OldText(cmds, "FD,B0", 100);
        Add_OldText(cmds, "FH,B1", 100);
    } else {
        Add_OldText(cmds, "SJ,B42,B1", 100);
        Add_OldText(cmds, "FD,B1", 100);
        Add_OldText(cmds, "FH,B0", 100);
    }
}

void Em_OldProtocol::Get_Cmd_Query_Static_Status(Cmd_List& cmds) const {
    Add_OldText(cmds, "FC", 200);
}

void Em_OldProtocol::Get_Cmd_Static_FileDir(Cmd_List& cmds) const {
    Add_OldText(cmds, "FM", 200);
    Add_OldText(cmds, "KC,B170", 200);
}

void Em_OldProtocol::Get_Cmd_Read_Static_File(Cmd_List& cmds, uint32_t index) const {
    std::string text = "FW";
    AppendIndex(text, index);
    Add_OldText(cmds, text, 200);
}

void Em_OldProtocol::Get_Cmd_Delete_Static_File(Cmd_List& cmds, uint32_t index) const {
    std::string text = "FC";
    AppendIndex(text, index);
    Add_OldText(cmds, text, 200);
}

void Em_OldProtocol::Set_Static_Point(Cmd_List& cmds, const Static_Point* point) const {
    if (point == nullptr) {
        return;
    }
    // The length byte is the caller's: never read past the 32-byte name.
    const unsigned n = std::min<unsigned>(point->nameLength, sizeof point->name);
    unsigned char payload[1 + sizeof point->name + 4 + 2];
    unsigned p = 0;
    payload[p++] = static_cast<unsigned char>(n);
    std::memcpy(payload + p, point->name, n);
    p += n;
    for (int i = 0; i < 4; ++i) {
        payload[p++] = static_cast<unsigned char>((point->value >> (8 * i)) & 0xFFu);
    }
    payload[p++] = static_cast<unsigned char>(point->byteField & 0xFF);
    payload[p++] = point->method == 2 ? 2 : point->method == 4 ? 3 : 1;
    Add_OldBin(cmds, 'F', 'A', payload, p, 10);
}

void Em_OldProtocol::Get_Cmd_Static_Point(Cmd_List& cmds) const {
    Add_OldText(cmds, "FB", 10);
}

void Em_OldProtocol::Set_Static_AnteType(Cmd_List& cmds, const char* text) const {
    if (text == nullptr) {
        return;
    }
    // One field per character; the renderer stops at 250 payload bytes whatever the length.
    constexpr std::size_t kFields = 20;
    const std::size_t n = strnlen(text, kOldTextMaxLength);
    std::string command = "FS";
    for (std::size_t i = 0; i < n; ++i) {
        command += ",B" + std::to_string(static_cast<unsigned char>(text[i]));
    }
    for (std::size_t i = n; i < kFields; ++i) {
        command += ",B0";
    }
    Add_OldText(cmds, command, 10);
}

void Em_OldProtocol::Get_Cmd_Static_AntType(Cmd_List& cmds) const {
    Add_OldText(cmds, "FT", 10);
}

void Em_OldProtocol::Set_eBubble_frq(Cmd_List& cmds, GNSS_FRQ rate) const {
    const char* text = rate == 1 ? "FF,B10" : rate == 3 ? "FF,B1" : "FF,B5";
    Add_OldText(cmds, text, 100);
}

void Em_OldProtocol::Set_eBubble_calibration(Cmd_List& cmds, bool on, int value) const {
    const uint32_t v = static_cast<uint32_t>(value);
    const unsigned char payload[3] = {static_cast<unsigned char>(on ? 1 : 0),
                                      static_cast<unsigned char>(v & 0xFFu),
                                      static_cast<unsigned char>((v >> 8) & 0xFFu)};
    Add_OldBin(cmds, 'F', 'G', payload, sizeof payload, 10);
}

namespace {

// Encodes a point record and sends it in "FY" frames of at most 55 bytes.
void PointCommands(const Em_OldProtocol& proto, Cmd_List& cmds, const void* record,
                   std::size_t size, int type) {
    const Point_Record_Body body = Encode_PointInfo_Record(record, size, type);
    for (unsigned at = 0; at < body.size; at += kOldChunk) {
        const unsigned piece = std::min<unsigned>(kOldChunk, body.size - at);
        proto.Add_OldBin(cmds, 'F', 'Y', body.bytes + at, piece, 10);
    }
}

}  // namespace

void Em_OldProtocol::Get_Cmd_StartPPKpt(Cmd_List& cmds, const StartPointInfo* point) const {
    PointCommands(*this, cmds, point, sizeof(StartPointInfo), 6);
}

void Em_OldProtocol::Get_Cmd_EndPPKpt(Cmd_List& cmds, const EndPointInfo* point) const {
    PointCommands(*this, cmds, point, sizeof(EndPointInfo), 7);
}

void Em_OldProtocol::Get_Cmd_AntPPKpt(Cmd_List& cmds, const AntPointInfo* point) const {
    PointCommands(*this, cmds, point, sizeof(AntPointInfo), 12);
}

void Em_OldProtocol::Get_Cmd_Add_BasePos_To_List(Cmd_List& cmds, double latitude, double longitude,
                                                 double height) const {
    std::string text = "FI";
    AppendBytes(text, latitude);
    AppendBytes(text, longitude);
    AppendBytes(text, height);
    Add_OldText(cmds, text, 200);
}

void Em_OldProtocol::Get_Cmd_Remove_BasePos_From_List(Cmd_List& cmds, unsigned short index) const {
    Add_OldText(cmds, "FL,B" + std::to_string(index), 100);
}

void Em_OldProtocol::Get_Cmd_Read_BasePosition_List(Cmd_List& cmds) {
    m_rx.basePosList = Em_OldBlock();
    Add_OldText(cmds, "FJ,B1", 100);
}

void Em_OldProtocol::Get_Cmd_Clear_BasePosition_List(Cmd_List& cmds) {
    m_rx.basePosList = Em_OldBlock();
    Add_OldText(cmds, "FJ,B2", 100);
}

void Em_OldProtocol::Get_Cmd_Get_BasePosition_Difference(Cmd_List& cmds) const {
    Add_OldText(cmds, "FK,B2", 100);
}

void Em_OldProtocol::Get_Cmd_Set_BasePosition_Difference(Cmd_List& cmds, double difference) const {
    std::string text = "FK";
    AppendBytes(text, difference);
    Add_OldText(cmds, text, 100);
}

void Em_OldProtocol::Send_DevcInfo_Update_Crs(Cmd_List& cmds, unsigned a,
                                              const unsigned char* data) const {
    if (data == nullptr) {
        return;
    }
    constexpr unsigned kData = 128;
    _STR_CMD cmd = {};
    cmd.data[3] = static_cast<unsigned char>((a >> 8) & 0xFFu);
    cmd.data[4] = static_cast<unsigned char>(a & 0xFFu);
    std::memcpy(cmd.data + 5, data, kData);
    cmd.length = 5 + kData;
    cmd.pause = 100;
    if (Wrap_OldCmd_SX(cmd)) {
        cmds.push_back(cmd);
    }
}

void Em_OldProtocol::Send_DevcInfo_Update_Str(Cmd_List& cmds) const {
    constexpr unsigned kRecord = 2;
    _STR_CMD cmd = {};
    cmd.length = kRecord;
    cmd.pause = 100;
    if (Wrap_OldCmd_SS(cmd)) {
        cmds.push_back(cmd);
    }
}

void Em_OldProtocol::Set_DevcInfo(Cmd_List& cmds, const unsigned char* record,
                                  unsigned length) const {
    if (record == nullptr || length == 0 || length > kOldChunk) {
        return;
    }
    _STR_CMD cmd = {};
    std::memcpy(cmd.data, record, length);
    cmd.length = length;
    cmd.pause = 200;
    if (Wrap_OldCmd_SJ(cmd)) {
        cmds.push_back(cmd);
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
