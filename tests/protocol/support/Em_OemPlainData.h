// A data parser with nothing of its own: decodes no binary message. For tests of the data-parser
// base and of the conversions that write one.
#pragma once

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {
namespace testing_support {

class Em_OemPlainData : public Em_OemData {
public:
    int Parse_Message(const unsigned char*, int, int) override { return 0; }
};

}  // namespace testing_support
}  // namespace BVParse
}  // namespace Brevan2011
