#include "Em_OemNovatel.h"

#include <cstring>

#include "Em_Crc.h"
#include "Em_FrameSpans.h"
#include "Em_NovatelFields.h"
#include "Em_OemNovatelCmd.h"
#include "Em_OemNovatelData.h"

namespace Brevan2011 {
namespace BVParse {

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

Scan_Step Novatel_Log_Step(Em_OemData* data, const unsigned char* p, int n) {
    const int len = Novatel_Frame_Length(p, n);
    if (len == 0) {
        return Scan_Step::Wait_More();
    }
    if (len < 0) {
        return Scan_Step::Skip_Byte();
    }
    return Scan_Step::Took(
        len, data != nullptr && data->Parse_Message(p, Novatel::U16(p + 4), len) != 0);
}

int Em_OemNovatel::Scan() {
    Em_OemData* data = Data();
    return Scan_Input(*this, {0xAA, '$', kRtcm3Preamble, 0x02},
                      [data](const unsigned char* p, int n) {
                          if (p[0] == 0xAA) {
                              return Novatel_Log_Step(data, p, n);
                          }
                          if (Is_Nmea_Lead(p, true)) {
                              return Nmea_Step(data, p, n);
                          }
                          if (Is_Rtcm3_Lead(p)) {
                              return Rtcm3_Step(data, p, n);
                          }
                          if (p[0] == 0x02 && (p[2] == 0x98 || p[2] == 0x93)) {
                              return Correction_Packet_Step(data, p, n);
                          }
                          return Scan_Step::Skip_Byte();
                      });
}

}  // namespace BVParse
}  // namespace Brevan2011
