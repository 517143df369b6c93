// Em_Gnss modem and network operations: the base station id for the receiver's modem and the
// modem state the old receiver reported (the signal also for new receivers).
#include <algorithm>
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_Gnss_Kinds.h"
#include "Em_OldFrames.h"

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

}  // namespace BVParse
}  // namespace Brevan2011
