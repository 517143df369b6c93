#include "Em_OemNewProtocol.h"

#include <new>

#include "Em_OemNewCmd.h"

namespace Brevan2011 {
namespace BVParse {

Em_OemNewProtocol::Em_OemNewProtocol() {
    Set_Board_Type(MAINBD_NEWPROTOCOL);
    // A part that cannot be made stays null; its operations then do nothing.
    Set_Data(new (std::nothrow) Em_OemNewData);
    Set_Cmd(new (std::nothrow) Em_OemNewCmd);
}

Em_OemNewProtocol::~Em_OemNewProtocol() = default;

int Em_OemNewProtocol::Parse() {
    return 1;
}

Em_OemNewData* Em_OemNewProtocol::NewData() const {
    return static_cast<Em_OemNewData*>(Data());
}

int Em_OemNewProtocol::Forward_NewItem(const uint8_t* value, uint16_t tag, uint32_t length) {
    Em_OemNewData* data = NewData();
    return data ? data->Decode_NewItem(value, tag, length) : 0;
}

int Em_OemNewProtocol::Store_NewGgaText(const char* text, uint16_t tag, uint32_t length) {
    Em_OemNewData* data = NewData();
    return data ? data->Store_NewGgaText(text, tag, length) : 0;
}

}  // namespace BVParse
}  // namespace Brevan2011
