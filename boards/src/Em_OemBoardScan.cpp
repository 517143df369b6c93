#include "Em_OemBoardScan.h"

#include <cstring>

#include "BVParse/Em_GnssTime.h"
#include "Em_FrameSpans.h"
#include "Em_OemInputSteps.h"

namespace Brevan2011 {
namespace BVParse {

int Scan_Input(Em_OemBoard& board, std::initializer_list<unsigned char> leads,
               const Scan_Function& step) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (in == nullptr) {
        return 0;
    }
    if (in->Read < 0 || in->Fill < in->Read || in->Fill > OEM_INPUT_BUFFER::kSize) {
        board.Clear_Input();
        return 0;
    }
    bool isLead[256] = {};
    for (unsigned char c : leads) {
        isLead[c] = true;
    }
    Em_OemData* data = board.Data();
    uint32_t flags = 0;
    bool decoded = false;
    int pos = in->Read;
    while (in->Fill - pos >= 3) {
        const unsigned char* p = in->Data + pos;
        const int n = in->Fill - pos;
        const Scan_Step s = step(p, n);
        if (s.kind == Scan_Step::Wait) {
            break;
        }
        if (s.kind == Scan_Step::Consumed && s.length > 0) {
            if (s.decoded && data != nullptr) {
                decoded = true;
                flags |= data->Update_Mask;
            }
            pos += s.length < n ? s.length : n;
            continue;
        }
        int i = 1;
        while (i < n && !isLead[p[i]]) {
            ++i;
        }
        pos += i;
    }

    // A byte that is no lead starts nothing, however few follow it (the LF after a sentence
    // that ended at its CR).
    while (pos < in->Fill && !isLead[in->Data[pos]]) {
        ++pos;
    }
    // Keep what was not consumed at the front of the buffer.
    Keep_Input_From(*in, pos);
    if (data != nullptr) {
        data->Update_Mask = decoded ? flags : 0;
    }
    return decoded ? 1 : 0;
}

void Add_Input_Making_Room(Em_OemBoard& board, const unsigned char* bytes, int count,
                           const std::function<void()>& make_room) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (bytes == nullptr || count <= 0 || in == nullptr) {
        return;
    }
    while (count > 0) {
        if (in->Read < 0 || in->Fill < in->Read || in->Fill > OEM_INPUT_BUFFER::kSize) {
            board.Clear_Input();
        }
        const int space = OEM_INPUT_BUFFER::kSize - in->Fill;
        const int take = count < space ? count : space;
        if (take > 0) {
            std::memcpy(in->Data + in->Fill, bytes, static_cast<size_t>(take));
            in->Fill += take;
            bytes += take;
            count -= take;
        }
        if (count == 0) {
            return;
        }
        const int before = in->Fill;
        make_room();
        if (in->Fill >= before) {
            // Nothing could be consumed: drop everything, as the base does on overflow.
            board.Clear_Input();
            return;
        }
    }
}

void Em_OemScanBoard::Add_Data(const unsigned char* bytes, int count) {
    Add_Input_Making_Room(*this, bytes, count, [this] {
        if (Scan() != 0 && Data() != nullptr) {
            m_pendingDecoded = true;
            m_pendingFlags |= Data()->Update_Mask;
        }
    });
}

int Em_OemScanBoard::Parse() {
    int r = Scan();
    Em_OemData* data = Data();
    if (data == nullptr) {
        return r;
    }
    uint32_t flags = r != 0 ? data->Update_Mask : 0;
    if (m_pendingDecoded) {
        flags |= m_pendingFlags;
        r = 1;
        m_pendingDecoded = false;
        m_pendingFlags = 0;
    }
    data->Update_Mask = flags;
    return r;
}

bool Decode_Nmea(Em_OemData& data, const unsigned char* p, int len) {
    if (len < 6) {
        return false;
    }
    const int id = Nmea_Sentence_Id(p + 1, len - 1);
    return data.Parse_Text_Msg(id, p, len) != 0;
}

bool Decode_Rtcm3(Em_OemData& data, const unsigned char* p, int len) {
    data.Update_Mask = 0;
    if (!data.Trsmt || len < 6) {
        return false;
    }
    const unsigned number = Get_Bits_U(p, 24, 12);
    if (!Prc_TrsMt_Frame(data.Trsmt.get(), number, p, static_cast<unsigned>(len), 1)) {
        return false;
    }
    data.Update_Mask |= GNSS_FLAG_RTCM3;
    return true;
}

bool Decode_Correction_Packet(Em_OemData& data, const unsigned char* p, int len) {
    const unsigned number = len >= 5 ? Get_Bits_U(p, 24, 12) : 0;
    return data.Decode_Rtcm_Frame(number, p, len) != 0;
}

namespace {

// A framer's verdict (> 0 whole, 0 incomplete, < 0 none here) as a scan step.
template <class Decode>
Scan_Step Framed_Step(int len, const Decode& decode) {
    if (len == 0) {
        return Scan_Step::Wait_More();
    }
    if (len < 0) {
        return Scan_Step::Skip_Byte();
    }
    return Scan_Step::Took(len, decode(len));
}

}  // namespace

Scan_Step Nmea_Step(Em_OemData* data, const unsigned char* p, int n) {
    const Nmea_Span s = Scan_Nmea_Sentence(p, n, false);
    switch (s.kind) {
        case Nmea_Span::Whole:
            return Scan_Step::Took(s.length, data != nullptr && Decode_Nmea(*data, p, s.length));
        case Nmea_Span::Rejected:
            return Scan_Step::Took(s.length, false);
        case Nmea_Span::Incomplete:
            return Scan_Step::Wait_More();
        default:
            return Scan_Step::Skip_Byte();
    }
}

Scan_Step Rtcm3_Step(Em_OemData* data, const unsigned char* p, int n) {
    return Framed_Step(Rtcm3_Frame_Length(p, n),
                       [&](int len) { return data != nullptr && Decode_Rtcm3(*data, p, len); });
}

Scan_Step Correction_Packet_Step(Em_OemData* data, const unsigned char* p, int n) {
    return Framed_Step(StxEtx_Packet_Length(p, n), [&](int len) {
        return data != nullptr && Decode_Correction_Packet(*data, p, len);
    });
}

}  // namespace BVParse
}  // namespace Brevan2011
