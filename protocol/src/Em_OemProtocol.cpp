#include "Em_OemProtocol.h"

#include "Em_BoardRegistry.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemProtocol::Em_OemProtocol() : Em_GnssProtocol(1) {}

int Em_OemProtocol::Parse_Step() {
    return 0;
}

bool Em_OemProtocol::Create_Board(MAINBD_OEM_TYPE type) {
    switch (type) {
        case MAINBD_STXETX:
        case MAINBD_NOVATEL:
        case MAINBD_HEMISPHERE:
        case MAINBD_NMEA:
        case MAINBD_NMEA2:
            break;
        default:
            return false;
    }
    Replace_Board(nullptr);
    Em_OemBoard* board = BVParse::Create_Board(type);
    if (board != nullptr && board->Cmd() != nullptr) {
        board->Cmd()->Out_Port = type == MAINBD_NMEA ? 1 : 0;
    }
    Replace_Board(board);
    return true;
}

int Em_OemProtocol::Set_Gnss_SatUse(Cmd_List&, unsigned, bool, unsigned) {
    return 0;
}

int Em_OemProtocol::Send_DiffDataToGnss(Cmd_List&, const unsigned char*, unsigned) {
    return 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
