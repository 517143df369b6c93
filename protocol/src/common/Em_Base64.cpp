#include "BVParse/Em_Base64.h"

#include <cstring>

namespace Brevan2011 {
namespace BVParse {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned char Alphabet_Index(char c) {
    const char* p = std::strchr(kAlphabet, c);
    return static_cast<unsigned char>(p - kAlphabet);
}
}  // namespace

bool Em_Base64::is_base64(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

std::string Em_Base64::base64_encode(const unsigned char* bytes, unsigned int length) {
    std::string out;
    if (bytes == nullptr || length == 0) {
        return out;
    }
    out.reserve((length + 2) / 3 * 4);
    unsigned int i = 0;
    for (; i + 3 <= length; i += 3) {
        const unsigned b0 = bytes[i], b1 = bytes[i + 1], b2 = bytes[i + 2];
        out += kAlphabet[b0 >> 2];
        out += kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
        out += kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)];
        out += kAlphabet[b2 & 0x3F];
    }
    const unsigned int rest = length - i;
    if (rest > 0) {
        const unsigned b0 = bytes[i];
        const unsigned b1 = rest > 1 ? bytes[i + 1] : 0;
        out += kAlphabet[b0 >> 2];
        out += kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
        if (rest == 2) {
            out += kAlphabet[(b1 & 0x0F) << 2];
            out += '=';
        } else {
            out += "==";
        }
    }
    return out;
}

std::string Em_Base64::base64_decode(const std::string& text) {
    std::string out;
    unsigned char group[4];
    int n = 0;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '=' || !is_base64(c)) {
            break;
        }
        group[n++] = Alphabet_Index(ch);
        if (n == 4) {
            out += static_cast<char>((group[0] << 2) | (group[1] >> 4));
            out += static_cast<char>(((group[1] & 0x0F) << 4) | (group[2] >> 2));
            out += static_cast<char>(((group[2] & 0x03) << 6) | group[3]);
            n = 0;
        }
    }
    // A trailing group of 2 or 3 characters gives 1 or 2 bytes; a lone character gives none.
    if (n >= 2) {
        out += static_cast<char>((group[0] << 2) | (group[1] >> 4));
    }
    if (n == 3) {
        out += static_cast<char>(((group[1] & 0x0F) << 4) | (group[2] >> 2));
    }
    return out;
}

}  // namespace BVParse
}  // namespace Brevan2011
