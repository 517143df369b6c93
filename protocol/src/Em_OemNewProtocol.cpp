#include "Em_OemNewProtocol.h"

#include "Em_OemPlainData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemNewProtocol::Em_OemNewProtocol() {
    Set_Board_Type(8);
    Set_Data(new Em_OemPlainData);
    Set_Cmd(new Em_OemCmd);
}

}  // namespace BVParse
}  // namespace Brevan2011
