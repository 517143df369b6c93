#include "Em_OemHemisphere2.h"

#include "Em_OemPlainData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemHemisphere2::Em_OemHemisphere2() {
    Set_Board_Type(7);
    Set_Data(new Em_OemPlainData);
    Set_Cmd(new Em_OemCmd);
}

}  // namespace BVParse
}  // namespace Brevan2011
