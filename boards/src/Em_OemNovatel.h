// NovAtel main board (type 2): frames the board's input into NovAtel binary logs (CRC-32
// checked), NMEA sentences, RTCM 3 frames and 0x02 correction packets, and hands each to its
// decoder. Commands come from Em_OemNovatelCmd, decoding from Em_OemNovatelData.
#pragma once

#include "Em_OemBoardScan.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNovatelCmd;
class Em_OemNovatelData;

class Em_OemNovatel : public Em_OemScanBoard {
public:
    static constexpr int kMaxLog = 2048;  // a log must fit the input buffer
    static constexpr int kHeaderSize = 28;

    Em_OemNovatel();

    Em_OemNovatelCmd* Novatel_Cmd() const;
    Em_OemNovatelData* Novatel_Data() const;

protected:
    // Decodes every complete binary log, NMEA sentence, RTCM 3 frame and correction packet in
    // the input buffer and keeps an incomplete one at the front. Bytes that start no message
    // (a bad CRC or sum among them) are skipped up to the next possible lead byte.
    int Scan() override;
};

// Framing shared with the software-engine board: the length of the NovAtel binary log at p
// (n bytes available). > 0: a whole log of that many bytes whose CRC checks out; 0: the log is
// not complete yet; < 0: no log starts here (bad sync, header length, size or CRC).
int Novatel_Frame_Length(const unsigned char* p, int n);

// The scan step of a NovAtel binary log at p: a whole log with a good CRC goes to the data
// parser's slot 1 (a null parser decodes nothing); a bad one is skipped.
Scan_Step Novatel_Log_Step(Em_OemData* data, const unsigned char* p, int n);

}  // namespace BVParse
}  // namespace Brevan2011
