// Framing shared by both Hemisphere boards: "$BIN" binary blocks, "$>J" reply lines, and the
// number readers of the replies.
#pragma once

#include <cstdint>
#include <string_view>

namespace Brevan2011 {
namespace BVParse {

constexpr int kHemisphereMaxData = 2036;  // a block must fit the 2,048-byte input

// Length of the "$BIN" block at p (n bytes available): > 0 a whole block (L + 12 bytes) whose
// sum and CR LF check out; 0 while it is incomplete; < 0 when its length is impossible, its
// sum is wrong or it does not end in CR LF.
int Hemisphere_Frame_Length(const unsigned char* p, int n);

// Length of the reply line at p through its CR LF: 0 while no CR LF has arrived within
// `limit` bytes; < 0 when none can come within it.
int Hemisphere_Line_Length(const unsigned char* p, int n, int limit);

// The digits after the last comma of a reply line, up to its CR (or end); -1 when there is no
// comma or no digit there.
int Hemisphere_Last_Number(std::string_view line);

}  // namespace BVParse
}  // namespace Brevan2011
