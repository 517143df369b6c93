// The new-protocol board (type 8): its command builder builds new-protocol packets, and its
// data parser decodes the items of the receiver's reply frames. The frames themselves are
// read by the new protocol object, which hands each item and each GGA sentence here.
#pragma once

#include <cstdint>

#include "Em_OemBoard.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNewProtocol : public Em_OemBoard {
public:
    Em_OemNewProtocol();
    ~Em_OemNewProtocol() override;

    // Replies are read by the protocol object's frame reader, not from the input buffer.
    int Parse() override;

    // One item of a reply frame to the data parser; non-zero when decoded.
    int Forward_NewItem(const uint8_t* value, uint16_t tag, uint32_t length);
    // A GGA sentence (tag 0x0408) to the data parser's sentence store.
    int Store_NewGgaText(const char* text, uint16_t tag, uint32_t length);

    // The data parser, or null when it could not be made.
    Em_OemNewData* NewData() const;
};

}  // namespace BVParse
}  // namespace Brevan2011
