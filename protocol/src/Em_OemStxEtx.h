// Placeholder STX/ETX packet board driver (type 1) until the real driver lands: the base behaviour,
// with a plain data parser and the base command builder.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemStxEtx : public Em_OemBoard {
public:
    Em_OemStxEtx();
};

}  // namespace BVParse
}  // namespace Brevan2011
