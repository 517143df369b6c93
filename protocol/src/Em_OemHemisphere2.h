// Placeholder second Hemisphere board driver (type 7) until the real driver lands: the base
// behaviour, with a plain data parser and the base command builder.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemHemisphere2 : public Em_OemBoard {
public:
    Em_OemHemisphere2();
};

}  // namespace BVParse
}  // namespace Brevan2011
