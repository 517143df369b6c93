// Base64 text encoding (RFC 4648 alphabet with "=" padding), used for NTRIP credentials.
#pragma once

#include <string>

#include "BVParse/BVParseExport.h"

namespace Brevan2011 {
namespace BVParse {

class BVPARSE_API Em_Base64 {
public:
    static std::string base64_encode(const unsigned char* bytes, unsigned int length);
    // Decoding stops silently at the first "=" or character outside the alphabet.
    static std::string base64_decode(const std::string& text);

private:
    static bool is_base64(unsigned char c);
};

}  // namespace BVParse
}  // namespace Brevan2011
