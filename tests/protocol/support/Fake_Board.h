// Test doubles for the board-driver base: a command builder whose slots append recognisable
// texts ("cmd <slot> ...") and a board whose parse step returns scripted results and leaves
// scripted update masks.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {
namespace testing_support {

// Text of a command record.
inline std::string Cmd_Text(const _STR_CMD& cmd) {
    return std::string(reinterpret_cast<const char*>(cmd.data), cmd.length);
}

class Spy_Cmd : public Em_OemCmd {
public:
    int Get_Gnss_Inite(Cmd_List& c) override { return Put(c, "cmd 1"); }
    int Set_Gnss_PosFrq(Cmd_List& c, GNSS_FRQ r) override {
        return Put(c, "cmd 2 " + std::to_string(r));
    }
    int Send_Gnss_Obs(Cmd_List& c, GNSS_FRQ r) override {
        return Put(c, "cmd 3 " + std::to_string(r));
    }
    int Send_Gnss_Ephemeris(Cmd_List& c, GNSS_FRQ) override { return Put(c, "cmd 4"); }
    int Send_Gnss_EphemSat(Cmd_List& c, unsigned s) override {
        return Put(c, "cmd 5 " + std::to_string(s));
    }
    int Set_Gnss_ElevDgre(Cmd_List& c, int e, int sys) override {
        return Put(c, "cmd 6 " + std::to_string(e) + " " + std::to_string(sys));
    }
    int Set_Gnss_SatUse(Cmd_List& c, unsigned sat, bool use, unsigned s) override {
        return Put(c, "cmd 7 " + std::to_string(sat) + " " + std::to_string(use) + " " +
                          std::to_string(s));
    }
    int Set_Gnss_Nmea(Cmd_List& c, unsigned long m, GNSS_FRQ r) override {
        return Put(c, "cmd 8 " + std::to_string(m) + " " + std::to_string(r));
    }
    int Set_Nmea_List(Cmd_List& c, const std::vector<_set_nmea>& l) override {
        return Put(c, "cmd 9 " + std::to_string(l.size()));
    }
    int Get_Gnss_ElevMask(Cmd_List& c) override { return Put(c, "cmd 10"); }
    int Send_Gnss_UnlogData(Cmd_List& c) override { return Put(c, "cmd 11"); }
    int Get_Gnss_StartBase(Cmd_List& c) override { return Put(c, "cmd 12"); }
    int Get_Gnss_StartRover(Cmd_List& c) override { return Put(c, "cmd 13"); }
    int Get_Gnss_Reset(Cmd_List& c) override { return Put(c, "cmd 14"); }
    int Get_Cmd_PassCom(Cmd_List& c, int v) override {
        return Put(c, "cmd 15 " + std::to_string(v));
    }

private:
    int Put(Cmd_List& c, const std::string& text) {
        Add_Text(c, text, 50);
        return 100 + static_cast<int>(c.size());
    }
};

class Script_Data : public Em_OemData {
public:
    int Parse_Message(const unsigned char*, int id, int) override { return id; }
};

// A board whose parse step returns the scripted results in turn (0 once they run out), each
// leaving its update mask in the data parser.
class Scripted_Board : public Em_OemBoard {
public:
    explicit Scripted_Board(int type, std::vector<std::pair<int, uint32_t>> script = {})
        : m_script(script.begin(), script.end()) {
        Set_Board_Type(type);
        Set_Data(new Script_Data);
        Set_Cmd(new Spy_Cmd);
    }
    int Parse() override {
        ++Parse_Calls;
        if (m_script.empty()) {
            return 0;
        }
        auto step = m_script.front();
        m_script.pop_front();
        Data()->Update_Mask = step.second;
        return step.first;
    }
    int Parse_Calls = 0;

private:
    std::deque<std::pair<int, uint32_t>> m_script;
};

}  // namespace testing_support
}  // namespace BVParse
}  // namespace Brevan2011
