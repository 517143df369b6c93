// NMEA-only board driver (type 5): listens to "$GP" and "$GL" sentences and sends nothing.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNmea : public Em_OemBoard {
public:
    Em_OemNmea();

    // 0 while fewer than 3 bytes are buffered; the sentence step for an accepted talker;
    // otherwise the buffer is discarded and 1 returned.
    int Parse() override;
    int Parse_Sentence(const unsigned char* sentence, int length) override;
    // Handle_Frame does nothing on this board.
    int Handle_Frame(const unsigned char* frame, int id, int length) override;
};

// Parse step shared by the NMEA-only boards; `talkers` holds two-letter talker ids.
int Parse_Nmea_Talkers(Em_OemBoard& board, const char* const* talkers, int count);
// The same for one sentence already framed and checked, without copying it into the input
// buffer or scanning it again; through the buffer while that holds anything.
int Parse_Framed_Talkers(Em_OemBoard& board, const unsigned char* sentence, int length,
                         const char* const* talkers, int count);

}  // namespace BVParse
}  // namespace Brevan2011
