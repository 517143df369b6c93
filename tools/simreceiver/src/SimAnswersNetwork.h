// The simulated receiver's Wi-Fi and modem answers: records kept raw as a session set them,
// and dial and power changes that follow the commands.
#pragma once

#include <cstdint>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

using NetBytes = std::vector<std::uint8_t>;

// The access point, the dial settings and the CSD settings: the bytes of the last set when
// there was one, else built from the scripted keys.
NetBytes WifiApRecord(const SimState& s);
NetBytes ModemDialRecord(const SimState& s);
NetBytes CsdParamRecord(const SimState& s);
NetBytes DialStatusRecord(const SimState& s);
NetBytes CsdStatusRecord(const SimState& s);

// Applies what one request item does to the Wi-Fi and modem state before it is answered:
// keeps record sets raw, switches power, starts a dial and moves it on at each status query.
void NetworkItem(std::uint16_t tag, bool query, const NetBytes& value, SimState& s);

}  // namespace varnok_sim
