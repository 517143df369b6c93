// Placeholder new-protocol board driver (type 8) until the real driver lands: the base behaviour,
// with a plain data parser and the base command builder.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNewProtocol : public Em_OemBoard {
public:
    Em_OemNewProtocol();
};

}  // namespace BVParse
}  // namespace Brevan2011
