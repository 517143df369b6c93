// Second NMEA-only board driver (type 6): listens to "$GP", "$GL", "$GN" and "$BD" sentences
// and sends nothing. Handle_Frame forwards items to the data parser, which clears its update mask.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNmea2 : public Em_OemBoard {
public:
    Em_OemNmea2();

    int Parse() override;
    int Parse_Sentence(const unsigned char* sentence, int length) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
