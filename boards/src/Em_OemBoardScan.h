// Input loop shared by the NovAtel, STX/ETX, Hemisphere and software-engine boards: decodes
// every complete message in the input buffer, keeps an incomplete one at the front and skips
// bytes that start no message up to the next possible lead byte. Also the NMEA, RTCM 3 and
// correction-packet steps and decoders those boards share.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

// What one look at the front of the unread input found.
struct Scan_Step {
    enum Kind { Wait, Skip, Consumed };
    Kind kind = Skip;
    int length = 0;        // bytes consumed (Consumed only)
    bool decoded = false;  // the data parser's update mask holds this message's bits

    static Scan_Step Wait_More() { return Scan_Step{Wait, 0, false}; }
    static Scan_Step Skip_Byte() { return Scan_Step{Skip, 0, false}; }
    static Scan_Step Took(int n, bool decoded) { return Scan_Step{Consumed, n, decoded}; }
};

// One look at p[0..n), n >= 3.
typedef std::function<Scan_Step(const unsigned char* p, int n)> Scan_Function;

// Runs `step` over the board's unread input until it waits or the input is used up. Skipped
// bytes go up to the next byte of `leads`. Leaves the OR of the decoded messages' update bits
// in the data parser; returns 1 when any message was decoded, else 0. Consumed bytes leave the
// buffer; the rest moves to its front.
int Scan_Input(Em_OemBoard& board, std::initializer_list<unsigned char> leads,
               const Scan_Function& step);

// Appends bytes to the board's input. Whenever they would overflow it, `make_room` first
// decodes what the input already holds; when that frees nothing, the whole input is dropped
// together with the bytes not yet taken.
void Add_Input_Making_Room(Em_OemBoard& board, const unsigned char* bytes, int count,
                           const std::function<void()>& make_room);

// Board whose parse step is one Scan_Input pass. Bytes that would overflow the input buffer
// first make room by decoding what is already there (the bits of those messages are reported
// by the next parse step), so a message near the buffer's size survives any slicing.
class Em_OemScanBoard : public Em_OemBoard {
public:
    void Add_Data(const unsigned char* bytes, int count) override;
    // One pass of Scan() plus what decoding on overflow left pending: 1 when any message was
    // decoded since the last call, the OR of their bits in the data parser's update mask.
    int Parse() final;

protected:
    // Decodes every complete message in the input; 1 when any was, its bits in the update mask.
    virtual int Scan() = 0;

private:
    bool m_pendingDecoded = false;
    uint32_t m_pendingFlags = 0;
};

// One whole sentence to the data parser's NMEA dispatch; true when the sentence was handled.
bool Decode_Nmea(Em_OemData& data, const unsigned char* p, int len);

// One whole checked RTCM 3 frame to the frame store; true when the store took it (its update
// mask then holds GNSS_FLAG_RTCM3).
bool Decode_Rtcm3(Em_OemData& data, const unsigned char* p, int len);

// One whole binary correction packet (STX, status, type 147 or 152, length, data, sum, ETX) to
// the data parser's pass decoder; true when the store took it.
bool Decode_Correction_Packet(Em_OemData& data, const unsigned char* p, int len);

// The scan steps of the formats several boards read, framed by Em_FrameSpans.h and decoded by
// the functions above (a null parser decodes nothing): the NMEA sentence at a '$' (a sentence
// with a wrong check is consumed undecoded), the RTCM 3 frame at its preamble, and the binary
// correction packet at a 0x02.
Scan_Step Nmea_Step(Em_OemData* data, const unsigned char* p, int n);
Scan_Step Rtcm3_Step(Em_OemData* data, const unsigned char* p, int n);
Scan_Step Correction_Packet_Step(Em_OemData* data, const unsigned char* p, int n);

}  // namespace BVParse
}  // namespace Brevan2011
