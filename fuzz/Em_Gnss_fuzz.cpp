// Feeds the input through every (maker, board type) pairing that selects a distinct protocol
// object and board driver, cut into chunks whose sizes the input itself chooses.
#include <cstddef>
#include <cstdint>

#include "BVParse/Em_Gnss.h"
#include "Fuzz_Feed.h"

using namespace Brevan2011::BVParse;

namespace {

struct Pairing {
    GNSS_MANUFACTURER maker;
    MAINBD_OEM_TYPE board;
};

// OEM object: its five drivers and a type it refuses (no driver); old object: its five drivers
// and a type that falls back to NovAtel; new object.
const Pairing kPairings[] = {
    {GNSS_MNFCTR_OEM, MAINBD_STXETX},        {GNSS_MNFCTR_OEM, MAINBD_NOVATEL},
    {GNSS_MNFCTR_OEM, MAINBD_HEMISPHERE},    {GNSS_MNFCTR_OEM, MAINBD_NMEA},
    {GNSS_MNFCTR_OEM, MAINBD_NMEA2},         {GNSS_MNFCTR_OEM, MAINBD_COMENGINE},
    {GNSS_MNFCTR_VELTA, MAINBD_STXETX},      {GNSS_MNFCTR_VELTA, MAINBD_NOVATEL},
    {GNSS_MNFCTR_VELTA, MAINBD_COMENGINE},   {GNSS_MNFCTR_VELTA, MAINBD_HEMISPHERE},
    {GNSS_MNFCTR_VELTA, MAINBD_HEMISPHERE2}, {GNSS_MNFCTR_VELTA, MAINBD_NMEA},
    {GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL},
};

unsigned long g_messages = 0;

void On_Data(Msg_Type, uint32_t, const void*) {
    ++g_messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const _CALLBACKS_RECEIVER callbacks{&On_Data, nullptr};
    for (const Pairing& p : kPairings) {
        Em_Gnss gnss(p.maker, p.board);
        gnss.Reg_Callbacks(&callbacks, nullptr);
        Feed_In_Chunks(gnss, data, size);
    }
    return 0;
}
