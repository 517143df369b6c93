// Arbitrary bytes through the type-6 NMEA board (in slices whose sizes come from the input),
// the RTCM 3 frame step and every RTCM 3 decoder.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_TrsMtPrlRTCM.h"
#include "Em_OemInputSteps.h"
#include "Em_OemNmea.h"
#include "Em_OemNmea2.h"

using namespace Brevan2011::BVParse;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t slice = data[0];
    ++data;
    --size;

    Em_OemNmea2 six;
    Em_OemNmea five;
    for (std::size_t at = 0; at < size;) {
        std::size_t n = 1 + (slice + at) % 97;
        if (n > size - at) {
            n = size - at;
        }
        six.Add_Data(data + at, int(n));
        five.Add_Data(data + at, int(n));
        for (int guard = 0; guard < 4096 && six.Parse() == 1; ++guard) {
        }
        for (int guard = 0; guard < 4096 && five.Parse() == 1; ++guard) {
        }
        at += n;
    }

    Em_OemNmea2 rtcm_board;
    for (std::size_t at = 0; at < size;) {
        std::size_t n = 1 + (slice * 7 + at) % 511;
        if (n > size - at) {
            n = size - at;
        }
        rtcm_board.Add_Data(data + at, int(n));
        for (int guard = 0; guard < 4096 && Parse_RtcmFrame(rtcm_board) == 1; ++guard) {
        }
        at += n;
    }
    rtcm_board.Add_Data(data, int(size < 2048 ? size : 2048));
    Pass_RtcmMessage(rtcm_board);

    // The decoders on an exact-size copy so any read past the end is caught.
    std::vector<unsigned char> frame(data, data + size);
    const unsigned len = unsigned(size);
    std::vector<obsd_t> records(slice % 16);
    obs_t obs;
    obs.nmax = int(records.size());
    obs.data = records.data();
    Em_TrsMtPrlRTCM dec(obs);
    unsigned char* p = frame.data();
    dec.Prc_Prtcl_ID(1000u + slice % 40u, p, len);
    dec.Decode_type1004(p, len);
    int a = 0, b = 0, c = 0, d = 0;
    trancood_t t;
    geoid_mdel_para g;
    projection_param pp;
    dec.Decode_type1021(p, len, a, b, c, d, t);
    dec.Decode_type1022(p, len, t);
    dec.Decode_type1023(p, len, g);
    dec.Decode_type1024(p, len, g);
    dec.Decode_type1027(p, len, a, pp);
    Em_TrsMtPrlRTCM::Is1021DataValid(p, len);
    Em_TrsMtPrlRTCM::Is1022DataValid(p, len);
    return 0;
}
