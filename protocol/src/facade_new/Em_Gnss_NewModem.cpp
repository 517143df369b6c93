// Em_Gnss: modem commands and results of the new protocol.
#include <algorithm>
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// A text of at most 20 bytes: stops after its first zero byte and zero-fills the rest.
void CopyText20(char* dest, const char* src) {
    const char* end = static_cast<const char*>(std::memchr(src, 0, 20));
    const size_t n = end != nullptr ? static_cast<size_t>(end - src) : 20;
    std::memset(dest, 0, 20);
    std::memcpy(dest, src, n);
}

}  // namespace

void Em_Gnss::Get_Cmd_Modem_Dial(Cmd_List& cmds, bool on) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewModem, {{static_cast<uint16_t>(on ? 0x1405 : 0x1406), nullptr}},
                         0);
    }
}

void Em_Gnss::Get_Cmd_Modem_Power(Cmd_List& cmds, bool on) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewModem, {{static_cast<uint16_t>(on ? 0x1407 : 0x1408), nullptr}},
                         0);
    }
}

void Em_Gnss::Get_Cmd_Modem_Auto_Dial(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewModem, 0x1409, p);
    }
}

void Em_Gnss::Get_Cmd_Modem_Auto_Power_On(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewModem, 0x140A, p);
    }
}

void Em_Gnss::Get_Cmd_Modem_Dial_Param(Cmd_List& cmds, const QX_MODEM_DIAL_PARA_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewModem, 0x1403, p);
    }
}

void Em_Gnss::Get_Cmd_Modem_Dial_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewModem), {{0x1404, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Modem_Power_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewModem), {{0x140B, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_Modem_Signal_Intensity_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewModem), {{0x140C, nullptr}}, 0);
    } else if (Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_Signal(cmds);
    }
}

void Em_Gnss::Get_Cmd_Modem_Band_Mode(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewModem, 0x140D, p);
    }
}

void Em_Gnss::Get_Cmd_Modem_Work_Mode(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewModem, 0x140E, p);
    }
}

void Em_Gnss::Get_Cmd_Modem_CSD_Param(Cmd_List& cmds, const QX_MODEM_CSD_PARA_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewModem, 0x140F, p);
    }
}

void Em_Gnss::Get_Cmd_Modem_CSD_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewModem), {{0x1410, nullptr}}, 0);
    }
}

unsigned char Em_Gnss::Get_Modem_Auto_Dial() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.modemAutoDial : 0;
}

unsigned char Em_Gnss::Get_Modem_Auto_Power_On() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.modemAutoPowerOn : 0;
}

void Em_Gnss::Get_Modem_Power_Status(QX_MODEM_POWER_STATUS_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_MODEM_POWER_STATUS_ENUM>(d->state.modemPowerStatus);
    }
}

void Em_Gnss::Get_Modem_Band_Mode(QX_MODEM_BAND_MODE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_MODEM_BAND_MODE_ENUM>(d->state.modemBandMode);
    }
}

void Em_Gnss::Get_Modem_Work_Mode(QX_MODEM_WORK_MODE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_MODEM_WORK_MODE_ENUM>(d->state.modemWorkMode);
    }
}

void Em_Gnss::Get_Modem_Dial_Param(QX_MODEM_DIAL_PARA_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        for (int i = 0; i < 5; ++i) {
            CopyText20(out.text[i], d->state.modemDial.text[i]);
        }
    }
}

void Em_Gnss::Get_Modem_Dial_Status(QX_MODEM_DIAL_STATUS_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.modemDialStatus;
    }
}

void Em_Gnss::Get_Modem_Signal_Intensity(QX_MODEM_SIGNAL_INTENSITY_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.modemSignal;
    }
}

void Em_Gnss::Get_Modem_CSD_Param(QX_MODEM_CSD_PARA_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        CopyText20(out.number, d->state.modemCsd.number);
        out.mode = d->state.modemCsd.mode;
    }
}

void Em_Gnss::Get_Modem_CSD_Status(QX_MODEM_CSD_STATUS_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.modemCsdStatus;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
