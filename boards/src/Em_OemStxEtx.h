// STX/ETX packet board (type 1): cuts the board's input into STX/ETX packets (sum checked),
// NMEA sentences, RTCM 3 frames and binary correction packets and hands each to its decoder.
// Commands come from Em_OemStxEtxCmd, decoding from Em_OemStxEtxData.
#pragma once

#include "Em_FrameSpans.h"
#include "Em_OemBoardScan.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemStxEtxCmd;
class Em_OemStxEtxData;

class Em_OemStxEtx : public Em_OemScanBoard {
public:
    Em_OemStxEtx();

    Em_OemStxEtxCmd* StxEtx_Cmd() const;
    Em_OemStxEtxData* StxEtx_Data() const;

protected:
    // Decodes every complete message in the input buffer and keeps an incomplete one at the
    // front; a packet with a bad sum or bytes that start nothing are skipped up to the next
    // possible lead byte. Leaves the OR of the decoded messages' update bits; 1 when any was.
    int Scan() override;
};

}  // namespace BVParse
}  // namespace Brevan2011
