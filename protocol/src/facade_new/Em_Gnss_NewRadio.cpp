// Em_Gnss: internal radio commands and results of the new protocol.
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr unsigned int kDefaultAirBaud = 4800;

}  // namespace

void Em_Gnss::Get_Cmd_Radio_Frequency(Cmd_List& cmds, const float* p) {
    if (!IsVeltaNewProtocolReceiver()) {
        return;
    }
    // The receiver takes the float's own 32 bits.
    uint32_t bits = 0;
    if (p != nullptr) {
        std::memcpy(&bits, p, sizeof bits);
    }
    Build_NewSetOrQuery(cmds, kNewRadio, 0x0703, p != nullptr ? &bits : nullptr);
}

void Em_Gnss::Get_Cmd_Radio_Power(Cmd_List& cmds, const unsigned int* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0704, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Stepper(Cmd_List& cmds, const unsigned int* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0709, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Air_Baud(Cmd_List& cmds, const unsigned int* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x070B, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Protocol(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x070C, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Infolist_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewRadio), {{0x070D, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Radio_Power_On(Cmd_List& cmds, bool on) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewRadio, {{static_cast<uint16_t>(on ? 0x070E : 0x070F), nullptr}},
                         0);
    }
}

void Em_Gnss::Get_Cmd_Radio_Auto_Power_On(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0710, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Module_Type_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewRadio), {{0x0711, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Radio_Power_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewRadio), {{0x0712, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Radio_Channel_List_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewRadio), {{0x0713, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Radio_Property_Ex(Cmd_List& cmds, const QX_RADIO_PROPERTY_EX_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0714, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Channel_List_All_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewRadio), {{0x0715, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Radio_Sensitivity(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0716, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_FEC(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0717, p);
    }
}

void Em_Gnss::Get_Cmd_Radio_Callsign(Cmd_List& cmds, const QX_RADIO_CALLSIGN_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewRadio, 0x0718, p);
    }
}

float Em_Gnss::Get_Radio_Frequency() {
    const Em_OemNewData* d = New_Data(*this);
    if (d == nullptr) {
        return 0.0f;
    }
    // The stored word is the float's bit pattern, not a number to convert.
    float f;
    std::memcpy(&f, &d->state.radioFrequency, sizeof f);
    return f;
}

unsigned int Em_Gnss::Get_Radio_Power_V2() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.radioPower : 0;
}

unsigned int Em_Gnss::Get_Radio_Stepper() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.radioStepper : 0;
}

unsigned int Em_Gnss::Get_Radio_Air_Baud() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.radioAirBaud : kDefaultAirBaud;
}

unsigned char Em_Gnss::Get_Radio_Auto_Power_On() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.radioAutoPowerOn : 0;
}

unsigned char Em_Gnss::Get_Radio_Sensitivity() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.radioSensitivity : 0;
}

unsigned char Em_Gnss::Get_Radio_FEC() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.radioFec : 0;
}

void Em_Gnss::Get_Radio_Protocol(QX_RADIO_PROTOCOL_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_RADIO_PROTOCOL_ENUM>(d->state.radioProtocol);
    }
}

void Em_Gnss::Get_Radio_Module_Type(QX_RADIO_MODULE_TYPE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_RADIO_MODULE_TYPE_ENUM>(d->state.radioModuleType);
    }
}

void Em_Gnss::Get_Radio_Power_Status(QX_RADIO_POWER_STATUS_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_RADIO_POWER_STATUS_ENUM>(d->state.radioPowerStatus);
    }
}

void Em_Gnss::Get_Radio_Infolist(QX_RADIO_INFOLIST_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.radioInfo;
    }
}

void Em_Gnss::Get_Radio_Channel_List(QX_RADIO_CHANNEL_LIST_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.radioChannels;
    }
}

void Em_Gnss::Get_Radio_Channel_List_All(QX_RADIO_CHANNEL_LIST_EX_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out.list1 = d->state.radioChannelsEx.list1;
        out.list2 = d->state.radioChannelsEx.list2;
        out.list3 = d->state.radioChannelsEx.list3;
    }
}

void Em_Gnss::Get_Radio_Property_Ex(QX_RADIO_PROPERTY_EX_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.radioProperty;
        out.text[sizeof out.text - 1] = 0;
    }
}

void Em_Gnss::Get_Radio_Callsign(QX_RADIO_CALLSIGN_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.radioCallsign;
        out.text[sizeof out.text - 1] = 0;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
