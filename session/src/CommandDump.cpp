#include "BVDevice/CommandDump.h"

#include <algorithm>
#include <cstdio>

namespace Brevan2011 {
namespace BVDevice {

void PrintCommands(const std::vector<BVParse::_STR_CMD>& cmds) {
    for (std::size_t i = 0; i < cmds.size(); ++i) {
        std::printf("FS:%d\n", static_cast<int>(i));
        const unsigned int length = std::min<unsigned int>(cmds[i].length, sizeof(cmds[i].data));
        for (unsigned int b = 0; b < length; ++b) {
            std::printf(" 0x%02X", cmds[i].data[b]);
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

}  // namespace BVDevice
}  // namespace Brevan2011
