#include "Em_GnssNewBuild.h"

#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

void Build_NewCommand(Cmd_List& cmds, uint16_t operation, std::initializer_list<NewItem> items,
                      uint32_t commandId) {
    std::vector<NewItem> list;
    list.reserve(items.size() + 1);
    list.push_back({0x0001, &operation});
    list.insert(list.end(), items.begin(), items.end());
    Build_NewPacket(cmds, list, commandId);
}

void Build_NewSetOrQuery(Cmd_List& cmds, uint16_t setCode, uint16_t tag, const void* p) {
    Build_NewCommand(cmds, New_SetOrQueryCode(setCode, p), {{tag, p}}, tag);
}

Em_OemNewData* New_Data(Em_Gnss& gnss) {
    if (!gnss.IsVeltaNewProtocolReceiver()) {
        return nullptr;
    }
    // The board type says type 8; the cast guards against any other class claiming it.
    return dynamic_cast<Em_OemNewData*>(gnss.Get_Protocol()->Board()->Data());
}

Em_OldProtocol* Old_Protocol(Em_Gnss& gnss) {
    if (!gnss.IsVeltaOldProtocolReceiver()) {
        return nullptr;
    }
    return dynamic_cast<Em_OldProtocol*>(gnss.Get_Protocol());
}

}  // namespace BVParse
}  // namespace Brevan2011
