// Em_Gnss modem and network operations: the old receiver's GPRS modem commands, the few that
// new receivers take as network-link packets, and the modem state the old receiver reported
// (the signal also for new receivers).
#include <algorithm>
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"
#include "Em_Gnss_Kinds.h"
#include "Em_OldFrames.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

void Em_Gnss::Set_Gprs_BaseId(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    if (!Is_Old_Receiver(m_protocol) || (bytes == nullptr && n != 0)) {
        return;
    }
    // An '@' frame carries at most 198 data bytes; a longer id would go out cut, with a wrong
    // length and check byte, so nothing is sent.
    if (n > kOldAtMaxData) {
        return;
    }
    _STR_CMD cmd;
    std::memset(&cmd, 0, sizeof(cmd));
    if (Pack_OldAtFrame(94, cmd.data, &cmd.length, n, bytes,
                        Old_LinkForm(m_protocol->Get_Com_Status()))) {
        cmd.pause = 200;
        cmds.push_back(cmd);
    }
}

int Em_Gnss::GetInfo_Gprs_Signa() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return old->wireless.signalValue;
    }
    if (const NewReceiverState* s = New_State(m_protocol)) {
        return s->modemSignal.level;
    }
    return -1;
}

int Em_Gnss::GetInfo_Gprs_Status() {
    const Em_OldReceiver* old = Old_State(m_protocol);
    return old ? old->wireless.gprsStatus : -1;
}

int Em_Gnss::GetInfo_Gprs_Eroinfo() {
    const Em_OldReceiver* old = Old_State(m_protocol);
    return old ? old->wireless.gprsError : -1;
}

int Em_Gnss::GetInfo_Gprs_CosMdl() {
    const Em_OldReceiver* old = Old_State(m_protocol);
    return old ? old->wireless.corsMode : -1;
}

double Em_Gnss::GetInfo_Gprs_Version() {
    const Em_OldReceiver* old = Old_State(m_protocol);
    return old ? old->wireless.modemVersion : -1.0;
}

void Em_Gnss::Get_Gprs_GetList(char* bytes, int* count) {
    const char* list = nullptr;
    size_t n = 0;
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        list = old->wireless.sourceList;
        n = static_cast<size_t>(std::max(0, std::min<int>(old->wireless.sourceListLength,
                                                          Em_OldWirelessRecord::kSourceListSize)));
    } else if (const NewReceiverState* s = New_State(m_protocol)) {
        list = reinterpret_cast<const char*>(s->netSourceList);
        n = std::min<size_t>(s->netSourceCount, sizeof(s->netSourceList));
    } else {
        return;
    }
    if (bytes != nullptr && n > 0) {
        std::memcpy(bytes, list, n);
    }
    if (count != nullptr) {
        *count = static_cast<int>(n);
    }
}

void Em_Gnss::Get_Gprs_DiffInfo(unsigned char* bytes, int* count) {
    const Em_OldReceiver* old = Old_State(m_protocol);
    // Exactly the stored count, which the store bounds at its 200 bytes.
    const int n = old ? std::max(0, std::min<int>(old->rxLength, sizeof(old->rxData))) : 0;
    if (bytes != nullptr && n > 0) {
        std::memcpy(bytes, old->rxData, static_cast<size_t>(n));
    }
    if (count != nullptr) {
        *count = n;
    }
}

namespace {

// Network-link items of the new protocol.
constexpr uint16_t kItemAddress = 0x1103;     // 4355
constexpr uint16_t kItemConnect = 0x1107;     // 4359
constexpr uint16_t kItemAutoOpen = 0x1109;    // 4361
constexpr uint16_t kItemDataSource = 0x110A;  // 4362
constexpr uint16_t kItemAccount = 0x110B;     // 4363

// The login record split into the new protocol's account and data-source items. The fields
// have the same sizes on both sides.
struct NewLogin {
    QX_ACCOUNT_STRUCT account;
    QX_CORS_DATA_SOURCE_STRUCT source;
    explicit NewLogin(const cors_info& info) {
        static_assert(sizeof(account.user) == sizeof(info.userName), "user name field");
        static_assert(sizeof(account.password) == sizeof(info.password), "password field");
        static_assert(sizeof(source.source) == sizeof(info.mountPoint), "mount point field");
        std::memcpy(account.user, info.userName, sizeof(account.user));
        std::memcpy(account.password, info.password, sizeof(account.password));
        std::memcpy(source.source, info.mountPoint, sizeof(source.source));
    }
};

}  // namespace

bool Em_Gnss::Send_Gprs_Version(Cmd_List& cmds) {
    const Em_OldProtocol* old = Old_Protocol(*this);
    return old != nullptr && old->Send_Gprs_Version(cmds);
}

void Em_Gnss::Get_Gprs_Info(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_Info(cmds);
    }
}

void Em_Gnss::Get_Gprs_Signal(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_Signal(cmds);
    }
}

void Em_Gnss::Get_Gprs_Status(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_Status(cmds);
    }
}

void Em_Gnss::Get_Gprs_Eroinfo(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_Eroinfo(cmds);
    }
}

void Em_Gnss::Get_Gprs_Reset(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_Reset(cmds);
    }
}

void Em_Gnss::Get_Gprs_CosMdl(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Gprs_CosMdl(cmds);
    }
}

void Em_Gnss::Set_Cors_Login(Cmd_List& cmds, const cors_info& info) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Cors_Login(cmds, info);
    } else if (IsVeltaNewProtocolReceiver()) {
        const NewLogin login(info);
        Build_NewCommand(cmds, kNewNetLink,
                         {{kItemAccount, &login.account},
                          {kItemDataSource, &login.source},
                          {kItemConnect, nullptr}},
                         kItemConnect);
    }
}

void Em_Gnss::Set_Gprs_Ip(Cmd_List& cmds, IP_ADRES ip, unsigned port, Protocol_Net protocol) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Gprs_Ip(cmds, ip, port, protocol);
        return;
    }
    if (!IsVeltaNewProtocolReceiver()) {
        return;
    }
    // The address item has room for one number, the port and one name. The port fills the
    // 16-bit value, as it does in the old frame. The name is the record's own (its count says
    // how many of its 32 bytes) and the flag says whether one follows; the address goes
    // first octet first, the order the old frame sends it in. The server protocol has its
    // own item (the server type), so it is not sent here.
    QX_IP_ADDRESS_STRUCT address;
    std::memset(&address, 0, sizeof(address));
    const uint32_t a = ip.address;
    address.address = (a & 0xFFu) << 24 | (a & 0xFF00u) << 8 | (a >> 8 & 0xFF00u) | a >> 24;
    address.port = static_cast<uint16_t>(port & 0xFFFFu);
    const size_t n =
        static_cast<size_t>(std::clamp<int32_t>(ip.count, 0, static_cast<int32_t>(sizeof ip.name)));
    address.flag = n > 0 ? 1 : 0;
    std::memcpy(address.name, ip.name, n);
    Build_NewCommand(cmds, kNewNetLink, {{kItemAddress, &address}}, kItemAddress);
}

void Em_Gnss::Set_Gprs_SvcInfo(Cmd_List& cmds, SvcInfo info) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Gprs_SvcInfo(cmds, info);
    }
}

void Em_Gnss::Set_GSM_NumInfo(Cmd_List& cmds, const char* text) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_GSM_NumInfo(cmds, text);
    }
}

void Em_Gnss::Set_Gprs_Modle(Cmd_List& cmds, Gprs_Modle mode) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Gprs_Modle(cmds, mode);
    }
}

void Em_Gnss::Set_Gprs_CosMdl(Cmd_List& cmds, unsigned mode) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Gprs_CosMdl(cmds, mode);
    }
}

void Em_Gnss::Send_Dial_Prtl(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Send_Dial_Prtl(cmds);
    }
}

void Em_Gnss::Set_Dial_Prtl(Cmd_List& cmds, unsigned value) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Dial_Prtl(cmds, value);
    }
}

void Em_Gnss::Send_Gprs_DiffInfo(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Send_Gprs_DiffInfo(cmds);
    }
}

void Em_Gnss::Set_Cors_Info_Auto(Cmd_List& cmds, const cors_info& info, unsigned kind) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Cors_Info_Auto(cmds, info, kind);
    } else if (IsVeltaNewProtocolReceiver()) {
        const NewLogin login(info);
        const uint8_t on = 1;
        Build_NewCommand(cmds, kNewNetLink,
                         {{kItemAccount, &login.account},
                          {kItemDataSource, &login.source},
                          {kItemAutoOpen, &on}},
                         kItemAutoOpen);
    }
}

void Em_Gnss::Send_Cors_Info_Auto(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Send_Cors_Info_Auto(cmds);
    } else if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(
            cmds, New_QueryCode(kNewNetLink),
            {{kItemAccount, nullptr}, {kItemDataSource, nullptr}, {kItemAutoOpen, nullptr}}, 0);
    }
}

void Em_Gnss::Send_Gprs_DisConct(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Send_Gprs_DisConct(cmds);
    } else if (IsVeltaNewProtocolReceiver()) {
        Get_Cmd_NetLink_Connect(cmds, false);
    }
}

void Em_Gnss::GetInfo_Gprs_Info(WirelessInfo& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->GetInfo_Gprs_Info(out);
    }
}

void Em_Gnss::Get_Cors_Info_Auto(cors_info& out, int& mode) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        out = old->wireless.autoLogin;
        mode = old->wireless.loginMode;
    }
}

void Em_Gnss::Get_Text_Lengths(Text_Lengths& out) {
    const Em_OldReceiver* old = Old_State(m_protocol);
    out = old ? old->wireless.reported : Text_Lengths{};
    if (old != nullptr) {
        out.callsign = old->radio.callsignLength;
    } else if (const Em_OemNewData* d = New_Data(*this)) {
        out.callsign = d->state.radioCallsignLength;
    }
}

unsigned Em_Gnss::Get_Dial_Prtl() {
    // '@' 103 asks for the dial protocol; its 'g' reply fills this word, which
    // holds -1 (all bits set) until then.
    const Em_OldReceiver* old = Old_State(m_protocol);
    return old ? static_cast<unsigned>(old->wireless.statusWord4) : 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
