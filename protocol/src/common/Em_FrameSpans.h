// The one framer of each message format that more than one reader meets in a byte stream:
// NMEA 0183 sentences (checksum compared), RTCM 3 frames (CRC-24Q) and STX/ETX packets (8-bit
// sum). The protocol object and every board driver cut their input with these, so a message
// is whole or refused by the same rule wherever it is met.
#pragma once

namespace Brevan2011 {
namespace BVParse {

// What the bytes at a '$' hold.
struct Nmea_Span {
    enum Kind {
        Incomplete,  // no end yet: wait for more bytes
        Whole,       // a sentence of `length` bytes, its "*hh" right or absent
        Rejected,    // `length` bytes to drop: a wrong or malformed "*hh", or cut short by a '$'
        No_End,      // more than kMaxLength bytes and no end among them: no sentence here
    };
    Kind kind;
    int length;

    static constexpr int kMaxLength = 300;
};

// The sentence at p ('$' first, n bytes available). It ends at LF, at CR (with the LF that
// follows it), or two characters after its '*' when no CR or LF follows them; a '$' before its
// end means it was cut short. With `wait_at_end`, a CR or check characters that are the last
// bytes here wait for the next byte, so the bytes handed on do not depend on how the stream
// was sliced (the protocol object's ring); without it they end the sentence (a board's input,
// where waiting would hold the sentence until the next message comes). A present "*hh" must
// equal the XOR of the bytes between '$' and '*' (hex digits of either case); a sentence
// without one is taken as it is.
Nmea_Span Scan_Nmea_Sentence(const unsigned char* p, int n, bool wait_at_end);

// A sentence of a talker the board speaks starts at p (3 bytes available): "$GP" or "$GL",
// and with `gn_bd` also "$GN" or "$BD".
inline bool Is_Nmea_Lead(const unsigned char* p, bool gn_bd) {
    if (p[0] != '$') {
        return false;
    }
    if (p[1] == 'G' && (p[2] == 'P' || p[2] == 'L')) {
        return true;
    }
    return gn_bd && ((p[1] == 'G' && p[2] == 'N') || (p[1] == 'B' && p[2] == 'D'));
}

constexpr unsigned char kRtcm3Preamble = 0xD3;

// An RTCM 3 frame can start at p (2 bytes available): the preamble and six zero bits.
inline bool Is_Rtcm3_Lead(const unsigned char* p) {
    return p[0] == kRtcm3Preamble && (p[1] & 0xFC) == 0;
}

// Length of the RTCM 3 frame at p (n bytes available): > 0 a whole frame (10-bit length + 6)
// whose CRC-24Q checks out; 0 while it is incomplete; < 0 when none starts here or its CRC
// fails.
int Rtcm3_Frame_Length(const unsigned char* p, int n);

// Length of the STX/ETX packet at p (n bytes available): > 0 a whole packet whose sum checks
// out; 0 while it is incomplete; < 0 when none starts here or its sum fails. The ETX byte is
// not checked.
int StxEtx_Packet_Length(const unsigned char* p, int n);

}  // namespace BVParse
}  // namespace Brevan2011
