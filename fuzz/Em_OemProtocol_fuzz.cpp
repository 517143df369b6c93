// Arbitrary board bytes through Em_Gnss(1, t) for every board type the OEM protocol object
// offers. Types 1, 2 and 4 get a fake driver that refuses or accepts each handed message by its
// length, so both outcomes of the hand-over are reached; types 5 and 6 run the NMEA boards.
#include <cstddef>
#include <cstdint>

#include "BVParse/Em_Gnss.h"
#include "Fuzz_Feed.h"
#include "Em_BoardRegistry.h"
#include "Em_OemData.h"

using namespace Brevan2011::BVParse;

namespace {

class Fuzz_Data : public Em_OemData {
public:
    int Parse_Message(const unsigned char*, int, int) override { return 1; }
};

class Fuzz_Board : public Em_OemBoard {
public:
    explicit Fuzz_Board(int type) {
        Set_Board_Type(type);
        Set_Data(new Fuzz_Data);
        Set_Cmd(new Em_OemCmd);
    }
    int Parse() override {
        const int n = Input()->Fill;
        Clear_Input();
        Data()->Update_Mask = static_cast<uint32_t>(n);
        return n % 3;
    }
};

const MAINBD_OEM_TYPE kTypes[] = {MAINBD_STXETX, MAINBD_NOVATEL, MAINBD_HEMISPHERE, MAINBD_NMEA,
                                  MAINBD_NMEA2};

unsigned long g_messages = 0;

void On_Data(Msg_Type, uint32_t, const void*) {
    ++g_messages;
}

struct Fakes {
    Fakes() {
        for (int type : {1, 2, 4}) {
            Register_Board(type, [type] { return new Fuzz_Board(type); });
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fakes fakes;
    const _CALLBACKS_RECEIVER callbacks{&On_Data, nullptr};
    for (MAINBD_OEM_TYPE type : kTypes) {
        Em_Gnss gnss(GNSS_MNFCTR_OEM, type);
        gnss.Reg_Callbacks(&callbacks, nullptr);
        Feed_In_Chunks(gnss, data, size);
    }
    return 0;
}
