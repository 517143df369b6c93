#include "Em_OemNmea.h"

#include <cstring>
#include <new>

#include "Em_OemInputSteps.h"
#include "Em_OemNmeaData.h"

namespace Brevan2011 {
namespace BVParse {

int Parse_Nmea_Talkers(Em_OemBoard& board, const char* const* talkers, int count) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (in == nullptr || in->Read < 0 || in->Fill - in->Read < 3) {
        return 0;
    }
    const unsigned char* p = in->Data + in->Read;
    if (p[0] == '$') {
        for (int i = 0; i < count; ++i) {
            if (std::memcmp(p + 1, talkers[i], 2) == 0) {
                return Parse_NmeaSentence(board);
            }
        }
    }
    // Discarded input raises nothing: the caller reads the mask after every step that
    // returns 1, and must not see the previous message's bits again.
    if (Em_OemData* data = board.Data()) {
        data->Update_Mask = 0;
    }
    board.Clear_Input();
    return 1;
}

Em_OemNmea::Em_OemNmea() {
    Set_Board_Type(5);
    Set_Data(new (std::nothrow) Em_OemNmeaData);
    Set_Cmd(new (std::nothrow) Em_OemCmd);
}

int Em_OemNmea::Parse() {
    static const char* const kTalkers[] = {"GP", "GL"};
    return Parse_Nmea_Talkers(*this, kTalkers, 2);
}

int Em_OemNmea::Handle_Frame(const unsigned char*, int, int) {
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
