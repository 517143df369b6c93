// The three receiver kinds the session makes, for the Em_Gnss operation tests: an old-protocol
// receiver, a new-protocol one and another maker's; and the bytes of a built command.
#pragma once

#include <cstdint>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemBoard.h"
#include "Em_OemNewData.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {
namespace testing_support {

struct Receivers {
    Em_Gnss old{GNSS_MNFCTR_VELTA, MAINBD_NOVATEL};
    Em_Gnss neu{GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL};
    Em_Gnss oem{GNSS_MNFCTR_OEM, MAINBD_NMEA2};

    // What the old receiver's replies stored.
    Em_OldReceiver& Old() { return dynamic_cast<Em_OldProtocol&>(*old.Get_Protocol()).Receiver(); }
    NewReceiverState& New() {
        return dynamic_cast<Em_OemNewData&>(*neu.Get_Protocol()->Board()->Data()).state;
    }
    // Hands the old receiver bytes as a port read would and parses them.
    void Feed_Old(const std::vector<std::uint8_t>& bytes) {
        old.RcvData(bytes.data(), static_cast<unsigned>(bytes.size()));
        old.ParseData();
    }
};

inline std::vector<std::uint8_t> Bytes_Of(const _STR_CMD& c) {
    return std::vector<std::uint8_t>(c.data, c.data + c.length);
}

}  // namespace testing_support
}  // namespace BVParse
}  // namespace Brevan2011
