#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Text conversions shared by the settings files. They never depend on the process locale:
// the radio store loads on the receiver's parse thread while the GUI may run under any locale.
namespace SettingsText {

// Fixed notation with 16 decimals, always with '.' ("430.1250000000000000").
std::string formatDouble(double value);

// Leading white space, a number in C notation, anything after it ignored; 0.0 when no number.
double parseDouble(const std::string& text);

// Leading white space, optional sign, decimal digits up to the first other character; no digits
// give 0. Out-of-range values saturate to the 32-bit limits.
int32_t parseInt32(const std::string& text);

// Splits at every '/', trimming tab, space, CR and LF from each piece; empty pieces stay.
std::vector<std::string> splitKey(const std::string& key);

// Trims tab, space, CR and LF from both ends.
std::string trim(const std::string& text);

// True when the text can be an XML element name (the rule tinyxml2 parses with).
bool isXmlName(const std::string& name);

}  // namespace SettingsText
