#include "Em_OemNmea.h"

#include "Em_OemPlainData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemNmea::Em_OemNmea() {
    Set_Board_Type(5);
    Set_Data(new Em_OemPlainData);
    Set_Cmd(new Em_OemCmd);
}

}  // namespace BVParse
}  // namespace Brevan2011
