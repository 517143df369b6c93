#include "Em_OemInputSteps.h"

#include <cstring>

#include "BVParse/Em_GnssTime.h"
#include "Em_FrameSpans.h"
#include "Em_NmeaSentenceIds.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

struct AddressId {
    char address[6];
    int id;
};
constexpr AddressId kSentenceIds[] = {
    {"GPGGA", NMEA_GPGGA}, {"GPGLL", NMEA_GPGLL}, {"GPGSA", NMEA_GPGSA}, {"GPGST", NMEA_GPGST},
    {"GPGSV", NMEA_GPGSV}, {"GPRMC", NMEA_GPRMC}, {"GPZDA", NMEA_GPZDA}, {"GLGSV", NMEA_GLGSV},
    {"GNGGA", NMEA_GNGGA}, {"GNGLL", NMEA_GNGLL}, {"GNGSA", NMEA_GNGSA}, {"GNRMC", NMEA_GNRMC},
    {"BDGSV", NMEA_BDGSV},
};

// Bytes buffered after the read index, or -1 when the indexes are not sane.
int Buffered(const OEM_INPUT_BUFFER& in) {
    if (in.Read < 0 || in.Fill < in.Read || in.Fill > OEM_INPUT_BUFFER::kSize) {
        return -1;
    }
    return in.Fill - in.Read;
}

}  // namespace

int Nmea_Sentence_Id(const unsigned char* address, int length) {
    // The address is five characters closed by the first field's comma (or the check): a
    // longer one ("GNGGAH") is another sentence whose fields lie elsewhere.
    if (address == nullptr || length < 6 || (address[5] != ',' && address[5] != '*')) {
        return -1;
    }
    for (const AddressId& a : kSentenceIds) {
        if (std::memcmp(address, a.address, 5) == 0) {
            return a.id;
        }
    }
    return NMEA_UNKNOWN;
}

void Keep_Input_From(OEM_INPUT_BUFFER& in, int start) {
    const int rest = in.Fill - start;
    if (rest > 0) {
        std::memmove(in.Data, in.Data + start, static_cast<std::size_t>(rest));
    }
    const int fill = rest > 0 ? rest : 0;
    std::memset(in.Data + fill, 0, static_cast<std::size_t>(in.Fill - fill));
    in.Read = 0;
    in.Fill = fill;
}

int Parse_NmeaSentence(Em_OemBoard& board) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (in == nullptr) {
        return 0;
    }
    const int n = Buffered(*in);
    if (n < 0) {
        board.Clear_Input();
        return 0;
    }
    const unsigned char* p = in->Data + in->Read;
    const Nmea_Span span = Scan_Nmea_Sentence(p, n, false);
    switch (span.kind) {
        case Nmea_Span::Incomplete:
            return 0;
        case Nmea_Span::No_End:
            board.Clear_Input();
            return 0;
        case Nmea_Span::Rejected:
            // A wrong check: the sentence goes undecoded and reports nothing.
            if (Em_OemData* data = board.Data()) {
                data->Update_Mask = 0;
            }
            Keep_Input_From(*in, in->Read + span.length);
            return 0;
        default:
            break;
    }
    const int id = Nmea_Sentence_Id(p + 1, span.length - 1);
    if (Em_OemData* data = board.Data()) {
        data->Parse_Text_Msg(id, p, span.length);
    }
    Keep_Input_From(*in, in->Read + span.length);
    return 1;
}

int Parse_RtcmFrame(Em_OemBoard& board) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (in == nullptr) {
        return 0;
    }
    const int n = Buffered(*in);
    if (n < 0) {
        board.Clear_Input();
        return 0;
    }
    unsigned char* p = in->Data + in->Read;
    const int len = Rtcm3_Frame_Length(p, n);
    if (len == 0) {
        return 0;
    }
    if (len < 0) {
        board.Clear_Input();
        return 0;
    }
    const unsigned number = Get_Bits_U(p, 24, 12);
    Em_OemData* data = board.Data();
    if (data != nullptr && data->Trsmt) {
        data->Update_Mask = 0;
        if (Prc_TrsMt_Frame(data->Trsmt.get(), number, p, static_cast<unsigned>(len), 1)) {
            data->Update_Mask |= GNSS_FLAG_RTCM3;
        }
    }
    Keep_Input_From(*in, in->Read + len);
    return 1;
}

int Pass_RtcmMessage(Em_OemBoard& board) {
    OEM_INPUT_BUFFER* in = board.Input();
    if (in == nullptr) {
        return 1;
    }
    const int n = Buffered(*in);
    if (n > 0) {
        const unsigned char* p = in->Data + in->Read;
        const unsigned number = n >= 5 ? Get_Bits_U(p, 24, 12) : 0;
        if (Em_OemData* data = board.Data()) {
            data->Decode_Rtcm_Frame(number, p, n);
        }
    }
    board.Clear_Input();
    return 1;
}

}  // namespace BVParse
}  // namespace Brevan2011
