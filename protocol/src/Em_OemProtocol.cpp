#include "Em_OemProtocol.h"

#include <algorithm>
#include <cstring>

#include "Em_BoardRegistry.h"
#include "Em_Crc.h"
#include "Em_OemRingScan.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// The boards another maker's receiver can carry; any other type has no driver here.
bool Is_Oem_Board_Type(int type) {
    switch (type) {
        case MAINBD_STXETX:
        case MAINBD_NOVATEL:
        case MAINBD_HEMISPHERE:
        case MAINBD_NMEA:
        case MAINBD_NMEA2:
            return true;
        default:
            return false;
    }
}

bool Starts(const unsigned char* m, const char* text) {
    return std::memcmp(m, text, 3) == 0;
}

bool Nmea_Talker(const unsigned char* m, bool wide) {
    if (Starts(m, "$GP") || Starts(m, "$GL")) {
        return true;
    }
    return wide && (Starts(m, "$GN") || Starts(m, "$BD"));
}

// RTCM 3: the preamble and six reserved bits that leave the 10-bit length below 1,024.
bool Rtcm3_Start(const unsigned char* m) {
    return m[0] == 0xD3 && m[1] < 4;
}

}  // namespace

Em_OemProtocol::Em_OemProtocol() : Em_GnssProtocol(1) {
    std::memset(m_message, 0, sizeof(m_message));
}

void Em_OemProtocol::Clear_Message() {
    // Only what a reader wrote can be non-zero.
    std::memset(m_message, 0, static_cast<size_t>(m_used));
    m_used = 0;
}

int Em_OemProtocol::Take(int offset, int n) {
    if (Ring()->Read(m_message + offset, n) == 0) {
        return 0;
    }
    m_used = std::max(m_used, offset + n);
    return 1;
}

int Em_OemProtocol::Look(int offset, int n) {
    if (Ring()->Peek(m_message + offset, n) == 0) {
        return 0;
    }
    m_used = std::max(m_used, offset + n);
    return 1;
}

int Em_OemProtocol::Parse_Step() {
    Em_RcvRing* ring = Ring();
    if (ring == nullptr) {
        return 0;
    }
    ring->Compact_If_Above(Em_RcvRing::kCompactThreshold);
    ring->Rewind();
    Clear_Message();

    const int type = Board_Type();
    if (!Is_Oem_Board_Type(type)) {
        // Nobody to hand the bytes to.
        ring->Clear();
        return 0;
    }

    m_flags = 0;
    if (Take(0, 3) == 0) {
        return 0;
    }
    switch (Read_Message(type)) {
        case kIncomplete:
            return 0;
        case kHandled:
            Clear_Message();
            ring->Commit();
            return 1;
        case kSkipped:
            Clear_Message();
            return 1;
        case kNoStart:
        case kBadCheck:
        case kBadMessage:
            // A false sync byte inside other data must not take the good messages after it
            // along: step past it and look again.
            {
                const Oem_Leads leads = Oem_Lead_Bytes(type);
                ring->Skip_To_Lead(1, leads.bytes, leads.count);
                return 1;
            }
        default:
            // The board refused a whole message: it is consumed.
            Clear_Message();
            ring->Commit();
            return 0;
    }
}

int Em_OemProtocol::Read_Message(int type) {
    const unsigned char* m = m_message;
    switch (type) {
        case MAINBD_STXETX:
            if (m[0] == 0x02) {
                return Read_Stx();
            }
            if (Nmea_Talker(m, false)) {
                return Read_Nmea();
            }
            if (Rtcm3_Start(m)) {
                return Read_Rtcm3();
            }
            return kNoStart;
        case MAINBD_NOVATEL:
            if (m[0] == 0xAA && m[1] == 0x44 && m[2] == 0x12) {
                return Read_Novatel();
            }
            if (Nmea_Talker(m, true)) {
                return Read_Nmea();
            }
            if (Rtcm3_Start(m)) {
                return Read_Rtcm3();
            }
            if (m[0] == 0x02 && (m[2] == 152 || m[2] == 147)) {
                return Read_Stx();
            }
            return kNoStart;
        case MAINBD_HEMISPHERE:
            if (Starts(m, "$BI")) {
                return Read_Hemisphere_Bin();
            }
            if (Starts(m, "$>J")) {
                return Read_Hemisphere_Reply();
            }
            return Nmea_Talker(m, false) ? Read_Nmea() : kNoStart;
        case MAINBD_NMEA:
            return Nmea_Talker(m, false) ? Read_Nmea() : kNoStart;
        case MAINBD_NMEA2:
            return Nmea_Talker(m, true) ? Read_Nmea() : kNoStart;
        default:
            return kNoStart;
    }
}

int Em_OemProtocol::Read_Nmea() {
    if (Take(3, 3) == 0) {
        return kIncomplete;
    }
    // Look far enough ahead that the sentence end is surely there.
    const int ahead = std::memcmp(m_message + 3, "GGA", 3) == 0 ? 94 : 300;
    if (Look(6, ahead) == 0) {
        return kIncomplete;
    }
    // The sentence ends two check characters and CR LF after its '*' (or, without a check, at
    // CR LF). A lone LF after the check characters ends it too, so the next sentence keeps its
    // '$'.
    int length = 0;
    for (int i = 0; i < 296; ++i) {
        if (m_message[i] == '*' && m_message[i + 3] == '\n') {
            length = i + 4;
            break;
        }
        if (m_message[i] == '*' || m_message[i + 3] == '\r' || m_message[i + 4] == '\n') {
            length = i + 5;
            break;
        }
    }
    // A length of 5 or less would end the sentence inside its own header.
    if (length <= 6 || length > 300) {
        return kBadMessage;
    }
    if (Take(6, length - 6) == 0) {
        return kIncomplete;
    }
    return Hand_To_Board(length);
}

int Em_OemProtocol::Read_Rtcm3() {
    const int payload = ((m_message[1] & 0x03) << 8) | m_message[2];
    if (Take(3, payload + 3) == 0) {
        return kIncomplete;
    }
    const unsigned char* crc = m_message + 3 + payload;
    const uint32_t stated = (static_cast<uint32_t>(crc[0]) << 16) |
                            (static_cast<uint32_t>(crc[1]) << 8) | static_cast<uint32_t>(crc[2]);
    if (stated != Calc_Crc24Q(m_message, payload + 3)) {
        return kBadCheck;
    }
    return Hand_To_Board(payload + 6);
}

int Em_OemProtocol::Read_Novatel() {
    static constexpr int kMinHeader = 28;
    if (Take(3, kMinHeader - 3) == 0) {
        return kIncomplete;
    }
    const int header = m_message[3];
    const int body = m_message[8] | (m_message[9] << 8);
    const int total = header + body + 4;
    // The header length comes from the stream too: a log must carry at least the standard
    // header and fit the message buffer whole, or this was no log start.
    if (header < kMinHeader) {
        return kNoStart;
    }
    if (total > kMessageSize) {
        // Not decoded (the board's buffer is no larger); a log with the standard header is
        // stepped over whole once its CRC-32 checks out in the ring.
        const int check = header == kMinHeader ? Check_Long_Log(*Ring(), total) : -1;
        if (check > 0) {
            Ring()->Skip(total);
            return kSkipped;
        }
        return check == 0 ? kIncomplete : kNoStart;
    }
    if (Take(kMinHeader, total - kMinHeader) == 0) {
        return kIncomplete;
    }
    return Hand_To_Board(total);
}

int Em_OemProtocol::Read_Stx() {
    if (Take(3, 1) == 0) {
        return kIncomplete;
    }
    const int length = m_message[3];
    if (Take(4, length + 2) == 0) {
        return kIncomplete;
    }
    unsigned sum = 0;
    for (int i = 1; i <= 3 + length; ++i) {
        sum += m_message[i];
    }
    if ((sum & 0xFFu) != m_message[4 + length]) {
        return kBadCheck;
    }
    return Hand_To_Board(length + 6);
}

int Em_OemProtocol::Read_Hemisphere_Bin() {
    static constexpr int kMaxData = 2036;
    if (Take(3, 5) == 0) {
        return kIncomplete;
    }
    const int data = m_message[6] | (m_message[7] << 8);
    if (data > kMaxData) {
        return kBadMessage;
    }
    if (Take(8, data + 4) == 0) {
        return kIncomplete;
    }
    unsigned char x = 0;
    for (int i = 0; i < data + 12; ++i) {
        x ^= m_message[i];
    }
    if (x == 0) {
        return kBadCheck;
    }
    return Hand_To_Board(data + 12);
}

int Em_OemProtocol::Read_Hemisphere_Reply() {
    static constexpr int kLookAhead = 100;
    Em_RcvRing* ring = Ring();
    const int available = std::min(kLookAhead, ring->Fill() - ring->Cursor());
    if (available <= 0) {
        return kIncomplete;
    }
    if (Look(3, available) == 0) {
        return kIncomplete;
    }
    for (int j = 0; j + 1 < available; ++j) {
        if (m_message[3 + j] == '\r' && m_message[4 + j] == '\n') {
            if (Take(3, j + 2) == 0) {
                return kIncomplete;
            }
            return Hand_To_Board(3 + j + 2);
        }
    }
    return available < kLookAhead ? kIncomplete : kBadMessage;
}

int Em_OemProtocol::Hand_To_Board(int n) {
    Em_OemBoard* board = Board();
    if (board == nullptr) {
        return kRefused;
    }
    board->Add_Data(m_message, n);
    if (board->Parse() == 0) {
        return kRefused;
    }
    m_category = MSG_GNSS_DATA;
    m_flags = board->Data() != nullptr ? board->Data()->Update_Mask : 0;
    return kHandled;
}

bool Em_OemProtocol::Create_Board(MAINBD_OEM_TYPE type) {
    if (!Is_Oem_Board_Type(type)) {
        return false;
    }
    Em_OemBoard* board = BVParse::Create_Board(type);
    if (board == nullptr) {
        // No driver could be made: say so, and keep the one in place working.
        return false;
    }
    Em_OemCmd* cmd = board->Cmd();
    Em_OemData* data = board->Data();
    switch (type) {
        case MAINBD_STXETX:
            // Detailed satellite records on.
            if (data != nullptr) {
                data->Switch[5] = 1;
            }
            if (cmd != nullptr) {
                cmd->Out_Port = 0;
            }
            break;
        case MAINBD_NOVATEL:
            if (cmd != nullptr) {
                cmd->Out_Port = 0;
            }
            if (data != nullptr) {
                data->Switch[0] = 1;
                data->Sat_Switch_Gps = 1;
                data->Sat_Switch_Glo = 0;
                data->Sat_Switch_Bds = 1;
            }
            break;
        case MAINBD_HEMISPHERE:
            if (cmd != nullptr) {
                cmd->Out_Port = 0;
            }
            // Channel diagnostics wait for a complete GSV set.
            if (data != nullptr) {
                data->Sat_Switch_Gps = 1;
            }
            break;
        case MAINBD_NMEA:
            if (cmd != nullptr) {
                cmd->Out_Port = 1;
            }
            break;
        default:
            break;
    }
    Replace_Board(board);
    return true;
}

int Em_OemProtocol::Set_Gnss_SatUse(Cmd_List&, unsigned, bool, unsigned) {
    return 0;
}

int Em_OemProtocol::Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) {
    return Split_Bytes(cmds, bytes, n, 100);
}

}  // namespace BVParse
}  // namespace Brevan2011
