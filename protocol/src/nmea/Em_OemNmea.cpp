#include "Em_OemNmea.h"

#include <cstring>
#include <new>

#include "Em_OemInputSteps.h"
#include "Em_OemNmeaData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

bool Has_Talker(const unsigned char* p, const char* const* talkers, int count) {
    if (p[0] == '$') {
        for (int i = 0; i < count; ++i) {
            if (std::memcmp(p + 1, talkers[i], 2) == 0) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int Parse_Nmea_Talkers(Em_OemBoard& board, const char* const* talkers, int count) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (in == nullptr || in->Read < 0 || in->Fill - in->Read < 3) {
        return 0;
    }
    if (Has_Talker(in->Data + in->Read, talkers, count)) {
        return Parse_NmeaSentence(board);
    }
    // Discarded input raises nothing: the caller reads the mask after every step that
    // returns 1, and must not see the previous message's bits again.
    if (Em_OemData* data = board.Data()) {
        data->Update_Mask = 0;
    }
    board.Clear_Input();
    return 1;
}

int Parse_Framed_Talkers(Em_OemBoard& board, const unsigned char* sentence, int length,
                         const char* const* talkers, int count) {
    const OEM_INPUT_BUFFER* in = board.Input();
    // Bytes already buffered would be parsed first; short input waits in the buffer.
    if (sentence == nullptr || length < 3 || length > OEM_INPUT_BUFFER::kSize || in == nullptr ||
        in->Fill != 0 || in->Read != 0) {
        board.Add_Data(sentence, length);
        return board.Parse();
    }
    Em_OemData* data = board.Data();
    if (!Has_Talker(sentence, talkers, count)) {
        if (data != nullptr) {
            data->Update_Mask = 0;
        }
        return 1;
    }
    if (data != nullptr) {
        data->Parse_Text_Msg(Nmea_Sentence_Id(sentence + 1, length - 1), sentence, length);
    }
    return 1;
}

Em_OemNmea::Em_OemNmea() {
    Set_Board_Type(5);
    Set_Data(new (std::nothrow) Em_OemNmeaData);
    Set_Cmd(new (std::nothrow) Em_OemCmd);
}

namespace {
const char* const kTalkers[] = {"GP", "GL"};
}  // namespace

int Em_OemNmea::Parse() {
    return Parse_Nmea_Talkers(*this, kTalkers, 2);
}

int Em_OemNmea::Parse_Sentence(const unsigned char* sentence, int length) {
    return Parse_Framed_Talkers(*this, sentence, length, kTalkers, 2);
}

int Em_OemNmea::Handle_Frame(const unsigned char*, int, int) {
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
