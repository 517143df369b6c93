// Protocol object of the maker's new binary protocol (maker 2, board 8). Until its chunk reader
// lands this is a placeholder: the parse step returns 0 and differential data builds nothing;
// the board factory is the real one.
#pragma once

#include "BVParse/Em_GnssProtocol.h"

namespace Brevan2011 {
namespace BVParse {

class Em_NewProtocol : public Em_GnssProtocol {
public:
    Em_NewProtocol();
    int Parse_Step() override;
    // Always the new-protocol board object, whatever the type; true.
    bool Create_Board(MAINBD_OEM_TYPE type) override;
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
