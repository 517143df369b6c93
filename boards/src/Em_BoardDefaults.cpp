// The board driver of each main-board type as the library ships it.
#include "Em_BoardRegistry.h"
#include "Em_OemComEngine.h"
#include "Em_OemHemisphere.h"
#include "Em_OemHemisphere2.h"
#include "Em_OemNewProtocol.h"
#include "Em_OemNmea.h"
#include "Em_OemNmea2.h"
#include "Em_OemNovatel.h"
#include "Em_OemStxEtx.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemBoard* Create_Default_Board(int type) {
    switch (type) {
        case MAINBD_STXETX:
            return new Em_OemStxEtx;
        case MAINBD_NOVATEL:
            return new Em_OemNovatel;
        case MAINBD_COMENGINE:
            return new Em_OemComEngine;
        case MAINBD_HEMISPHERE:
            return new Em_OemHemisphere;
        case MAINBD_NMEA:
            return new Em_OemNmea;
        case MAINBD_NMEA2:
            return new Em_OemNmea2;
        case MAINBD_HEMISPHERE2:
            return new Em_OemHemisphere2;
        case MAINBD_NEWPROTOCOL:
            return new Em_OemNewProtocol;
        default:
            return nullptr;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
