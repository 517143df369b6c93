#include "Em_NewProtocol.h"

#include "Em_BoardRegistry.h"

namespace Brevan2011 {
namespace BVParse {

Em_NewProtocol::Em_NewProtocol() : Em_GnssProtocol(2) {}

int Em_NewProtocol::Parse_Step() {
    return 0;
}

bool Em_NewProtocol::Create_Board(MAINBD_OEM_TYPE) {
    Replace_Board(nullptr);
    Replace_Board(BVParse::Create_Board(MAINBD_NEWPROTOCOL));
    return true;
}

int Em_NewProtocol::Send_DiffDataToGnss(Cmd_List&, const unsigned char*, unsigned) {
    return 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
