// Diagnostic dump of a command list on the standard output: per command "FS:<index>" and a
// line of its bytes as " 0x%02X".
#pragma once

#include <vector>

#include "BVParse/Em_GnssTypes.h"

namespace Brevan2011 {
namespace BVDevice {

void PrintCommands(const std::vector<BVParse::_STR_CMD>& cmds);

}  // namespace BVDevice
}  // namespace Brevan2011
