// Data parser of the placeholder board drivers: decodes no binary message.
#pragma once

#include "Em_OemData.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemPlainData : public Em_OemData {
public:
    int Parse_Message(const unsigned char* frame, int id, int length) override;
};

}  // namespace BVParse
}  // namespace Brevan2011
