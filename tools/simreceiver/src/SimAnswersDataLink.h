// The simulated receiver's data link answers (old protocol): the internal radio, the GPRS
// modem's link, log-on and service record, all carried in "VS" AT messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SimState.h"

namespace varnok_sim {

struct DataLinkAnswer {
    std::string name;                               // the session operation that sends the request
    std::vector<std::vector<std::uint8_t>> frames;  // "VI" frames to send back
};

// Answers an AT message of a "VS" frame (payload as read from the wire). Settings are kept in
// the state, so the next query reads them back. False when the message is not a data link one.
bool AnswerDataLinkAt(const std::uint8_t* payload, std::size_t length, SimState& state,
                      DataLinkAnswer& out);

// The device block's radio bytes for a radio type of the library's band table (3-10): the
// band byte (59) and the radio module byte (126).
void RadioTypeBytes(long radioType, std::uint8_t* band, std::uint8_t* module);

}  // namespace varnok_sim
