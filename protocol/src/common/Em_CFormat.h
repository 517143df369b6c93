// printf-style text formatted in the C locale whatever the process locale is (a comma-decimal
// locale must not write "1,00" into a receiver command).
#pragma once

#include <cstddef>
#include <string>

namespace Brevan2011 {
namespace BVParse {

// The longest command text a command record holds.
constexpr std::size_t kCommandTextLimit = 512;

// Formats into *out; false, with *out emptied, when the format fails or the text would be
// longer than `limit` bytes.
bool C_Format(std::string* out, std::size_t limit, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// A command text through C_Format with kCommandTextLimit; empty (and so never queued) when it
// would not fit.
std::string C_Text(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace BVParse
}  // namespace Brevan2011
