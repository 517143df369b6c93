// Old-protocol modem and network queries.
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint32_t kQueryPause = 200;
constexpr unsigned char kAtSignal = 101;
constexpr unsigned char kAtSourceList = 116;

}  // namespace

void Em_OldProtocol::Get_Gprs_Signal(Cmd_List& cmds) const {
    _STR_CMD cmd = {};
    if (Pack_OldAtFrame(kAtSignal, nullptr, 0, cmd)) {
        cmd.pause = kQueryPause;
        cmds.push_back(cmd);
    }
}

void Em_OldProtocol::Get_Cmd_NetLink_Source_List_Query(Cmd_List& cmds) const {
    _STR_CMD at = {};
    _STR_CMD vm = {};
    if (!Pack_OldAtFrame(kAtSourceList, nullptr, 0, at) ||
        !Pack_OldFrame("VM,B1", vm, kOldKindCarrier)) {
        return;
    }
    at.pause = kQueryPause;
    vm.pause = kQueryPause;
    cmds.push_back(at);
    cmds.push_back(vm);
}

}  // namespace BVParse
}  // namespace Brevan2011
