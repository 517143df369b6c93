#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Varnok {

// Pure code tables of the device manager: the page index maps, the new protocol's NMEA
// data-type and rate codes, channel rounding, GPS time to calendar and the pages' option lists.
namespace DeviceCodes {

// 1 -> (1, 0), 2 -> (4, 0), 3 -> (4, 1), any other -> (0, 0).
void splitMode(int mode, int& first, int& second);
// 0..8 -> 1..9, any other -> 0.
int indexToCode(int index);
// 'A' + n.
char indexToLetter(int n);
// Sentence identifier of the NMEA page to the new protocol's data-type code; 1 when unknown.
int sentenceDataTypeCode(int sentence);
// Rate identifier of the NMEA page to the new protocol's frequency code; 1 when unknown.
// A rate carrying kRawListCode is a list code the page had no name for: it goes back as is.
constexpr int kRawListCode = 0x10000;
int mapTypeCode(int rate);

// A channel frequency of the new protocol, given as the bits of a float, rounded to four
// decimals: in float, + 0.00005 and x 10000, truncated, then x 0.0001 in double.
double roundChannelFrequency(float mhz);
double roundChannelBits(std::uint32_t bits);

// GPS week and seconds of week to the calendar; every output but the year may be null, the
// month needs the year.
void gpsTimeToDate(int week, double seconds, int* year, int* month, int* day, int* hours,
                   int* minutes, double* secs);
void gpsTimeToDayOfYear(int week, double seconds, int& year, int& dayOfYear, int& hours,
                        int& minutes, double& secs);

// What the option lists depend on.
struct Receiver {
    int deviceType = 0;
    int boardType = 0;
    bool novatelExtensions = false;  // capability flag A on board type 2
    bool flagI = false;              // firmware minor number 21 or more
};

using Options = std::vector<std::pair<std::string, int>>;

Options outputRates(const Receiver& r);
Options nmeaSentences(const Receiver& r);
Options serverModes();
Options rtkRates();
Options diffFormats(const Receiver& r);
Options staticRates(const Receiver& r);

}  // namespace DeviceCodes
}  // namespace Varnok
