// A protocol object whose parse step plays a script of (result, category, flag word) steps and
// returns 0 once the script runs out. It counts the bytes appended to its ring and can take any
// board driver, so tests drive Em_Gnss without a real protocol.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "BVParse/Em_GnssProtocol.h"
#include "Em_BoardRegistry.h"

namespace Brevan2011 {
namespace BVParse {
namespace testing_support {

struct Script_Step {
    int result;
    Msg_Type category;
    uint32_t flags;
};

class Scripted_Protocol : public Em_GnssProtocol {
public:
    explicit Scripted_Protocol(int kind, std::vector<Script_Step> script = {})
        : Em_GnssProtocol(kind), m_script(script.begin(), script.end()) {}

    int Parse_Step() override {
        ++Steps;
        if (m_script.empty()) {
            return 0;
        }
        const Script_Step step = m_script.front();
        m_script.pop_front();
        m_category = step.category;
        m_flags = step.flags;
        return step.result;
    }
    // Takes the registry's driver for the type, as the old protocol object would.
    bool Create_Board(MAINBD_OEM_TYPE type) override {
        Replace_Board(BVParse::Create_Board(type));
        ++Board_Requests;
        return Board() != nullptr;
    }
    int Send_DiffDataToGnss(Cmd_List&, const unsigned char*, unsigned) override { return 0; }

    void Give_Board(Em_OemBoard* board) { Replace_Board(board); }
    void Add_Steps(const std::vector<Script_Step>& steps) {
        m_script.insert(m_script.end(), steps.begin(), steps.end());
    }

    int Steps = 0;
    int Board_Requests = 0;

private:
    std::deque<Script_Step> m_script;
};

}  // namespace testing_support
}  // namespace BVParse
}  // namespace Brevan2011
