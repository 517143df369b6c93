// Em_Gnss device operations: identity, battery and power, port mode, device settings, static
// recording, kinematic points and the tilt sensor.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_NewPacket.h"
#include "Em_Conversions.h"
#include "Em_GnssNewBuild.h"
#include "Em_Gnss_Kinds.h"
#include "Em_OldFrames.h"
#include "Em_OldPointRecord.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// A level as the board reports it, as a whole percent: a word of at most 100 is the percent
// itself; a larger one is a float's bits (1.0 to 100.0 lie far above 100 read as integers),
// rounded.
long Percent(uint32_t word) {
    constexpr uint32_t kWholePercentMax = 100;
    if (word <= kWholePercentMax) {
        return static_cast<long>(word);
    }
    float level = 0.0f;
    std::memcpy(&level, &word, sizeof(level));
    if (!(level > 0.0f)) {
        return 0;
    }
    return std::lround(std::min(level, 100.0f));
}

// Device-setting codes of the old receiver.
constexpr unsigned char kChannelStatus = 0x2E;
constexpr unsigned char kMask = 0x32;
constexpr unsigned char kRecordType = 0x2A;
constexpr unsigned char kRecordTime = 0x2B;
constexpr unsigned char kRecordRate = 0x31;
constexpr unsigned char kOutput = 0x28;
constexpr unsigned char kStartType = 0x60;
constexpr unsigned char kTransmitPort = 0x3E;
constexpr unsigned char kTransmitFormat = 0x3F;
constexpr unsigned char kAutoBaseDist = 0x61;

// New-protocol message tags whose output rate the rate operations set.
constexpr uint16_t kPositionTag = 0x0410;
constexpr uint16_t kBubbleTag = 0x0411;

// Point-record types of the kinematic point commands.
constexpr int kStartPoint = 6;
constexpr int kEndPoint = 7;
constexpr int kAntennaPoint = 12;

Em_OldProtocol* Old_Object(Em_GnssProtocol* p) {
    return Is_Old_Receiver(p) ? dynamic_cast<Em_OldProtocol*>(p) : nullptr;
}

// Runs an old-protocol builder for any receiver of the maker. A new-protocol receiver's
// protocol object renders no old frames, so a scratch old object on the same link does; it
// has no board driver and no decoded state, which these builders do not read.
template <typename Op>
void Maker_Build(Em_GnssProtocol* p, Op op) {
    if (Em_OldProtocol* old = Old_Object(p)) {
        op(*old);
    } else if (Is_New_Receiver(p)) {
        auto renderer = std::make_unique<Em_OldProtocol>();
        renderer->Set_Com_Status(p->Get_Com_Status());
        op(*renderer);
    }
}

void Device_Setting(Em_GnssProtocol* p, Cmd_List& cmds, unsigned char code, unsigned value) {
    if (const Em_OldProtocol* old = Old_Object(p)) {
        const unsigned char record[2] = {code, static_cast<unsigned char>(value & 0xFFu)};
        old->Set_DevcInfo(cmds, record, sizeof record);
    }
}

// A point record for a new receiver: the old encoding sent as the file-record block. A null
// record or an encoding that fails sends nothing, so no block claims bytes it lacks.
void New_Point(Em_Gnss& gnss, Cmd_List& cmds, const void* record, std::size_t size, int type) {
    const Point_Record_Body body = Encode_PointInfo_Record(record, size, type);
    if (body.size == 0) {
        return;
    }
    const QX_BLOCK_DATA_STRUCT block = {body.size, body.bytes};
    gnss.Get_Cmd_File_Record_PPK(cmds, &block);
}

void New_Rate(Em_Gnss& gnss, Cmd_List& cmds, uint16_t tag, GNSS_FRQ rate) {
    const DataFreq entry = {tag, static_cast<uint16_t>(Frq_To_RateCode(rate))};
    gnss.Get_Cmd_Gnss_Data_Freq(cmds, entry, static_cast<QX_GNSS_IO_ID_ENUM>(0));
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
    // In double: the 32-bit product would wrap for values above 119,304,647.
    out.Words[5] = static_cast<int32_t>(static_cast<double>(b.v5) * 36 * 0.0001);
    out.Words[6] = static_cast<int32_t>(static_cast<double>(b.v6) * 36 * 0.0001);
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

void Em_Gnss::Get_DeviceInfo(Cmd_List& cmds) {
    Maker_Build(m_protocol, [&cmds](const Em_OldProtocol& old) { old.Get_DeviceInfo(cmds); });
}

void Em_Gnss::Get_Battery(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_Battery(cmds);
    } else if (Is_New_Receiver(m_protocol)) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x0304, nullptr}}, 0);
    }
}

void Em_Gnss::Get_CloseReceiver(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_CloseReceiver(cmds);
    } else if (Is_New_Receiver(m_protocol)) {
        Build_NewCommand(cmds, kNewSystem, {{0x0303, nullptr}}, 0x0303);
    }
}

void Em_Gnss::Get_200Data(Cmd_List& cmds, bool on) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_200Data(cmds, on);
    }
}

void Em_Gnss::Send_DevcInfo_Update_Str(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Send_DevcInfo_Update_Str(cmds);
    }
}

void Em_Gnss::Send_DevcInfo_Update_Crs(Cmd_List& cmds, unsigned a, const unsigned char* bytes) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Send_DevcInfo_Update_Crs(cmds, a, bytes);
    }
}

void Em_Gnss::Send_DevcInfo_Update_Crs(Cmd_List& cmds, unsigned a, const unsigned char* bytes,
                                       unsigned count) {
    // The block is always 128 bytes: a shorter buffer would be read past its end.
    constexpr unsigned kBlock = 128;
    if (count >= kBlock) {
        Send_DevcInfo_Update_Crs(cmds, a, bytes);
    }
}

void Em_Gnss::Set_DevcInfo_ChannelStatus(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kChannelStatus, value);
}
void Em_Gnss::Set_DevcInfo_Mask(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kMask, value);
}
void Em_Gnss::Set_DevcInfo_RrdTp(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kRecordType, value);
}
void Em_Gnss::Set_DevcInfo_RrdTime(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kRecordTime, value);
}
void Em_Gnss::Set_DevcInfo_RrdFrq(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kRecordRate, value);
}
void Em_Gnss::Set_DevcInfo_OutPut(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kOutput, value);
}
void Em_Gnss::Set_DevcInfo_StrtTp(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kStartType, value);
}
void Em_Gnss::Set_DevcInfo_TrsmtPort(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kTransmitPort, value);
}
void Em_Gnss::Set_DevcInfo_TrsmtFmat(Cmd_List& cmds, unsigned value) {
    Device_Setting(m_protocol, cmds, kTransmitFormat, value);
}

void Em_Gnss::Set_DevcInfo_AutoBaseDist(Cmd_List& cmds, unsigned short distance) {
    const unsigned char record[3] = {kAutoBaseDist, static_cast<unsigned char>(distance & 0xFFu),
                                     static_cast<unsigned char>((distance >> 8) & 0xFFu)};
    Maker_Build(m_protocol,
                [&](const Em_OldProtocol& old) { old.Set_DevcInfo(cmds, record, sizeof record); });
}

void Em_Gnss::Set_Static_Point(Cmd_List& cmds, const Static_Point* point) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Set_Static_Point(cmds, point);
    }
}

void Em_Gnss::Get_Cmd_Static_Point(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_Cmd_Static_Point(cmds);
    }
}

void Em_Gnss::Set_Static_AnteType(Cmd_List& cmds, const char* text) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Set_Static_AnteType(cmds, text);
    }
}

void Em_Gnss::Get_Cmd_Static_AntType(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_Cmd_Static_AntType(cmds);
    }
}

void Em_Gnss::Set_Static_Begin(Cmd_List& cmds, bool start) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Set_Static_Begin(cmds, start);
    }
}

void Em_Gnss::Set_Static_Begin(Cmd_List& cmds, bool start, unsigned short value) {
    Maker_Build(m_protocol,
                [&](const Em_OldProtocol& old) { old.Set_Static_Begin(cmds, start, value); });
}

void Em_Gnss::Get_Static_Point(Static_Point& out) {
    const Em_OldReceiver* old = Old_State(m_protocol);
    if (old == nullptr) {
        return;
    }
    const Em_OldStaticPoint& p = old->staticPoint;
    out.nameLength = p.nameLength;
    static_assert(sizeof(out.name) == sizeof(p.name), "static point name size");
    std::memcpy(out.name, p.name, sizeof(out.name));
    out.value = p.value;
    out.byteField = p.byte;
    out.method = p.method;
}

void Em_Gnss::Get_Cmd_StartPPKpt(Cmd_List& cmds, const StartPointInfo* point) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_Cmd_StartPPKpt(cmds, point);
    } else if (Is_New_Receiver(m_protocol)) {
        New_Point(*this, cmds, point, sizeof(StartPointInfo), kStartPoint);
    }
}

void Em_Gnss::Get_Cmd_EndPPKpt(Cmd_List& cmds, const EndPointInfo* point) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_Cmd_EndPPKpt(cmds, point);
    } else if (Is_New_Receiver(m_protocol)) {
        New_Point(*this, cmds, point, sizeof(EndPointInfo), kEndPoint);
    }
}

void Em_Gnss::Get_Cmd_AntPPKpt(Cmd_List& cmds, const AntPointInfo* point) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Get_Cmd_AntPPKpt(cmds, point);
    } else if (Is_New_Receiver(m_protocol)) {
        New_Point(*this, cmds, point, sizeof(AntPointInfo), kAntennaPoint);
    }
}

void Em_Gnss::Get_Cmd_EndPPKpt(const EndPointInfo* point, Cmd_List& cmds) {
    Get_Cmd_EndPPKpt(cmds, point);
}

void Em_Gnss::Get_Cmd_AntPPKpt(const AntPointInfo* point, Cmd_List& cmds) {
    Get_Cmd_AntPPKpt(cmds, point);
}

void Em_Gnss::Set_eBubble_frq(Cmd_List& cmds, GNSS_FRQ rate) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Set_eBubble_frq(cmds, rate);
    } else if (Is_New_Receiver(m_protocol)) {
        New_Rate(*this, cmds, kBubbleTag, rate);
    }
}

void Em_Gnss::Get_Cmd_Position_Frq(Cmd_List& cmds, GNSS_FRQ rate) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        // The selector is the rate code itself; selector 0 is the builder's elevation form,
        // which this operation has no elevation for, so it sends nothing.
        old->Get_Cmd_Position_Frq(cmds, static_cast<int>(rate));
    } else if (Is_New_Receiver(m_protocol)) {
        New_Rate(*this, cmds, kPositionTag, rate);
    }
}

void Em_Gnss::Set_eBubble_calibration(Cmd_List& cmds, bool on, int value) {
    if (const Em_OldProtocol* old = Old_Object(m_protocol)) {
        old->Set_eBubble_calibration(cmds, on, value);
    } else if (Is_New_Receiver(m_protocol)) {
        // Kind 1 switches the calibration on, 0 off; the value travels in 16 bits.
        QX_GSENSOR_VALID_PERIOD_STRUCT r{};
        r.kind = on ? 1 : 0;
        r.value = static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu);
        Get_Cmd_System_GSensor_Valid(cmds, r);
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
