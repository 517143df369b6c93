// Placeholder COM-engine board driver (type 3) until the real driver lands: the base behaviour,
// with a plain data parser and the base command builder.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemComEngine : public Em_OemBoard {
public:
    Em_OemComEngine();
};

}  // namespace BVParse
}  // namespace Brevan2011
