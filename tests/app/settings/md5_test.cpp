// MD5 digests (RFC 1321).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "md5.h"

namespace {

std::string hex(const unsigned char digest[16]) {
    std::string out;
    char buf[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(buf, sizeof(buf), "%02x", digest[i]);
        out += buf;
    }
    return out;
}

std::string md5Hex(const std::string& text) {
    unsigned char digest[16];
    md5String(text.c_str(), digest);
    return hex(digest);
}

std::string pattern(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += static_cast<char>('a' + i % 26);
    }
    return s;
}

TEST(Md5, Rfc1321TestSuite) {
    const struct {
        const char* text;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},

    };
    for (const auto& c : cases) {
        EXPECT_EQ(md5Hex(c.text), c.digest) << c.text;
    }
    std::string eightyDigits;
    for (int i = 0; i < 8; ++i) {
        eightyDigits += "1234567890";
    }
    EXPECT_EQ(md5Hex(eightyDigits), "57edf4a22be3c955ac49da2e2107b67a");
}

// Lengths around the padding boundaries, checked against md5sum.
TEST(Md5, PaddingBoundaries) {
    const struct {
        size_t length;
        const char* digest;
    } cases[] = {
        {55, "0d7ae056b2f015cd7dc67494efd658f1"},  {56, "31fcfb5165169eb55898e7e4cf34d19a"},
        {63, "1b30c0670c15e7da3c2ba7bce77ebe99"},  {64, "a2eaf6295c32adc403865fd96a2f182b"},
        {119, "b05187e08da41fa3ef16bd56afaafd99"}, {120, "62af9b597a9f55e16ab2b897387fc052"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(md5Hex(pattern(c.length)), c.digest) << c.length;
    }
}

TEST(Md5, PiecewiseFeedingGivesTheSameDigest) {
    const std::string text = pattern(1000);
    const std::string whole = md5Hex(text);
    for (size_t piece : {1u, 63u, 65u}) {
        MD5_CTX context;
        MD5Init(&context);
        for (size_t at = 0; at < text.size(); at += piece) {
            const size_t n = std::min(piece, text.size() - at);
            MD5Update(&context, reinterpret_cast<const unsigned char*>(text.data() + at), n);
        }
        unsigned char digest[16];
        MD5Final(&context, digest);
        EXPECT_EQ(hex(digest), whole) << piece;
    }
}

TEST(Md5, EmbeddedZeroEndsTheText) {
    const char text[] = {'a', 'b', 'c', '\0', 'd', 'e', '\0'};
    unsigned char digest[16];
    md5String(text, digest);
    EXPECT_EQ(hex(digest), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
