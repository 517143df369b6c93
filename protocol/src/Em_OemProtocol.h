// Protocol object for receivers built on another maker's board (maker 1). Until its message
// readers land this is a placeholder: the parse step returns 0 and differential data builds
// nothing; the board factory is the real one.
#pragma once

#include "BVParse/Em_GnssProtocol.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemProtocol : public Em_GnssProtocol {
public:
    Em_OemProtocol();
    int Parse_Step() override;
    // Types 1, 2, 4, 5 and 6 replace the driver and return true; any other type keeps the
    // current driver and returns false.
    bool Create_Board(MAINBD_OEM_TYPE type) override;
    // This object has no satellite-use command.
    int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s) override;
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
