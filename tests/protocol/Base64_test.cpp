#include <gtest/gtest.h>

#include <string>

#include "BVParse/Em_Base64.h"

using Brevan2011::BVParse::Em_Base64;

namespace {

std::string Encode(const std::string& s) {
    return Em_Base64::base64_encode(reinterpret_cast<const unsigned char*>(s.data()),
                                    static_cast<unsigned>(s.size()));
}

struct Rfc4648Case {
    const char* plain;
    const char* encoded;
};

// The test vectors of RFC 4648, section 10.
const Rfc4648Case kRfcCases[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
};

TEST(Base64, EncodesAndDecodesRfc4648Vectors) {
    for (const auto& c : kRfcCases) {
        EXPECT_EQ(Encode(c.plain), c.encoded) << c.plain;
        EXPECT_EQ(Em_Base64::base64_decode(c.encoded), c.plain) << c.encoded;
    }
}

TEST(Base64, RoundTripsEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    for (size_t len = 0; len <= all.size(); len += 37) {
        const std::string part = all.substr(0, len);
        EXPECT_EQ(Em_Base64::base64_decode(Encode(part)), part) << len;
    }
    EXPECT_EQ(Encode("user:pass"), "dXNlcjpwYXNz");
}

TEST(Base64, DecodingStopsAtPaddingOrForeignCharacter) {
    // "Zm" gives one byte; whatever follows a stop is ignored.
    EXPECT_EQ(Em_Base64::base64_decode("Zm*9v"), "f");
    EXPECT_EQ(Em_Base64::base64_decode("Zm=9v"), "f");
    EXPECT_EQ(Em_Base64::base64_decode("Zm9v\r\nYmFy"), "foo");
    EXPECT_EQ(Em_Base64::base64_decode("Z"), "");
    EXPECT_EQ(Em_Base64::base64_decode("=Zm9v"), "");
}

TEST(Base64, NullInputEncodesToEmptyText) {
    EXPECT_EQ(Em_Base64::base64_encode(nullptr, 5), "");
}

}  // namespace
