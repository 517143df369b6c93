#pragma once

#include <cstdint>

// The radio channel grid and the band maps, in whole units of 0.0001 MHz (100 Hz) so that
// rounded frequencies compare exactly.
namespace RadioGrid {

// Band codes of the channel file: 0 high, 1 middle, 2 low, 3 all three.
constexpr int kHighBand = 0;
constexpr int kSpanningBand = 3;

// Sub-band items of the radio pages: 1 450 MHz and up, 2 430-450 MHz, 3 up to 430 MHz, 4 the
// module spans the three.
int subBandOfRadioType(int type);
int bandOfSubBand(int subBand);
int subBandOfFrequency(double low, double high, double mhz, int type);
// The channel-file band of a new-protocol module type.
int bandOfNewProtocolType(int type);

// The nearest 100 Hz unit of mhz; false when it is not a finite frequency of sane size.
bool toUnits(double mhz, std::int64_t& units);

// True when mhz - base is not a whole number of steps; false for a zero step.
bool isOffChannelGrid(double mhz, double base, double step);
// The nearer edge of the channel interval holding mhz strictly inside (half a step or less
// goes down); mhz rounded to 100 Hz when no interval holds it; -1.0 when the range holds no
// whole step or the step is not positive.
double snapToChannel(double mhz, double low, double high, double step);

// The spacing code (0 12.5 kHz, 1 20 kHz, 2 25 kHz) of a spacing in kHz; fallback when the
// spacing is none of the three.
int spaceCodeOfSpacing(double khz, int fallback);

}  // namespace RadioGrid
