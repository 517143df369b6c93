// Em_Gnss: GNSS settings, data output and their results in the new protocol.
#include <algorithm>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_GnssNewBuild.h"
#include "Em_NewItemTable.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint16_t kIoTag = 0x0404;
constexpr unsigned kBaseListMax = 255;  // the entry count travels in one byte
constexpr double kOldPdopLimit = 5.0;
constexpr int kOldElevSystem = 4;

// A rate in the width its tag is sent with.
struct RateValue {
    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
};

}  // namespace

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmd_List& cmds, QX_DATA_FRQ_ENUM f) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t value = static_cast<uint16_t>(f);
        Build_NewCommand(cmds, kNewGnss, {{0x0403, &value}}, 0x0403);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmd_List& cmds, const std::vector<DataFreq>& list,
                                     QX_GNSS_IO_ID_ENUM io) {
    if (!IsVeltaNewProtocolReceiver()) {
        return;
    }
    const uint16_t operation = kNewGnss;
    const uint16_t port = static_cast<uint16_t>(io);
    // Sized once: the items point into it.
    std::vector<RateValue> rates(list.size());
    std::vector<NewItem> items;
    items.reserve(list.size() + 2);
    items.push_back({0x0001, &operation});
    if (static_cast<int32_t>(io) > 0) {
        items.push_back({kIoTag, &port});
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const DataFreq& e = list[i];
        RateValue& r = rates[i];
        r.u8 = static_cast<uint8_t>(e.rate);
        r.u16 = e.rate;
        r.u32 = e.rate;
        const NewTagInfo* info = Find_NewTag(e.tag);
        const void* value = &r.u16;
        if (info != nullptr) {
            switch (info->wire) {
                case NewWire::U8:
                    value = &r.u8;
                    break;
                case NewWire::U16:
                case NewWire::None:
                    break;
                case NewWire::U32:
                    value = &r.u32;
                    break;
                default:
                    return;  // a record tag cannot carry a rate
            }
        }
        items.push_back({e.tag, value});
    }
    Build_NewPacket(cmds, items, kNewGnss);
}

void Em_Gnss::Get_Cmd_Gnss_Data_Freq(Cmd_List& cmds, const DataFreq& entry, QX_GNSS_IO_ID_ENUM io) {
    Get_Cmd_Gnss_Data_Freq(cmds, std::vector<DataFreq>{entry}, io);
}

void Em_Gnss::Get_Cmd_Gnss_Data_Unlogall(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t port = static_cast<uint16_t>(io);
        Build_NewCommand(cmds, kNewGnss, {{kIoTag, &port}, {0x0454, nullptr}}, 0x0454);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Data_Configlist_Query(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t port = static_cast<uint16_t>(io);
        Build_NewCommand(cmds, New_QueryCode(kNewGnss), {{kIoTag, &port}, {0x0456, nullptr}},
                         0x0456);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Data_Configlist_Ex_Query(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t port = static_cast<uint16_t>(io);
        Build_NewCommand(cmds, New_QueryCode(kNewGnss), {{kIoTag, &port}, {0x045A, nullptr}},
                         0x045A);
    }
}

void Em_Gnss::Get_Cmd_Gnss_IO_ID(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t port = static_cast<uint16_t>(io);
        Build_NewCommand(cmds, kNewGnss, {{kIoTag, &port}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Gnss_IO_DiffData(Cmd_List& cmds, QX_GNSS_IO_ID_ENUM io,
                                       QX_GNSS_DIFF_TYPE_ENUM d) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t port = static_cast<uint16_t>(io);
        const uint16_t type = static_cast<uint16_t>(d);
        Build_NewCommand(cmds, kNewGnss, {{kIoTag, &port}, {0x0405, &type}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Gnss_ElevMask(Cmd_List& cmds, const unsigned char* p) {
    if (!IsVeltaManufacturer()) {
        return;
    }
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewGnss, 0x0451, p);
    } else if (p != nullptr) {
        m_protocol->Set_Gnss_ElevDgre(cmds, *p, kOldPdopLimit, kOldElevSystem);
    } else {
        m_protocol->Get_Gnss_ElevMask(cmds);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Pdop_Mask(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewGnss, 0x0450, p);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Diff_Type(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewGnss, 0x0405, p);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Base_Position(Cmd_List& cmds, const QX_GNSS_BASE_SET_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewGnss, 0x0452, p);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Sat_Enable(Cmd_List& cmds, const QX_GNSS_SATELLITE_ENABLE_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewGnss, 0x0455, p);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Current_Position_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewGnss), {{0x0410, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Base_Position_list(Cmd_List& cmds, const BASE_POS_LIST_STRUCT* p) {
    if (!IsVeltaNewProtocolReceiver()) {
        return;
    }
    // A count of 256 would wrap to 0 and empty the receiver's list: send nothing instead.
    if (p != nullptr && p->list.size() > kBaseListMax) {
        return;
    }
    Build_NewSetOrQuery(cmds, kNewGnss, 0x0457, p);
}

void Em_Gnss::Get_Cmd_Gnss_Data_Transfer(Cmd_List& cmds, const QX_DATA_TRANSFER_STRUCT* p,
                                         QX_GNSS_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t port = static_cast<uint16_t>(io);
        const uint16_t operation = New_SetOrQueryCode(kNewGnss, p);
        Build_NewCommand(cmds, operation, {{kIoTag, &port}, {0x0458, p}}, 0x0458);
    }
}

void Em_Gnss::Get_Cmd_Gnss_Data_Subscribe_Feature_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewGnss), {{0x0459, nullptr}}, 0x0459);
    }
}

int Em_Gnss::Get_Gnss_Pdop_Mask() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.pdopMask : -1;
}

int Em_Gnss::Get_Gnss_ElevMask() {
    // The board keeps the mask for every protocol; the new board decodes it from 0x0451.
    if (m_protocol == nullptr || m_protocol->Board() == nullptr) {
        return 0;
    }
    return m_protocol->Board()->Get_Status_Word();
}

int Em_Gnss::GetInfo_Gnss_ElevMask() {
    return Get_Gnss_ElevMask();
}

void Em_Gnss::Get_Gnss_Diff_Type(QX_GNSS_DIFF_TYPE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_GNSS_DIFF_TYPE_ENUM>(d->state.diffType);
    }
}

void Em_Gnss::Get_Gnss_Data_Configlist(QX_DATA_CONFIG_LIST& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.configList;
    }
}

void Em_Gnss::Get_Gnss_Data_Configlist_Ex(QX_DATA_CONFIG_LIST_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out.first = d->state.configListEx.first;
        out.list = d->state.configListEx.list;
    }
}

void Em_Gnss::Get_Gnss_Data_Subscribe_Feature(std::vector<DATA_FREQS_STRUCT>& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.subscriptions;
    }
}

void Em_Gnss::Get_Gnss_Base_Position(QX_GNSS_BASE_SET_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.baseSet;
    }
}

void Em_Gnss::Get_Gnss_Sat_Enable(QX_GNSS_SATELLITE_ENABLE_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.satEnable;
    }
}

void Em_Gnss::Get_Gnss_Base_Position_list(BASE_POS_LIST_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out.value = d->state.basePositions.value;
        out.limit = d->state.basePositions.limit;
        out.list = d->state.basePositions.list;
    }
}

void Em_Gnss::Get_Magnetometer_info(QX_GNSS_DAT_MAGNETIC_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.magnetic;
    }
}

void Em_Gnss::Get_Heading_Calibration_info(QX_GNSS_DAT_CALIBRATION_SAMPLE_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.headingCalibration;
    }
}

void Em_Gnss::Get_Tilt_Calibration_info(QX_GNSS_DAT_CALIBRATION_TILT_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.tiltCalibration;
    }
}

const unsigned char* Em_Gnss::Get_Gnss_Data_Buff(unsigned int& length) {
    if (m_protocol == nullptr || m_protocol->Board() == nullptr ||
        m_protocol->Board()->Data() == nullptr) {
        return nullptr;
    }
    const Em_OemData* data = m_protocol->Board()->Data();
    const int n = data->Gga_Len;
    length = n < 0 ? 0u : static_cast<unsigned int>(std::min(n, Em_OemData::kGgaTextSize));
    return reinterpret_cast<const unsigned char*>(data->Gga_Text);
}

const unsigned char* Em_Gnss::Get_NMEA_Data_Buff(unsigned int& length) {
    // Only the new-protocol board keeps a sentence buffer.
    const Em_OemNewData* d = New_Data(*this);
    if (d == nullptr) {
        return nullptr;
    }
    length = d->sentenceLength;
    return reinterpret_cast<const unsigned char*>(d->sentence);
}

}  // namespace BVParse
}  // namespace Brevan2011
