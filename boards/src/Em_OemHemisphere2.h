// Second Hemisphere board (type 7): cuts the board's input into "$BIN" blocks, NMEA sentences,
// "$>J" reply lines, RTCM 3 frames and binary correction packets and hands each to its
// decoder. Commands come from Em_OemHemisphere2Cmd, decoding from Em_OemHemisphere2Data.
#pragma once

#include "Em_OemBoardScan.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemHemisphere2Data;

class Em_OemHemisphere2 : public Em_OemScanBoard {
public:
    static constexpr int kReplyLimit = 128;  // a reply line must end within this many bytes

    Em_OemHemisphere2();

    Em_OemHemisphere2Data* Hemisphere2_Data() const;

protected:
    // Decodes every complete message in the input buffer and keeps an incomplete one at the
    // front; bad blocks and bytes that start nothing are skipped up to the next lead byte.
    // Leaves the OR of the decoded messages' update bits; 1 when any was decoded.
    int Scan() override;
};

}  // namespace BVParse
}  // namespace Brevan2011
