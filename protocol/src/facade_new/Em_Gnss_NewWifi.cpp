// Em_Gnss: Wi-Fi commands and results of the new protocol.
#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

void Em_Gnss::Get_Cmd_WIFI_Param_AP(Cmd_List& cmds, const QX_WIFI_PARA_AP_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewWifi, 0x0A03, p);
    }
}

void Em_Gnss::Get_Cmd_WIFI_Mode(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewWifi, 0x0A04, p);
    }
}

void Em_Gnss::Get_Cmd_WIFI_Open(Cmd_List& cmds, bool open) {
    // Wi-Fi is the odd one out: the higher tag opens.
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewWifi, {{static_cast<uint16_t>(open ? 0x0A06 : 0x0A05), nullptr}},
                         0);
    }
}

void Em_Gnss::Get_Cmd_WIFI_Auto_Open(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewWifi, 0x0A07, p);
    }
}

void Em_Gnss::Get_Cmd_WIFI_Power_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewWifi), {{0x0A08, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_WIFI_Share(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewWifi, 0x0A09, p);
    }
}

void Em_Gnss::Get_Cmd_WIFI_Share_Auto(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewWifi, 0x0A0A, p);
    }
}

unsigned char Em_Gnss::Get_WIFI_Auto_Open() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.wifiAutoOpen : 0;
}

unsigned char Em_Gnss::Get_WIFI_Share() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.wifiShare : 0;
}

unsigned char Em_Gnss::Get_WIFI_Share_Auto() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.wifiShareAuto : 0;
}

void Em_Gnss::Get_WIFI_Mode(QX_WIFI_MODE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_WIFI_MODE_ENUM>(d->state.wifiMode);
    }
}

void Em_Gnss::Get_WIFI_Power_Status(QX_WIFI_POWER_STATUS_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_WIFI_POWER_STATUS_ENUM>(d->state.wifiPowerStatus);
    }
}

void Em_Gnss::Get_WIFI_Param_AP(QX_WIFI_PARA_AP_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.wifiAp;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
