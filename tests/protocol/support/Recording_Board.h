// A board driver that keeps every message the protocol object hands it, byte-exact, and answers
// with a scripted result and update mask. Register it for a board type with
// Scoped_Board_Registration so Em_Gnss(1, t) makes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Em_BoardRegistry.h"
#include "support/Fake_Board.h"

namespace Brevan2011 {
namespace BVParse {
namespace testing_support {

class Recording_Board : public Em_OemBoard {
public:
    explicit Recording_Board(int type, int result = 1, uint32_t flags = 0x1000)
        : Result(result), Flags(flags) {
        Set_Board_Type(type);
        Set_Data(new Script_Data);
        Set_Cmd(new Spy_Cmd);
    }
    // Takes the whole input buffer as one message.
    int Parse() override {
        const OEM_INPUT_BUFFER* in = Input();
        Messages.emplace_back(reinterpret_cast<const char*>(in->Data),
                              static_cast<size_t>(in->Fill));
        Clear_Input();
        Data()->Update_Mask = Flags;
        return Result;
    }

    int Result;
    uint32_t Flags;
    std::vector<std::string> Messages;
};

// Registers Recording_Board for a type while it lives.
class Scoped_Recording_Board {
public:
    explicit Scoped_Recording_Board(int type, int result = 1, uint32_t flags = 0x1000)
        : m_scope(type,
                  [type, result, flags] { return new Recording_Board(type, result, flags); }) {}

private:
    Scoped_Board_Registration m_scope;
};

}  // namespace testing_support
}  // namespace BVParse
}  // namespace Brevan2011
