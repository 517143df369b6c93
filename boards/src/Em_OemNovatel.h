// NovAtel main board (type 2): frames the board's input into NovAtel binary logs (CRC-32
// checked), NMEA sentences, RTCM 3 frames and 0x02 correction packets, and hands each to its
// decoder. Commands come from Em_OemNovatelCmd, decoding from Em_OemNovatelData.
#pragma once

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemNovatelCmd;
class Em_OemNovatelData;

class Em_OemNovatel : public Em_OemBoard {
public:
    static constexpr int kMaxLog = 2048;  // a log must fit the input buffer
    static constexpr int kHeaderSize = 28;

    Em_OemNovatel();

    // Decodes every complete message in the input buffer and keeps an incomplete one at the
    // front. Bytes that start no message are skipped up to the next possible lead byte. Leaves
    // the OR of the decoded messages' update bits in the data parser; 1 when any was decoded.
    int Parse() override;
    // Appends the bytes. When they do not fit, the part that fits is appended and the complete
    // messages are decoded to make room (their results join the next Parse), so a log that
    // fits the buffer is never lost to the way its bytes were sliced.
    void Add_Data(const unsigned char* bytes, int count) override;

    Em_OemNovatelCmd* Novatel_Cmd() const;
    Em_OemNovatelData* Novatel_Data() const;

private:
    // One pass over the buffer: decodes every complete message, ORs their update bits into
    // `flags`, keeps what is incomplete at the front. True when anything was decoded.
    bool Step(uint32_t* flags);

    // Results of messages decoded while making room, reported by the next Parse.
    bool m_pendingDecoded = false;
    uint32_t m_pendingFlags = 0;
};

// Framing shared with the software-engine board: the length of the NovAtel binary log at p
// (n bytes available). > 0: a whole log of that many bytes whose CRC checks out; 0: the log is
// not complete yet; < 0: no log starts here (bad sync, header length, size or CRC).
int Novatel_Frame_Length(const unsigned char* p, int n);

}  // namespace BVParse
}  // namespace Brevan2011
