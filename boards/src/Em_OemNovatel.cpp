#include "Em_OemNovatel.h"

#include <cstring>

#include "Em_Crc.h"
#include "Em_OemBoardScan.h"
#include "Em_NovatelFields.h"
#include "Em_OemInputSteps.h"
#include "Em_OemNovatelCmd.h"
#include "Em_OemNovatelData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr int kNmeaLimit = 300;  // the NMEA step gives up on a sentence this long

// Bytes that may open a message: a binary log, an NMEA sentence, an RTCM 3 frame, a 0x02
// correction packet.
struct Lead_Table {
    bool lead[256];
    constexpr Lead_Table() : lead() {
        lead[0xAA] = true;
        lead[static_cast<unsigned char>('$')] = true;
        lead[0xD3] = true;
        lead[0x02] = true;
    }
};
constexpr Lead_Table kLeads;

// Offset of the next possible lead byte after p[0], or n when there is none.
int Next_Lead(const unsigned char* p, int n) {
    int i = 1;
    while (i < n && !kLeads.lead[p[i]]) {
        ++i;
    }
    return i;
}

bool Is_Nmea_Lead(const unsigned char* p) {
    return (p[1] == 'G' && (p[2] == 'P' || p[2] == 'L' || p[2] == 'N')) ||
           (p[1] == 'B' && p[2] == 'D');
}

// Whether the NMEA step can find a sentence end within its limit; without one it would empty
// the whole input, logs behind the false '$' included.
bool Nmea_End_Within_Limit(const unsigned char* p, int n) {
    const int limit = n < kNmeaLimit ? n : kNmeaLimit;
    for (int i = 3; i + 5 < limit; ++i) {
        if (p[i] == '*' || p[i] == '\r' || p[i] == '\n') {
            return true;
        }
    }
    return false;
}

}  // namespace

int Novatel_Frame_Length(const unsigned char* p, int n) {
    if (p == nullptr || n < 3) {
        return 0;
    }
    if (p[0] != 0xAA || p[1] != 0x44 || p[2] != 0x12) {
        return -1;
    }
    if (n < 4) {
        return 0;
    }
    if (p[3] != Em_OemNovatel::kHeaderSize) {
        return -1;
    }
    if (n < 10) {
        return 0;
    }
    const int total = Em_OemNovatel::kHeaderSize + Novatel::U16(p + 8) + 4;
    if (total > Em_OemNovatel::kMaxLog) {
        return -1;
    }
    if (n < total) {
        return 0;
    }
    return Check_Crc32(p, total) ? total : -1;
}

Em_OemNovatel::Em_OemNovatel() {
    Set_Board_Type(MAINBD_NOVATEL);
    Set_Data(new Em_OemNovatelData);
    Set_Cmd(new Em_OemNovatelCmd);
}

Em_OemNovatelCmd* Em_OemNovatel::Novatel_Cmd() const {
    return static_cast<Em_OemNovatelCmd*>(Cmd());
}

Em_OemNovatelData* Em_OemNovatel::Novatel_Data() const {
    return static_cast<Em_OemNovatelData*>(Data());
}

int Em_OemNovatel::Parse() {
    uint32_t flags = m_pendingFlags;
    bool decoded = m_pendingDecoded;
    m_pendingFlags = 0;
    m_pendingDecoded = false;
    if (Step(&flags)) {
        decoded = true;
    }
    if (decoded && Data() != nullptr) {
        Data()->Update_Mask = flags;
    }
    return decoded ? 1 : 0;
}

void Em_OemNovatel::Add_Data(const unsigned char* bytes, int count) {
    Add_Input_Making_Room(*this, bytes, count, [this] {
        uint32_t flags = 0;
        if (Step(&flags)) {
            m_pendingDecoded = true;
            m_pendingFlags |= flags;
        }
    });
}

bool Em_OemNovatel::Step(uint32_t* flagsOut) {
    OEM_INPUT_BUFFER* in = Input();
    if (in == nullptr) {
        return false;
    }
    if (in->Read < 0 || in->Fill < in->Read || in->Fill > OEM_INPUT_BUFFER::kSize) {
        Clear_Input();
        return false;
    }
    Em_OemData* data = Data();
    uint32_t flags = 0;
    bool decoded = false;
    int pos = in->Read;
    for (;;) {
        const int n = in->Fill - pos;
        if (n < 3) {
            break;
        }
        const unsigned char* p = in->Data + pos;
        if (p[0] == 0xAA) {
            const int len = Novatel_Frame_Length(p, n);
            if (len == 0) {
                break;
            }
            if (len > 0) {
                if (data != nullptr && data->Parse_Message(p, Novatel::U16(p + 4), len) != 0) {
                    decoded = true;
                    flags |= data->Update_Mask;
                }
                pos += len;
                continue;
            }
        } else if (p[0] == '$' && Is_Nmea_Lead(p)) {
            if (n <= kNmeaLimit || Nmea_End_Within_Limit(p, n)) {
                in->Read = pos;
                const int r = Parse_NmeaSentence(*this);
                pos = in->Read;
                if (r == 0) {
                    break;  // incomplete: wait for its end
                }
                decoded = true;
                flags |= data != nullptr ? data->Update_Mask : 0;
                continue;
            }
        } else if (p[0] == 0xD3 && (p[1] & 0xFC) == 0) {
            const int body = ((p[1] & 0x03) << 8) | p[2];
            if (n < body + 6) {
                break;
            }
            const uint32_t crc = (static_cast<uint32_t>(p[body + 3]) << 16) |
                                 (static_cast<uint32_t>(p[body + 4]) << 8) | p[body + 5];
            if (Calc_Crc24Q(p, body + 3) == crc) {
                in->Read = pos;
                if (Parse_RtcmFrame(*this) != 0) {
                    decoded = true;
                    flags |= data != nullptr ? data->Update_Mask : 0;
                }
                pos = in->Read;
                continue;
            }
        } else if (p[0] == 0x02 && (p[2] == 0x98 || p[2] == 0x93)) {
            // The packet step takes everything buffered.
            in->Read = pos;
            Pass_RtcmMessage(*this);
            decoded = true;
            flags |= data != nullptr ? data->Update_Mask : 0;
            pos = in->Read;
            continue;
        }
        pos += Next_Lead(p, n);
    }

    // Keep what was not consumed at the front of the buffer.
    Keep_Input_From(*in, pos);
    *flagsOut |= flags;
    return decoded;
}

}  // namespace BVParse
}  // namespace Brevan2011
