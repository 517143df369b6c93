// Protocol object of the maker's old protocol ("$$" frames). Until its receive loop lands this
// is a placeholder: the parse step returns 0 and differential data builds nothing; the board
// factory is the real one.
#pragma once

#include "BVParse/Em_GnssProtocol.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OldProtocol : public Em_GnssProtocol {
public:
    Em_OldProtocol();
    int Parse_Step() override;
    // Types 1, 2, 3, 4 and 7 get their own driver, every other type the NovAtel one; the
    // builder's enable word becomes 1. Always true.
    bool Create_Board(MAINBD_OEM_TYPE type) override;
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
