#include "Em_OemComEngine.h"

#include "Em_FrameSpans.h"
#include "Em_OemBoardScan.h"
#include "Em_OemComEngineCmd.h"
#include "Em_OemComEngineData.h"
#include "Em_OemNovatel.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemComEngine::Em_OemComEngine() {
    Set_Board_Type(MAINBD_COMENGINE);
    Set_Data(new Em_OemComEngineData);
    Set_Cmd(new Em_OemComEngineCmd);
}

Em_OemComEngineData* Em_OemComEngine::Engine_Data() const {
    return static_cast<Em_OemComEngineData*>(Data());
}

int Em_OemComEngine::Get_Gnss_StartRover(Cmd_List& cmds) {
    const int r = Em_OemBoard::Get_Gnss_StartRover(cmds);
    if (Em_OemComEngineData* data = Engine_Data()) {
        data->Start_Engine();
    }
    return r;
}

int Em_OemComEngine::Scan() {
    Em_OemComEngineData* data = Engine_Data();
    int decoded = Scan_Input(*this, {0xAA, '$'}, [data](const unsigned char* p, int n) {
        if (p[0] == 0xAA) {
            return Novatel_Log_Step(data, p, n);
        }
        if (Is_Nmea_Lead(p, false)) {
            return Nmea_Step(data, p, n);
        }
        return Scan_Step::Skip_Byte();
    });
    if (data != nullptr) {
        if (decoded == 0) {
            data->Update_Mask = 0;
        }
        if (data->Apply_Pending_Solution()) {
            decoded = 1;
        }
    }
    return decoded;
}

}  // namespace BVParse
}  // namespace Brevan2011
