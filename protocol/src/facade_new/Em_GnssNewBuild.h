// Shared steps of the Em_Gnss new-protocol builders and readers: one function builds any
// command from its operation code, items and command id, so each builder is one table row.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "BVParse/Em_GnssTypes.h"
#include "BVParse/Em_NewPacket.h"

namespace Brevan2011 {
namespace BVParse {

class Em_Gnss;
class Em_OemNewData;
class Em_OldProtocol;

// Set codes of the feature groups; the query code is the set code plus 1.
constexpr uint16_t kNewComPort = 0x02;
constexpr uint16_t kNewSystem = 0x0A;
constexpr uint16_t kNewGnss = 0x0E;
constexpr uint16_t kNewRadio = 0x16;
constexpr uint16_t kNewWifi = 0x22;
constexpr uint16_t kNewFileRecord = 0x26;
constexpr uint16_t kNewModem = 0x2A;
constexpr uint16_t kNewNetLink = 0x2E;
constexpr uint16_t kNewDataLink = 0x32;

constexpr uint16_t New_QueryCode(uint16_t setCode) {
    return static_cast<uint16_t>(setCode + 1);
}

// The set code when a value is given, the query code when it is not.
constexpr uint16_t New_SetOrQueryCode(uint16_t setCode, const void* p) {
    return p != nullptr ? setCode : New_QueryCode(setCode);
}

// One packet: the operation item, then the items in order, under the command id.
void Build_NewCommand(Cmd_List& cmds, uint16_t operation, std::initializer_list<NewItem> items,
                      uint32_t commandId);

// The set-or-query row: the set code with the value when p is given, the query code with an
// empty item when it is null; the command id is the tag either way.
void Build_NewSetOrQuery(Cmd_List& cmds, uint16_t setCode, uint16_t tag, const void* p);

// The new-protocol board's data parser when the receiver speaks the new protocol; else null.
Em_OemNewData* New_Data(Em_Gnss& gnss);

// The old protocol object when the receiver speaks the old protocol; else null.
Em_OldProtocol* Old_Protocol(Em_Gnss& gnss);

}  // namespace BVParse
}  // namespace Brevan2011
