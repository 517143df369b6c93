// Placeholder second NMEA-only board driver (type 6) until the real driver lands: the base
// behaviour, with a plain data parser and the base command builder.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNmea2 : public Em_OemBoard {
public:
    Em_OemNmea2();
};

}  // namespace BVParse
}  // namespace Brevan2011
