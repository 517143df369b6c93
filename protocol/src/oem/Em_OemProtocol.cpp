#include "Em_OemProtocol.h"

#include <algorithm>
#include <cstring>

#include "Em_BoardRegistry.h"
#include "Em_ByteFields.h"
#include "Em_FrameSpans.h"
#include "Em_HemisphereFrames.h"
#include "Em_OemNovatel.h"
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

// Frame lengths from the first bytes of each binary format.
int Rtcm3_Total(const unsigned char* m) {
    return (((m[1] & 0x03) << 8) | m[2]) + 6;
}
int Stx_Total(const unsigned char* m) {
    return m[3] + 6;
}
int Novatel_Total(const unsigned char* m) {
    return Em_OemNovatel::kHeaderSize + Le_U16(m + 8) + 4;
}
int Hemisphere_Bin_Total(const unsigned char* m) {
    return Le_U16(m + 6) + 12;
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

int Em_OemProtocol::Look(int n) {
    const int k = Ring()->Peek_Up_To(m_message, std::min(n, kMessageSize));
    if (k <= 0) {
        return 0;
    }
    m_used = std::max(m_used, k);
    return k;
}

int Em_OemProtocol::Parse_Step() {
    Em_RcvRing* ring = Ring();
    if (ring == nullptr) {
        return 0;
    }
    Clear_Message();

    const int type = Board_Type();
    if (!Is_Oem_Board_Type(type)) {
        // Nobody to hand the bytes to.
        ring->Clear();
        return 0;
    }

    m_flags = 0;
    m_take = 1;
    // Most messages lie within the first look, so one lock serves the step's start.
    m_seen = ring->Begin_Step(Em_RcvRing::kCompactThreshold, m_message, kFirstLook);
    m_used = std::max(m_used, m_seen);
    if (m_seen < 3) {
        return 0;
    }
    if (Read_Message(type) == kIncomplete) {
        return 0;
    }
    // A handled or refused message is consumed whole, and the bytes after it may hold more
    // messages; anything else costs one byte (a false lead among other data) or, for an NMEA
    // sentence with a wrong check, the sentence.
    // Bytes that cannot open a message go with it in the same step.
    const Oem_Leads leads = Oem_Lead_Bytes(type);
    ring->Skip_To_Lead(m_take, leads.bytes, leads.count);
    Clear_Message();
    return 1;
}

int Em_OemProtocol::Read_Message(int type) {
    const unsigned char* m = m_message;
    switch (type) {
        case MAINBD_STXETX:
            if (m[0] == 0x02) {
                return Read_Framed(4, Stx_Total, StxEtx_Packet_Length);
            }
            if (Is_Nmea_Lead(m, false)) {
                return Read_Nmea();
            }
            if (Is_Rtcm3_Lead(m)) {
                return Read_Framed(3, Rtcm3_Total, Rtcm3_Frame_Length);
            }
            return kNoStart;
        case MAINBD_NOVATEL:
            if (m[0] == 0xAA && m[1] == 0x44 && m[2] == 0x12) {
                return Read_Novatel();
            }
            if (Is_Nmea_Lead(m, true)) {
                return Read_Nmea();
            }
            if (Is_Rtcm3_Lead(m)) {
                return Read_Framed(3, Rtcm3_Total, Rtcm3_Frame_Length);
            }
            if (m[0] == 0x02 && (m[2] == 152 || m[2] == 147)) {
                return Read_Framed(4, Stx_Total, StxEtx_Packet_Length);
            }
            return kNoStart;
        case MAINBD_HEMISPHERE:
            if (Starts(m, "$BI")) {
                return Read_Framed(8, Hemisphere_Bin_Total, Hemisphere_Frame_Length);
            }
            if (Starts(m, "$>J")) {
                return Read_Hemisphere_Reply();
            }
            return Is_Nmea_Lead(m, false) ? Read_Nmea() : kNoStart;
        case MAINBD_NMEA:
            return Is_Nmea_Lead(m, false) ? Read_Nmea() : kNoStart;
        case MAINBD_NMEA2:
            return Is_Nmea_Lead(m, true) ? Read_Nmea() : kNoStart;
        default:
            return kNoStart;
    }
}

int Em_OemProtocol::Read_Nmea() {
    // Most sentences end well within the first look; the longest look only for the rest.
    int n = m_seen;
    Nmea_Span span = Scan_Nmea_Sentence(m_message, n, true);
    if (span.kind == Nmea_Span::Incomplete && n == kFirstLook) {
        n = Look(Nmea_Span::kMaxLength + 1);
        span = Scan_Nmea_Sentence(m_message, n, true);
    }
    switch (span.kind) {
        case Nmea_Span::Incomplete:
            return kIncomplete;
        case Nmea_Span::Rejected:
            // Present and wrong (or cut short): dropped whole, never handed on.
            m_take = span.length;
            return kBadCheck;
        case Nmea_Span::No_End:
            return kBadMessage;
        default:
            return Hand_To_Board(span.length, true);
    }
}

int Em_OemProtocol::Read_Framed(int head, int (*total)(const unsigned char*),
                                int (*length)(const unsigned char*, int)) {
    int n = Look(head);
    if (n >= head) {
        n = Look(total(m_message));
    }
    const int len = length(m_message, n);
    if (len < 0) {
        return kBadCheck;
    }
    if (len == 0) {
        // A frame longer than the message buffer can never complete.
        return n >= kMessageSize ? kBadMessage : kIncomplete;
    }
    return Hand_To_Board(len);
}

int Em_OemProtocol::Read_Novatel() {
    const int n = Look(10);
    const int total = n >= 10 ? Novatel_Total(m_message) : 0;
    if (total <= kMessageSize || m_message[3] != Em_OemNovatel::kHeaderSize) {
        return Read_Framed(10, Novatel_Total, Novatel_Frame_Length);
    }
    // Not decoded (the board's buffer is no larger), but stepped over whole once its CRC-32
    // checks out in the ring.
    const int check = Check_Long_Log(*Ring(), total);
    if (check == 0) {
        return kIncomplete;
    }
    m_take = check > 0 ? total : 1;
    return check > 0 ? kSkipped : kBadCheck;
}

int Em_OemProtocol::Read_Hemisphere_Reply() {
    static constexpr int kLookAhead = 3 + 100;
    const int n = Look(kLookAhead);
    const int len = Hemisphere_Line_Length(m_message, n, kLookAhead);
    if (len < 0) {
        return kBadMessage;
    }
    return len == 0 ? kIncomplete : Hand_To_Board(len);
}

int Em_OemProtocol::Hand_To_Board(int n, bool sentence) {
    m_take = n;
    Em_OemBoard* board = Board();
    if (board == nullptr) {
        return kRefused;
    }
    int parsed = 0;
    if (sentence) {
        parsed = board->Parse_Sentence(m_message, n);
    } else {
        board->Add_Data(m_message, n);
        parsed = board->Parse();
    }
    if (parsed == 0) {
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
