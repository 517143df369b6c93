#pragma once

#include <atomic>
#include <string>

#include "BVParse/Em_GnssProtocol.h"

namespace varnok_test {

// A protocol object whose messages are "<n>" with n a decimal flag word: each complete one
// is reported as category 1 with flags n. Bytes outside the brackets are skipped.
class ScriptedProtocol : public Brevan2011::BVParse::Em_GnssProtocol {
public:
    // kindWord: 1 stands for the OEM protocol object, 2 for the maker's own.
    explicit ScriptedProtocol(int kindWord = 2);
    int Parse_Step() override;
    bool Create_Board(Brevan2011::BVParse::MAINBD_OEM_TYPE type) override;
    int Send_DiffDataToGnss(Brevan2011::BVParse::Cmd_List& cmds, const unsigned char* bytes,
                            unsigned n) override;

    static std::atomic<int> created;
};

// Makes every Em_Gnss built from now on use a ScriptedProtocol (false: the default choice).
void UseScriptedProtocol(bool on);

// "<n>" for n.
std::string scriptedRecord(unsigned long flags);

}  // namespace varnok_test
