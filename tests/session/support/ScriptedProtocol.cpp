#include "ScriptedProtocol.h"

#include "BVParse/Em_Gnss.h"

namespace varnok_test {

using namespace Brevan2011::BVParse;

std::atomic<int> ScriptedProtocol::created{0};

ScriptedProtocol::ScriptedProtocol(int kindWord) : Em_GnssProtocol(kindWord) {
    ++created;
}

int ScriptedProtocol::Parse_Step() {
    Em_RcvRing* ring = Ring();
    ring->Rewind();
    unsigned long value = 0;
    bool inRecord = false;
    unsigned char c = 0;
    while (ring->Read(&c, 1) == 1) {
        if (!inRecord) {
            if (c == '<') {
                inRecord = true;
                value = 0;
            } else {
                ring->Commit();  // skipped
            }
        } else if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<unsigned long>(c - '0');
        } else {
            ring->Commit();
            if (c == '>') {
                m_category = MSG_GNSS_DATA;
                m_flags = static_cast<uint32_t>(value);
                return 1;
            }
            inRecord = false;  // broken record: dropped
        }
    }
    ring->Rewind();  // an incomplete record waits for more bytes
    m_flags = 0;
    return 0;
}

bool ScriptedProtocol::Create_Board(MAINBD_OEM_TYPE) {
    return true;
}

int ScriptedProtocol::Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    return Split_Bytes(cmds, bytes, n, 100);
}

void UseScriptedProtocol(bool on) {
    if (on) {
        Em_Gnss::Set_Protocol_Factory([](Em_Protocol_Kind kind) -> Em_GnssProtocol* {
            return new ScriptedProtocol(kind == Em_Protocol_Kind::Oem ? 1 : 2);
        });
    } else {
        Em_Gnss::Set_Protocol_Factory({});
    }
}

std::string scriptedRecord(unsigned long flags) {
    return "<" + std::to_string(flags) + ">";
}

}  // namespace varnok_test
