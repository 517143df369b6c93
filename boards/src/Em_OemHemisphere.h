// Hemisphere board (type 4): cuts the board's input into "$BIN" blocks, NMEA sentences and
// "$>J" reply lines and hands each to its decoder. Commands come from Em_OemHemisphereCmd,
// decoding from Em_OemHemisphereData.
#pragma once

#include "Em_OemBoardScan.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemHemisphereData;

class Em_OemHemisphere : public Em_OemScanBoard {
public:
    static constexpr int kReplyLimit = 300;  // a reply line longer than this is dropped

    Em_OemHemisphere();

    Em_OemHemisphereData* Hemisphere_Data() const;

protected:
    // Decodes every complete message in the input buffer and keeps an incomplete one at the
    // front; bad blocks and bytes that start nothing are skipped up to the next '$'. Leaves the
    // OR of the decoded messages' update bits; 1 when any was decoded.
    int Scan() override;
};

}  // namespace BVParse
}  // namespace Brevan2011
