// Protocol object for receivers built on another maker's board (maker 1). It cuts the ring into
// whole messages of the kinds the board sends (NMEA sentences, RTCM 3 frames, NovAtel binary
// logs, STX packets, Hemisphere binary blocks and "$>J" replies), hands each one byte-exact to
// the board driver and reports category 1 with the board data parser's update mask.
#pragma once

#include "BVParse/Em_GnssProtocol.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemProtocol : public Em_GnssProtocol {
public:
    static constexpr int kMessageSize = 2048;

    // What a message reader makes of the bytes at the consumed mark.
    enum Read_Result {
        kRefused = 0,     // the board refused a whole message (consumed all the same)
        kIncomplete = 1,  // wait for more bytes
        kHandled = 2,     // handed and parsed
        kNoStart = 3,     // not a message start
        kBadCheck = 5,    // check sum or CRC mismatch
        kBadMessage = 6,  // malformed
        kSkipped = 7,     // consumed whole without being handed on
    };

    Em_OemProtocol();
    // One message: 1 when the caller should step again, 0 when it should wait or stop.
    int Parse_Step() override;
    // Types 1, 2, 4, 5 and 6 replace the driver, apply this object's settings to it and return
    // true; any other type, or a driver that cannot be made, keeps the current driver and
    // returns false.
    bool Create_Board(MAINBD_OEM_TYPE type) override;
    // This object has no satellite-use command.
    int Set_Gnss_SatUse(Cmd_List& cmds, unsigned sat, bool use, unsigned s) override;
    // Raw bytes for the board in records of at most 512 bytes, pause 100.
    int Send_DiffDataToGnss(Cmd_List& cmds, const unsigned char* bytes, unsigned n) override;

private:
    int Read_Message(int boardType);
    int Read_Nmea();
    // A frame whose length its first `head` bytes give (`total`), checked by `length` (> 0
    // whole and good, 0 incomplete, < 0 bad).
    int Read_Framed(int head, int (*total)(const unsigned char*),
                    int (*length)(const unsigned char*, int));
    // A NovAtel log; one longer than the message buffer is checked in the ring instead.
    int Read_Novatel();
    int Read_Hemisphere_Reply();
    // Hands the first n bytes of the message buffer to the board and runs its Parse; the n
    // bytes are consumed whether the board takes them or not. A `sentence` is an NMEA
    // sentence this object has framed and checked.
    int Hand_To_Board(int n, bool sentence = false);
    void Clear_Message();
    // Peeks up to n bytes at the cursor into the message buffer; the count peeked.
    int Look(int n);

    static constexpr int kFirstLook = 128;

    unsigned char m_message[kMessageSize];
    int m_seen = 0;  // bytes the step's first look copied
    int m_used = 0;  // bytes of the message buffer written since it was last cleared
    int m_take = 1;  // bytes the step consumes unless the message is incomplete
};

}  // namespace BVParse
}  // namespace Brevan2011
