#include "Em_OldProtocol.h"

#include "Em_BoardRegistry.h"

namespace Brevan2011 {
namespace BVParse {

Em_OldProtocol::Em_OldProtocol() : Em_GnssProtocol(2) {}

int Em_OldProtocol::Parse_Step() {
    return 0;
}

bool Em_OldProtocol::Create_Board(MAINBD_OEM_TYPE type) {
    Replace_Board(nullptr);
    int driver = MAINBD_NOVATEL;
    switch (type) {
        case MAINBD_STXETX:
        case MAINBD_NOVATEL:
        case MAINBD_COMENGINE:
        case MAINBD_HEMISPHERE:
        case MAINBD_HEMISPHERE2:
            driver = type;
            break;
        default:
            break;
    }
    Em_OemBoard* board = BVParse::Create_Board(driver);
    if (board != nullptr && board->Cmd() != nullptr) {
        board->Cmd()->Out_Port = 1;
    }
    Replace_Board(board);
    return true;
}

int Em_OldProtocol::Send_DiffDataToGnss(Cmd_List&, const unsigned char*, unsigned) {
    return 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
