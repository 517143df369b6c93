#include "Em_OemHemisphere.h"

#include "Em_OemPlainData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemHemisphere::Em_OemHemisphere() {
    Set_Board_Type(4);
    Set_Data(new Em_OemPlainData);
    Set_Cmd(new Em_OemCmd);
}

}  // namespace BVParse
}  // namespace Brevan2011
