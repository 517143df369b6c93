// Input steps that the board drivers run over their 2,048-byte input buffer. Each consumes at
// most one message from the front of the buffer and keeps what follows it, so a caller runs
// a step again while it returns 1.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

// Dispatch id of an NMEA address field, closed by ',' or '*' ("GPGGA" 25, ... anything else -1).
int Nmea_Sentence_Id(const unsigned char* address, int length);

// Drops the buffered bytes before index `start` and moves the rest to the front of the
// buffer, zeroing what they leave behind; the read index becomes 0. The indexes must be sane.
void Keep_Input_From(OEM_INPUT_BUFFER& in, int start);

// One NMEA sentence from the front of the buffer to the data parser's Parse_Text_Msg.
// 1 when a sentence was decoded; 0 while it is incomplete, after a sentence with a wrong
// check was dropped, or after more than 300 bytes without a sentence end were thrown away.
int Parse_NmeaSentence(Em_OemBoard& board);

// One RTCM 3 frame from the front of the buffer, CRC-24Q checked, to the frame store's
// RTCM 3 decoder; its acceptance sets GNSS_FLAG_RTCM3. 1 when a frame was consumed; 0 while
// it is incomplete or after a frame with a bad CRC was thrown away.
int Parse_RtcmFrame(Em_OemBoard& board);

// The whole buffer to the data parser's Decode_Rtcm_Frame as one message, unchecked. Returns 1.
int Pass_RtcmMessage(Em_OemBoard& board);

}  // namespace BVParse
}  // namespace Brevan2011
