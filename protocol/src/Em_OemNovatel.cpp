#include "Em_OemNovatel.h"

#include "Em_OemPlainData.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemNovatel::Em_OemNovatel() {
    Set_Board_Type(2);
    Set_Data(new Em_OemPlainData);
    Set_Cmd(new Em_OemCmd);
}

}  // namespace BVParse
}  // namespace Brevan2011
