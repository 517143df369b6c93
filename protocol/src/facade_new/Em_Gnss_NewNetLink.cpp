// Em_Gnss: network link commands and results of the new protocol.
#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

void Em_Gnss::Get_Cmd_NetLink_Auto_Open(Cmd_List& cmds, const unsigned char* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewNetLink, 0x1109, p);
    }
}

void Em_Gnss::Get_Cmd_NetLink_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewNetLink), {{0x1105, nullptr}}, 0x1105);
    }
}

void Em_Gnss::Get_Cmd_NetLink_Source_List_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewNetLink), {{0x1106, nullptr}}, 0x1106);
    } else if (Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_NetLink_Source_List_Query(cmds);
    }
}

void Em_Gnss::Send_Gprs_GetList(Cmd_List& cmds) {
    Get_Cmd_NetLink_Source_List_Query(cmds);
}

void Em_Gnss::Get_Cmd_NetLink_Address(Cmd_List& cmds, const QX_IP_ADDRESS_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewNetLink, 0x1103, p);
    }
}

void Em_Gnss::Get_Cmd_NetLink_Server_Type(Cmd_List& cmds, const unsigned short* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewNetLink, 0x1104, p);
    }
}

void Em_Gnss::Get_Cmd_NetLink_Data_Source(Cmd_List& cmds, const QX_CORS_DATA_SOURCE_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewNetLink, 0x110A, p);
    }
}

void Em_Gnss::Get_Cmd_NetLink_Account(Cmd_List& cmds, const QX_ACCOUNT_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewSetOrQuery(cmds, kNewNetLink, 0x110B, p);
    }
}

void Em_Gnss::Get_Cmd_NetLink_Connect(Cmd_List& cmds, bool connect) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t tag = connect ? 0x1107 : 0x1108;
        Build_NewCommand(cmds, kNewNetLink, {{tag, nullptr}}, tag);
    }
}

unsigned char Em_Gnss::Get_NetLink_Auto_Open() {
    if (const Em_OemNewData* d = New_Data(*this)) {
        return d->state.netAutoOpen;
    }
    // An old receiver answers with its CORS mode word, set by the 'j' reply.
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        return static_cast<unsigned char>(old->Receiver().wireless.corsMode & 0xFF);
    }
    return 0;
}

void Em_Gnss::Get_NetLink_Server_Type(QX_NETLINK_SERVER_TYPE_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_NETLINK_SERVER_TYPE_ENUM>(d->state.netServerType);
    }
}

void Em_Gnss::Get_NetLink_Status(QX_NETLINK_STATUS_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.netStatus;
    }
}

void Em_Gnss::Get_NetLink_Address(QX_IP_ADDRESS_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.netAddress;
    }
}

void Em_Gnss::Get_NetLink_Data_Source(QX_CORS_DATA_SOURCE_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.netDataSource;
    }
}

void Em_Gnss::Get_NetLink_Account(QX_ACCOUNT_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.netAccount;
    }
}

void Em_Gnss::Get_NetLink_Source_List(const unsigned char* /*list*/, unsigned int& length) {
    // Length only: the bytes reach the program through Get_Gprs_GetList.
    const Em_OemNewData* d = New_Data(*this);
    length = d ? d->state.netSourceCount : 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
