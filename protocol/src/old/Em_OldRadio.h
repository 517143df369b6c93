// Band table of the receivers' internal UHF radios and the conversions between radio codes and
// frequencies.
#pragma once

#include <cstdint>

#include "Em_OldStateRecords.h"

namespace Brevan2011 {
namespace BVParse {

// Sets band limits, channel spacing and step from the radio type; other types keep them.
void Radio_ApplyBand(Em_OldRadioRecord& radio);

// One-byte frequency code of a 'b'/'n' reply; stores and returns the frequency in MHz.
double Radio_FromCode1(Em_OldRadioRecord& radio, std::uint8_t code);

// Two-byte frequency code (low byte first); stores and returns the frequency in MHz.
double Radio_FromCode2(Em_OldRadioRecord& radio, std::uint8_t low, std::uint8_t high);

// Frequency in MHz to the two code bytes and the '@' command byte of the frequency command
// ('a' for radio types 1 and 2, 'm' for the others). False for a type outside 1-10.
bool Radio_ToCode(const Em_OldRadioRecord& radio, double mhz, std::uint8_t code[2],
                  std::uint8_t* command);

}  // namespace BVParse
}  // namespace Brevan2011
